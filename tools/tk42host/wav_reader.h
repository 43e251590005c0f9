// Reads a WAV file block by block: 16-, 24- and 32-bit PCM and 32- and 64-bit
// float, plain or WAVE_FORMAT_EXTENSIBLE. Every header field that decoding
// relies on is checked before the first sample is read, so a malformed or
// truncated file is refused up front with a message that says why.
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

    // Reads up to maxFrames frames, interleaved, as doubles with full scale
    // at 1.0. Answers the number of frames read, 0 at the end or on a read
    // error (then failed() is true).
    size_t read(double* interleaved, size_t maxFrames) override;
    bool failed() const override { return !readError.empty(); }
    const std::string& error() const override { return readError; }

  private:
    bool parseFormatChunk(const std::vector<uint8_t>& body, std::string& error);

    std::ifstream file;
    std::string name;
    WavFormat fmt;
    uint64_t totalFrames = 0;
    uint64_t framesLeft = 0;
    std::vector<uint8_t> raw;
    std::string readError;
};
