// The host-interface base class: owns the effect record handed to the host,
// answers opcodes 0 to 24, and sends the basic host requests.
//
// Threads: the host calls the process functions on its audio thread and the
// dispatcher mostly on its user-interface thread; setParameter and
// getParameter may come from either. Nothing here locks.
#pragma once

#include <cstdint>

#include "formats/vst2/aeff_editor.h"
#include "formats/vst2/aeffect.h"
#include "formats/vst2/vst_records.h"

class AudioEffect {
  public:
    AudioEffect(audioMasterCallback audioMaster, int32_t numPrograms, int32_t numParams);
    virtual ~AudioEffect();
    AudioEffect(const AudioEffect&) = delete;
    AudioEffect& operator=(const AudioEffect&) = delete;

    virtual intptr_t dispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                                float opt);

    virtual void open() {}
    virtual void close() {}
    virtual void suspend() {}
    virtual void resume() {}

    virtual void setSampleRate(float rate) { sampleRate = rate; }
    virtual void setBlockSize(int32_t frames) { blockSize = frames; }
    virtual float getSampleRate() { return sampleRate; }
    virtual int32_t getBlockSize() { return blockSize; }

    // Deprecated accumulating process: nothing here uses it.
    virtual void process(float** /*inputs*/, float** /*outputs*/, int32_t /*sampleFrames*/) {}
    virtual void processReplacing(float** /*inputs*/, float** /*outputs*/,
                                  int32_t /*sampleFrames*/) {}
    virtual void processDoubleReplacing(double** /*inputs*/, double** /*outputs*/,
                                        int32_t /*sampleFrames*/) {}

    virtual void setParameter(int32_t /*index*/, float /*value*/) {}
    virtual float getParameter(int32_t /*index*/) { return 0; }
    virtual void setParameterAutomated(int32_t index, float value);

    virtual int32_t getProgram() { return currentProgram; }
    virtual void setProgram(int32_t program) { currentProgram = program; }
    virtual void setProgramName(char* /*name*/) {}
    virtual void getProgramName(char* name) { *name = 0; }
    virtual void getParameterLabel(int32_t /*index*/, char* label) { *label = 0; }
    virtual void getParameterDisplay(int32_t /*index*/, char* text) { *text = 0; }
    virtual void getParameterName(int32_t /*index*/, char* text) { *text = 0; }
    virtual int32_t getChunk(void** /*data*/, bool /*isPreset*/) { return 0; }
    virtual int32_t setChunk(void* /*data*/, int32_t /*byteSize*/, bool /*isPreset*/) { return 0; }

    virtual AEffect* getAeffect() { return &effectRecord; }
    virtual AEffEditor* getEditor() { return editor; }
    // Takes ownership: the effect destroys its editor with itself.
    virtual void setEditor(AEffEditor* newEditor) { editor = newEditor; }

    // Record setters.
    virtual void setUniqueID(int32_t id) { effectRecord.uniqueID = id; }
    virtual void setNumInputs(int32_t inputs) { effectRecord.numInputs = inputs; }
    virtual void setNumOutputs(int32_t outputs) { effectRecord.numOutputs = outputs; }
    virtual void setInitialDelay(int32_t delay) { effectRecord.initialDelay = delay; }
    virtual void canProcessReplacing(bool state = true) { setFlag(effFlagsCanReplacing, state); }
    virtual void canDoubleReplacing(bool state = true) {
        setFlag(effFlagsCanDoubleReplacing, state);
    }
    virtual void programsAreChunks(bool state = true) { setFlag(effFlagsProgramChunks, state); }
    virtual void isSynth(bool state = true) { setFlag(effFlagsIsSynth, state); }
    virtual void noTail(bool state = true) { setFlag(effFlagsNoSoundInStop, state); }
    virtual void hasClip(bool state) { setFlag(effFlagsHasClip, state); }
    virtual void hasVu(bool state) { setFlag(effFlagsHasVu, state); }
    virtual void canMono(bool state) { setFlag(effFlagsCanMono, state); }
    virtual void wantAsyncOperation(bool state) { setFlag(effFlagsExtIsAsync, state); }
    virtual void hasExternalBuffer(bool state) { setFlag(effFlagsExtHasBuffer, state); }
    virtual void setRealtimeQualities(int32_t qualities) { effectRecord.realQualities = qualities; }
    virtual void setOfflineQualities(int32_t qualities) { effectRecord.offQualities = qualities; }
    virtual void setBlockSizeAndSampleRate(int32_t frames, float rate) {
        blockSize = frames;
        sampleRate = rate;
    }

    // Host requests.
    virtual int32_t getMasterVersion();
    virtual int32_t getCurrentUniqueId();
    virtual void masterIdle();
    virtual bool isInputConnected(int32_t input);
    virtual bool isOutputConnected(int32_t output);

    // Text helpers that depend on the sample rate.
    void Hz2string(float samples, char* text, int32_t maxLen);
    void ms2string(float samples, char* text, int32_t maxLen);

    // Static entry functions whose addresses the record carries.
    static intptr_t dispatchEffectClass(AEffect* e, int32_t opcode, int32_t index, intptr_t value,
                                        void* ptr, float opt);
    static void processClass(AEffect* e, float** inputs, float** outputs, int32_t sampleFrames);
    static void processClassReplacing(AEffect* e, float** inputs, float** outputs,
                                      int32_t sampleFrames);
    static void processClassDoubleReplacing(AEffect* e, double** inputs, double** outputs,
                                            int32_t sampleFrames);
    static void setParameterClass(AEffect* e, int32_t index, float value);
    static float getParameterClass(AEffect* e, int32_t index);

  protected:
    // Calls the host when there is one; 0 otherwise.
    intptr_t callHost(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                      float opt = 0) const;
    void setFlag(int32_t bit, bool state) {
        if (state) {
            effectRecord.flags |= bit;
        } else {
            effectRecord.flags &= ~bit;
        }
    }

    audioMasterCallback hostCallback;
    AEffEditor* editor = nullptr;
    float sampleRate = 44100.f;
    int32_t blockSize = 1024;
    int32_t programCount;
    int32_t parameterCount;
    int32_t currentProgram = 0;
    AEffect effectRecord;
};
