// The frame window's OLE drop target: counts what is dragged (one text, or
// the files of a file drop) and routes the drag into the frame's views.
#include <ole2.h>
#include <shellapi.h>
#include <windows.h>

#include "toolkit/drag_container.h"
#include "toolkit/draw_context.h"
#include "toolkit/frame.h"
#include "toolkit/platform/frame_window.h"
#include "toolkit/platform/win32/win32_handles.h"

namespace TKGUI {
namespace platform {

struct DropTarget : IDropTarget {
    explicit DropTarget(CFrame* owner) : frame(owner) {}
    virtual ~DropTarget() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (!object) return E_POINTER;
        if (IsEqualIID(riid, IID_IDropTarget) || IsEqualIID(riid, IID_IUnknown)) {
            *object = static_cast<IDropTarget*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references); }
    ULONG STDMETHODCALLTYPE Release() override {
        const long left = --references;
        if (left <= 0) delete this;
        return static_cast<ULONG>(left < 0 ? 0 : left);
    }

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        if (!data || !frame) {
            if (effect) *effect = DROPEFFECT_NONE;
            return S_OK;
        }
        releaseDrag();
        drag = new CDragContainer(data, itemCount(data));
        routeToFrame(&CFrame::onDragEnter);
        if (effect) *effect = DROPEFFECT_MOVE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
        if (drag) routeToFrame(&CFrame::onDragMove);
        if (effect) *effect = drag ? DROPEFFECT_MOVE : DROPEFFECT_NONE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override {
        if (drag) routeToFrame(&CFrame::onDragLeave);
        releaseDrag();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject*, DWORD, POINTL, DWORD* effect) override {
        if (drag && frame) {
            CDrawContext* context = new CDrawContext(frame, nullptr, frame->getWindow());
            CPoint where;
            frame->getCursorPosition(context, where);
            frame->onDrop(context, drag, where);
            context->release();
        }
        releaseDrag();
        if (effect) *effect = DROPEFFECT_MOVE;
        return S_OK;
    }

    // The frame is going: a drag still in progress ends here.
    void forgetFrame() {
        releaseDrag();
        frame = nullptr;
    }

  private:
    using DragCall = void (CFrame::*)(CDrawContext*, CDragContainer*, const CPoint&);

    void routeToFrame(DragCall call) {
        if (!frame) return;
        CDrawContext* context = new CDrawContext(frame, nullptr, frame->getWindow());
        CPoint where;
        frame->getCursorPosition(context, where);
        (frame->*call)(context, drag, where);
        context->release();
    }

    static int itemCount(IDataObject* data) {
        FORMATETC text{CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        STGMEDIUM medium{};
        if (data->GetData(&text, &medium) == S_OK) {
            ReleaseStgMedium(&medium);
            return 1;
        }
        FORMATETC files{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        if (data->GetData(&files, &medium) == S_OK) {
            const UINT count =
                DragQueryFileA(static_cast<HDROP>(medium.hGlobal), 0xFFFFFFFF, nullptr, 0);
            ReleaseStgMedium(&medium);
            return static_cast<int>(count);
        }
        return 0;
    }

    void releaseDrag() {
        if (drag) drag->release();
        drag = nullptr;
    }

    CFrame* frame;
    long references = 0;
    CDragContainer* drag = nullptr;  // the drag in progress over this frame
};

DropTarget* registerDropTarget(Window* window, CFrame* frame) {
    if (!window) return nullptr;
    auto* target = new DropTarget(frame);
    target->AddRef();  // our own reference, given back when revoked
    if (RegisterDragDrop(toHwnd(window), target) != S_OK) {
        target->Release();
        return nullptr;
    }
    return target;
}

void revokeDropTarget(Window* window, DropTarget* target) {
    if (!target) return;
    if (window && IsWindow(toHwnd(window))) RevokeDragDrop(toHwnd(window));
    target->forgetFrame();
    target->Release();
}

}  // namespace platform
}  // namespace TKGUI
