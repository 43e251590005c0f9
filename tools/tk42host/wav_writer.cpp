#include "tools/tk42host/wav_writer.h"

#include <cmath>
#include <cstring>

#include "tools/tk42host/wav_bytes.h"
#include "tools/tk42host/wav_tags.h"
#include "tools/tk42host/write_failure.h"

namespace {

constexpr uint32_t kSizeInDs64 = 0xFFFFFFFFu;
// Offsets of the ds64 fields an RF64 file's finish() fills in.
constexpr long kDs64RiffSizeAt = 20;
constexpr long kDs64DataSizeAt = 28;
constexpr long kDs64FramesAt = 36;

uint32_t channelMask(uint16_t channels) {
    if (channels == 1) return 0x4;  // front centre
    if (channels == 2) return 0x3;  // front left and right
    return 0;
}

class HeaderBytes {
  public:
    void put(const void* bytes, size_t n) {
        const auto* b = static_cast<const uint8_t*>(bytes);
        h.insert(h.end(), b, b + n);
    }
    void put16(uint16_t v) {
        uint8_t b[2];
        writeLe16(b, v);
        put(b, 2);
    }
    void put32(uint32_t v) {
        uint8_t b[4];
        writeLe32(b, v);
        put(b, 4);
    }
    void put64(uint64_t v) {
        uint8_t b[8];
        writeLe64(b, v);
        put(b, 8);
    }
    long size() const { return static_cast<long>(h.size()); }
    const std::vector<uint8_t>& bytes() const { return h; }

  private:
    std::vector<uint8_t> h;
};

uint64_t padded(uint64_t bytes) {
    return bytes + (bytes & 1);
}

}  // namespace

WavWriter::~WavWriter() {
    if (file) std::fclose(file);
}

bool WavWriter::open(const std::string& path, const WavFormat& format, uint64_t expectedFrames,
                     std::string& error) {
    fmt = format;
    file = std::fopen(path.c_str(), "wb");
    if (!file) {
        error = lastWriteFailure();
        return false;
    }
    const int width = bytesPerSample(fmt.sample);
    const uint16_t bits = static_cast<uint16_t>(width * 8);
    const uint16_t plainTag = isInteger(fmt.sample) ? kTagPcm : kTagFloat;
    const uint32_t fmtSize = fmt.extensible ? 40 : (plainTag == kTagPcm ? 16 : 18);
    const bool hasFact = plainTag == kTagFloat;
    // The RIFF layout's header: RIFF, fmt, fact and data headers.
    const uint64_t riffHeader = 12 + 8 + fmtSize + (hasFact ? 12 : 0) + 8;
    const uint64_t expectedBytes = expectedFrames * fmt.channels * width;
    rf64 = riffHeader - 8 + padded(expectedBytes) > riffLimit;

    HeaderBytes h;
    h.put(rf64 ? "RF64" : "RIFF", 4);
    h.put32(rf64 ? kSizeInDs64 : 0);  // RIFF: patched by finish()
    h.put("WAVE", 4);
    if (rf64) {
        // The 64-bit sizes, patched by finish(); no table: no other chunk is large.
        h.put("ds64", 4);
        h.put32(28);
        h.put64(0);
        h.put64(0);
        h.put64(0);
        h.put32(0);
    }
    h.put("fmt ", 4);
    h.put32(fmtSize);
    h.put16(fmt.extensible ? kTagExtensible : plainTag);
    h.put16(fmt.channels);
    h.put32(fmt.sampleRate);
    h.put32(fmt.sampleRate * fmt.channels * width);
    h.put16(static_cast<uint16_t>(fmt.channels * width));
    h.put16(bits);
    if (fmt.extensible) {
        h.put16(22);
        h.put16(bits);
        h.put32(channelMask(fmt.channels));
        h.put32(plainTag);
        h.put(kSubFormatGuidTail, 12);
    } else if (fmtSize == 18) {
        h.put16(0);
    }
    // Float data carries a fact chunk with the frame count, as non-PCM WAV
    // files should; in RF64 the count is the one in ds64.
    if (hasFact) {
        h.put("fact", 4);
        h.put32(4);
        factFramesAt = rf64 ? -1 : h.size();
        h.put32(rf64 ? kSizeInDs64 : 0);
    }
    h.put("data", 4);
    dataSizeAt = h.size();
    h.put32(rf64 ? kSizeInDs64 : 0);
    headerBytes = static_cast<uint64_t>(h.size());
    if (std::fwrite(h.bytes().data(), 1, h.bytes().size(), file) != h.bytes().size()) {
        error = lastWriteFailure();
        return false;
    }
    return true;
}

void WavWriter::encode(const double* interleaved, size_t count) {
    const int width = bytesPerSample(fmt.sample);
    raw.resize(count * width);
    uint8_t* p = raw.data();
    const double scale = fmt.sample == SampleFormat::Pcm8    ? 128.0
                         : fmt.sample == SampleFormat::Pcm16 ? 32768.0
                         : fmt.sample == SampleFormat::Pcm24 ? 8388608.0
                                                             : 2147483648.0;
    for (size_t i = 0; i < count; ++i, p += width) {
        double x = interleaved[i];
        if (!std::isfinite(x)) x = 0.0;
        if (fmt.sample == SampleFormat::Float32) {
            const float f = static_cast<float>(x);
            uint32_t bits;
            std::memcpy(&bits, &f, 4);
            writeLe32(p, bits);
            continue;
        }
        if (fmt.sample == SampleFormat::Float64) {
            uint64_t bits;
            std::memcpy(&bits, &x, 8);
            writeLe64(p, bits);
            continue;
        }
        double v = std::floor(x * scale + (dither ? dither->next() : 0.0) + 0.5);
        if (v > scale - 1.0) {
            v = scale - 1.0;
            ++clipped;
        } else if (v < -scale) {
            v = -scale;
            ++clipped;
        }
        const int32_t s = static_cast<int32_t>(v);
        if (fmt.sample == SampleFormat::Pcm8) {
            p[0] = static_cast<uint8_t>(s + 128);  // unsigned, silence at 128
        } else if (fmt.sample == SampleFormat::Pcm16) {
            writeLe16(p, static_cast<uint16_t>(static_cast<int16_t>(s)));
        } else if (fmt.sample == SampleFormat::Pcm24) {
            writeLe24(p, s);
        } else {
            writeLe32(p, static_cast<uint32_t>(s));
        }
    }
}

bool WavWriter::write(const double* interleaved, size_t frames, std::string& error) {
    if (!file) {
        error = "the file is not open";
        return false;
    }
    const uint64_t bytes =
        static_cast<uint64_t>(frames) * fmt.channels * bytesPerSample(fmt.sample);
    if (!rf64 && headerBytes - 8 + padded(dataBytes + bytes) > riffLimit) {
        error = "it would exceed the 4 GiB a RIFF WAV file holds";
        return false;
    }
    if (frames == 0) return true;
    encode(interleaved, frames * fmt.channels);
    if (std::fwrite(raw.data(), 1, raw.size(), file) != raw.size()) {
        error = lastWriteFailure();
        return false;
    }
    dataBytes += bytes;
    framesWritten += frames;
    return true;
}

bool WavWriter::patch(long at, const uint8_t* bytes, size_t n) {
    return std::fseek(file, at, SEEK_SET) == 0 && std::fwrite(bytes, 1, n, file) == n;
}

bool WavWriter::finish(std::string& error) {
    if (!file) {
        error = "the file is not open";
        return false;
    }
    bool ok = true;
    if (dataBytes & 1) ok = std::fputc(0, file) != EOF;  // chunks are padded to even sizes
    const uint64_t riffSize = headerBytes - 8 + padded(dataBytes);
    uint8_t b[8];
    if (rf64) {
        writeLe64(b, riffSize);
        ok = ok && patch(kDs64RiffSizeAt, b, 8);
        writeLe64(b, dataBytes);
        ok = ok && patch(kDs64DataSizeAt, b, 8);
        writeLe64(b, framesWritten);
        ok = ok && patch(kDs64FramesAt, b, 8);
    } else {
        writeLe32(b, static_cast<uint32_t>(riffSize));
        ok = ok && patch(4, b, 4);
        writeLe32(b, static_cast<uint32_t>(dataBytes));
        ok = ok && patch(dataSizeAt, b, 4);
        if (factFramesAt >= 0) {
            writeLe32(b, static_cast<uint32_t>(framesWritten));
            ok = ok && patch(factFramesAt, b, 4);
        }
    }
    // Buffered data reaches the disk only now: a full disk often shows here.
    ok = ok && std::fflush(file) == 0;
    if (!ok) error = lastWriteFailure();
    if (std::fclose(file) != 0 && ok) {
        error = lastWriteFailure();
        ok = false;
    }
    file = nullptr;
    return ok;
}
