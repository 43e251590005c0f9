#include "toolkit/anim_knob.h"

#include <cmath>

#include "toolkit/bitmap.h"

namespace TKGUI {

CAnimKnob::CAnimKnob(const CRect& size, CControlListener* listener, int32_t tag, int32_t frameCount,
                     int32_t frameHeight, CBitmap* background, const CPoint& bitmapOffset)
    : CKnob(size, listener, tag, background, bitmapOffset),
      frameCount(frameCount),
      frameHeight(frameHeight) {
    inset = 0;
}

CPoint CAnimKnob::frameOffset() const {
    int32_t y = 0;
    if (value >= 0.0f) {
        const int32_t span = frameHeight * (frameCount - 1);
        const float fspan = static_cast<float>(span);
        y = inverseBitmap ? truncateToInt((1.0f - value) * fspan) : truncateToInt(fspan * value);
        // Down to a whole frame (never rounded up); a frame height of 0
        // would never advance, so it leaves y alone.
        if (frameHeight > 0) {
            for (int64_t k = 0; k <= span; k += frameHeight) {
                if (y < k) {
                    y = static_cast<int32_t>(k - frameHeight > 0 ? k - frameHeight : 0);
                    break;
                }
            }
        }
    }
    return CPoint(0, y);
}

void CAnimKnob::draw(CDrawContext* context) {
    if (background) {
        const CPoint offset = frameOffset();
        if (transparent) {
            background->drawTransparent(context, size, offset);
        } else {
            background->draw(context, size, offset);
        }
    }
    valueToHandlePoint(lastDrawnHandlePoint);
    setDirty(false);
}

bool CAnimKnob::isDirty() const {
    if (!dirty && !std::isnan(value)) {
        CPoint p;
        valueToHandlePoint(p);
        if (p == lastDrawnHandlePoint) return false;
    }
    return CControl::isDirty();
}

}  // namespace TKGUI
