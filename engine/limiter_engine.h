// The TK42-R limiter apart from any plug-in format: the seven parameter
// values, the sample rate, the coefficients handed from whichever thread
// changed them to the audio thread, the signal path in both precisions, the
// look-ahead and the meter feed. Each format adapter owns one per instance.
//
// Threads: setParameter, parameter, setSampleRate and the state calls may
// come from any thread; process and reset belong to the audio thread (or to
// a thread that holds processing stopped). Nothing here allocates, locks or
// waits.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "engine/limiter_state.h"
#include "engine/meter_feed.h"
#include "engine/parameters.h"
#include "engine/state_block.h"

class LimiterEngine {
  public:
    // Rates outside this range are ignored like non-finite ones: far above
    // audio the smoothing coefficients round to 1 and the limiter stops
    // limiting. 768 kHz is the highest rate real interfaces run.
    static constexpr float kMinSampleRate = 8000.0f;
    static constexpr float kMaxSampleRate = 768000.0f;

    LimiterEngine();

    // Any thread. False, and nothing changes, for a rate out of range or not
    // a number. A new rate restarts an attached meter.
    bool setSampleRate(float rate);
    float sampleRate() const { return rate.load(std::memory_order_relaxed); }

    // Any thread. Clamps to 0..1; false, and nothing changes, for an invalid
    // index or NaN (a stored NaN would turn every later sample into NaN).
    bool setParameter(int32_t index, float normalised);
    // Any thread; 0 for an invalid index.
    float parameter(int32_t index) const;
    bool limitMode() const { return isLimitMode(parameter(kMode)); }
    // The value in real units, and stored from real units (clamped).
    double realValue(int32_t index) const { return toReal(index, parameter(index), limitMode()); }
    bool setRealValue(int32_t index, double real) {
        return setParameter(index, fromReal(index, real, limitMode()));
    }

    // Any thread: the 28 bytes. loadState stores every value of a whole
    // block but NaN ones, and refuses a null or short block (false).
    void saveState(uint8_t out[kStateBytes]) const;
    bool loadState(const void* data, size_t size);

    // The delay between input and output in samples: the look-ahead in LIMIT
    // mode, none in CLIP mode.
    int32_t latencySamples() const { return limitMode() ? kLookAhead : 0; }

    // Audio thread. Parameters are read once per block; inputs and outputs
    // may be the same buffers. A block of 0 or fewer frames does nothing.
    void process(float** inputs, float** outputs, int32_t frames);
    void process(double** inputs, double** outputs, int32_t frames);
    // Audio thread, or with processing stopped: silence in the look-ahead
    // and the envelopes at rest, as a new instance starts.
    void reset();
    // Audio thread: the reduction in dB that the stage the meter shows
    // applies now (Show and Mode as the last block read them). Cheap: one
    // log10 at most, for a per-block reading where no meter is attached.
    double currentReductionDb() const;

    // The meter of an open editor attaches here; the fall factor at the
    // current rate.
    MeterFeed& meterFeed() { return meter; }
    double meterFallCoef() const;

    // Any thread. Marks the coefficients for recomputation from the rate and
    // parameters as they stand; the next block derives them from one
    // snapshot, so overlapping calls can never mix two generations.
    void computeCoefficients();
    // The coefficients the next block runs with (all 0 until the first rate
    // or time/mode change), and the audio thread's state, for tests.
    LimiterCoefficients coefficients() const;
    const LimiterState& processingState() const { return state; }

  private:
    template <typename T>
    void processBlock(T** inputs, T** outputs, int32_t frames);
    LimiterCoefficients coefficientsOf(uint32_t generation) const;

    std::atomic<float> values[kNumParams];
    std::atomic<float> rate{44100.0f};
    // Bumped after every store that changes what the coefficients derive
    // from; 0 means none has happened and the coefficients are still 0.
    std::atomic<uint32_t> coefficientGeneration{0};
    LimiterState state;                     // audio thread only
    LimiterCoefficients blockCoefficients;  // audio thread only
    uint32_t blockGeneration = 0;           // audio thread only
    bool blockShowsLimit = true;            // audio thread only
    MeterFeed meter;
};
