// A search's pass kept in memory: everything the processor gave, so that the
// pass that lands is written as it is instead of being rendered once more,
// and measured on both cores.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "tools/tk42host/block_pump.h"
#include "tools/tk42host/loudness_meter.h"
#include "tools/tk42host/plugin_processor.h"

// The processor's output, whole, in its own precision.
class Take {
  public:
    // Room for a whole render, so that appending never copies.
    void reserve(uint64_t frames, bool doublePrecision);
    template <typename T>
    void append(T** out, int32_t frames);
    uint64_t frames() const { return length; }
    // count frames of each channel from frame `from`, as doubles.
    void copy(int channel, uint64_t from, size_t count, double* to) const;
    template <typename T>
    void copy(uint64_t from, T** out, int32_t frames) const;

  private:
    std::vector<float> singles[2];
    std::vector<double> doubles[2];
    uint64_t length = 0;
};

// Processes through the effect and keeps what it gives.
class RecordingProcessor : public BlockProcessor {
  public:
    RecordingProcessor(BlockProcessor& inner, Take& take) : inner(inner), take(take) {}
    void process(float** in, float** out, int32_t frames) override;
    void process(double** in, double** out, int32_t frames) override;

  private:
    BlockProcessor& inner;
    Take& take;
};

// Gives the take's frames again, whatever the input.
class ReplayProcessor : public BlockProcessor {
  public:
    explicit ReplayProcessor(const Take& take, double processSeconds)
        : take(take), seconds(processSeconds) {}
    void process(float** in, float** out, int32_t frames) override;
    void process(double** in, double** out, int32_t frames) override;
    // The time the effect took to make the take.
    double effectSeconds() const { return seconds; }

  private:
    const Take& take;
    double seconds;
    uint64_t position = 0;
};

// The levels of frames held in memory (a take, or an input held for a search).
struct MeasuredLevels {
    std::unique_ptr<LoudnessMeter> loudness;
    double truePeak = 0;  // linear; 0 when not measured
    double samplePeak = 0;
};

using ChannelReader = std::function<void(int channel, uint64_t from, size_t count, double* to)>;

// Frames `from` to `from + count` (of a take: the frames a render keeps).
// With threads > 1 the true peaks of the second half are measured on
// another thread; the result is the same to the bit.
MeasuredLevels measureFrames(const ChannelReader& read, uint64_t from, uint64_t count, int channels,
                             double sampleRate, bool truePeaks, int threads);
