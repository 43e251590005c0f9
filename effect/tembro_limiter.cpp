#include "effect/tembro_limiter.h"

#include <cmath>

#include "effect/dsp_math.h"
#include "effect/limiter_kernel.h"
#include "host/text_helpers.h"

constexpr int32_t kUniqueId = fourCharCode('T', 'K', '4', '2');

TembroLimiter::TembroLimiter(audioMasterCallback audioMaster, LimiterEditorFactory createEditor)
    : TembroFX(audioMaster, kNumParams) {
    for (int32_t i = 0; i < kNumParams; ++i) {
        paramTable[i].name = kParameterInfo[i].name;
        paramTable[i].label = kParameterInfo[i].label;
        paramTable[i].value.store(kParameterInfo[i].defaultValue, std::memory_order_relaxed);
    }
    setUniqueID(kUniqueId);
    setNumInputs(2);
    setNumOutputs(2);
    canProcessReplacing();
    programsAreChunks();
    canDoubleReplacing();
    if (createEditor) createEditor(this);
}

TembroLimiter::~TembroLimiter() {
    if (editor) editor->close();
}

bool TembroLimiter::getEffectName(char* name) {
    vst_strncpy(name, "TK42-R Limiter", kVstMaxEffectNameLen);
    return true;
}

bool TembroLimiter::getProductString(char* text) {
    vst_strncpy(text, "TK42-R Limiter", kVstMaxProductStrLen);
    return true;
}

double TembroLimiter::meterFallCoef() const {
    return dsp::exp(-2000.0 / (static_cast<double>(rate.load(std::memory_order_relaxed)) * 300.0));
}

void TembroLimiter::onSampleRateChanged(float sampleRate) {
    rate.store(sampleRate, std::memory_order_relaxed);
    computeCoefficients();
    if (meter.isAttached()) meter.restart(meterFallCoef());
}

void TembroLimiter::onParameterChanged(int32_t index, float /*value*/) {
    // Gain, Thresh and Show are read per block; only the time and mode
    // parameters shape the coefficients.
    if (index >= kAtkH && index <= kMode) computeCoefficients();
}

void TembroLimiter::computeCoefficients() {
    // Release: whoever acquires the new generation sees every value stored
    // before it, whichever thread stored it.
    coefficientGeneration.fetch_add(1, std::memory_order_release);
}

LimiterCoefficients TembroLimiter::coefficientsOf(uint32_t generation) const {
    if (generation == 0) return LimiterCoefficients{};
    return limiterCoefficients(rate.load(std::memory_order_relaxed), getParameterValue(kAtkH),
                               getParameterValue(kRelH), getParameterValue(kRelease),
                               getParameterValue(kMode));
}

LimiterCoefficients TembroLimiter::coefficients() const {
    return coefficientsOf(coefficientGeneration.load(std::memory_order_acquire));
}

template <typename T>
void TembroLimiter::processBlock(T** inputs, T** outputs, int32_t sampleFrames) {
    if (sampleFrames <= 0) return;
    // The generation is read before the values: a change that lands after
    // this load bumps it again, and the next block picks that change up.
    const uint32_t generation = coefficientGeneration.load(std::memory_order_acquire);
    if (generation != blockGeneration) {
        blockCoefficients = coefficientsOf(generation);
        blockGeneration = generation;
    }
    const BlockSettings block = blockSettings(getParameter(kGain), getParameter(kThresh),
                                              getParameter(kMode), getParameter(kShow));
    MeterReading reading = meter.beginBlock();
    processFast(state, blockCoefficients, block, reading, inputs, outputs, sampleFrames);
    meter.endBlock(reading);
}

void TembroLimiter::processReplacing(float** inputs, float** outputs, int32_t sampleFrames) {
    processBlock(inputs, outputs, sampleFrames);
}

void TembroLimiter::processDoubleReplacing(double** inputs, double** outputs,
                                           int32_t sampleFrames) {
    processBlock(inputs, outputs, sampleFrames);
}
