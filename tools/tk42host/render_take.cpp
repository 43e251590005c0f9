#include "tools/tk42host/render_take.h"

#include <algorithm>
#include <cmath>
#include <thread>
#include <type_traits>

#include "tools/tk42host/true_peak_meter.h"

namespace {

constexpr size_t kChunk = 8192;

// The true and sample peaks of frames [from, to) of every channel; the
// eleven frames before `from` prime the filter as a whole run would have.
void peaksOf(const ChannelReader& read, uint64_t start, uint64_t from, uint64_t to, int channels,
             double& truePeak, double& samplePeak) {
    std::vector<double> x(kChunk);
    for (int c = 0; c < channels; ++c) {
        TruePeakMeter meter;
        const uint64_t memory = std::min<uint64_t>(from - start, 11);
        if (memory > 0) {
            read(c, from - memory, static_cast<size_t>(memory), x.data());
            meter.prime(x.data(), static_cast<size_t>(memory));
        }
        for (uint64_t at = from; at < to;) {
            const size_t n = static_cast<size_t>(std::min<uint64_t>(kChunk, to - at));
            read(c, at, n, x.data());
            meter.add(x.data(), n);
            at += n;
        }
        truePeak = std::fmax(truePeak, meter.peak());
        samplePeak = std::fmax(samplePeak, meter.samplePeakValue());
    }
}

}  // namespace

void Take::reserve(uint64_t frames, bool doublePrecision) {
    for (int c = 0; c < 2; ++c) {
        if (doublePrecision) {
            doubles[c].reserve(static_cast<size_t>(frames));
        } else {
            singles[c].reserve(static_cast<size_t>(frames));
        }
    }
}

template <typename T>
void Take::append(T** out, int32_t frames) {
    for (int c = 0; c < 2; ++c) {
        if constexpr (std::is_same_v<T, float>) {
            singles[c].insert(singles[c].end(), out[c], out[c] + frames);
        } else {
            doubles[c].insert(doubles[c].end(), out[c], out[c] + frames);
        }
    }
    length += static_cast<uint64_t>(frames);
}

void Take::copy(int channel, uint64_t from, size_t count, double* to) const {
    if (!singles[channel].empty()) {
        const float* x = singles[channel].data() + from;
        for (size_t i = 0; i < count; ++i) to[i] = static_cast<double>(x[i]);
    } else {
        std::copy_n(doubles[channel].data() + from, count, to);
    }
}

template <typename T>
void Take::copy(uint64_t from, T** out, int32_t frames) const {
    for (int c = 0; c < 2; ++c) {
        if constexpr (std::is_same_v<T, float>) {
            std::copy_n(singles[c].data() + from, frames, out[c]);
        } else {
            std::copy_n(doubles[c].data() + from, frames, out[c]);
        }
    }
}

void RecordingProcessor::process(float** in, float** out, int32_t frames) {
    inner.process(in, out, frames);
    take.append(out, frames);
}

void RecordingProcessor::process(double** in, double** out, int32_t frames) {
    inner.process(in, out, frames);
    take.append(out, frames);
}

void ReplayProcessor::process(float**, float** out, int32_t frames) {
    take.copy(position, out, frames);
    position += static_cast<uint64_t>(frames);
}

void ReplayProcessor::process(double**, double** out, int32_t frames) {
    take.copy(position, out, frames);
    position += static_cast<uint64_t>(frames);
}

MeasuredLevels measureFrames(const ChannelReader& read, uint64_t from, uint64_t count, int channels,
                             double sampleRate, bool truePeaks, int threads) {
    MeasuredLevels f;
    f.loudness = std::make_unique<LoudnessMeter>(sampleRate, channels);
    const uint64_t to = from + count;
    const uint64_t half = threads > 1 && truePeaks ? from + count / 2 : to;
    double secondTrue = 0, secondSample = 0;
    std::thread second;
    if (half < to) {
        second =
            std::thread([&] { peaksOf(read, from, half, to, channels, secondTrue, secondSample); });
    }
    if (truePeaks) peaksOf(read, from, from, half, channels, f.truePeak, f.samplePeak);
    std::vector<double> l(kChunk), r(kChunk);
    for (uint64_t at = from; at < to;) {
        const size_t n = static_cast<size_t>(std::min<uint64_t>(kChunk, to - at));
        read(0, at, n, l.data());
        if (channels == 2) read(1, at, n, r.data());
        f.loudness->add(l.data(), r.data(), n);
        at += n;
    }
    if (second.joinable()) second.join();
    f.truePeak = std::fmax(f.truePeak, secondTrue);
    f.samplePeak = std::fmax(f.samplePeak, secondSample);
    return f;
}
