// The extended host-interface base: opcodes 25 to 79 and the extended host
// requests. Everything else goes to the AudioEffect tier.
#pragma once

#include "formats/vst2/audio_effect.h"

class AudioEffectX : public AudioEffect {
  public:
    using AudioEffect::AudioEffect;

    intptr_t dispatcher(int32_t opcode, int32_t index, intptr_t value, void* ptr,
                        float opt) override;
    void resume() override;

    virtual int32_t processEvents(VstEvents* /*events*/) { return 0; }
    virtual bool canParameterBeAutomated(int32_t /*index*/) { return true; }
    virtual bool string2parameter(int32_t /*index*/, char* /*text*/) { return false; }
    virtual bool getProgramNameIndexed(int32_t /*category*/, int32_t /*index*/, char* /*text*/) {
        return false;
    }
    virtual bool getInputProperties(int32_t /*index*/, VstPinProperties* /*properties*/) {
        return false;
    }
    virtual bool getOutputProperties(int32_t /*index*/, VstPinProperties* /*properties*/) {
        return false;
    }
    virtual int32_t getPlugCategory() {
        return (effectRecord.flags & effFlagsIsSynth) ? kPlugCategSynth : kPlugCategUnknown;
    }
    virtual bool offlineNotify(VstAudioFile* /*ptr*/, int32_t /*numAudioFiles*/, bool /*start*/) {
        return false;
    }
    virtual bool offlinePrepare(VstOfflineTask* /*offline*/, int32_t /*count*/) { return false; }
    virtual bool offlineRun(VstOfflineTask* /*offline*/, int32_t /*count*/) { return false; }
    virtual bool processVariableIo(VstVariableIo* /*varIo*/) { return false; }
    virtual bool setSpeakerArrangement(VstSpeakerArrangement* /*input*/,
                                       VstSpeakerArrangement* /*output*/) {
        return false;
    }
    virtual bool setBypass(bool /*onOff*/) { return false; }
    virtual bool getEffectName(char* /*name*/) { return false; }
    virtual bool getVendorString(char* /*text*/) { return false; }
    virtual bool getProductString(char* /*text*/) { return false; }
    virtual int32_t getVendorVersion() { return 0; }
    virtual intptr_t vendorSpecific(int32_t /*index*/, intptr_t /*value*/, void* /*ptr*/,
                                    float /*opt*/) {
        return 0;
    }
    virtual int32_t canDo(char* /*text*/) { return 0; }
    virtual int32_t getGetTailSize() { return 0; }
    virtual bool getParameterProperties(int32_t /*index*/, VstParameterProperties* /*p*/) {
        return false;
    }
    virtual int32_t getVstVersion() { return 2400; }
    virtual int32_t getMidiProgramName(int32_t /*channel*/, MidiProgramName* /*name*/) { return 0; }
    virtual int32_t getCurrentMidiProgram(int32_t /*channel*/, MidiProgramName* /*name*/) {
        return -1;
    }
    virtual int32_t getMidiProgramCategory(int32_t /*channel*/, MidiProgramCategory* /*c*/) {
        return 0;
    }
    virtual bool hasMidiProgramsChanged(int32_t /*channel*/) { return false; }
    virtual bool getMidiKeyName(int32_t /*channel*/, MidiKeyName* /*keyName*/) { return false; }
    virtual bool beginSetProgram() { return false; }
    virtual bool endSetProgram() { return false; }
    virtual bool getSpeakerArrangement(VstSpeakerArrangement** input,
                                       VstSpeakerArrangement** output);
    virtual int32_t getNextShellPlugin(char* /*name*/) { return 0; }
    virtual int32_t startProcess() { return 0; }
    virtual int32_t stopProcess() { return 0; }
    virtual int32_t setTotalSampleToProcess(int32_t value) { return value; }
    virtual bool setPanLaw(int32_t /*type*/, float /*val*/) { return false; }
    virtual int32_t beginLoadBank(VstPatchChunkInfo* /*ptr*/) { return 0; }
    virtual int32_t beginLoadProgram(VstPatchChunkInfo* /*ptr*/) { return 0; }
    virtual bool setProcessPrecision(int32_t /*precision*/) { return false; }
    virtual int32_t getNumMidiInputChannels() { return 0; }
    virtual int32_t getNumMidiOutputChannels() { return 0; }

    // Extended host requests.
    virtual bool wantEvents(int32_t filter = 1);
    virtual VstTimeInfo* getTimeInfo(int32_t filter);
    virtual int32_t tempoAt(int32_t pos);
    virtual int32_t getNumAutomatableParameters();
    virtual int32_t getParameterQuantization();
    virtual bool ioChanged();
    virtual bool needIdle();
    virtual bool sizeWindow(int32_t width, int32_t height);
    virtual double updateSampleRate();
    virtual int32_t updateBlockSize();
    virtual int32_t getInputLatency();
    virtual int32_t getOutputLatency();
    virtual AEffect* getPreviousPlug(int32_t input);
    virtual AEffect* getNextPlug(int32_t output);
    virtual int32_t willProcessReplacing();
    virtual int32_t getCurrentProcessLevel();
    virtual int32_t getAutomationState();
    virtual bool offlineStart(VstAudioFile* ptr, int32_t numAudioFiles, int32_t numNewAudioFiles);
    virtual bool offlineRead(VstOfflineTask* offline, int32_t option, bool readSource = true);
    virtual bool offlineWrite(VstOfflineTask* offline, int32_t option);
    virtual int32_t offlineGetCurrentPass();
    virtual int32_t offlineGetCurrentMetaPass();
    virtual void setOutputSamplerate(float samplerate);
    virtual VstSpeakerArrangement* getOutputSpeakerArrangement();
    virtual bool getHostVendorString(char* text);
    virtual bool getHostProductString(char* text);
    virtual int32_t getHostVendorVersion();
    virtual intptr_t hostVendorSpecific(int32_t lArg1, intptr_t lArg2, void* ptrArg,
                                        float floatArg);
    virtual int32_t canHostDo(char* text);
    virtual int32_t getHostLanguage();
    virtual void* openWindow(void* window);
    virtual bool closeWindow(void* window);
    virtual void* getDirectory();
    virtual bool updateDisplay();
    virtual bool beginEdit(int32_t index);
    virtual bool endEdit(int32_t index);
    virtual bool openFileSelector(VstFileSelect* ptr);
    virtual bool closeFileSelector(VstFileSelect* ptr);
    virtual bool getChunkFile(void* nativePath);
    virtual VstSpeakerArrangement* getInputSpeakerArrangement();
};
