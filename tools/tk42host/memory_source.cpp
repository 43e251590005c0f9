#include "tools/tk42host/memory_source.h"

#include <algorithm>
#include <cmath>
#include <cstring>

bool MemorySource::load(FrameSource& from, std::string& error) {
    fmt = from.format();
    const size_t channels = fmt.channels;
    samples.resize(static_cast<size_t>(from.frames()) * channels);
    size_t done = 0;
    const size_t total = static_cast<size_t>(from.frames());
    while (done < total) {
        const size_t n =
            from.read(&samples[done * channels], std::min<size_t>(65536, total - done));
        if (n == 0) {
            error = from.failed() ? from.error() : "the input ended early";
            return false;
        }
        done += n;
    }
    position = 0;
    return true;
}

size_t MemorySource::read(double* interleaved, size_t maxFrames) {
    const size_t channels = fmt.channels;
    const size_t n = std::min(maxFrames, samples.size() / channels - position);
    if (n > 0)
        std::memcpy(interleaved, &samples[position * channels], n * channels * sizeof(double));
    position += n;
    return n;
}

void MemorySource::copyChannel(int channel, uint64_t from, size_t count, double* to) const {
    const size_t channels = fmt.channels;
    const double* x = &samples[static_cast<size_t>(from) * channels + channel];
    // Measured as a render reads them: a non-finite sample is silence.
    for (size_t i = 0; i < count; ++i)
        to[i] = std::isfinite(x[i * channels]) ? x[i * channels] : 0.0;
}
