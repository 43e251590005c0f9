#include "engine/limiter_engine.h"

#include "engine/dsp_math.h"
#include "engine/limiter_kernel.h"

LimiterEngine::LimiterEngine() {
    for (int32_t i = 0; i < kNumParams; ++i) {
        values[i].store(kParameterInfo[i].defaultValue, std::memory_order_relaxed);
    }
}

bool LimiterEngine::setSampleRate(float newRate) {
    // A rate that is not a finite number within the audio range would make
    // the coefficients NaN, unstable or 1.
    if (!(newRate >= kMinSampleRate && newRate <= kMaxSampleRate)) return false;
    rate.store(newRate, std::memory_order_relaxed);
    computeCoefficients();
    if (meter.isAttached()) meter.restart(meterFallCoef());
    return true;
}

bool LimiterEngine::setParameter(int32_t index, float v) {
    if (!isParameterIndex(index) || std::isnan(v)) return false;
    if (v < 0.0f) v = 0.0f;
    if (v > 1.0f) v = 1.0f;
    values[index].store(v, std::memory_order_relaxed);
    // Gain, ceiling and Show are read per block; only the time and mode
    // parameters shape the coefficients.
    if (index >= kAtkH && index <= kMode) computeCoefficients();
    return true;
}

float LimiterEngine::parameter(int32_t index) const {
    if (!isParameterIndex(index)) return 0.0f;
    return values[index].load(std::memory_order_relaxed);
}

void LimiterEngine::saveState(uint8_t out[kStateBytes]) const {
    float v[kNumParams];
    for (int32_t i = 0; i < kNumParams; ++i) v[i] = parameter(i);
    encodeFloatsLE(v, kNumParams, out);
}

bool LimiterEngine::loadState(const void* data, size_t size) {
    float v[kNumParams];
    if (!decodeFloatsLE(data, size, kNumParams, v)) return false;
    for (int32_t i = 0; i < kNumParams; ++i) setParameter(i, v[i]);
    return true;
}

double LimiterEngine::meterFallCoef() const {
    return meterFallCoefficient(rate.load(std::memory_order_relaxed));
}

void LimiterEngine::computeCoefficients() {
    // Release: whoever acquires the new generation sees every value stored
    // before it, whichever thread stored it.
    coefficientGeneration.fetch_add(1, std::memory_order_release);
}

LimiterCoefficients LimiterEngine::coefficientsOf(uint32_t generation) const {
    if (generation == 0) return LimiterCoefficients{};
    return limiterCoefficients(rate.load(std::memory_order_relaxed), parameter(kAtkH),
                               parameter(kRelH), parameter(kRelease), parameter(kMode));
}

LimiterCoefficients LimiterEngine::coefficients() const {
    return coefficientsOf(coefficientGeneration.load(std::memory_order_acquire));
}

template <typename T>
void LimiterEngine::processBlock(T** inputs, T** outputs, int32_t frames) {
    if (frames <= 0) return;
    // The generation is read before the values: a change that lands after
    // this load bumps it again, and the next block picks that change up.
    const uint32_t generation = coefficientGeneration.load(std::memory_order_acquire);
    if (generation != blockGeneration) {
        blockCoefficients = coefficientsOf(generation);
        blockGeneration = generation;
    }
    const BlockSettings block =
        blockSettings(parameter(kGain), parameter(kThresh), parameter(kMode), parameter(kShow));
    blockShowsLimit = block.meterShowsLimit;
    MeterReading reading = meter.beginBlock();
    processFast(state, blockCoefficients, block, reading, inputs, outputs, frames);
    meter.endBlock(reading);
}

void LimiterEngine::process(float** inputs, float** outputs, int32_t frames) {
    processBlock(inputs, outputs, frames);
}

void LimiterEngine::process(double** inputs, double** outputs, int32_t frames) {
    processBlock(inputs, outputs, frames);
}

void LimiterEngine::reset() {
    state = LimiterState{};
}

double LimiterEngine::currentReductionDb() const {
    if (blockShowsLimit) return state.limitGain < 1.0 ? -20.0 * dsp::log10(state.limitGain) : 0.0;
    const double db = state.clipEnvDb - kTiny;
    return db > 0.0 ? db : 0.0;
}
