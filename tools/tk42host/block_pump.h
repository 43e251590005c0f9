// Runs a source through a processor in blocks, as a host drives a plug-in,
// and hands every block to observers: meters, the gain-reduction watch, the
// plot, the output file. It compensates the processor's delay when asked
// (the first delay frames are dropped and as many zeros fed at the end, so
// the output has the input's length and lines up with it) and applies the
// host's trim ahead of the processor. It stops between blocks once an
// interruption has been requested or the caller cancels the render.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tools/tk42host/frame_source.h"

// What turns input blocks into output blocks: the plug-in, or a recorded take.
class BlockProcessor {
  public:
    virtual ~BlockProcessor() = default;
    virtual void process(float** in, float** out, int32_t frames) = 0;
    virtual void process(double** in, double** out, int32_t frames) = 0;
};

struct PumpConfig {
    int32_t blockSize = 512;
    bool doublePrecision = false;
    int32_t delay = 0;
    bool compensateDelay = true;
    double trim = 1.0;  // linear, applied to the input ahead of the processor
    const std::atomic<bool>* cancel = nullptr;  // set by the caller to stop this render
};

// One block as the observers see it. Mono sources show their channel twice.
struct PumpBlock {
    int channels = 2;
    // The frames read in this block, as in the source (non-finite samples
    // replaced by silence).
    const double* input[2] = {nullptr, nullptr};
    size_t inputFrames = 0;
    // The output frames kept in this block and, for each, the processor's
    // input frame it lines up with (after the trim; silence before the first).
    const double* output[2] = {nullptr, nullptr};
    const double* alignedInput[2] = {nullptr, nullptr};
    size_t outputFrames = 0;
};

class PumpObserver {
  public:
    virtual ~PumpObserver() = default;
    // False with a message stops the render (a write that failed).
    virtual bool block(const PumpBlock& b, std::string& error) = 0;
    virtual void finish() {}
};

enum class PumpEnd { Done, Stopped, InputFailed, ObserverFailed };

struct PumpResult {
    PumpEnd end = PumpEnd::Done;
    std::string error;
    uint64_t frames = 0;          // input frames
    uint64_t nonFiniteInput = 0;  // samples replaced by silence
    double processSeconds = 0;    // inside the processor
    double totalSeconds = 0;
};

// Progress in frames processed (the delay's flush included) of the total.
using PumpProgress = std::function<void(uint64_t done, uint64_t total)>;

// Sources of one or two channels; the processor takes and gives two.
PumpResult pump(FrameSource& source, BlockProcessor& processor, const PumpConfig& config,
                const std::vector<PumpObserver*>& observers, const PumpProgress& progress);
