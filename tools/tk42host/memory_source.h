// A whole input held in memory, so that a search can render it many times
// without reading the file again.
#pragma once

#include <string>
#include <vector>

#include "tools/tk42host/frame_sink.h"
#include "tools/tk42host/frame_source.h"

class MemorySource : public FrameSource {
  public:
    // Reads all of from; false with a message when it fails.
    bool load(FrameSource& from, std::string& error);
    void rewind() { position = 0; }

    const WavFormat& format() const override { return fmt; }
    uint64_t frames() const override { return samples.size() / fmt.channels; }
    size_t read(double* interleaved, size_t maxFrames) override;
    const std::string& error() const override { return noError; }

    // count samples of one channel from frame `from`, non-finite ones as 0.
    void copyChannel(int channel, uint64_t from, size_t count, double* to) const;

  private:
    WavFormat fmt;
    std::vector<double> samples;
    size_t position = 0;  // in frames
    std::string noError;
};

// Where the output of a measuring pass goes: nowhere.
class DiscardSink : public FrameSink {
  public:
    bool write(const double*, size_t, std::string&) override { return true; }
};
