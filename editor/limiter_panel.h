// The limiter's 400 x 220 panel: five filmstrip knobs, the LIMIT/CLIP toggle,
// the L/C meter switch, two typed-value boxes for gain and ceiling, and the
// gain-reduction meter, wired both ways to the seven parameters through an
// EditorHost. It knows no plug-in format: each format's glue owns one, opens
// it in the host's window and drives its idle.
//
// Threads: open, close, idle and every control callback run on the host's
// user-interface thread. parameterChanged may arrive on any thread; away from
// the thread that opened the panel it only marks the parameter pending, and
// the next idle brings the controls up to date.
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

#include "editor/editor_host.h"
#include "toolkit/control_listener.h"
#include "toolkit/frame_editor.h"

class TembroKnob;
class TembroGR;

namespace TKGUI {
class CFrame;
class CTextEdit;
class COnOffButton;
class CHorizontalSwitch;
namespace platform {
struct Window;
struct Timer;
}  // namespace platform
}  // namespace TKGUI

class LimiterPanel : public TKGUI::CControlListener, public TKGUI::CFrameEditor {
  public:
    static constexpr int32_t kWidth = 400;
    static constexpr int32_t kHeight = 220;

    explicit LimiterPanel(EditorHost& host);
    ~LimiterPanel();

    // Builds the panel in a child window of parent (a null parent: no window,
    // for tests). False, with nothing left open, when no window could be
    // made (no display, or a parent that is not a window). An open panel is
    // closed first.
    bool open(TKGUI::platform::Window* parent);
    // Commits an open text box, detaches the meter and destroys the panel.
    void close();
    bool isOpen() const { return frame != nullptr; }
    TKGUI::CFrame* getFrame() const { return frame; }

    // Brings controls up to values set from other threads since the last call.
    void applyPendingParameters();
    // The whole idle for formats whose host calls no editor idle of its own:
    // pending values, the window's pending events, and the redraw of what
    // changed. Call it from the host's timer on the user-interface thread.
    void idle();
    // Any thread: the limiter stored a new value for this parameter.
    void parameterChanged(int32_t index);

    // Starts a timer of the panel's own window that calls idle (where the
    // platform has window timers: Win32); false where the format's glue must
    // drive idle itself.
    bool startIdleTimer(uint32_t milliseconds);

    // The boxes' texts: the value in dB with two decimals.
    static void gainToText(float value, char* text);
    static void threshToText(float value, char* text);

    void valueChanged(TKGUI::CDrawContext* context, TKGUI::CControl* control) override;
    int32_t modifierClicked(TKGUI::CDrawContext*, TKGUI::CControl*, int32_t) override { return 0; }

    // Gestures of the panel's controls reach the host only for parameters,
    // not for the text boxes' tags.
    void beginEdit(int32_t tag) override;
    void endEdit(int32_t tag) override;
    void pumpIdle() override { host.pumpIdle(); }
    bool requestEditorSize(int32_t width, int32_t height) override {
        return host.requestEditorSize(width, height);
    }

    // The controls while open (null while closed), for tests.
    TembroKnob* gainKnob = nullptr;
    TembroKnob* threshKnob = nullptr;
    TembroKnob* atkHKnob = nullptr;
    TembroKnob* relHKnob = nullptr;
    TembroKnob* releaseKnob = nullptr;
    TembroGR* grMeter = nullptr;
    TKGUI::CTextEdit* gainEdit = nullptr;
    TKGUI::CTextEdit* threshEdit = nullptr;
    TKGUI::COnOffButton* modeButton = nullptr;
    TKGUI::CHorizontalSwitch* showSwitch = nullptr;

  private:
    TKGUI::CTextEdit* makeValueEdit(int32_t left, int32_t tag);
    // Brings the controls of one parameter up to the value the limiter stores.
    void showParameter(int32_t index);
    void forgetControls();
    static void onTimer(void* panel);

    EditorHost& host;
    TKGUI::CFrame* frame = nullptr;
    TKGUI::platform::Timer* timer = nullptr;
    // The thread that opened the panel; read by parameterChanged on any thread.
    std::atomic<std::thread::id> uiThread{};
    // Parameters set from another thread since the last idle, one bit each.
    std::atomic<uint32_t> pendingParameters{0};
};
