// Writes a WAV file block by block in one of the formats the reader decodes.
// The sizes in the header are patched in by finish(); a file that was never
// finished is not a valid WAV file, which is why callers write to a temporary
// name first.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "tools/tk42host/frame_sink.h"
#include "tools/tk42host/tpdf_dither.h"
#include "tools/tk42host/wav_format.h"

class WavWriter : public FrameSink {
  public:
    bool open(const std::string& path, const WavFormat& format, std::string& error);
    // Integer formats get this dither before rounding; null writes undithered.
    void setDither(TpdfDither* d) { dither = d; }

    // Interleaved frames with full scale at 1.0. Integer samples are rounded
    // and limited to the format's range; a non-finite sample is written as 0.
    bool write(const double* interleaved, size_t frames, std::string& error) override;
    bool finish(std::string& error);

    // Samples that an integer format had to limit to its range.
    uint64_t clippedSamples() const { return clipped; }

  private:
    void encode(const double* interleaved, size_t count);

    std::ofstream file;
    std::string name;
    WavFormat fmt;
    TpdfDither* dither = nullptr;
    uint64_t dataBytes = 0;
    uint64_t framesWritten = 0;
    uint64_t clipped = 0;
    std::streamoff dataSizeAt = 0;
    std::streamoff factFramesAt = -1;
    std::vector<uint8_t> raw;
};
