#include "formats/vst2/tembro_fx.h"

#include <cmath>
#include <cstring>

#include "engine/state_block.h"
#include "formats/vst2/text_helpers.h"

namespace {

float limitToUnit(float v) {
    if (v < 0.0f) return 0.0f;
    if (v > 1.0f) return 1.0f;
    return v;
}

}  // namespace

TembroFX::TembroFX(audioMasterCallback audioMaster, uint16_t numParams)
    : AudioEffectX(audioMaster, 0, numParams),
      paramTable(new ParameterEntry[numParams]),
      paramCount(numParams),
      chunkBuffer(new uint8_t[static_cast<size_t>(numParams) * 4 + 1]()) {}

TembroFX::~TembroFX() = default;

void TembroFX::setSampleRate(float rate) {
    // A rate that is not a finite number within the audio range would make
    // the coefficients NaN, unstable or 1; such a request changes nothing.
    if (!(rate >= kMinSampleRate && rate <= kMaxSampleRate)) return;
    AudioEffectX::setSampleRate(rate);
    onSampleRateChanged(rate);
}

void TembroFX::storeParameter(int32_t index, float value, float reported) {
    saveValue(index, limitToUnit(value));
    onParameterChanged(index, reported);
    if (editor) editor->setParameter(index, reported);
}

void TembroFX::setParameter(int32_t index, float value) {
    // A stored NaN would turn every later output sample into NaN.
    if (!isValidIndex(index) || std::isnan(value)) return;
    storeParameter(index, value, value);
}

float TembroFX::getParameter(int32_t index) {
    return getParameterValue(index);
}

float TembroFX::getParameterValue(int32_t index) const {
    if (!isValidIndex(index)) return 0.0f;
    return loadValue(index);
}

void TembroFX::getProgramName(char* name) {
    vst_strncpy(name, "Default", kVstMaxProgNameLen);
}

void TembroFX::getParameterLabel(int32_t index, char* label) {
    if (!isValidIndex(index)) return;
    vst_strncpy(label, paramTable[index].label, kVstMaxParamStrLen);
}

void TembroFX::getParameterDisplay(int32_t index, char* text) {
    if (!isValidIndex(index)) return;
    float2string(getParameter(index), text, kVstMaxParamStrLen);
}

void TembroFX::getParameterName(int32_t index, char* text) {
    if (!isValidIndex(index)) return;
    vst_strncpy(text, paramTable[index].name, kVstMaxParamStrLen);
}

int32_t TembroFX::getChunk(void** data, bool /*isPreset*/) {
    if (paramCount == 0) return 0;
    for (int32_t i = 0; i < paramCount; ++i) {
        const float v = getParameter(i);
        encodeFloatsLE(&v, 1, &chunkBuffer[4 * i]);
    }
    *data = chunkBuffer.get();
    return chunkSize();
}

int32_t TembroFX::setChunk(void* data, int32_t byteSize, bool /*isPreset*/) {
    // A short block is ignored whole: taking part of it would mix two states,
    // and reading past byteSize could fault.
    if (!data || byteSize < chunkSize()) return 0;
    const auto* bytes = static_cast<const uint8_t*>(data);
    for (int32_t i = 0; i < paramCount; ++i) {
        float v;
        decodeFloatsLE(bytes + 4 * i, 4, 1, &v);
        if (std::isnan(v)) continue;
        const float stored = limitToUnit(v);
        storeParameter(i, stored, stored);
    }
    return 0;
}

bool TembroFX::getVendorString(char* text) {
    vst_strncpy(text, "Falden Murex", kVstMaxVendorStrLen);
    return true;
}

int32_t TembroFX::canDo(char* text) {
    for (uint16_t i = 0; i < canDoCount; ++i) {
        if (std::strcmp(text, canDoList[i]) == 0) return 1;
    }
    return -1;
}
