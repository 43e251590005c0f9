#include "formats/vst3/limiter_processor.h"

#include <cstring>

#include "formats/vst3/limiter_identity.h"
#include "formats/vst3/state_stream.h"
#include "formats/vst3/utf16_text.h"

namespace vst3 {

namespace {

// A host may send one queue per parameter; more than this many queues in
// one block (a host sending duplicates) are applied at the block's start.
constexpr int32_t kMaxQueues = 16;

struct QueueCursor {
    IParamValueQueue* queue;
    int32_t parameter;
    int32_t count;
    int32_t next;  // index of the next point not yet applied
};

// The offset of the cursor's next point, or -1 when it has none left (or the
// host cannot give it).
int32_t nextOffset(QueueCursor& cursor, ParamValue& value) {
    while (cursor.next < cursor.count) {
        int32_t offset = 0;
        if (cursor.queue->getPoint(cursor.next, offset, value) == kResultOk) {
            return offset < 0 ? 0 : offset;
        }
        ++cursor.next;
    }
    return -1;
}

bool isStereoBus(const AudioBusBuffers* bus, int32_t count) {
    if (!bus || count < 1 || bus[0].numChannels != 2 || !bus[0].channels32) return false;
    return bus[0].channels32[0] && bus[0].channels32[1];
}

}  // namespace

tresult LimiterProcessor::initialize(FUnknown* /*context*/) {
    return kResultOk;
}

tresult LimiterProcessor::terminate() {
    return kResultOk;
}

tresult LimiterProcessor::getControllerClassId(char* classId) {
    if (!classId) return kInvalidArgument;
    std::memcpy(classId, kControllerClassId.bytes, 16);
    return kResultOk;
}

tresult LimiterProcessor::setIoMode(int32_t /*mode*/) {
    return kResultOk;
}

int32_t LimiterProcessor::getBusCount(int32_t mediaType, int32_t direction) {
    if (mediaType != kMediaAudio) return 0;
    return direction == kDirectionInput || direction == kDirectionOutput ? 1 : 0;
}

tresult LimiterProcessor::getBusInfo(int32_t mediaType, int32_t direction, int32_t index,
                                     BusInfo& info) {
    if (mediaType != kMediaAudio || index != 0) return kInvalidArgument;
    if (direction != kDirectionInput && direction != kDirectionOutput) return kInvalidArgument;
    std::memset(&info, 0, sizeof info);
    info.mediaType = kMediaAudio;
    info.direction = direction;
    info.channelCount = 2;
    copyToUtf16(direction == kDirectionInput ? "Stereo In" : "Stereo Out", info.name, 128);
    info.busType = kBusMain;
    info.flags = BusInfo::kDefaultActive;
    return kResultOk;
}

tresult LimiterProcessor::getRoutingInfo(RoutingInfo& /*in*/, RoutingInfo& /*out*/) {
    return kNotImplemented;
}

tresult LimiterProcessor::activateBus(int32_t mediaType, int32_t direction, int32_t index,
                                      TBool /*state*/) {
    if (mediaType != kMediaAudio || index != 0) return kInvalidArgument;
    if (direction != kDirectionInput && direction != kDirectionOutput) return kInvalidArgument;
    return kResultOk;
}

tresult LimiterProcessor::setActive(TBool state) {
    // Processing is stopped here: start the next run as a new instance would.
    if (state) limiter.reset();
    return kResultOk;
}

tresult LimiterProcessor::setState(IBStream* state) {
    float values[kNumParams];
    if (!readStateBlock(state, values)) return kResultFalse;
    for (int32_t i = 0; i < kNumParams; ++i) limiter.setParameter(i, values[i]);
    stateLoaded();
    return kResultOk;
}

tresult LimiterProcessor::getState(IBStream* state) {
    uint8_t block[kStateBytes];
    limiter.saveState(block);
    return writeStateBlock(state, block) ? kResultOk : kResultFalse;
}

tresult LimiterProcessor::setBusArrangements(SpeakerArrangement* inputs, int32_t inputCount,
                                             SpeakerArrangement* outputs, int32_t outputCount) {
    // Stereo in, stereo out, or nothing; the buses stay stereo either way.
    if (inputCount != 1 || outputCount != 1 || !inputs || !outputs) return kResultFalse;
    return inputs[0] == kSpeakersStereo && outputs[0] == kSpeakersStereo ? kResultTrue
                                                                         : kResultFalse;
}

tresult LimiterProcessor::getBusArrangement(int32_t direction, int32_t index,
                                            SpeakerArrangement& arrangement) {
    if (index != 0 || (direction != kDirectionInput && direction != kDirectionOutput)) {
        return kInvalidArgument;
    }
    arrangement = kSpeakersStereo;
    return kResultOk;
}

tresult LimiterProcessor::canProcessSampleSize(int32_t size) {
    return size == kSample32 || size == kSample64 ? kResultTrue : kResultFalse;
}

uint32_t LimiterProcessor::getLatencySamples() {
    return static_cast<uint32_t>(limiter.latencySamples());
}

uint32_t LimiterProcessor::getTailSamples() {
    // After the input stops, what is still in the look-ahead comes out.
    return static_cast<uint32_t>(limiter.latencySamples());
}

tresult LimiterProcessor::setupProcessing(ProcessSetup& setup) {
    if (setup.sampleSize != kSample32 && setup.sampleSize != kSample64) return kResultFalse;
    const double rate = setup.sampleRate;
    if (!(rate >= LimiterEngine::kMinSampleRate && rate <= LimiterEngine::kMaxSampleRate)) {
        return kResultFalse;
    }
    if (!limiter.setSampleRate(static_cast<float>(rate))) return kResultFalse;
    setUp.store(true, std::memory_order_release);
    return kResultOk;
}

tresult LimiterProcessor::setProcessing(TBool /*state*/) {
    return kResultOk;
}

template <typename T>
void LimiterProcessor::processRange(T** inputs, T** outputs, int32_t from, int32_t to) {
    if (to <= from) return;
    T* in[2] = {inputs[0] + from, inputs[1] + from};
    T* out[2] = {outputs[0] + from, outputs[1] + from};
    limiter.process(in, out, to - from);
}

template <typename T>
tresult LimiterProcessor::processAudio(ProcessData& data, T** inputs, T** outputs) {
    const int32_t frames = data.numSamples > 0 ? data.numSamples : 0;
    QueueCursor cursors[kMaxQueues];
    int32_t cursorCount = 0;
    IParameterChanges* changes = data.inputParameterChanges;
    const int32_t queueCount = changes ? changes->getParameterCount() : 0;
    for (int32_t i = 0; i < queueCount; ++i) {
        IParamValueQueue* queue = changes->getParameterData(i);
        if (!queue) continue;
        const ParamId id = queue->getParameterId();
        if (id >= static_cast<ParamId>(kNumParams)) continue;
        const int32_t count = queue->getPointCount();
        if (count <= 0) continue;
        if (cursorCount < kMaxQueues) {
            cursors[cursorCount++] = {queue, static_cast<int32_t>(id), count, 0};
            continue;
        }
        // No room to follow this queue through the block: its last value
        // holds from the start.
        int32_t offset = 0;
        ParamValue value = 0.0;
        if (queue->getPoint(count - 1, offset, value) == kResultOk) {
            limiter.setParameter(static_cast<int32_t>(id), static_cast<float>(value));
        }
    }

    // Run the block in pieces that end where a change is due: the engine
    // reads its parameters at the start of each piece.
    int32_t position = 0;
    for (;;) {
        int32_t pieceEnd = frames;
        for (int32_t c = 0; c < cursorCount; ++c) {
            ParamValue value = 0.0;
            int32_t offset;
            while ((offset = nextOffset(cursors[c], value)) >= 0 &&
                   (offset <= position || position >= frames)) {
                limiter.setParameter(cursors[c].parameter, static_cast<float>(value));
                ++cursors[c].next;
            }
            if (offset > position && offset < pieceEnd) pieceEnd = offset;
        }
        if (position >= frames) break;
        if (inputs && outputs) processRange(inputs, outputs, position, pieceEnd);
        position = pieceEnd;
    }
    return kResultOk;
}

tresult LimiterProcessor::process(ProcessData& data) {
    if (!setUp.load(std::memory_order_acquire)) return kNotInitialized;
    const bool wide = data.sampleSize == kSample64;
    if (data.sampleSize != kSample32 && !wide) return kInvalidArgument;
    const bool hasOutput = data.numSamples > 0 && isStereoBus(data.outputs, data.numOutputs);
    const bool hasInput = data.numSamples > 0 && isStereoBus(data.inputs, data.numInputs);
    if (hasOutput) data.outputs[0].silenceFlags = 0;
    // Only changes to apply (a host flushing parameters), or no output to
    // write: follow the changes, run no audio.
    if (!hasOutput) {
        return wide ? processAudio<double>(data, nullptr, nullptr)
                    : processAudio<float>(data, nullptr, nullptr);
    }
    if (wide) {
        double** out = data.outputs[0].channels64;
        // A missing input is silence; the limiter then runs in place.
        if (!hasInput) {
            for (int ch = 0; ch < 2; ++ch)
                std::memset(out[ch], 0, sizeof(double) * data.numSamples);
        }
        return processAudio<double>(data, hasInput ? data.inputs[0].channels64 : out, out);
    }
    float** out = data.outputs[0].channels32;
    if (!hasInput) {
        for (int ch = 0; ch < 2; ++ch) std::memset(out[ch], 0, sizeof(float) * data.numSamples);
    }
    return processAudio<float>(data, hasInput ? data.inputs[0].channels32 : out, out);
}

}  // namespace vst3
