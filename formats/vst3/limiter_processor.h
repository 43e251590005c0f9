// The limiter's VST3 processing role: one stereo bus in and out, both sample
// sizes, parameter changes at their sample offsets, the look-ahead as the
// latency, and the 28-byte state. Reference counting and interface lookup
// belong to the final class (the component that is also its own controller).
//
// Threads: process runs on the audio thread and neither allocates, locks nor
// waits; the other calls come from the host's main thread with processing
// stopped, except setState/getState, which the engine makes safe from any
// thread.
#pragma once

#include <atomic>

#include "engine/limiter_engine.h"
#include "formats/vst3/vst3_processor.h"

namespace vst3 {

class LimiterProcessor : public IComponent, public IAudioProcessor {
  public:
    LimiterEngine& engine() { return limiter; }

    tresult initialize(FUnknown* context) override;
    tresult terminate() override;

    tresult getControllerClassId(char* classId) override;
    tresult setIoMode(int32_t mode) override;
    int32_t getBusCount(int32_t mediaType, int32_t direction) override;
    tresult getBusInfo(int32_t mediaType, int32_t direction, int32_t index, BusInfo& info) override;
    tresult getRoutingInfo(RoutingInfo& in, RoutingInfo& out) override;
    tresult activateBus(int32_t mediaType, int32_t direction, int32_t index, TBool state) override;
    tresult setActive(TBool state) override;
    tresult setState(IBStream* state) override;
    tresult getState(IBStream* state) override;

    tresult setBusArrangements(SpeakerArrangement* inputs, int32_t inputCount,
                               SpeakerArrangement* outputs, int32_t outputCount) override;
    tresult getBusArrangement(int32_t direction, int32_t index,
                              SpeakerArrangement& arrangement) override;
    tresult canProcessSampleSize(int32_t sampleSize) override;
    uint32_t getLatencySamples() override;
    tresult setupProcessing(ProcessSetup& setup) override;
    tresult setProcessing(TBool state) override;
    tresult process(ProcessData& data) override;
    uint32_t getTailSamples() override;

  protected:
    // The state was loaded from the host: a controller sharing this object
    // takes the new values.
    virtual void stateLoaded() {}

  private:
    template <typename T>
    void processRange(T** inputs, T** outputs, int32_t from, int32_t to);
    template <typename T>
    tresult processAudio(ProcessData& data, T** inputs, T** outputs);

    LimiterEngine limiter;
    // Set once setupProcessing has given a rate the engine took and a sample
    // size it knows; process refuses to run before.
    std::atomic<bool> setUp{false};
};

}  // namespace vst3
