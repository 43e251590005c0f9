// A view that holds an ordered list of child views, drawn over a background
// bitmap or colour.
//
// Children are drawn in list order and receive events in the reverse order,
// so the last added lies on top and wins where mouse areas overlap. The
// container owns its children: it holds the reference it takes in addView and
// the creator's, and releases both when it is destroyed. Children's bounds
// are in the container's local coordinates (offset by its top-left).
#pragma once

#include "toolkit/view.h"

namespace TKGUI {

class COffscreenContext;

class CViewContainer : public CView {
  public:
    CViewContainer(const CRect& size, CFrame* frame, CBitmap* background = nullptr);
    ~CViewContainer() override;

    using CView::getBounds;
    using CView::mouseWheel;

    void draw(CDrawContext* context) override;
    void drawInRect(CDrawContext* context, const CRect& updateRect) override;
    void mouseDown(CDrawContext* context, const CPoint& where, int buttons = -1) override;
    int32_t keyDown(CKeyCode& key) override;
    int32_t keyUp(CKeyCode& key) override;
    bool mouseWheel(CDrawContext* context, const CPoint& where, CMouseWheelAxis axis,
                    float distance) override;
    bool onDrop(CDrawContext* context, CDragContainer* drag, const CPoint& where) override;
    void onDragEnter(CDrawContext* context, CDragContainer* drag, const CPoint& where) override;
    void onDragLeave(CDrawContext* context, CDragContainer* drag, const CPoint& where) override;
    void onDragMove(CDrawContext* context, CDragContainer* drag, const CPoint& where) override;
    void focusLost(CDrawContext* context) override;
    void focusGained(CDrawContext* context) override;
    bool isDirty() const override;
    void setBounds(const CRect& rect) override;
    bool onRemoved(CView* parent) override;
    bool onAttached(CView* parent) override;
    CPoint& toLocal(CPoint& point) const override;
    CPoint& toFrame(CPoint& point) const override;
    int32_t notify(CView* sender, const char* message) override;
    void invalidate(CDrawContext* context, const CRect& rect) override;
    void redrawIfDirty(CDrawContext* context) override;
    bool isKindOf(const char* className) const override;

    virtual void addView(CView* view, const CRect& mouseArea, bool mouseEnabled = true);
    virtual void addView(CView* view);
    virtual void removeView(CView* view, bool withForget = true);
    virtual void removeAll(bool withForget = true);
    virtual bool isChild(CView* view) const;
    virtual int getNbViews() const;
    virtual CView* getView(int index) const;
    virtual void setBackgroundColor(const CColor& color);
    virtual CColor getBackgroundColor() const { return backgroundColor; }
    virtual void setBackgroundOffset(const CPoint& offset) { backgroundOffset = offset; }
    virtual const CPoint& getBackgroundOffset() const { return backgroundOffset; }
    virtual void drawBackgroundRect(CDrawContext* context, const CRect& rect);
    virtual void setMode(int mode) { updateMode = mode; }
    virtual int getMode() const { return updateMode; }
    virtual void useOffscreen(bool flag);
    virtual CView* getCurrentView() const;
    // The last-added child whose bounds contain the point (in this
    // container's local coordinates); with deep, the innermost such view.
    virtual CView* getViewAt(const CPoint& point, bool deep = false) const;
    virtual bool advanceNextFocusView(CView* oldFocus, bool reverse = false);

    // Whether view is this container's child or lies inside one of them.
    bool containsView(const CView* view) const;

  protected:
    struct Node {
        CView* view;
        Node* next;
        Node* previous;
    };

    void drawChildren(CDrawContext* target, const CRect& area);
    // Forgets frame-wide pointers into a subtree that is leaving.
    void forgetPointersInto(CView* view);

    Node* firstChild = nullptr;
    Node* lastChild = nullptr;
    int updateMode = 1;
    COffscreenContext* offscreen = nullptr;
    CColor backgroundColor = kBlackCColor;
    CPoint backgroundOffset;
    bool buffered = false;
    CView* currentDragView = nullptr;
};

}  // namespace TKGUI
