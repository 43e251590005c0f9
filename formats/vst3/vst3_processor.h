// The processing side of a VST3 plug-in: the component with its buses and
// state, the audio processor, the host's stream and its queues of parameter
// changes.
#pragma once

#include "formats/vst3/vst3_base.h"

namespace vst3 {

// A stream of bytes the host owns (state is read from and written to one).
class IBStream : public FUnknown {
  public:
    static constexpr int32_t kSeekSet = 0;
    static constexpr int32_t kSeekCurrent = 1;
    static constexpr int32_t kSeekEnd = 2;
    virtual tresult read(void* buffer, int32_t bytes, int32_t* bytesRead) = 0;
    virtual tresult write(void* buffer, int32_t bytes, int32_t* bytesWritten) = 0;
    virtual tresult seek(int64_t position, int32_t mode, int64_t* result) = 0;
    virtual tresult tell(int64_t* position) = 0;
};
constexpr Uid kIBStreamIid = makeUid(0xC3BF6EA2, 0x30994752, 0x9B6BF990, 0x1EE33E9B);

constexpr int32_t kMediaAudio = 0;
constexpr int32_t kMediaEvent = 1;
constexpr int32_t kDirectionInput = 0;
constexpr int32_t kDirectionOutput = 1;
constexpr int32_t kBusMain = 0;

struct BusInfo {
    static constexpr uint32_t kDefaultActive = 1u << 0;
    int32_t mediaType;
    int32_t direction;
    int32_t channelCount;
    String128 name;
    int32_t busType;
    uint32_t flags;
};

struct RoutingInfo {
    int32_t mediaType;
    int32_t busIndex;
    int32_t channel;
};

class IComponent : public IPluginBase {
  public:
    virtual tresult getControllerClassId(char* classId) = 0;
    virtual tresult setIoMode(int32_t mode) = 0;
    virtual int32_t getBusCount(int32_t mediaType, int32_t direction) = 0;
    virtual tresult getBusInfo(int32_t mediaType, int32_t direction, int32_t index,
                               BusInfo& info) = 0;
    virtual tresult getRoutingInfo(RoutingInfo& in, RoutingInfo& out) = 0;
    virtual tresult activateBus(int32_t mediaType, int32_t direction, int32_t index,
                                TBool state) = 0;
    virtual tresult setActive(TBool state) = 0;
    virtual tresult setState(IBStream* state) = 0;
    virtual tresult getState(IBStream* state) = 0;
};
constexpr Uid kIComponentIid = makeUid(0xE831FF31, 0xF2D54301, 0x928EBBEE, 0x25697802);

// One bit a speaker; a stereo pair is left and right.
using SpeakerArrangement = uint64_t;
constexpr SpeakerArrangement kSpeakersStereo = 0x3;

constexpr int32_t kSample32 = 0;
constexpr int32_t kSample64 = 1;

struct ProcessSetup {
    int32_t processMode;
    int32_t sampleSize;  // kSample32 or kSample64
    int32_t maxSamplesPerBlock;
    double sampleRate;
};

struct AudioBusBuffers {
    int32_t numChannels;
    uint64_t silenceFlags;
    union {
        float** channels32;
        double** channels64;
    };
};

class IParamValueQueue : public FUnknown {
  public:
    virtual ParamId getParameterId() = 0;
    virtual int32_t getPointCount() = 0;
    virtual tresult getPoint(int32_t index, int32_t& sampleOffset, ParamValue& value) = 0;
    virtual tresult addPoint(int32_t sampleOffset, ParamValue value, int32_t& index) = 0;
};
constexpr Uid kIParamValueQueueIid = makeUid(0x01263A18, 0xED074F6F, 0x98C9D356, 0x4686F9BA);

class IParameterChanges : public FUnknown {
  public:
    virtual int32_t getParameterCount() = 0;
    virtual IParamValueQueue* getParameterData(int32_t index) = 0;
    virtual IParamValueQueue* addParameterData(const ParamId& id, int32_t& index) = 0;
};
constexpr Uid kIParameterChangesIid = makeUid(0xA4779663, 0x0BB64A56, 0xB44384A8, 0x466FEB9D);

struct ProcessData {
    int32_t processMode;
    int32_t sampleSize;
    int32_t numSamples;
    int32_t numInputs;
    int32_t numOutputs;
    AudioBusBuffers* inputs;
    AudioBusBuffers* outputs;
    IParameterChanges* inputParameterChanges;
    IParameterChanges* outputParameterChanges;
    void* inputEvents;
    void* outputEvents;
    void* processContext;
};

class IAudioProcessor : public FUnknown {
  public:
    virtual tresult setBusArrangements(SpeakerArrangement* inputs, int32_t inputCount,
                                       SpeakerArrangement* outputs, int32_t outputCount) = 0;
    virtual tresult getBusArrangement(int32_t direction, int32_t index,
                                      SpeakerArrangement& arrangement) = 0;
    virtual tresult canProcessSampleSize(int32_t sampleSize) = 0;
    virtual uint32_t getLatencySamples() = 0;
    virtual tresult setupProcessing(ProcessSetup& setup) = 0;
    virtual tresult setProcessing(TBool state) = 0;
    virtual tresult process(ProcessData& data) = 0;
    virtual uint32_t getTailSamples() = 0;
};
constexpr Uid kIAudioProcessorIid = makeUid(0x42043F99, 0xB7DA453C, 0xA569E79D, 0x9AAEC33D);

// Records the host fills or reads in place: natural alignment on both systems.
static_assert(sizeof(BusInfo) == 276, "bus record");
static_assert(sizeof(ProcessSetup) == 24, "setup record");
static_assert(sizeof(AudioBusBuffers) == 24, "buffers record");
static_assert(sizeof(ProcessData) == 80, "process record");

}  // namespace vst3
