#include "toolkit/view_container.h"

#include <cstring>
#include <vector>

#include "toolkit/bitmap.h"
#include "toolkit/draw_context.h"
#include "toolkit/frame.h"
#include "toolkit/offscreen_context.h"

namespace TKGUI {

namespace {

bool isContainer(const CView* view) {
    return view && view->isKindOf("CViewContainer");
}

// The views that can take the focus, depth first in list order.
void collectFocusCandidates(const CViewContainer* container, std::vector<CView*>& out) {
    for (int i = 0; i < container->getNbViews(); ++i) {
        CView* child = container->getView(i);
        if (isContainer(child)) {
            collectFocusCandidates(static_cast<CViewContainer*>(child), out);
        } else {
            out.push_back(child);
        }
    }
}

bool hasPositiveOverlap(const CRect& a, const CRect& b) {
    return !a.intersection(b).isEmpty();
}

}  // namespace

CViewContainer::CViewContainer(const CRect& size, CFrame* frame, CBitmap* background)
    : CView(size) {
    this->frame = frame;
    if (background) setBackground(background);
    dirty = true;
}

CViewContainer::~CViewContainer() {
    Node* node = firstChild;
    firstChild = lastChild = nullptr;
    while (node) {
        Node* next = node->next;
        CView* view = node->view;
        delete node;
        view->onRemoved(this);
        // The container's own reference and the creator's, which it took over.
        view->release();
        view->release();
        node = next;
    }
    if (offscreen) offscreen->release();
}

// --- Ownership ---------------------------------------------------------------

void CViewContainer::addView(CView* view, const CRect& area, bool enabled) {
    if (!view) return;
    view->setMouseArea(area);
    view->enableMouse(enabled);
    addView(view);
}

void CViewContainer::addView(CView* view) {
    if (!view) return;
    Node* node = new Node{view, nullptr, lastChild};
    if (lastChild) {
        lastChild->next = node;
    } else {
        firstChild = node;
    }
    lastChild = node;
    view->retain();
    view->setFrame(frame);
    view->setParentView(this);
    view->onAttached(this);
    view->setDirty(true);
}

void CViewContainer::forgetPointersInto(CView* view) {
    if (frame) frame->forgetView(view);
    if (currentDragView == view ||
        (isContainer(view) && static_cast<CViewContainer*>(view)->containsView(currentDragView))) {
        currentDragView = nullptr;
    }
}

void CViewContainer::removeView(CView* view, bool withForget) {
    if (!view) return;
    Node* node = firstChild;
    while (node && node->view != view) node = node->next;
    // A view that is not a child is not released: it is not ours.
    if (!node) return;
    forgetPointersInto(view);
    (node->previous ? node->previous->next : firstChild) = node->next;
    (node->next ? node->next->previous : lastChild) = node->previous;
    delete node;
    view->onRemoved(this);
    view->setParentView(nullptr);
    view->setFrame(nullptr);
    view->release();
    if (withForget) view->release();
}

void CViewContainer::removeAll(bool withForget) {
    while (firstChild) removeView(firstChild->view, withForget);
}

bool CViewContainer::isChild(CView* view) const {
    for (Node* node = firstChild; node; node = node->next) {
        if (node->view == view) return true;
    }
    return false;
}

bool CViewContainer::containsView(const CView* view) const {
    if (!view) return false;
    for (Node* node = firstChild; node; node = node->next) {
        if (node->view == view) return true;
        if (isContainer(node->view) &&
            static_cast<CViewContainer*>(node->view)->containsView(view)) {
            return true;
        }
    }
    return false;
}

int CViewContainer::getNbViews() const {
    int count = 0;
    for (Node* node = firstChild; node; node = node->next) ++count;
    return count;
}

CView* CViewContainer::getView(int index) const {
    if (index < 0) return nullptr;
    Node* node = firstChild;
    while (node && index-- > 0) node = node->next;
    return node ? node->view : nullptr;
}

bool CViewContainer::onRemoved(CView* /*parent*/) {
    if (offscreen) offscreen->release();
    offscreen = nullptr;
    return true;
}

bool CViewContainer::onAttached(CView* /*parent*/) {
    // Children added before this container joined a frame learn it now.
    for (Node* node = firstChild; node; node = node->next) node->view->setFrame(frame);
    if (buffered && !offscreen && frame) {
        offscreen = new COffscreenContext(frame, size.width(), size.height(), kBlackCColor);
    }
    return true;
}

// --- Appearance ----------------------------------------------------------------

void CViewContainer::setBackgroundColor(const CColor& color) {
    backgroundColor = color;
    setDirty(true);
}

void CViewContainer::useOffscreen(bool flag) {
    buffered = flag;
    if (!flag && offscreen) {
        offscreen->release();
        offscreen = nullptr;
    }
}

void CViewContainer::setBounds(const CRect& rect) {
    CView::setBounds(rect);
    if (offscreen) {
        offscreen->release();
        offscreen = nullptr;
    }
}

bool CViewContainer::isKindOf(const char* className) const {
    return className &&
           (std::strcmp(className, "CViewContainer") == 0 || CView::isKindOf(className));
}

int32_t CViewContainer::notify(CView* /*sender*/, const char* message) {
    return (message && std::strcmp(message, kMsgCheckIfViewContainer) == 0) ? 1 : 0;
}

// --- Coordinates ---------------------------------------------------------------

CPoint& CViewContainer::toLocal(CPoint& point) const {
    point.offset(-size.left, -size.top);
    if (isContainer(parentView)) return parentView->toLocal(point);
    return point;
}

CPoint& CViewContainer::toFrame(CPoint& point) const {
    point.offset(size.left, size.top);
    if (isContainer(parentView)) return parentView->toFrame(point);
    return point;
}

// --- Drawing ---------------------------------------------------------------------

void CViewContainer::drawBackgroundRect(CDrawContext* context, const CRect& rect) {
    if (background) {
        CRect oldClip;
        context->getClipRect(oldClip);
        context->setClipRect(rect.intersection(oldClip));
        CRect whole(0, 0, background->getWidth(), background->getHeight());
        if (transparent) {
            background->drawTransparent(context, whole, backgroundOffset);
        } else {
            background->draw(context, whole, backgroundOffset);
        }
        context->setClipRect(oldClip);
    } else if (!transparent) {
        context->setFillColor(backgroundColor);
        context->fillRect(rect);
    }
}

void CViewContainer::drawChildren(CDrawContext* target, const CRect& area) {
    CRect clip;
    target->getClipRect(clip);
    for (Node* node = firstChild; node; node = node->next) {
        CView* child = node->view;
        if (!child->intersects(area)) continue;
        CRect childClip = child->getBounds().intersection(area).bound(clip);
        if (childClip.isEmpty()) continue;
        target->setClipRect(childClip);
        bool wasDirty = child->isDirty();
        child->drawInRect(target, area);
        // Only part of a dirty child was drawn: the rest waits for a later idle.
        if (wasDirty && child->getBounds().intersection(area) != child->getBounds()) {
            child->setDirty(true);
        }
    }
    target->setClipRect(clip);
}

void CViewContainer::drawInRect(CDrawContext* context, const CRect& updateRect) {
    if (!context) return;
    CDrawContext* target = context;
    CPoint oldOffset = context->getOffset();
    CPoint oldScreen = context->getWindowScreenPosition();
    if (buffered) {
        if (!offscreen) {
            offscreen = new COffscreenContext(frame, size.width(), size.height(), kBlackCColor);
        }
        // A transparent buffered container starts from what lies under it.
        if (transparent) offscreen->copyFrom(context, size, CPoint(0, 0));
        target = offscreen;
    } else {
        context->setOffset(CPoint(oldOffset.x + size.left, oldOffset.y + size.top));
        context->setWindowScreenPosition(CPoint(oldScreen.x + size.left, oldScreen.y + size.top));
    }

    CRect area = updateRect.intersection(size).offset(-size.left, -size.top);
    CRect oldClip;
    target->getClipRect(oldClip);
    target->setClipRect(area.intersection(oldClip));
    drawBackgroundRect(target, area);
    drawChildren(target, area);
    target->setClipRect(oldClip);

    if (buffered) {
        offscreen->copyTo(context, area.offsetBy(size.left, size.top), CPoint(area.left, area.top));
    } else {
        context->setOffset(oldOffset);
        context->setWindowScreenPosition(oldScreen);
    }
    setDirty(false);
}

void CViewContainer::draw(CDrawContext* context) {
    CViewContainer::drawInRect(context, size);
}

bool CViewContainer::isDirty() const {
    if (dirty) return true;
    CRect local(0, 0, size.width(), size.height());
    for (Node* node = firstChild; node; node = node->next) {
        if (node->view->isDirty() && hasPositiveOverlap(node->view->getBounds(), local)) {
            return true;
        }
    }
    return false;
}

void CViewContainer::invalidate(CDrawContext* context, const CRect& rect) {
    CRect moved = rect.offsetBy(size.left, size.top);
    if (transparent) {
        if (parentView) {
            parentView->invalidate(context, moved);
        } else if (frame && frame != this) {
            frame->drawInRect(context, moved);
        }
        return;
    }
    if (!context) {
        drawInRect(context, moved);
        return;
    }
    // Draw with the context's origin at this container's parent.
    CPoint parentOrigin;
    if (parentView) parentView->toFrame(parentOrigin);
    CPoint oldOffset = context->getOffset();
    CPoint oldScreen = context->getWindowScreenPosition();
    context->setOffset(parentOrigin);
    context->setWindowScreenPosition(CPoint(oldScreen.x + parentOrigin.x - oldOffset.x,
                                            oldScreen.y + parentOrigin.y - oldOffset.y));
    drawInRect(context, moved);
    context->setOffset(oldOffset);
    context->setWindowScreenPosition(oldScreen);
}

void CViewContainer::redrawIfDirty(CDrawContext* context) {
    CRect local(0, 0, size.width(), size.height());
    if (updateMode == 0) {
        if (isDirty()) invalidate(context, local);
    } else if (updateMode == 1) {
        if (dirty) {
            invalidate(context, local);
        } else {
            for (Node* node = firstChild; node; node = node->next) {
                CView* child = node->view;
                if (!child->isDirty() || !hasPositiveOverlap(child->getBounds(), local)) continue;
                if (isContainer(child)) {
                    child->redrawIfDirty(context);
                } else {
                    child->invalidate(context, child->getBounds().intersection(local));
                }
            }
        }
    }
    dirty = false;
}

// --- Events -------------------------------------------------------------------------

void CViewContainer::mouseDown(CDrawContext* context, const CPoint& where, int buttons) {
    CPoint local(where.x - size.left, where.y - size.top);
    for (Node* node = lastChild; node; node = node->previous) {
        CView* child = node->view;
        if (child->isMouseEnabled() && child->hitTest(local, buttons)) {
            child->mouseDown(context, local, buttons);
            return;
        }
    }
}

int32_t CViewContainer::keyDown(CKeyCode& key) {
    for (Node* node = lastChild; node; node = node->previous) {
        int32_t answer = node->view->keyDown(key);
        if (answer != -1) return answer;
    }
    return -1;
}

int32_t CViewContainer::keyUp(CKeyCode& key) {
    for (Node* node = lastChild; node; node = node->previous) {
        int32_t answer = node->view->keyUp(key);
        if (answer != -1) return answer;
    }
    return -1;
}

bool CViewContainer::mouseWheel(CDrawContext* context, const CPoint& where, CMouseWheelAxis axis,
                                float distance) {
    CPoint local(where.x - size.left, where.y - size.top);
    for (Node* node = lastChild; node; node = node->previous) {
        CView* child = node->view;
        CRect area;
        if (child->isMouseEnabled() && child->getMouseArea(area).pointInside(local)) {
            return child->mouseWheel(context, local, axis, distance);
        }
    }
    return false;
}

void CViewContainer::focusLost(CDrawContext* context) {
    for (Node* node = firstChild; node; node = node->next) node->view->focusLost(context);
}

void CViewContainer::focusGained(CDrawContext* context) {
    for (Node* node = firstChild; node; node = node->next) node->view->focusGained(context);
}

bool CViewContainer::advanceNextFocusView(CView* oldFocus, bool reverse) {
    std::vector<CView*> candidates;
    collectFocusCandidates(this, candidates);
    if (reverse) candidates.assign(candidates.rbegin(), candidates.rend());
    size_t start = 0;
    for (size_t i = 0; oldFocus && i < candidates.size(); ++i) {
        if (candidates[i] == oldFocus) {
            start = i + 1;
            break;
        }
    }
    for (size_t i = start; i < candidates.size(); ++i) {
        if (candidates[i]->wantsFocus()) {
            if (frame) frame->setFocusView(candidates[i]);
            return true;
        }
    }
    if (frame) frame->setFocusView(nullptr);
    return false;
}

// --- Hit finding and drags ------------------------------------------------------

CView* CViewContainer::getViewAt(const CPoint& point, bool deep) const {
    for (Node* node = lastChild; node; node = node->previous) {
        CView* child = node->view;
        if (!child->getBounds().pointInside(point)) continue;
        if (deep && isContainer(child)) {
            const CRect& b = child->getBounds();
            CView* inner = static_cast<CViewContainer*>(child)->getViewAt(
                CPoint(point.x - b.left, point.y - b.top), true);
            return inner ? inner : child;
        }
        return child;
    }
    return nullptr;
}

CView* CViewContainer::getCurrentView() const {
    if (!frame) return nullptr;
    CPoint where = frame->getCurrentMouseLocation();
    toLocal(where);
    return getViewAt(where, false);
}

void CViewContainer::onDragEnter(CDrawContext* context, CDragContainer* drag, const CPoint& where) {
    CPoint local(where.x - size.left, where.y - size.top);
    if (currentDragView) currentDragView->onDragLeave(context, drag, local);
    currentDragView = getViewAt(local);
    if (currentDragView) currentDragView->onDragEnter(context, drag, local);
}

void CViewContainer::onDragLeave(CDrawContext* context, CDragContainer* drag, const CPoint& where) {
    CPoint local(where.x - size.left, where.y - size.top);
    if (currentDragView) currentDragView->onDragLeave(context, drag, local);
    currentDragView = nullptr;
}

void CViewContainer::onDragMove(CDrawContext* context, CDragContainer* drag, const CPoint& where) {
    CPoint local(where.x - size.left, where.y - size.top);
    CView* view = getViewAt(local);
    if (view != currentDragView) {
        if (currentDragView) currentDragView->onDragLeave(context, drag, local);
        currentDragView = view;
        if (view) view->onDragEnter(context, drag, local);
    } else if (currentDragView) {
        currentDragView->onDragMove(context, drag, local);
    }
}

bool CViewContainer::onDrop(CDrawContext* context, CDragContainer* drag, const CPoint& where) {
    CPoint local(where.x - size.left, where.y - size.top);
    CView* view = getViewAt(local);
    if (view != currentDragView && currentDragView) {
        currentDragView->onDragLeave(context, drag, local);
    }
    currentDragView = nullptr;
    if (!view) return false;
    bool taken = view->onDrop(context, drag, local);
    view->onDragLeave(context, drag, local);
    return taken;
}

}  // namespace TKGUI
