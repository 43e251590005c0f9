// The editor's knob: a filmstrip knob that always drags linearly, over
// dragRange pixels for the whole range, whatever the host's knob mode and
// the modifier keys. Wheel, arrow keys and the control-click reset are the
// base classes'.
#pragma once

#include "toolkit/anim_knob.h"

class TembroKnob : public TKGUI::CAnimKnob {
  public:
    TembroKnob(const TKGUI::CRect& size, TKGUI::CControlListener* listener, int32_t tag,
               int32_t frameCount, int32_t frameHeight, TKGUI::CBitmap* background,
               const TKGUI::CPoint& bitmapOffset);

    // Runs the whole drag before it returns.
    void mouseDown(TKGUI::CDrawContext* context, const TKGUI::CPoint& where,
                   int buttons = -1) override;
    bool isKindOf(const char* className) const override;

    // Pixels of mouse travel (right and up add, left and down subtract) for
    // the whole range; the editor sets 480.
    float dragRange = 400.0f;
};
