#include "toolkit/on_off_button.h"

#include "toolkit/bitmap.h"

namespace TKGUI {

COnOffButton::COnOffButton(const CRect& size, CControlListener* listener, int32_t tag,
                           CBitmap* background, int32_t style)
    : CControl(size, listener, tag, background), style(style) {}

void COnOffButton::draw(CDrawContext* context) {
    if (background) {
        CPoint offset(0, value != 0.0f ? background->getHeight() / 2 : 0);
        if (transparent) {
            background->drawTransparent(context, size, offset);
        } else {
            background->draw(context, size, offset);
        }
    }
    setDirty(false);
}

void COnOffButton::mouseDown(CDrawContext* context, const CPoint& /*where*/, int buttons) {
    // Enabled, polled buttons, left button, then the modifier question: a
    // modifier click without the left button never reaches the listener.
    if (!mouseStepEnabled()) return;
    mouseStepPoll(context, buttons);
    if (!mouseStepLeft(buttons)) return;
    if (!mouseStepModifier(context, buttons)) return;

    // Truncation: 0.7 counts as off and becomes 1, 1.0 becomes 0.
    value = static_cast<int>(value) != 0 ? 0.0f : 1.0f;
    if (style == 1) reportToggle(context);
    // The idle work may close the editor: stay alive, and tell nobody of a
    // panel that is gone.
    retain();
    pumpIdle();
    if (style == 0 && frameStillOpen()) reportToggle(context);
    release();
}

void COnOffButton::reportToggle(CDrawContext* context) {
    if (!listener) return;
    beginEdit();
    listener->valueChanged(context, this);
    endEdit();
}

}  // namespace TKGUI
