// The frame window on Win32: one window class per module ("Plugin%p" with the
// module instance), registered with the first frame window and unregistered
// with the last, and a message procedure that hands paint, button and wheel
// messages to the frame found in the window's user data.
#include <windows.h>
#include <windowsx.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "toolkit/frame.h"
#include "toolkit/frame_window_events.h"
#include "toolkit/platform/frame_window.h"
#include "toolkit/platform/win32/win32_handles.h"

namespace TKGUI {
namespace platform {

namespace {

char className[64];
int classUseCount = 0;

HINSTANCE instance() {
    // A test program links the toolkit without a module entry.
    return moduleInstance() ? moduleInstance() : GetModuleHandleA(nullptr);
}

CFrame* frameOf(HWND hwnd) {
    return reinterpret_cast<CFrame*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

LRESULT CALLBACK frameWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

bool registerClass() {
    if (classUseCount++ > 0) return true;
    std::snprintf(className, sizeof className, "Plugin%p", static_cast<void*>(instance()));
    WNDCLASSA wc{};
    wc.style = CS_GLOBALCLASS;
    wc.lpfnWndProc = frameWindowProc;
    wc.hInstance = instance();
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = className;
    // The class can outlive its last window by a moment: a window destroyed
    // by its parent leaves while it still exists, so unregistering it then
    // fails. Such a class is still ours to use.
    if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        classUseCount = 0;
        return false;
    }
    return true;
}

void unregisterClass() {
    if (classUseCount > 0 && --classUseCount == 0) UnregisterClassA(className, instance());
}

LRESULT CALLBACK frameWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CFrame* frame = frameOf(hwnd);
    if (!frame) return DefWindowProcA(hwnd, message, wParam, lParam);
    switch (message) {
        case WM_DESTROY:
            // Destroyed from outside (the host closed its window first): the
            // frame must never touch this handle again, and the class loses
            // a user now rather than when the frame goes.
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
            onFrameWindowDestroyed(frame);
            unregisterClass();
            break;
        case WM_PAINT: {
            RECT update;
            if (!GetUpdateRect(hwnd, &update, FALSE)) break;
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            const CRect area(ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right, ps.rcPaint.bottom);
            if (area.width() > 0 && area.height() > 0) onFramePaint(frame, toDevice(dc), area);
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            onFrameButtonDown(frame, CPoint(LOWORD(lParam), HIWORD(lParam)));
            return 0;
        case WM_MOUSEWHEEL:
            onFrameWheel(frame, CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)),
                         static_cast<float>(GET_WHEEL_DELTA_WPARAM(wParam)) / WHEEL_DELTA);
            break;  // the host's window sees the wheel too
        default:
            break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace

Window* createFrameWindow(CFrame* frame, Window* parent, int width, int height) {
    if (!parent || !registerClass()) return nullptr;
    HWND hwnd = CreateWindowExA(0, className, "Window",
                                WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, 0, 0,
                                width, height, toHwnd(parent), nullptr, instance(), nullptr);
    if (!hwnd) {
        unregisterClass();
        return nullptr;
    }
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(frame));
    return reinterpret_cast<Window*>(hwnd);
}

void destroyFrameWindow(Window* window) {
    HWND hwnd = toHwnd(window);
    if (!hwnd || !frameOf(hwnd)) return;  // gone already, or not ours
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    DestroyWindow(hwnd);
    unregisterClass();
}

int frameWindowClassUsers() {
    return classUseCount;
}

void* currentCursor() {
    return GetCursor();
}

void setCursorShape(int type, void* saved) {
    LPCSTR shape = nullptr;
    switch (type) {
        case 1:
            shape = IDC_WAIT;
            break;
        case 2:
            shape = IDC_SIZEWE;
            break;
        case 3:
            shape = IDC_SIZENS;
            break;
        case 4:
            shape = IDC_SIZEALL;
            break;
        case 5:
            shape = IDC_SIZENESW;
            break;
        case 6:
            shape = IDC_SIZENWSE;
            break;
        case 8:
            shape = IDC_NO;
            break;
        case 9:
            shape = IDC_HAND;
            break;
        default:
            break;
    }
    SetCursor(shape ? LoadCursorA(nullptr, shape) : static_cast<HCURSOR>(saved));
}

void resizeWindow(Window* window, int width, int height) {
    SetWindowPos(toHwnd(window), HWND_TOP, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
}

namespace {

SIZE windowSize(HWND hwnd) {
    RECT r;
    GetWindowRect(hwnd, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

bool parentIsMdiClient(HWND parent) {
    char name[32] = "";
    GetClassNameA(parent, name, sizeof name);
    return std::strcmp(name, "MDIClient") == 0;
}

}  // namespace

bool resizeWindowChain(Window* frameWindow, int width, int height) {
    // Hosts that cannot size their editor window grow the chain of windows
    // above the frame by what each adds around its child.
    const int frameHeight = 2 * GetSystemMetrics(SM_CYDLGFRAME);
    HWND hwnd = toHwnd(frameWindow);
    int dx = 0, dy = 0;
    while (frameHeight != 0 && hwnd) {
        HWND parent = GetParent(hwnd);
        if (!parent || parentIsMdiClient(parent)) break;
        SetWindowPos(hwnd, HWND_TOP, 0, 0, width + dx, height + dy, SWP_NOMOVE | SWP_NOZORDER);
        const SIZE own = windowSize(hwnd);
        const SIZE outer = windowSize(parent);
        dx += std::max(0L, outer.cx - own.cx);
        dy += std::max(0L, outer.cy - own.cy);
        if (dx > 80 || dy > 80) return true;
        hwnd = parent;
        if (dx == frameHeight) break;
    }
    if (hwnd)
        SetWindowPos(hwnd, HWND_TOP, 0, 0, width + dx, height + dy, SWP_NOMOVE | SWP_NOZORDER);
    return true;
}

CPoint outerWindowPosition(Window* frameWindow) {
    HWND hwnd = toHwnd(frameWindow);
    if (!hwnd) return CPoint();
    // The outermost window is the first with a caption or without a parent,
    // or one that is much larger than its child.
    for (;;) {
        HWND parent = GetParent(hwnd);
        if (!parent || (GetWindowLongA(hwnd, GWL_STYLE) & WS_CAPTION) == WS_CAPTION) break;
        const SIZE own = windowSize(hwnd);
        const SIZE outer = windowSize(parent);
        if (std::abs(outer.cx - own.cx) > 60 || std::abs(outer.cy - own.cy) > 60) break;
        hwnd = parent;
    }
    RECT r;
    GetWindowRect(hwnd, &r);
    POINT p{r.left, r.top};
    if (HWND parent = GetParent(hwnd)) MapWindowPoints(HWND_DESKTOP, parent, &p, 1);
    return CPoint(p.x, p.y);
}

}  // namespace platform
}  // namespace TKGUI
