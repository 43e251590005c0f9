// A two-state button: a click flips the value between 0 and 1. The
// background holds two frames stacked vertically, off on top, on below.
#pragma once

#include "toolkit/control.h"

namespace TKGUI {

class COnOffButton : public CControl {
  public:
    // style 0 tells the listener after the idle pump, style 1 before it.
    COnOffButton(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
                 int32_t style = 0);

    void draw(CDrawContext* context) override;
    void mouseDown(CDrawContext* context, const CPoint& where, int buttons = -1) override;

    virtual int32_t getStyle() const { return style; }
    virtual void setStyle(int32_t newStyle) { style = newStyle; }

  private:
    void reportToggle(CDrawContext* context);

    int32_t style;
};

}  // namespace TKGUI
