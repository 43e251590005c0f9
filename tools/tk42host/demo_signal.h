// The built-in demo: a few seconds of stereo drums, bass and a sustained
// tone at 120 BPM whose peaks go well above full scale, so that a render
// shows the limiter at work without any file to hand. Each sample is a pure
// function of its index, so every run produces the same signal.
#pragma once

#include <string>

#include "tools/tk42host/frame_source.h"

class DemoSignal : public FrameSource {
  public:
    static constexpr uint32_t kSampleRate = 48000;
    explicit DemoSignal(double seconds);

    const WavFormat& format() const override { return fmt; }
    uint64_t frames() const override { return total; }
    size_t read(double* interleaved, size_t maxFrames) override;
    const std::string& error() const override { return noError; }

    // Left and right of frame n.
    static void frame(uint64_t n, double& left, double& right);

  private:
    WavFormat fmt;
    uint64_t total;
    uint64_t next = 0;
    std::string noError;
};
