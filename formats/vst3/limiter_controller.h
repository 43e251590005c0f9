// The limiter's VST3 editing role: the seven parameters from the engine's
// table (ids are the indices), values and text in real units both ways, the
// values kept in step with the component's state, edits passed on to the
// host, and the editor view.
//
// A host may use the component itself as the controller, or create this
// role apart (the factory's second class) and connect the two. Apart, the
// controller reaches the processor's meter only when the host connects them
// directly; otherwise the meter rests and everything else works the same.
//
// Threads: the host's main thread, except setParamNormalized and
// getParamNormalized, which may come from any thread (values are atomic).
#pragma once

#include <atomic>

#include "engine/limiter_engine.h"
#include "formats/vst3/vst3_controller.h"

namespace vst3 {

// How a controller created apart finds the processor's engine (for the
// meter) through the host's connection. The project's own interface: a host
// never sees it.
class IEngineLink : public FUnknown {
  public:
    virtual LimiterEngine* linkedEngine() = 0;
};
constexpr Uid kIEngineLinkIid = makeUid(0x7D3A1C52, 0x9E4B4F06, 0xA1C82E75, 0x3B9F6DE0);

class LimiterView;

class LimiterController : public IEditController, public IConnectionPoint {
  public:
    LimiterController();
    ~LimiterController();

    tresult initialize(FUnknown* context) override;
    tresult terminate() override;

    tresult setComponentState(IBStream* state) override;
    tresult setState(IBStream* state) override;
    tresult getState(IBStream* state) override;
    int32_t getParameterCount() override;
    tresult getParameterInfo(int32_t index, ParameterInfo& info) override;
    tresult getParamStringByValue(ParamId id, ParamValue normalised, String128 text) override;
    tresult getParamValueByString(ParamId id, char16* text, ParamValue& normalised) override;
    ParamValue normalizedParamToPlain(ParamId id, ParamValue normalised) override;
    ParamValue plainParamToNormalized(ParamId id, ParamValue plain) override;
    ParamValue getParamNormalized(ParamId id) override;
    tresult setParamNormalized(ParamId id, ParamValue normalised) override;
    tresult setComponentHandler(IComponentHandler* handler) override;
    IPlugView* createView(const char* name) override;

    tresult connect(IConnectionPoint* other) override;
    tresult disconnect(IConnectionPoint* other) override;
    tresult notify(IMessage* message) override;

    // The user's edits from the editor, passed to the host as one gesture.
    void beginEdit(int32_t index);
    void performEdit(int32_t index, float normalised);
    void endEdit(int32_t index);
    float value(int32_t index) const;
    // The engine whose meter the editor shows: the processor's where the
    // controller can reach it, a resting one otherwise.
    LimiterEngine& meterEngine();
    // The open view is going away.
    void viewClosed(LimiterView* closing);
    // Asks the host to read the latency again when it is no longer what the
    // host was last told. The controller calls it when it changes the mode;
    // the open view calls it on each timer tick, for mode changes that only
    // the processor saw (host automation, which some hosts pass to the
    // processor alone).
    void announceLatency();

  protected:
    // The object whose references count for this role.
    virtual FUnknown* counted() = 0;
    // The processor's engine when this controller is part of the component.
    virtual LimiterEngine* ownEngine() { return nullptr; }
    // Takes new values from the component's state (all seven at once). The
    // host already knows them when it passed the state to this role itself;
    // otherwise announce tells it to read them again.
    void takeValues(const float values[kNumParams], bool announce);

  private:
    // Stores one value; asks the host to read the latency again when the
    // mode changed it.
    void storeValue(int32_t index, float normalised);
    // The processor's engine where this controller can reach it, or null.
    LimiterEngine* processorEngine();
    void dropLink();
    void showInView(int32_t index);

    std::atomic<float> values[kNumParams];
    IComponentHandler* handler = nullptr;
    IEngineLink* link = nullptr;
    LimiterEngine restingEngine;
    // The one view the controller has open at a time (it counts a reference
    // to the controller, so it never outlives it).
    std::atomic<LimiterView*> view{nullptr};
    // The latency the host read at the start (the default mode's) or was last
    // told to read again.
    std::atomic<int32_t> announcedLatency{kLookAhead};
};

}  // namespace vst3
