#include "toolkit/view.h"

#include <cstring>

#include "toolkit/bitmap.h"
#include "toolkit/draw_context.h"
#include "toolkit/frame.h"
#include "toolkit/platform/platform.h"
#include "toolkit/view_container.h"

namespace TKGUI {

const char* kMsgCheckIfViewContainer = "kMsgCheckIfViewContainer";
const char* kMsgLooseFocus = "LooseFocus";

CView::CView(const CRect& size) : size(size), mouseArea(size) {}

CView::~CView() {
    if (background) background->release();
}

void CView::draw(CDrawContext* context) {
    if (background) {
        if (transparent) {
            background->drawTransparent(context, size, CPoint(0, 0));
        } else {
            background->draw(context, size, CPoint(0, 0));
        }
    }
    setDirty(false);
}

void CView::drawInRect(CDrawContext* context, const CRect& /*updateRect*/) {
    draw(context);
}

bool CView::intersects(const CRect& rect) const {
    return size.rectOverlap(rect);
}

void CView::mouseDown(CDrawContext* /*context*/, const CPoint& /*where*/, int /*buttons*/) {}

void CView::setBackground(CBitmap* bitmap) {
    if (bitmap) bitmap->retain();
    if (background) background->release();
    background = bitmap;
    setDirty(true);
}

int32_t CView::keyDown(CKeyCode& /*key*/) {
    return -1;
}

int32_t CView::keyUp(CKeyCode& /*key*/) {
    return -1;
}

bool CView::mouseWheel(CDrawContext* context, const CPoint& where, CMouseWheelAxis /*axis*/,
                       float distance) {
    return mouseWheel(context, where, distance);
}

bool CView::mouseWheel(CDrawContext* /*context*/, const CPoint& /*where*/, float /*distance*/) {
    return false;
}

bool CView::onDrop(CDrawContext*, CDragContainer*, const CPoint&) {
    return false;
}
void CView::onDragEnter(CDrawContext*, CDragContainer*, const CPoint&) {}
void CView::onDragLeave(CDrawContext*, CDragContainer*, const CPoint&) {}
void CView::onDragMove(CDrawContext*, CDragContainer*, const CPoint&) {}
void CView::focusLost(CDrawContext*) {}
void CView::focusGained(CDrawContext*) {}

CRect& CView::getMouseArea(CRect& rect) const {
    rect = mouseArea;
    return rect;
}

bool CView::hitTest(const CPoint& where, int /*buttons*/) {
    return mouseArea.pointInside(where);
}

void CView::setBounds(const CRect& rect) {
    size = rect;
    setDirty(true);
}

CRect& CView::getBounds(CRect& rect) const {
    rect = size;
    return rect;
}

bool CView::onRemoved(CView* /*parent*/) {
    return true;
}
bool CView::onAttached(CView* /*parent*/) {
    return true;
}

void CView::getCursorPosition(CDrawContext* context, CPoint& where) {
    if (parentView && parentView->notify(this, kMsgCheckIfViewContainer) == 1) {
        if (!context) {
            // Without a context there are no offsets to shift: ask the parent
            // and make its answer local to it.
            parentView->getCursorPosition(nullptr, where);
            const CRect& pb = parentView->getBounds();
            where.offset(-pb.left, -pb.top);
            return;
        }
        const CRect& pb = parentView->getBounds();
        CPoint oldOffset = context->getOffset();
        CPoint oldScreen = context->getWindowScreenPosition();
        context->setOffset(CPoint(oldOffset.x + pb.left, oldOffset.y + pb.top));
        context->setWindowScreenPosition(CPoint(oldScreen.x + pb.left, oldScreen.y + pb.top));
        parentView->getCursorPosition(context, where);
        context->setOffset(oldOffset);
        context->setWindowScreenPosition(oldScreen);
        return;
    }
    CPoint cursor = platform::cursorScreenPosition();
    CPoint origin = context ? context->getWindowScreenPosition()
                            : platform::windowScreenOrigin(frame ? frame->getWindow() : nullptr);
    where = CPoint(cursor.x - origin.x, cursor.y - origin.y);
}

CPoint& CView::toLocal(CPoint& point) const {
    if (parentView && parentView->isKindOf("CViewContainer")) return parentView->toLocal(point);
    return point;
}

CPoint& CView::toFrame(CPoint& point) const {
    if (parentView && parentView->isKindOf("CViewContainer")) return parentView->toFrame(point);
    return point;
}

CFrameEditor* CView::getEditor() const {
    return frame ? frame->getEditor() : nullptr;
}

int32_t CView::notify(CView* /*sender*/, const char* /*message*/) {
    return 0;
}

void CView::invalidate(CDrawContext* context, const CRect& rect) {
    if (parentView) {
        parentView->invalidate(context, rect);
    } else if (frame) {
        frame->drawInRect(context, rect);
    }
}

bool CView::isKindOf(const char* className) const {
    return className && std::strcmp(className, "CView") == 0;
}

void CView::redrawIfDirty(CDrawContext* context) {
    if (!isDirty()) return;
    if (context) {
        invalidate(context, size);
    } else if (frame) {
        frame->drawView(this);
    }
    setDirty(false);
}

}  // namespace TKGUI
