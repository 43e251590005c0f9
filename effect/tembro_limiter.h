// The TK42-R limiter: input gain, a look-ahead limit stage (LIMIT mode only)
// and a clip stage that holds every peak at the ceiling, stereo-linked.
#pragma once

#include <atomic>

#include "effect/editor_factory.h"
#include "effect/limiter_state.h"
#include "effect/meter_feed.h"
#include "effect/parameters.h"
#include "effect/tembro_fx.h"

class TembroLimiter : public TembroFX {
  public:
    // With a factory, the limiter has the editor it makes; without, none.
    explicit TembroLimiter(audioMasterCallback audioMaster,
                           LimiterEditorFactory createEditor = nullptr);
    // Closes an open editor while the limiter is still whole: closing may
    // commit a typed value and detaches the meter feed.
    ~TembroLimiter() override;

    // Audio thread. Parameters are read once per block; inputs and outputs may
    // be the same buffers. No allocation, lock, wait or host call.
    void processReplacing(float** inputs, float** outputs, int32_t sampleFrames) override;
    void processDoubleReplacing(double** inputs, double** outputs, int32_t sampleFrames) override;

    bool getEffectName(char* name) override;
    bool getProductString(char* text) override;
    int32_t getVendorVersion() override { return 2000; }
    int32_t getPlugCategory() override { return kPlugCategEffect; }

    void onSampleRateChanged(float sampleRate) override;
    void onParameterChanged(int32_t index, float value) override;
    // Any thread: the rate the limiter runs at. The editor asks for it when it
    // opens, while the host may be setting a new rate on another thread.
    float getSampleRate() override { return rate.load(std::memory_order_relaxed); }

    // Any thread. Marks the four smoothing coefficients for recomputation from
    // the rate and parameters as they stand; the next block derives them from
    // one snapshot, so overlapping calls on several threads can never leave
    // a set that mixes two generations.
    void computeCoefficients();

    // The editor attaches its meter here while it is open.
    MeterFeed& meterFeed() { return meter; }
    // The meter's per-sample fall factor at the current rate.
    double meterFallCoef() const;

    // The coefficients the next block runs with (all 0 until the first rate
    // or time/mode change).
    LimiterCoefficients coefficients() const;
    const LimiterState& processingState() const { return state; }

  private:
    template <typename T>
    void processBlock(T** inputs, T** outputs, int32_t sampleFrames);

    // The coefficients from the values as they stand, once the generation
    // read before them is known (all 0 at generation 0).
    LimiterCoefficients coefficientsOf(uint32_t generation) const;

    LimiterState state;  // audio thread only
    // The rate the coefficients derive from: the host's field is written by
    // the dispatcher's thread and cannot be read safely from another.
    std::atomic<float> rate{44100.0f};
    // Bumped after every store that changes what the coefficients derive
    // from; 0 means none has happened and the coefficients are still 0.
    std::atomic<uint32_t> coefficientGeneration{0};
    LimiterCoefficients blockCoefficients;  // audio thread only
    uint32_t blockGeneration = 0;           // audio thread only
    MeterFeed meter;
};
