// A knob drawn as one frame of a vertical filmstrip chosen by its value.
//
// It is redrawn only when its handle point would move by a pixel (or its
// dirty flag is set): smaller changes keep the previous frame on screen.
#pragma once

#include "toolkit/knob.h"

namespace TKGUI {

class CAnimKnob : public CKnob {
  public:
    CAnimKnob(const CRect& size, CControlListener* listener, int32_t tag, int32_t frameCount,
              int32_t frameHeight, CBitmap* background, const CPoint& bitmapOffset);

    void draw(CDrawContext* context) override;
    bool isDirty() const override;

    void setInverseBitmap(bool inverse) { inverseBitmap = inverse; }
    bool isInverseBitmap() const { return inverseBitmap; }
    int32_t getFrameCount() const { return frameCount; }
    int32_t getFrameHeight() const { return frameHeight; }
    // The source offset into the strip that draw uses for the current value.
    CPoint frameOffset() const;

  protected:
    int32_t frameCount;
    int32_t frameHeight;
    bool inverseBitmap = false;
    CPoint lastDrawnHandlePoint;
};

}  // namespace TKGUI
