#include "tools/plughost/plugin_instance.h"

#include <cctype>

intptr_t PluginInstance::dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                                  float opt) const {
    if (!effect) return 0;
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

intptr_t PluginInstance::close() {
    if (!effect) return 0;
    intptr_t result = effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    effect = nullptr;
    return result;
}

void PluginInstance::setParameter(int32_t index, float value) const {
    if (effect) effect->setParameter(effect, index, value);
}

float PluginInstance::getParameter(int32_t index) const {
    return effect ? effect->getParameter(effect, index) : 0.0f;
}

std::string PluginInstance::text(int32_t opcode, int32_t index, size_t capacity) const {
    // Generous buffers: a plug-in that overruns its limit must not corrupt ours.
    std::string buffer(capacity + 64, '\0');
    dispatch(opcode, index, 0, &buffer[0]);
    buffer.resize(buffer.find('\0'));
    return buffer;
}

std::string PluginInstance::parameterName(int32_t index) const {
    return text(effGetParamName, index, kVstMaxParamStrLen);
}

std::string PluginInstance::parameterLabel(int32_t index) const {
    return text(effGetParamLabel, index, kVstMaxParamStrLen);
}

std::string PluginInstance::parameterDisplay(int32_t index) const {
    return text(effGetParamDisplay, index, kVstMaxParamStrLen);
}

std::string PluginInstance::effectName() const {
    return text(effGetEffectName, 0, kVstMaxEffectNameLen);
}

std::string PluginInstance::vendorString() const {
    return text(effGetVendorString, 0, kVstMaxVendorStrLen);
}

std::string PluginInstance::productString() const {
    return text(effGetProductString, 0, kVstMaxProductStrLen);
}

namespace {

std::string squeezed(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c != ' ') out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

}  // namespace

int32_t PluginInstance::findParameter(const std::string& name) const {
    if (!effect) return -1;
    const std::string wanted = squeezed(name);
    for (int32_t i = 0; i < effect->numParams; ++i) {
        if (squeezed(parameterName(i)) == wanted) return i;
    }
    return -1;
}

std::vector<uint8_t> PluginInstance::chunk() const {
    void* data = nullptr;
    intptr_t size = dispatch(effGetChunk, 0, 0, &data);
    if (size <= 0 || !data) return {};
    const auto* bytes = static_cast<const uint8_t*>(data);
    return std::vector<uint8_t>(bytes, bytes + size);
}

intptr_t PluginInstance::setChunk(const std::vector<uint8_t>& bytes) const {
    std::vector<uint8_t> copy = bytes;
    return dispatch(effSetChunk, 0, static_cast<intptr_t>(copy.size()),
                    copy.empty() ? nullptr : copy.data());
}

void PluginInstance::start(float sampleRate, int32_t blockSize) const {
    dispatch(effOpen);
    dispatch(effSetSampleRate, 0, 0, nullptr, sampleRate);
    dispatch(effSetBlockSize, 0, blockSize);
    dispatch(effMainsChanged, 0, 1);
}

void PluginInstance::stop() const {
    dispatch(effMainsChanged, 0, 0);
}

void PluginInstance::process(float** inputs, float** outputs, int32_t frames) const {
    if (effect) effect->processReplacing(effect, inputs, outputs, frames);
}

void PluginInstance::process(double** inputs, double** outputs, int32_t frames) const {
    if (effect) effect->processDoubleReplacing(effect, inputs, outputs, frames);
}
