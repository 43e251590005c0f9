// Reads a WAV file block by block: 8-bit (unsigned), 16-, 24- and 32-bit PCM
// and 32- and 64-bit float, plain or WAVE_FORMAT_EXTENSIBLE, in a RIFF file
// or, beyond the 4 GiB a RIFF file can hold, an RF64 file (whose ds64 chunk
// carries the 64-bit sizes). Every header field that decoding relies on is
// checked before the first sample is read, so a malformed or truncated file
// is refused up front with a message that says why.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "tools/tk42host/frame_source.h"
#include "tools/tk42host/wav_format.h"

class WavReader : public FrameSource {
  public:
    // False with a message in error when the file cannot be read or is not a
    // WAV file this reader decodes.
    bool open(const std::string& path, std::string& error);

    const WavFormat& format() const override { return fmt; }
    uint64_t frames() const override { return totalFrames; }
    // The file is RF64 (or its broadcast twin BW64) rather than RIFF.
    bool isRf64() const { return rf64; }

    // Reads up to maxFrames frames, interleaved, as doubles with full scale
    // at 1.0. Answers the number of frames read, 0 at the end or on a read
    // error (then failed() is true).
    size_t read(double* interleaved, size_t maxFrames) override;
    bool failed() const override { return !readError.empty(); }
    const std::string& error() const override { return readError; }

  private:
    struct LongSize {
        char id[4];
        uint64_t size;
    };

    bool readAt(uint64_t pos, void* to, size_t bytes);
    bool parseDs64(uint64_t fileSize, std::string& error);
    bool chunkSize(const uint8_t* header, uint64_t& size, std::string& error) const;
    bool parseFormatChunk(const std::vector<uint8_t>& body, std::string& error);

    std::ifstream file;
    std::string name;
    WavFormat fmt;
    bool rf64 = false;
    uint64_t longDataSize = 0;
    std::vector<LongSize> longSizes;
    uint64_t totalFrames = 0;
    uint64_t framesLeft = 0;
    std::vector<uint8_t> raw;
    std::string readError;
};
