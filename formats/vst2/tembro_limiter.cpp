#include "formats/vst2/tembro_limiter.h"

#include "formats/vst2/text_helpers.h"

constexpr int32_t kUniqueId = fourCharCode('T', 'K', '4', '2');

TembroLimiter::TembroLimiter(audioMasterCallback audioMaster, LimiterEditorFactory createEditor)
    : TembroFX(audioMaster, kNumParams) {
    for (int32_t i = 0; i < kNumParams; ++i) {
        paramTable[i].name = kParameterInfo[i].name;
        paramTable[i].label = kParameterInfo[i].label;
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

void TembroLimiter::onSampleRateChanged(float sampleRate) {
    engine.setSampleRate(sampleRate);
}

void TembroLimiter::processReplacing(float** inputs, float** outputs, int32_t sampleFrames) {
    engine.process(inputs, outputs, sampleFrames);
}

void TembroLimiter::processDoubleReplacing(double** inputs, double** outputs,
                                           int32_t sampleFrames) {
    engine.process(inputs, outputs, sampleFrames);
}
