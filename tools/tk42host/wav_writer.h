// Writes a WAV file block by block in one of the formats the reader decodes.
// A file whose announced length would not fit the 32-bit sizes of a RIFF
// file is written as RF64, with the 64-bit sizes in a ds64 chunk. The sizes
// in the header are patched in by finish(); a file that was never finished
// is not a valid WAV file, which is why callers write to a temporary name
// first.
//
// Errors name no file: they say what went wrong ("the disk is full"), and the
// caller, which knows the name the user gave, says where.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/tk42host/frame_sink.h"
#include "tools/tk42host/tpdf_dither.h"
#include "tools/tk42host/wav_format.h"

class WavWriter : public FrameSink {
  public:
    // The largest RIFF size field a RIFF file can carry.
    static constexpr uint64_t kRiffLimit = 0xFFFFFFFFull;

    // Files whose RIFF size would exceed riffLimit bytes become RF64; tests
    // lower it to check the RF64 layout without writing gigabytes.
    explicit WavWriter(uint64_t riffLimit = kRiffLimit) : riffLimit(riffLimit) {}
    ~WavWriter() override;
    WavWriter(const WavWriter&) = delete;
    WavWriter& operator=(const WavWriter&) = delete;

    // expectedFrames is the length the caller will write; it chooses between
    // RIFF and RF64. Writing more than a RIFF file holds is then an error.
    bool open(const std::string& path, const WavFormat& format, uint64_t expectedFrames,
              std::string& error);
    // Integer formats get this dither before rounding; null writes undithered.
    void setDither(TpdfDither* d) { dither = d; }

    // Interleaved frames with full scale at 1.0. Integer samples are rounded
    // and limited to the format's range; a non-finite sample is written as 0.
    bool write(const double* interleaved, size_t frames, std::string& error) override;
    bool finish(std::string& error);

    // Samples that an integer format had to limit to its range.
    uint64_t clippedSamples() const { return clipped; }
    bool isRf64() const { return rf64; }

  private:
    void encode(const double* interleaved, size_t count);
    bool patch(long at, const uint8_t* bytes, size_t n);

    uint64_t riffLimit;
    std::FILE* file = nullptr;
    WavFormat fmt;
    TpdfDither* dither = nullptr;
    bool rf64 = false;
    uint64_t headerBytes = 0;
    uint64_t dataBytes = 0;
    uint64_t framesWritten = 0;
    uint64_t clipped = 0;
    long dataSizeAt = 0;
    long factFramesAt = -1;
    std::vector<uint8_t> raw;
};
