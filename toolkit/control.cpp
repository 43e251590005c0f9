#include "toolkit/control.h"

#include <cstring>

#include "toolkit/button_state.h"
#include "toolkit/draw_context.h"
#include "toolkit/frame.h"
#include "toolkit/platform/platform.h"

namespace TKGUI {

CControl::CControl(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background)
    : CView(size), listener(listener), tag(tag) {
    int systemTime = platform::doubleClickTime();
    doubleClickTime = systemTime < 250 ? 250 : systemTime;
    if (background) setBackground(background);
    setDirty(true);
}

CControl::~CControl() = default;

bool CControl::isDirty() const {
    // A NaN value never equals lastValue, so it always counts as changed.
    return lastValue != value || dirty;
}

void CControl::setDirty(bool flag) {
    dirty = flag;
    if (flag) {
        lastValue = value == -1.0f ? 0.0f : -1.0f;
    } else {
        lastValue = value;
    }
}

bool CControl::onRemoved(CView* parent) {
    // A container being destroyed does not clear its children's frame and
    // parent pointers; a control kept alive by its own modal loop must not
    // follow them.
    frame = nullptr;
    parentView = nullptr;
    return CView::onRemoved(parent);
}

bool CControl::isKindOf(const char* className) const {
    return (className && std::strcmp(className, "CControl") == 0) || CView::isKindOf(className);
}

void CControl::pumpIdle() {
    if (frame) frame->pumpIdle();
}

void CControl::beginEdit() {
    if (!frame) return;
    frame->setFocusView(this);
    gestureEditor = frame->getEditor();
    frame->beginEdit(tag);
}

void CControl::endEdit() {
    if (frame) {
        frame->endEdit(tag);
    } else if (gestureEditor) {
        gestureEditor->endEdit(tag);
    }
    gestureEditor = nullptr;
}

void CControl::setBitmapOffsetToOrigin() {
    bitmapOffset = CPoint(size.left, size.top);
}

void CControl::clampValue() {
    if (value > vmax) {
        value = vmax;
    } else if (value < vmin) {
        value = vmin;
    }
}

bool CControl::checkResetClick(CDrawContext* context, int32_t buttons) {
    if (buttons != (kLButton | kControl)) return false;
    beginEdit();
    value = defaultValue;
    if (isDirty() && listener) listener->valueChanged(context, this);
    endEdit();
    return true;
}

void CControl::mouseStepPoll(CDrawContext* context, int32_t& buttons) const {
    if (buttons != -1) return;
    buttons = context ? context->getMouseButtons() : pollButtonState();
}

bool CControl::mouseStepModifier(CDrawContext* context, int32_t buttons) {
    if (listener && (buttons & kModifierMask)) {
        return listener->modifierClicked(context, this, buttons) == 0;
    }
    return true;
}

bool CControl::mouseStepLeft(int32_t buttons) {
    return (buttons & kLButton) != 0;
}

void CControl::reportIfDirty(CDrawContext* context) {
    if (isDirty() && listener) listener->valueChanged(context, this);
}

bool CControl::frameStillOpen() const {
    return frame && frame->isOpen();
}

}  // namespace TKGUI
