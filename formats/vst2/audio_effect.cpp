#include "formats/vst2/audio_effect.h"

#include <cstring>

#include "formats/vst2/text_helpers.h"

constexpr int32_t kPlaceholderId = fourCharCode('N', 'o', 'E', 'f');
constexpr intptr_t kIdentifyAnswer = fourCharCode('N', 'v', 'E', 'f');

AudioEffect::AudioEffect(audioMasterCallback audioMaster, int32_t numPrograms, int32_t numParams)
    : hostCallback(audioMaster), programCount(numPrograms), parameterCount(numParams) {
    std::memset(&effectRecord, 0, sizeof(effectRecord));
    effectRecord.flags |= effFlagsCanReplacing;
    effectRecord.magic = kEffectMagic;
    effectRecord.dispatcher = dispatchEffectClass;
    effectRecord.process = processClass;
    effectRecord.setParameter = setParameterClass;
    effectRecord.getParameter = getParameterClass;
    effectRecord.numPrograms = numPrograms;
    effectRecord.numParams = numParams;
    effectRecord.numInputs = 1;
    effectRecord.numOutputs = 2;
    effectRecord.ioRatio = 1.f;
    effectRecord.object = this;
    effectRecord.uniqueID = kPlaceholderId;
    effectRecord.version = 1;
    effectRecord.processReplacing = processClassReplacing;
    effectRecord.processDoubleReplacing = processClassDoubleReplacing;
}

AudioEffect::~AudioEffect() {
    delete editor;
}

// --- Static entry functions -------------------------------------------------

intptr_t AudioEffect::dispatchEffectClass(AEffect* e, int32_t opcode, int32_t index, intptr_t value,
                                          void* ptr, float opt) {
    auto* self = static_cast<AudioEffect*>(e->object);
    if (opcode == effClose) {
        self->dispatcher(opcode, index, value, ptr, opt);
        delete self;
        return 1;
    }
    return self->dispatcher(opcode, index, value, ptr, opt);
}

void AudioEffect::processClass(AEffect* e, float** inputs, float** outputs, int32_t sampleFrames) {
    static_cast<AudioEffect*>(e->object)->process(inputs, outputs, sampleFrames);
}

void AudioEffect::processClassReplacing(AEffect* e, float** inputs, float** outputs,
                                        int32_t sampleFrames) {
    static_cast<AudioEffect*>(e->object)->processReplacing(inputs, outputs, sampleFrames);
}

void AudioEffect::processClassDoubleReplacing(AEffect* e, double** inputs, double** outputs,
                                              int32_t sampleFrames) {
    static_cast<AudioEffect*>(e->object)->processDoubleReplacing(inputs, outputs, sampleFrames);
}

void AudioEffect::setParameterClass(AEffect* e, int32_t index, float value) {
    static_cast<AudioEffect*>(e->object)->setParameter(index, value);
}

float AudioEffect::getParameterClass(AEffect* e, int32_t index) {
    return static_cast<AudioEffect*>(e->object)->getParameter(index);
}

// --- Dispatcher, opcodes 0 to 24 ----------------------------------------------

intptr_t AudioEffect::dispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                                 float opt) {
    // Opcodes that write through ptr do nothing for a null one: a host bug must
    // not become a crash inside the host's process.
    switch (opcode) {
        case effOpen:
            open();
            return 0;
        case effClose:
            close();
            return 0;
        case effSetProgram:
            if (value < programCount) setProgram(static_cast<int32_t>(value));
            return 0;
        case effGetProgram:
            return getProgram();
        case effSetProgramName:
            if (ptr) setProgramName(static_cast<char*>(ptr));
            return 0;
        case effGetProgramName:
            if (ptr) getProgramName(static_cast<char*>(ptr));
            return 0;
        case effGetParamLabel:
            if (ptr) getParameterLabel(index, static_cast<char*>(ptr));
            return 0;
        case effGetParamDisplay:
            if (ptr) getParameterDisplay(index, static_cast<char*>(ptr));
            return 0;
        case effGetParamName:
            if (ptr) getParameterName(index, static_cast<char*>(ptr));
            return 0;
        case effSetSampleRate:
            setSampleRate(opt);
            return 0;
        case effSetBlockSize:
            setBlockSize(static_cast<int32_t>(value));
            return 0;
        case effMainsChanged:
            if (value == 0) {
                suspend();
            } else {
                resume();
            }
            return 0;
        case effEditGetRect:
            if (editor && ptr) return editor->getRect(static_cast<ERect**>(ptr)) ? 1 : 0;
            return 0;
        case effEditOpen:
            if (editor) return editor->open(ptr) ? 1 : 0;
            return 0;
        case effEditClose:
            if (editor) editor->close();
            return 0;
        case effEditIdle:
            if (editor) editor->idle();
            return 0;
        case effIdentify:
            return kIdentifyAnswer;
        case effGetChunk:
            if (!ptr) return 0;
            return getChunk(static_cast<void**>(ptr), index != 0);
        case effSetChunk:
            if (!ptr) return 0;
            return setChunk(ptr, static_cast<int32_t>(value), index != 0);
        default:
            return 0;
    }
}

// --- Host requests ----------------------------------------------------------------

intptr_t AudioEffect::callHost(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                               float opt) const {
    if (!hostCallback) return 0;
    return hostCallback(const_cast<AEffect*>(&effectRecord), opcode, index, value, ptr, opt);
}

void AudioEffect::setParameterAutomated(int32_t index, float value) {
    // Store first, so that effect and editor hold the value when the host hears of it.
    setParameter(index, value);
    callHost(audioMasterAutomate, index, 0, nullptr, value);
}

int32_t AudioEffect::getMasterVersion() {
    intptr_t version = callHost(audioMasterVersion);
    return version == 0 ? 1 : static_cast<int32_t>(version);
}

int32_t AudioEffect::getCurrentUniqueId() {
    return static_cast<int32_t>(callHost(audioMasterCurrentId));
}

void AudioEffect::masterIdle() {
    callHost(audioMasterIdle);
}

bool AudioEffect::isInputConnected(int32_t input) {
    return callHost(audioMasterPinConnected, input, 0) == 0;
}

bool AudioEffect::isOutputConnected(int32_t output) {
    return callHost(audioMasterPinConnected, output, 1) == 0;
}

void AudioEffect::Hz2string(float samples, char* text, int32_t maxLen) {
    ::Hz2string(samples, text, maxLen, sampleRate);
}

void AudioEffect::ms2string(float samples, char* text, int32_t maxLen) {
    ::ms2string(samples, text, maxLen, sampleRate);
}
