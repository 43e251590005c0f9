// The root container: bound to one platform window inside the host's editor
// window, and the hub for focus, edits, idle redraws and the editor.
//
// Its bounds start at (0, 0), so its children's bounds are window
// coordinates. Everything is drawn into the back buffer, which the screen only
// receives copies of. The frame owns its children, its back buffer and the
// platform objects it made; the editor (not owned) deletes the frame directly.
#pragma once

#include <thread>

#include "toolkit/frame_editor.h"
#include "toolkit/platform/frame_window.h"
#include "toolkit/platform/platform.h"
#include "toolkit/view_container.h"

namespace TKGUI {

class CDrawContext;
class COffscreenContext;

class CFrame : public CViewContainer {
  public:
    CFrame(const CRect& size, platform::Window* parentWindow, CFrameEditor* editor);
    ~CFrame() override;

    using CViewContainer::mouseWheel;

    void draw(CDrawContext* context) override;
    void drawInRect(CDrawContext* context, const CRect& updateRect) override;
    void mouseDown(CDrawContext* context, const CPoint& where, int buttons = -1) override;
    int32_t keyDown(CKeyCode& key) override;
    int32_t keyUp(CKeyCode& key) override;
    bool mouseWheel(CDrawContext* context, const CPoint& where, CMouseWheelAxis axis,
                    float distance) override;
    bool mouseWheel(CDrawContext* context, const CPoint& where, float distance) override;
    void setBounds(const CRect& rect) override;
    void redrawIfDirty(CDrawContext* context) override;
    CView* getCurrentView() const override;
    bool advanceNextFocusView(CView* oldFocus, bool reverse = false) override;
    bool isKindOf(const char* className) const override;

    // Open and close act only on frames added to an outer window, which
    // this plug-in never does.
    virtual bool open(CPoint* point = nullptr);
    virtual bool close();
    virtual bool isOpen() const { return openFlag; }
    virtual void idle();
    virtual void pumpIdle();
    virtual uint32_t getTicks() const;
    virtual int32_t getKnobMode() const;
    virtual bool canDoCapability(const char* what) const;
    virtual bool getPosition(int32_t& x, int32_t& y) const;
    virtual bool setSize(int32_t width, int32_t height);
    virtual bool getSize(CRect* rect) const;
    virtual bool getSize(CRect& rect) const;
    virtual bool setModalView(CView* view);
    virtual CView* getModalView() const { return modalView; }
    virtual void beginEdit(int32_t tag);
    virtual void endEdit(int32_t tag);
    // The cursor position in frame coordinates.
    virtual CPoint getCurrentMouseLocation() const;
    virtual void setCursor(int type);
    virtual void setFocusView(CView* view);
    virtual CView* getFocusView() const { return focusView; }
    virtual bool setDropActive(bool active);
    virtual bool isDropActive() const { return dropActive; }
    virtual void setOpenFlag(bool flag) { openFlag = flag; }
    virtual bool getOpenFlag() const { return openFlag; }
    // Marks every child whose bounds touch rect (edges included) dirty.
    virtual void markDirtyRect(const CRect& rect);
    virtual void setUpdateSuspended(bool suspended) { updateSuspended = suspended; }
    virtual bool isUpdateSuspended() const { return updateSuspended; }
    // Draws view, a child of the frame (or the whole frame for any other),
    // into a context of its own.
    virtual void drawView(CView* view);

    CFrameEditor* getEditor() const override { return editor; }
    platform::Window* getWindow() const { return window; }
    platform::Window* getParentWindow() const { return parentWindow; }
    // The window glue's part: the frame's own window, and the window's
    // destruction (which clears open and forgets the parent).
    void setWindow(platform::Window* newWindow) { window = newWindow; }
    void onWindowDestroyed();

    bool isFirstDrawPending() const { return firstDrawPending; }
    CDrawContext* getPaintContext() const { return paintContext; }
    // The context of the paint in progress (retained; null when it ends).
    void setPaintContext(CDrawContext* context);
    // The back buffer, made the frame's size in black when missing; null
    // when it cannot be made.
    COffscreenContext* getBackBuffer();
    // Clears the focus, modal and drag pointers that lead to view or into
    // it, before it leaves the tree.
    void forgetView(CView* view);

  private:
    // A context for drawing when none is given: the paint context, retained,
    // or a new one on the frame window.
    CDrawContext* takeContext();

    CFrameEditor* editor;
    platform::Window* parentWindow;
    CView* modalView = nullptr;
    CView* focusView = nullptr;
    bool firstDrawPending = true;
    bool openFlag = true;
    bool dropActive = false;
    platform::Window* window = nullptr;
    CDrawContext* paintContext = nullptr;
    COffscreenContext* backBuffer = nullptr;
    bool addedToOuterWindow = false;
    bool updateSuspended = false;
    platform::Library* blendLibrary = nullptr;
    platform::DropTarget* dropTarget = nullptr;
    void* savedCursor = nullptr;  // the cursor before the first setCursor
    bool oleStarted = false;
    std::thread::id oleThread;
};

}  // namespace TKGUI
