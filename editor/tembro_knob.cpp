#include "editor/tembro_knob.h"

#include <cstring>

#include "toolkit/button_state.h"

using namespace TKGUI;

TembroKnob::TembroKnob(const CRect& size, CControlListener* listener, int32_t tag,
                       int32_t frameCount, int32_t frameHeight, CBitmap* background,
                       const CPoint& bitmapOffset)
    : CAnimKnob(size, listener, tag, frameCount, frameHeight, background, bitmapOffset) {}

bool TembroKnob::isKindOf(const char* className) const {
    if (className &&
        (std::strcmp(className, "TembroKnob") == 0 || std::strcmp(className, "CControl") == 0)) {
        return true;
    }
    return CView::isKindOf(className);
}

void TembroKnob::mouseDown(CDrawContext* context, const CPoint& where, int buttons) {
    if (!knobMouseDownPrologue(context, buttons)) return;

    // The value is always the start value plus the whole offset times c, so
    // it stays at an end while the pointer is past it and leaves the end only
    // where the offset comes back into range.
    const CPoint start = where;
    const float startValue = value;
    const float c = (vmax - vmin) / dragRange;

    beginEdit();
    retain();
    CPoint last(-1, -1);
    CPoint current = where;
    int32_t polled;
    do {
        // Polled first: the turn that sees the release still applies the
        // position read in the turn before.
        polled = pollButtons(context);
        if (current != last) {
            last = current;
            const int32_t d = (current.x - start.x) + (start.y - current.y);
            value = startValue + static_cast<float>(d) * c;
            clampValue();
            reportIfDirty(context);
        }
        getCursorPosition(context, current);
        pumpIdle();
    } while ((polled & kLButton) && frameStillOpen());
    endEdit();
    release();
}
