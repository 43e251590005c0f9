// A switch of several positions side by side; the background holds one
// sub-image per position, stacked vertically. Dragging picks the position
// under the pointer until the button state changes in any way.
#pragma once

#include "toolkit/control.h"

namespace TKGUI {

class CHorizontalSwitch : public CControl {
  public:
    CHorizontalSwitch(const CRect& size, CControlListener* listener, int32_t tag,
                      int32_t frameCount, int32_t frameHeight, int32_t positionCount,
                      CBitmap* background, const CPoint& bitmapOffset);

    void draw(CDrawContext* context) override;
    void mouseDown(CDrawContext* context, const CPoint& where, int buttons = -1) override;

    int32_t getPositionCount() const { return positionCount; }
    // The sub-image count the switch was made with; drawing uses the positions.
    int32_t getFrameCount() const { return frameCount; }

  private:
    CPoint switchOffset;  // stored only: drawing always starts at x = 0
    int32_t frameCount;
    int32_t positionCount;
    int32_t frameHeight;
};

}  // namespace TKGUI
