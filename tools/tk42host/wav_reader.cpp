#include "tools/tk42host/wav_reader.h"

#include <algorithm>
#include <cstring>

#include "tools/tk42host/wav_bytes.h"
#include "tools/tk42host/wav_tags.h"

namespace {

// A 32-bit size of all ones in an RF64 file: the real size is in ds64.
constexpr uint32_t kSizeInDs64 = 0xFFFFFFFFu;
constexpr uint64_t kDs64FixedBytes = 28;
constexpr uint64_t kDs64EntryBytes = 12;
// More table entries than any real file has; the rest are not read.
constexpr uint64_t kMaxDs64Entries = 1024;
// The largest fmt chunk the decoding looks into (extensible is 40 bytes).
constexpr uint64_t kFormatBytesUsed = 64;

std::string hex(uint32_t v) {
    static const char digits[] = "0123456789ABCDEF";
    std::string s = "0x";
    for (int shift = 12; shift >= 0; shift -= 4) s += digits[(v >> shift) & 0xF];
    return s;
}

std::string chunkName(const uint8_t* id) {
    std::string s;
    for (int i = 0; i < 4; ++i) s += id[i] >= 0x20 && id[i] < 0x7F ? static_cast<char>(id[i]) : '?';
    return "'" + s + "'";
}

}  // namespace

bool WavReader::readAt(uint64_t pos, void* to, size_t bytes) {
    file.clear();
    file.seekg(static_cast<std::streamoff>(pos));
    return static_cast<bool>(
        file.read(static_cast<char*>(to), static_cast<std::streamsize>(bytes)));
}

bool WavReader::open(const std::string& path, std::string& error) {
    name = path;
    file.open(path, std::ios::binary);
    if (!file) {
        error = "cannot read " + path;
        return false;
    }
    file.seekg(0, std::ios::end);
    const std::streamoff end = file.tellg();
    file.seekg(0);
    if (end < 0 || !file) {
        error = "cannot read " + path;
        return false;
    }
    const uint64_t fileSize = static_cast<uint64_t>(end);
    if (fileSize < 12) {
        error = path + " is too short to be a WAV file";
        return false;
    }
    uint8_t riff[12];
    if (!readAt(0, riff, 12)) {
        error = "cannot read " + path;
        return false;
    }
    rf64 = std::memcmp(riff, "RF64", 4) == 0 || std::memcmp(riff, "BW64", 4) == 0;
    if ((!rf64 && std::memcmp(riff, "RIFF", 4) != 0) || std::memcmp(riff + 8, "WAVE", 4) != 0) {
        error = path + " is not a WAV file (no RIFF/WAVE header)";
        return false;
    }
    if (rf64 && !parseDs64(fileSize, error)) return false;

    // The RIFF size is often wrong in files from real tools; chunk bounds are
    // checked against the real file size instead.
    bool haveFormat = false;
    uint64_t pos = 12;
    while (true) {
        if (fileSize - pos < 8) {
            error =
                path + (pos == fileSize ? " has no data chunk" : " is truncated (chunk header)");
            return false;
        }
        uint8_t header[8];
        if (!readAt(pos, header, 8)) {
            error = "cannot read " + path;
            return false;
        }
        uint64_t size = 0;
        if (!chunkSize(header, size, error)) return false;
        const uint64_t bodyStart = pos + 8;
        const uint64_t room = fileSize - bodyStart;
        if (std::memcmp(header, "data", 4) == 0) {
            if (!haveFormat) {
                error = path + " is malformed: the data chunk comes before the fmt chunk";
                return false;
            }
            if (size > room) {
                error = path + " is truncated: its data chunk claims " + std::to_string(size) +
                        " bytes but the file holds " + std::to_string(room);
                return false;
            }
            const uint32_t frameBytes = fmt.channels * bytesPerSample(fmt.sample);
            if (size % frameBytes != 0) {
                error = path + " is malformed: its data chunk is not a whole number of frames";
                return false;
            }
            totalFrames = framesLeft = size / frameBytes;
            file.clear();
            file.seekg(static_cast<std::streamoff>(bodyStart));
            return true;
        }
        if (size > room) {
            error = path + " is truncated (inside a chunk before the audio data)";
            return false;
        }
        if (std::memcmp(header, "fmt ", 4) == 0) {
            std::vector<uint8_t> body(static_cast<size_t>(std::min(size, kFormatBytesUsed)));
            if (!readAt(bodyStart, body.data(), body.size())) {
                error = "cannot read " + path;
                return false;
            }
            if (!parseFormatChunk(body, error)) return false;
            haveFormat = true;
        }
        // Chunks are padded to even sizes; a missing pad byte at the very end
        // is caught by the next header check.
        pos = bodyStart + size;
        if (size & 1) ++pos;
        if (pos > fileSize) pos = fileSize;
    }
}

bool WavReader::parseDs64(uint64_t fileSize, std::string& error) {
    uint8_t header[8 + kDs64FixedBytes];
    if (fileSize < 12 + sizeof header || !readAt(12, header, sizeof header)) {
        error = name + " is truncated (RF64 header)";
        return false;
    }
    const uint64_t size = readLe32(header + 4);
    if (std::memcmp(header, "ds64", 4) != 0 || size < kDs64FixedBytes) {
        error = name + " is malformed: an RF64 file must begin with a ds64 chunk";
        return false;
    }
    if (size > fileSize - 20) {
        error = name + " is truncated (inside the ds64 chunk)";
        return false;
    }
    longDataSize = readLe64(header + 8 + 8);
    const uint64_t entries = readLe32(header + 8 + 24);
    if (entries > (size - kDs64FixedBytes) / kDs64EntryBytes) {
        error = name + " is malformed: its ds64 table runs past the chunk";
        return false;
    }
    std::vector<uint8_t> table(
        static_cast<size_t>(std::min(entries, kMaxDs64Entries) * kDs64EntryBytes));
    if (!table.empty() && !readAt(12 + sizeof header, table.data(), table.size())) {
        error = "cannot read " + name;
        return false;
    }
    longSizes.clear();
    for (size_t at = 0; at < table.size(); at += kDs64EntryBytes) {
        LongSize entry;
        std::memcpy(entry.id, &table[at], 4);
        entry.size = readLe64(&table[at + 4]);
        longSizes.push_back(entry);
    }
    return true;
}

bool WavReader::chunkSize(const uint8_t* header, uint64_t& size, std::string& error) const {
    size = readLe32(header + 4);
    if (!rf64 || size != kSizeInDs64) return true;
    if (std::memcmp(header, "data", 4) == 0) {
        size = longDataSize;
        return true;
    }
    for (const LongSize& entry : longSizes) {
        if (std::memcmp(entry.id, header, 4) == 0) {
            size = entry.size;
            return true;
        }
    }
    error = name + " is malformed: its " + chunkName(header) +
            " chunk has no 64-bit size in the ds64 chunk";
    return false;
}

bool WavReader::parseFormatChunk(const std::vector<uint8_t>& body, std::string& error) {
    if (body.size() < 16) {
        error = name + " is malformed: its fmt chunk is too short";
        return false;
    }
    uint16_t tag = readLe16(&body[0]);
    const uint16_t channels = readLe16(&body[2]);
    const uint32_t rate = readLe32(&body[4]);
    const uint16_t blockAlign = readLe16(&body[12]);
    const uint16_t bits = readLe16(&body[14]);
    fmt.extensible = tag == kTagExtensible;
    if (fmt.extensible) {
        if (body.size() < 40 || readLe16(&body[16]) < 22) {
            error = name + " is malformed: its extensible fmt chunk is too short";
            return false;
        }
        const uint16_t validBits = readLe16(&body[18]);
        if (validBits == 0 || validBits > bits) {
            error = name + " is malformed: " + std::to_string(validBits) + " valid bits in " +
                    std::to_string(bits) + "-bit samples";
            return false;
        }
        // The sub-format GUID is the plain tag followed by a fixed tail.
        const uint32_t subTag = readLe32(&body[24]);
        if (subTag > 0xFFFF || std::memcmp(&body[28], kSubFormatGuidTail, 12) != 0) {
            error = name + " has an unsupported extensible sub-format";
            return false;
        }
        tag = static_cast<uint16_t>(subTag);
    }
    if (tag == kTagPcm && (bits == 8 || bits == 16 || bits == 24 || bits == 32)) {
        fmt.sample = bits == 8    ? SampleFormat::Pcm8
                     : bits == 16 ? SampleFormat::Pcm16
                     : bits == 24 ? SampleFormat::Pcm24
                                  : SampleFormat::Pcm32;
    } else if (tag == kTagFloat && (bits == 32 || bits == 64)) {
        fmt.sample = bits == 32 ? SampleFormat::Float32 : SampleFormat::Float64;
    } else if (tag == kTagPcm || tag == kTagFloat) {
        error = name + ": " + std::to_string(bits) + "-bit " + (tag == kTagPcm ? "PCM" : "float") +
                " is not supported (8-, 16-, 24-, 32-bit PCM and 32-, 64-bit float are)";
        return false;
    } else {
        error = name + ": format tag " + hex(tag) + " is not supported (only PCM and IEEE float)";
        return false;
    }
    if (channels == 0 || rate == 0) {
        error = name + " is malformed: " + std::to_string(channels) + " channels at " +
                std::to_string(rate) + " Hz";
        return false;
    }
    if (blockAlign != channels * bytesPerSample(fmt.sample)) {
        error = name + " is malformed: block size " + std::to_string(blockAlign) + " for " +
                std::to_string(channels) + " channels of " + std::to_string(bits) + " bits";
        return false;
    }
    fmt.channels = channels;
    fmt.sampleRate = rate;
    return true;
}

size_t WavReader::read(double* interleaved, size_t maxFrames) {
    if (!file.is_open() || framesLeft == 0 || failed()) return 0;
    const size_t frames = static_cast<size_t>(std::min<uint64_t>(maxFrames, framesLeft));
    const int width = bytesPerSample(fmt.sample);
    const size_t count = frames * fmt.channels;
    raw.resize(count * width);
    if (!file.read(reinterpret_cast<char*>(raw.data()), static_cast<std::streamsize>(raw.size()))) {
        readError = "cannot read the audio data of " + name;
        return 0;
    }
    const uint8_t* p = raw.data();
    for (size_t i = 0; i < count; ++i, p += width) {
        switch (fmt.sample) {
            case SampleFormat::Pcm8:
                // 8-bit WAV samples are unsigned, silence at 128.
                interleaved[i] = (static_cast<int>(p[0]) - 128) / 128.0;
                break;
            case SampleFormat::Pcm16:
                interleaved[i] = static_cast<int16_t>(readLe16(p)) / 32768.0;
                break;
            case SampleFormat::Pcm24:
                interleaved[i] = readLe24Signed(p) / 8388608.0;
                break;
            case SampleFormat::Pcm32:
                interleaved[i] = static_cast<int32_t>(readLe32(p)) / 2147483648.0;
                break;
            case SampleFormat::Float32:
                interleaved[i] = readFloat32(p);
                break;
            case SampleFormat::Float64:
                interleaved[i] = readFloat64(p);
                break;
        }
    }
    framesLeft -= frames;
    return frames;
}
