// A view that remembers the clicks and wheel turns that reach it, for the
// frame-window tests on both platforms.
#pragma once

#include "toolkit/view.h"

struct ClickProbe : TKGUI::CView {
    explicit ClickProbe(const TKGUI::CRect& r) : CView(r) {}
    void mouseDown(TKGUI::CDrawContext*, const TKGUI::CPoint& where, int buttons) override {
        ++clicks;
        lastWhere = where;
        lastButtons = buttons;
    }
    bool mouseWheel(TKGUI::CDrawContext*, const TKGUI::CPoint& where, TKGUI::CMouseWheelAxis,
                    float distance) override {
        wheelWhere = where;
        wheelDistance = distance;
        return true;
    }
    int clicks = 0;
    int lastButtons = 0;
    TKGUI::CPoint lastWhere, wheelWhere;
    float wheelDistance = 0;
};
