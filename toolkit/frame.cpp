#include "toolkit/frame.h"

#include <cstring>

#include "toolkit/draw_context.h"
#include "toolkit/key_codes.h"
#include "toolkit/knob_mode.h"
#include "toolkit/offscreen_context.h"
#include "toolkit/platform/frame_window.h"

namespace TKGUI {

CFrame::CFrame(const CRect& size, platform::Window* parentWindow, CFrameEditor* editor)
    : CViewContainer(size, this, nullptr), editor(editor), parentWindow(parentWindow) {
    oleStarted = platform::beginThreadOle();
    oleThread = std::this_thread::get_id();
    blendLibrary = platform::loadBlendLibrary();
    if (parentWindow) {
        window = platform::createFrameWindow(this, parentWindow, size.width(), size.height());
        if (window) setDropActive(true);
    }
}

CFrame::~CFrame() {
    if (modalView) removeView(modalView, false);
    if (savedCursor) platform::setCursorShape(0, savedCursor);
    if (dropTarget) platform::revokeDropTarget(window, dropTarget);
    dropTarget = nullptr;
    if (paintContext) paintContext->release();
    paintContext = nullptr;
    // OLE is stopped only after a start that succeeded, and on its thread.
    if (oleStarted && std::this_thread::get_id() == oleThread) platform::endThreadOle();
    if (backBuffer) backBuffer->release();
    backBuffer = nullptr;
    if (blendLibrary) platform::freeBlendLibrary(blendLibrary);
    blendLibrary = nullptr;
    // A window that its parent already destroyed was forgotten then.
    if (window) platform::destroyFrameWindow(window);
    window = nullptr;
    // The container part then releases the children and their bitmaps.
}

bool CFrame::isKindOf(const char* className) const {
    return className &&
           (std::strcmp(className, "CFrame") == 0 || CViewContainer::isKindOf(className));
}

// --- Editor-facing operations --------------------------------------------------

bool CFrame::open(CPoint* /*point*/) {
    return addedToOuterWindow;
}

bool CFrame::close() {
    return addedToOuterWindow;
}

void CFrame::pumpIdle() {
    if (editor) editor->pumpIdle();
}

uint32_t CFrame::getTicks() const {
    return editor ? platform::tickCount() : 0;
}

int32_t CFrame::getKnobMode() const {
    return hostKnobMode();
}

bool CFrame::canDoCapability(const char* /*what*/) const {
    return false;
}

bool CFrame::getPosition(int32_t& x, int32_t& y) const {
    x = 0;
    y = 0;
    return false;
}

void CFrame::beginEdit(int32_t tag) {
    if (editor) editor->beginEdit(tag);
}

void CFrame::endEdit(int32_t tag) {
    if (editor) editor->endEdit(tag);
}

CPoint CFrame::getCurrentMouseLocation() const {
    CPoint cursor = platform::cursorScreenPosition();
    CPoint origin = platform::windowScreenOrigin(window);
    return CPoint(cursor.x - origin.x, cursor.y - origin.y);
}

void CFrame::setCursor(int type) {
    // The first call keeps the cursor to come back to.
    if (!savedCursor) savedCursor = platform::currentCursor();
    platform::setCursorShape(type, savedCursor);
}

bool CFrame::setDropActive(bool active) {
    if (dropTarget) platform::revokeDropTarget(window, dropTarget);
    dropTarget = nullptr;
    if (active && window) dropTarget = platform::registerDropTarget(window, this);
    dropActive = active;
    return true;
}

void CFrame::setPaintContext(CDrawContext* context) {
    if (context) context->retain();
    if (paintContext) paintContext->release();
    paintContext = context;
}

void CFrame::onWindowDestroyed() {
    openFlag = false;
    parentWindow = nullptr;
    window = nullptr;
}

// --- Size -------------------------------------------------------------------------

bool CFrame::setSize(int32_t width, int32_t height) {
    if (!openFlag) return false;
    if (width == size.width() && height == size.height()) return false;
    if (backBuffer) backBuffer->release();
    backBuffer = nullptr;
    if (window) {
        // A host that can size its editor window does it; otherwise the
        // window chain above the frame is grown by hand.
        if (editor && editor->requestEditorSize(width, height)) {
            platform::resizeWindow(window, width, height);
        } else {
            platform::resizeWindowChain(window, width, height);
        }
    }
    CView::setBounds(CRect(0, 0, width, height));
    mouseArea = size;
    setDirty(true);
    return true;
}

void CFrame::setBounds(const CRect& rect) {
    setSize(rect.width(), rect.height());
}

bool CFrame::getSize(CRect* rect) const {
    if (!rect) return false;
    *rect = size;
    return true;
}

bool CFrame::getSize(CRect& rect) const {
    return getSize(&rect);
}

// --- Modal view and focus ------------------------------------------------------------

bool CFrame::setModalView(CView* view) {
    if (view && modalView) return false;
    if (modalView) removeView(modalView, false);
    modalView = view;
    if (view) addView(view);
    return true;
}

void CFrame::setFocusView(CView* view) {
    CView* old = focusView;
    focusView = view;
    if (view && view->wantsFocus()) view->setDirty(true);
    if (old) {
        old->focusLost(nullptr);
        if (old->wantsFocus()) old->setDirty(true);
    }
}

bool CFrame::advanceNextFocusView(CView* oldFocus, bool reverse) {
    if (modalView) return false;
    return CViewContainer::advanceNextFocusView(oldFocus, reverse);
}

void CFrame::forgetView(CView* view) {
    auto leadsTo = [view](CView* pointer) {
        if (!pointer) return false;
        if (pointer == view) return true;
        return view->isKindOf("CViewContainer") &&
               static_cast<CViewContainer*>(view)->containsView(pointer);
    };
    if (leadsTo(focusView)) setFocusView(nullptr);
    if (leadsTo(modalView)) modalView = nullptr;
}

CView* CFrame::getCurrentView() const {
    if (modalView) return modalView;
    return CViewContainer::getCurrentView();
}

// --- Events ---------------------------------------------------------------------------

void CFrame::mouseDown(CDrawContext* context, const CPoint& where, int buttons) {
    if (!context) context = paintContext;
    // Every click commits an open text edit and takes the focus from a knob.
    if (focusView) setFocusView(nullptr);
    if (buttons == -1 && context) buttons = context->getMouseButtons();
    if (modalView) {
        if (modalView->hitTest(where, buttons)) modalView->mouseDown(context, where, buttons);
        return;
    }
    CViewContainer::mouseDown(context, where, buttons);
}

int32_t CFrame::keyDown(CKeyCode& key) {
    if (focusView) {
        int32_t answer = focusView->keyDown(key);
        if (answer != -1) return answer;
    }
    if (modalView) {
        int32_t answer = modalView->keyDown(key);
        if (answer != -1) return answer;
    }
    if (key.virt == VKEY_TAB) {
        return advanceNextFocusView(focusView, (key.modifier & MODIFIER_SHIFT) != 0) ? 1 : -1;
    }
    return -1;
}

int32_t CFrame::keyUp(CKeyCode& key) {
    if (focusView) {
        int32_t answer = focusView->keyUp(key);
        if (answer != -1) return answer;
    }
    if (modalView) {
        int32_t answer = modalView->keyUp(key);
        if (answer != -1) return answer;
    }
    return -1;
}

bool CFrame::mouseWheel(CDrawContext* context, const CPoint& where, float distance) {
    return mouseWheel(context, where, kMouseWheelAxisY, distance);
}

bool CFrame::mouseWheel(CDrawContext* context, const CPoint& where, CMouseWheelAxis axis,
                        float distance) {
    CView* target = modalView;
    for (Node* node = lastChild; !target && node; node = node->previous) {
        CRect area;
        if (node->view->getMouseArea(area).pointInside(where)) target = node->view;
    }
    if (!target) return false;
    bool madeContext = false;
    if (!context) {
        context = new CDrawContext(this, nullptr, window);
        madeContext = true;
    }
    bool answer = target->mouseWheel(context, where, axis, distance);
    if (madeContext) context->release();
    return answer;
}

// --- Drawing -----------------------------------------------------------------------------

CDrawContext* CFrame::takeContext() {
    if (paintContext) {
        paintContext->retain();
        return paintContext;
    }
    return new CDrawContext(this, nullptr, window);
}

COffscreenContext* CFrame::getBackBuffer() {
    if (!backBuffer) {
        backBuffer = new COffscreenContext(this, size.width(), size.height(), kBlackCColor);
        if (!backBuffer->getImage()) {
            backBuffer->release();
            backBuffer = nullptr;
        }
    }
    return backBuffer;
}

void CFrame::draw(CDrawContext* context) {
    drawInRect(context, size);
}

void CFrame::drawInRect(CDrawContext* context, const CRect& updateRect) {
    firstDrawPending = false;
    bool madeContext = false;
    if (!context) {
        context = takeContext();
        madeContext = true;
    }
    CRect oldClip;
    context->getClipRect(oldClip);
    CRect clip = updateRect.intersection(oldClip);
    context->setClipRect(clip);
    if (updateRect.width() > 0 && updateRect.height() > 0) {
        CViewContainer::drawInRect(context, updateRect);
    }
    context->setClipRect(oldClip);
    if (madeContext) context->release();
}

void CFrame::idle() {
    if (!openFlag || firstDrawPending || !isDirty()) return;
    CDrawContext* context = takeContext();
    redrawIfDirty(context);
    context->release();
}

void CFrame::redrawIfDirty(CDrawContext* context) {
    if (!openFlag) return;
    COffscreenContext* buffer = getBackBuffer();
    if (!buffer) {
        // Without a back buffer, draw straight into the given context.
        if (context && isDirty()) CViewContainer::drawInRect(context, size);
        return;
    }
    CDrawContext* oldPaint = paintContext;
    paintContext = buffer;
    if (dirty) {
        CViewContainer::draw(buffer);
        dirty = false;
    } else {
        if (modalView && modalView->isDirty()) modalView->redrawIfDirty(buffer);
        CRect oldClip;
        buffer->getClipRect(oldClip);
        for (Node* node = firstChild; node; node = node->next) {
            buffer->setClipRect(node->view->getBounds().intersection(oldClip));
            node->view->redrawIfDirty(buffer);
        }
        buffer->setClipRect(oldClip);
    }
    if (context && context != buffer) buffer->copyTo(context, size, CPoint(0, 0));
    paintContext = oldPaint;
}

void CFrame::drawView(CView* view) {
    CRect area = (view && isChild(view)) ? view->getBounds() : size;
    CDrawContext* context = takeContext();
    COffscreenContext* buffer = getBackBuffer();
    if (buffer) {
        CDrawContext* oldPaint = paintContext;
        paintContext = buffer;
        drawInRect(buffer, area);
        paintContext = oldPaint;
        if (context != buffer) buffer->copyTo(context, area, CPoint(area.left, area.top));
    } else {
        drawInRect(context, area);
    }
    context->release();
}

void CFrame::markDirtyRect(const CRect& rect) {
    for (Node* node = firstChild; node; node = node->next) {
        if (node->view->getBounds().rectOverlap(rect)) node->view->setDirty(true);
    }
}

}  // namespace TKGUI
