// Views for the logic tests: they record what reaches them and draw a plain
// colour, so that tests can see routing and redraws.
#pragma once

#include <string>
#include <vector>

#include "toolkit/frame.h"
#include "toolkit/frame_editor.h"
#include "toolkit/view.h"

namespace tk42test {

struct ViewLog {
    std::vector<std::string> events;
    void add(const std::string& e) { events.push_back(e); }
    bool contains(const std::string& e) const;
    void clear() { events.clear(); }
};

class RecordingView : public TKGUI::CView {
  public:
    RecordingView(const TKGUI::CRect& size, const std::string& name, ViewLog* log,
                  TKGUI::CColor color = TKGUI::CColor{255, 0, 0, 255});
    ~RecordingView() override;

    using TKGUI::CView::mouseWheel;

    void draw(TKGUI::CDrawContext* context) override;
    void mouseDown(TKGUI::CDrawContext* context, const TKGUI::CPoint& where, int buttons) override;
    int32_t keyDown(TKGUI::CKeyCode& key) override;
    int32_t keyUp(TKGUI::CKeyCode& key) override;
    bool mouseWheel(TKGUI::CDrawContext* context, const TKGUI::CPoint& where,
                    float distance) override;
    void focusLost(TKGUI::CDrawContext* context) override;
    bool onDrop(TKGUI::CDrawContext* context, TKGUI::CDragContainer* drag,
                const TKGUI::CPoint& where) override;
    void onDragEnter(TKGUI::CDrawContext* context, TKGUI::CDragContainer* drag,
                     const TKGUI::CPoint& where) override;
    void onDragLeave(TKGUI::CDrawContext* context, TKGUI::CDragContainer* drag,
                     const TKGUI::CPoint& where) override;
    void onDragMove(TKGUI::CDrawContext* context, TKGUI::CDragContainer* drag,
                    const TKGUI::CPoint& where) override;

    std::string name;
    ViewLog* log;
    TKGUI::CColor color;
    int keyAnswer = -1;
    bool wheelAnswer = true;
    int draws = 0;
    TKGUI::CPoint lastWhere;
    int lastButtons = 0;
};

class RecordingEditor : public TKGUI::CFrameEditor {
  public:
    void beginEdit(int32_t tag) override { log.add("begin " + std::to_string(tag)); }
    void endEdit(int32_t tag) override { log.add("end " + std::to_string(tag)); }
    void pumpIdle() override { log.add("pump"); }
    ViewLog log;
};

TKGUI::CKeyCode key(int virt, int modifier = 0, int character = 0);

}  // namespace tk42test
