#include "tools/tk42host/wav_writer.h"

#include <cmath>

#include "tools/tk42host/wav_bytes.h"
#include "tools/tk42host/wav_tags.h"

namespace {

// The 32-bit size fields leave this much for the audio data.
constexpr uint64_t kMaxDataBytes = 0xFFFFFFFFull - 128;

uint32_t channelMask(uint16_t channels) {
    if (channels == 1) return 0x4;  // front centre
    if (channels == 2) return 0x3;  // front left and right
    return 0;
}

}  // namespace

bool WavWriter::open(const std::string& path, const WavFormat& format, std::string& error) {
    name = path;
    fmt = format;
    file.open(path, std::ios::binary | std::ios::trunc);
    if (!file) {
        error = "cannot write " + path;
        return false;
    }
    const int width = bytesPerSample(fmt.sample);
    const uint16_t bits = static_cast<uint16_t>(width * 8);
    const uint16_t plainTag = isInteger(fmt.sample) ? kTagPcm : kTagFloat;
    const uint32_t fmtSize = fmt.extensible ? 40 : (plainTag == kTagPcm ? 16 : 18);

    std::vector<uint8_t> h;
    auto put = [&h](const void* bytes, size_t n) {
        const auto* b = static_cast<const uint8_t*>(bytes);
        h.insert(h.end(), b, b + n);
    };
    auto put16 = [&h](uint16_t v) {
        uint8_t b[2];
        writeLe16(b, v);
        h.insert(h.end(), b, b + 2);
    };
    auto put32 = [&h](uint32_t v) {
        uint8_t b[4];
        writeLe32(b, v);
        h.insert(h.end(), b, b + 4);
    };
    put("RIFF", 4);
    put32(0);  // patched by finish()
    put("WAVE", 4);
    put("fmt ", 4);
    put32(fmtSize);
    put16(fmt.extensible ? kTagExtensible : plainTag);
    put16(fmt.channels);
    put32(fmt.sampleRate);
    put32(fmt.sampleRate * fmt.channels * width);
    put16(static_cast<uint16_t>(fmt.channels * width));
    put16(bits);
    if (fmt.extensible) {
        put16(22);
        put16(bits);
        put32(channelMask(fmt.channels));
        put32(plainTag);
        put(kSubFormatGuidTail, 12);
    } else if (fmtSize == 18) {
        put16(0);
    }
    // Float data carries a fact chunk with the frame count, as non-PCM WAV
    // files should.
    if (plainTag == kTagFloat) {
        put("fact", 4);
        put32(4);
        factFramesAt = static_cast<std::streamoff>(h.size());
        put32(0);
    }
    put("data", 4);
    dataSizeAt = static_cast<std::streamoff>(h.size());
    put32(0);
    if (!file.write(reinterpret_cast<const char*>(h.data()),
                    static_cast<std::streamsize>(h.size()))) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

void WavWriter::encode(const double* interleaved, size_t count) {
    const int width = bytesPerSample(fmt.sample);
    raw.resize(count * width);
    uint8_t* p = raw.data();
    const double scale = fmt.sample == SampleFormat::Pcm16   ? 32768.0
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
        if (fmt.sample == SampleFormat::Pcm16) {
            writeLe16(p, static_cast<uint16_t>(static_cast<int16_t>(s)));
        } else if (fmt.sample == SampleFormat::Pcm24) {
            writeLe24(p, s);
        } else {
            writeLe32(p, static_cast<uint32_t>(s));
        }
    }
}

bool WavWriter::write(const double* interleaved, size_t frames, std::string& error) {
    const uint64_t bytes =
        static_cast<uint64_t>(frames) * fmt.channels * bytesPerSample(fmt.sample);
    if (dataBytes + bytes > kMaxDataBytes) {
        error = name + " would exceed the 4 GB limit of a WAV file";
        return false;
    }
    encode(interleaved, frames * fmt.channels);
    if (!file.write(reinterpret_cast<const char*>(raw.data()),
                    static_cast<std::streamsize>(raw.size()))) {
        error = "cannot write " + name + " (disk full?)";
        return false;
    }
    dataBytes += bytes;
    framesWritten += frames;
    return true;
}

bool WavWriter::finish(std::string& error) {
    if (dataBytes & 1) file.put('\0');  // chunks are padded to even sizes
    const uint64_t riffSize = static_cast<uint64_t>(file.tellp()) - 8;
    uint8_t b[4];
    writeLe32(b, static_cast<uint32_t>(riffSize));
    file.seekp(4);
    file.write(reinterpret_cast<const char*>(b), 4);
    writeLe32(b, static_cast<uint32_t>(dataBytes));
    file.seekp(dataSizeAt);
    file.write(reinterpret_cast<const char*>(b), 4);
    if (factFramesAt >= 0) {
        writeLe32(b, static_cast<uint32_t>(framesWritten));
        file.seekp(factFramesAt);
        file.write(reinterpret_cast<const char*>(b), 4);
    }
    file.close();
    if (file.fail()) {
        error = "cannot write " + name + " (disk full?)";
        return false;
    }
    return true;
}
