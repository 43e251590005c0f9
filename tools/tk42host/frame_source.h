// Where a render's input frames come from: a WAV file or the built-in demo.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "tools/tk42host/wav_format.h"

class FrameSource {
  public:
    virtual ~FrameSource() = default;
    virtual const WavFormat& format() const = 0;
    virtual uint64_t frames() const = 0;
    // Up to maxFrames interleaved frames, full scale at 1.0; the number read,
    // 0 at the end or on an error (then failed() is true).
    virtual size_t read(double* interleaved, size_t maxFrames) = 0;
    virtual bool failed() const { return false; }
    virtual const std::string& error() const = 0;
};
