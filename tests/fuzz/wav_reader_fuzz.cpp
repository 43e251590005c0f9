// tk42host's WAV reader on any bytes, through its public entry point (a file
// path): every field of every chunk and truncation anywhere. The file lives
// in memory (a memfd), so each input costs no disk. A file the reader opens
// must then read back exactly the frames it announced, integer samples
// within full scale.
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/tk42host/wav_reader.h"

namespace {

void check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const int fd = memfd_create("wav", 0);
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);
    if (fd < 0 || ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size))
        std::abort();

    WavReader reader;
    std::string error;
    if (!reader.open(path, error)) {
        check(!error.empty(), "a refused file without a message");
        return 0;
    }
    const WavFormat& f = reader.format();
    check(f.channels > 0 && f.sampleRate > 0, "an opened file without channels or rate");
    check(reader.frames() * f.channels * static_cast<uint64_t>(bytesPerSample(f.sample)) <= size,
          "more frames announced than the file holds");
    const size_t maxFrames = std::max<size_t>(1, 65536 / f.channels);
    std::vector<double> buffer(maxFrames * f.channels);
    uint64_t total = 0;
    // Small reads first, so that a read may end inside the data chunk.
    for (size_t want = 1;; want = std::min(maxFrames, want * 3)) {
        const size_t got = reader.read(buffer.data(), want);
        check(got <= want, "a read longer than asked");
        if (got == 0) break;
        for (size_t i = 0; i < got * f.channels; ++i) {
            if (isInteger(f.sample))
                check(buffer[i] >= -1.0 && buffer[i] < 1.0, "an integer sample beyond full scale");
        }
        total += got;
    }
    check(reader.failed() || total == reader.frames(), "fewer frames than announced, no error");
    check(reader.read(buffer.data(), maxFrames) == 0, "a read after the end");
    return 0;
}
