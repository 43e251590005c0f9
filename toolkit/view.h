// The base of everything drawn: a rectangle in its parent's coordinates, a
// mouse area, flags and an optional background bitmap (retained).
//
// A view belongs to the container it was added to (which holds the creator's
// reference as well as its own); its frame and parent pointers are not owned.
// Mouse areas include their right and bottom edges.
#pragma once

#include <cstdint>

#include "toolkit/geometry.h"
#include "toolkit/key_codes.h"
#include "toolkit/reference_counter.h"

namespace TKGUI {

class CBitmap;
class CDragContainer;
class CDrawContext;
class CFrame;
class CFrameEditor;

enum CMouseWheelAxis { kMouseWheelAxisX = 0, kMouseWheelAxisY };

extern const char* kMsgCheckIfViewContainer;
extern const char* kMsgLooseFocus;

class CView : public CReferenceCounter {
  public:
    explicit CView(const CRect& size);
    ~CView() override;

    virtual void draw(CDrawContext* context);
    virtual void drawInRect(CDrawContext* context, const CRect& updateRect);
    virtual bool intersects(const CRect& rect) const;  // edges included
    virtual void mouseDown(CDrawContext* context, const CPoint& where, int buttons = -1);
    virtual void setBackground(CBitmap* bitmap);
    virtual CBitmap* getBackground() const { return background; }
    virtual int32_t keyDown(CKeyCode& key);
    virtual int32_t keyUp(CKeyCode& key);
    virtual bool mouseWheel(CDrawContext* context, const CPoint& where, CMouseWheelAxis axis,
                            float distance);
    virtual bool mouseWheel(CDrawContext* context, const CPoint& where, float distance);
    virtual bool onDrop(CDrawContext* context, CDragContainer* drag, const CPoint& where);
    virtual void onDragEnter(CDrawContext* context, CDragContainer* drag, const CPoint& where);
    virtual void onDragLeave(CDrawContext* context, CDragContainer* drag, const CPoint& where);
    virtual void onDragMove(CDrawContext* context, CDragContainer* drag, const CPoint& where);
    virtual void focusLost(CDrawContext* context);
    virtual void focusGained(CDrawContext* context);
    virtual bool isDirty() const { return dirty; }
    virtual void setDirty(bool flag = true) { dirty = flag; }
    virtual void enableMouse(bool flag) { mouseEnabled = flag; }
    virtual bool isMouseEnabled() const { return mouseEnabled; }
    virtual void setMouseArea(const CRect& rect) { mouseArea = rect; }
    virtual CRect& getMouseArea(CRect& rect) const;
    virtual bool hitTest(const CPoint& where, int buttons = -1);
    virtual void setTransparent(bool flag) { transparent = flag; }
    virtual bool isTransparent() const { return transparent; }
    virtual void setBounds(const CRect& rect);
    virtual CRect& getBounds(CRect& rect) const;
    virtual bool onRemoved(CView* parent);
    virtual bool onAttached(CView* parent);
    // The cursor position in this view's parent coordinates.
    virtual void getCursorPosition(CDrawContext* context, CPoint& where);
    // Frame coordinates to this view's parent coordinates, and back.
    virtual CPoint& toLocal(CPoint& point) const;
    virtual CPoint& toFrame(CPoint& point) const;
    virtual CFrameEditor* getEditor() const;
    virtual int32_t notify(CView* sender, const char* message);
    virtual void invalidate(CDrawContext* context, const CRect& rect);
    virtual bool wantsFocus() const { return focusWanted; }
    virtual void setWantsFocus(bool flag) { focusWanted = flag; }
    virtual bool isKindOf(const char* className) const;
    virtual void redrawIfDirty(CDrawContext* context);

    const CRect& getBounds() const { return size; }
    CFrame* getFrame() const { return frame; }
    CView* getParentView() const { return parentView; }
    // Set by the container that adds or removes the view.
    void setFrame(CFrame* newFrame) { frame = newFrame; }
    void setParentView(CView* parent) { parentView = parent; }

  protected:
    CRect size;       // bounds, in the parent's coordinates
    CRect mouseArea;  // in the parent's coordinates
    CFrame* frame = nullptr;
    CView* parentView = nullptr;
    bool dirty = false;
    bool mouseEnabled = true;
    bool transparent = false;
    bool focusWanted = false;
    CBitmap* background = nullptr;
};

}  // namespace TKGUI
