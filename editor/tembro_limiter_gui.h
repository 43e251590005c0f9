// The limiter's 400 x 220 panel: five filmstrip knobs, the LIMIT/CLIP toggle,
// the L/C meter switch, two typed-value boxes for gain and ceiling, and the
// gain-reduction meter, wired both ways to the seven parameters.
//
// Threads: open, close, idle and every control callback run on the host's
// user-interface thread. setParameter may arrive on any thread; away from
// the thread that opened the panel it only marks the parameter pending, and
// the next idle brings the controls up to date.
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

#include "host/aeff_gui_editor.h"
#include "toolkit/control_listener.h"

class TembroLimiter;
class TembroKnob;
class TembroGR;

namespace TKGUI {
class CTextEdit;
class COnOffButton;
class CHorizontalSwitch;
}  // namespace TKGUI

class TembroLimiterGUI : public AEffGUIEditor, public TKGUI::CControlListener {
  public:
    explicit TembroLimiterGUI(TembroLimiter* effect);
    ~TembroLimiterGUI() override;

    bool open(void* parent) override;
    void close() override;
    void idle() override;
    void setParameter(int32_t index, float value) override;

    void valueChanged(TKGUI::CDrawContext* context, TKGUI::CControl* control) override;
    int32_t modifierClicked(TKGUI::CDrawContext*, TKGUI::CControl*, int32_t) override { return 0; }

    static void gainToText(float value, char* text);
    static void threshToText(float value, char* text);

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
    TKGUI::CTextEdit* makeValueEdit(int32_t left, TKGUI::CControlListener* listener, int32_t tag);
    // Brings the controls of one parameter up to the value the effect stores.
    void showParameter(int32_t index);
    void forgetControls();

    TembroLimiter* limiter;
    // The thread that opened the panel; read by setParameter on any thread.
    std::atomic<std::thread::id> uiThread{};
    // Parameters set from another thread since the last idle, one bit each.
    std::atomic<uint32_t> pendingParameters{0};
};
