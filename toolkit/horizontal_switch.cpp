#include "toolkit/horizontal_switch.h"

#include "toolkit/bitmap.h"
#include "toolkit/button_state.h"
#include "toolkit/draw_context.h"
#include "toolkit/knob.h"

namespace TKGUI {

CHorizontalSwitch::CHorizontalSwitch(const CRect& size, CControlListener* listener, int32_t tag,
                                     int32_t frameCount, int32_t frameHeight, int32_t positionCount,
                                     CBitmap* background, const CPoint& bitmapOffset)
    : CControl(size, listener, tag, background),
      switchOffset(bitmapOffset),
      frameCount(frameCount),
      positionCount(positionCount),
      frameHeight(frameHeight) {
    defaultValue = 0.0f;
}

void CHorizontalSwitch::draw(CDrawContext* context) {
    if (background) {
        const int32_t index = truncateToInt(static_cast<float>(positionCount - 1) * value + 0.5f);
        const CPoint offset(0, index * frameHeight);
        if (transparent) {
            background->drawTransparent(context, size, offset);
        } else {
            background->draw(context, size, offset);
        }
    }
    setDirty(false);
}

void CHorizontalSwitch::mouseDown(CDrawContext* context, const CPoint& where, int buttons) {
    // Enabled, polled buttons, modifier question (even without the left
    // button), left button, reset click.
    if (!mouseStepEnabled()) return;
    mouseStepPoll(context, buttons);
    if (!mouseStepModifier(context, buttons)) return;
    if (!mouseStepLeft(buttons)) return;
    if (checkResetClick(context, buttons)) return;
    // The position width comes from the strip: without one, or with fewer
    // than two positions, there is nothing to pick.
    if (!background || positionCount < 2) return;

    const double width = static_cast<double>(background->getWidth()) / positionCount;
    beginEdit();
    retain();
    CPoint current = where;
    do {
        const int32_t position = truncateToInt((current.x - size.left) / width);
        value = static_cast<float>(position) / static_cast<float>(positionCount - 1);
        if (value < 0.0f) {
            value = 0.0f;
        } else if (value > 1.0f) {
            value = 1.0f;
        }
        reportIfDirty(context);
        getCursorPosition(context, current);
        pumpIdle();
    } while (frameStillOpen() &&
             (context ? context->getMouseButtons() : pollButtonState()) == buttons);
    endEdit();
    release();
}

}  // namespace TKGUI
