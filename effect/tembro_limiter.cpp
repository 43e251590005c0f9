#include "effect/tembro_limiter.h"

#include <cmath>

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
    return std::exp(-2000.0 / (static_cast<double>(sampleRate) * 300.0));
}

void TembroLimiter::onSampleRateChanged(float /*sampleRate*/) {
    computeCoefficients();
    if (meter.isAttached()) meter.restart(meterFallCoef());
}

void TembroLimiter::onParameterChanged(int32_t index, float /*value*/) {
    // Gain, Thresh and Show are read per block; only the time and mode
    // parameters shape the coefficients.
    if (index >= kAtkH && index <= kMode) computeCoefficients();
}

void TembroLimiter::computeCoefficients() {
    const LimiterCoefficients c =
        limiterCoefficients(sampleRate, getParameter(kAtkH), getParameter(kRelH),
                            getParameter(kRelease), getParameter(kMode));
    limitAttackCoef.store(c.limitAttack, std::memory_order_relaxed);
    limitReleaseCoef.store(c.limitRelease, std::memory_order_relaxed);
    clipAttackCoef.store(c.clipAttack, std::memory_order_relaxed);
    clipReleaseCoef.store(c.clipRelease, std::memory_order_relaxed);
}

LimiterCoefficients TembroLimiter::coefficients() const {
    LimiterCoefficients c;
    c.limitAttack = limitAttackCoef.load(std::memory_order_relaxed);
    c.limitRelease = limitReleaseCoef.load(std::memory_order_relaxed);
    c.clipAttack = clipAttackCoef.load(std::memory_order_relaxed);
    c.clipRelease = clipReleaseCoef.load(std::memory_order_relaxed);
    return c;
}

template <typename T>
void TembroLimiter::processBlock(T** inputs, T** outputs, int32_t sampleFrames) {
    if (sampleFrames <= 0) return;
    const BlockSettings block = blockSettings(getParameter(kGain), getParameter(kThresh),
                                              getParameter(kMode), getParameter(kShow));
    MeterReading reading = meter.beginBlock();
    processFast(state, coefficients(), block, reading, inputs, outputs, sampleFrames);
    meter.endBlock(reading);
}

void TembroLimiter::processReplacing(float** inputs, float** outputs, int32_t sampleFrames) {
    processBlock(inputs, outputs, sampleFrames);
}

void TembroLimiter::processDoubleReplacing(double** inputs, double** outputs,
                                           int32_t sampleFrames) {
    processBlock(inputs, outputs, sampleFrames);
}
