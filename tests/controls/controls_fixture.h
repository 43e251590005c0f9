// Shared set-up of the control tests: a frame on the software platform, an
// editor whose idle pump plays a script of cursor positions and buttons (one
// step per turn of a modal loop), a listener that records what reaches it,
// and bitmaps that record where they are drawn from.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "toolkit/bitmap.h"
#include "toolkit/button_state.h"
#include "toolkit/control.h"
#include "toolkit/draw_context.h"
#include "toolkit/frame.h"
#include "toolkit/frame_editor.h"
#include "toolkit/platform/software/software_script.h"

namespace tk42test {

class ScriptEditor : public TKGUI::CFrameEditor {
  public:
    struct Step {
        TKGUI::CPoint cursor;
        int buttons;
    };

    void beginEdit(int32_t tag) override;
    void endEdit(int32_t tag) override;
    // Plays the next step; with none left, releases every button so that no
    // loop can run forever.
    void pumpIdle() override;

    std::deque<Step> steps;
    std::vector<std::string> log;  // "begin 3", "end 3", "pump"
    int begins = 0;
    int ends = 0;
    int pumps = 0;
    std::function<void()> onPump;
};

class RecordingListener : public TKGUI::CControlListener {
  public:
    void valueChanged(TKGUI::CDrawContext* context, TKGUI::CControl* control) override;
    int32_t modifierClicked(TKGUI::CDrawContext* context, TKGUI::CControl* control,
                            int32_t buttons) override;

    int changes = 0;
    int modifierClicks = 0;
    int lastModifierButtons = 0;
    int32_t modifierAnswer = 0;
    std::vector<float> values;
    // Like the editor: every report marks the control dirty.
    bool dirtyOnReport = false;
    std::function<void(TKGUI::CControl*)> onChange;
    std::vector<std::string>* sharedLog = nullptr;  // gets "changed"
};

// A bitmap of an embedded resource that records every draw.
class RecordingBitmap : public TKGUI::CBitmap {
  public:
    explicit RecordingBitmap(int32_t id) : TKGUI::CBitmap(id) {}
    void draw(TKGUI::CDrawContext* context, const TKGUI::CRect& rect,
              const TKGUI::CPoint& offset) override;
    void drawTransparent(TKGUI::CDrawContext* context, const TKGUI::CRect& rect,
                         const TKGUI::CPoint& offset) override;

    struct Draw {
        TKGUI::CRect rect;
        TKGUI::CPoint offset;
        bool keyed;
    };
    std::vector<Draw> draws;
};

class ControlsTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    template <typename T>
    T* add(T* control) {
        frame->addView(control);
        return control;
    }
    // Presses at `at` with buttons, moves through path one step per turn,
    // then releases at the last point; runs the control's whole gesture.
    void drag(TKGUI::CControl* control, TKGUI::CPoint at, const std::vector<TKGUI::CPoint>& path,
              int buttons = TKGUI::kLButton);
    // A click that the control sees with these buttons, released at once.
    void click(TKGUI::CControl* control, TKGUI::CPoint at, int buttons = TKGUI::kLButton);
    // The editor closes: the frame and every control go.
    void closeFrame();

    ScriptEditor editor;
    RecordingListener listener;
    // The frame's window, at (100, 50) on the screen.
    TKGUI::platform::Window* frameWindow = nullptr;
    TKGUI::CFrame* frame = nullptr;
    TKGUI::CDrawContext* context = nullptr;
    int liveAtStart = 0;
};

}  // namespace tk42test
