// The limiter's panel as a VST3 view: a fixed 400 x 220 child of the host's
// window (an X11 window on Linux, an HWND on Windows). The panel's gestures
// reach the host through the controller as begin/perform/end edits.
//
// What drives the panel's idle (its pending values, window events and
// redraw) and the check of the latency: on Windows a timer of the panel's
// window; on Linux the host's run loop, which the view asks for a timer and
// for a watch on the X connection's descriptor, so that clicks are handled
// as soon as they come.
//
// Threads: the host's user-interface thread, like the controller.
#pragma once

#include <atomic>
#include <chrono>

#include "editor/editor_host.h"
#include "editor/limiter_panel.h"
#include "formats/vst3/vst3_view.h"

namespace vst3 {

class LimiterController;

class LimiterView final : public IPlugView,
                          public IEventHandler,
                          public ITimerHandler,
                          private EditorHost {
  public:
    // Keeps a reference to the controller (through counted) while it lives.
    LimiterView(LimiterController& controller, FUnknown* counted);
    ~LimiterView();

    tresult queryInterface(const char* iid, void** object) override;
    uint32_t addRef() override;
    uint32_t release() override;

    tresult isPlatformTypeSupported(const char* type) override;
    tresult attached(void* parent, const char* type) override;
    tresult removed() override;
    tresult onWheel(float distance) override;
    tresult onKeyDown(char16 key, int16_t keyCode, int16_t modifiers) override;
    tresult onKeyUp(char16 key, int16_t keyCode, int16_t modifiers) override;
    tresult getSize(ViewRect* size) override;
    tresult onSize(ViewRect* size) override;
    tresult onFocus(TBool state) override;
    tresult setFrame(IPlugFrame* frame) override;
    tresult canResize() override;
    tresult checkSizeConstraint(ViewRect* rect) override;

    void onFDIsSet(int fd) override;
    void onTimer() override;

    // Any thread: the controller holds a new value for this parameter.
    void parameterChanged(int32_t index) { panel.parameterChanged(index); }

  private:
    float parameterValue(int32_t index) override;
    void beginEdit(int32_t index) override;
    void performEdit(int32_t index, float value) override;
    void endEdit(int32_t index) override;
    void setTypedValue(int32_t index, float value) override;
    MeterFeed& meterFeed() override;
    double meterFallCoef() override;
    float sampleRate() override;
    bool setKnobMode(int32_t mode) override;
    void pumpIdle() override;

    void stopDriving();
    static void onWindowTimer(void* view);

    LimiterController& controller;
    FUnknown* counted;
    LimiterPanel panel;
    IPlugFrame* frame = nullptr;
    TKGUI::platform::Timer* windowTimer = nullptr;  // where the platform has them (Win32)
    IRunLoop* runLoop = nullptr;  // the frame's, while it drives the panel (not counted)
    std::chrono::steady_clock::time_point lastPump{};
    std::atomic<uint32_t> references{1};
};

}  // namespace vst3
