// The frame's real Win32 window under Wine: class and style, paint through
// the back buffer read back with BitBlt, clicks and wheel messages routed to
// the view under the pointer, and a host that destroys its window first.
#include "toolkit/platform/frame_window.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/common/click_probe.h"
#include "toolkit/frame.h"
#include "toolkit/platform/platform.h"
#include "toolkit/view.h"

using TKGUI::CFrame;
using TKGUI::CPoint;
using TKGUI::CRect;

namespace {

// The host's editor window: a child of one top-level window that lives as
// long as the test program. (Under Xvfb without a window manager, Wine takes
// two seconds to unmap a top-level window; child windows cost nothing.)
int hostWheelMessages = 0;

LRESULT CALLBACK hostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MOUSEWHEEL) ++hostWheelMessages;
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

HWND topLevelWindow() {
    static HWND top = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = hostProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "TK42TestHost";
        RegisterClassA(&wc);
        return CreateWindowExA(0, "TK42TestHost", "host", WS_POPUP | WS_VISIBLE, 100, 100, 500, 300,
                               nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }();
    return top;
}

struct HostWindow {
    HostWindow() {
        hwnd = CreateWindowExA(0, "TK42TestHost", "editor", WS_CHILD | WS_VISIBLE, 10, 10, 450, 250,
                               topLevelWindow(), nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ~HostWindow() {
        if (IsWindow(hwnd)) DestroyWindow(hwnd);
    }
    TKGUI::platform::Window* window() const {
        return reinterpret_cast<TKGUI::platform::Window*>(hwnd);
    }
    HWND hwnd;
};

void pumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

HWND hwndOf(const CFrame* frame) {
    return reinterpret_cast<HWND>(frame->getWindow());
}

std::string expectedClassName() {
    char name[64];
    std::snprintf(name, sizeof name, "Plugin%p", static_cast<void*>(GetModuleHandleA(nullptr)));
    return name;
}

}  // namespace

TEST(Win32FrameWindow, ChildWindowOfTheModuleClassInsideTheHostWindow) {
    HostWindow host;
    auto* frame = new CFrame(CRect(0, 0, 400, 220), host.window(), nullptr);
    HWND child = hwndOf(frame);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(GetParent(child), host.hwnd);
    char name[64] = "";
    GetClassNameA(child, name, sizeof name);
    EXPECT_EQ(name, expectedClassName());
    GetWindowTextA(child, name, sizeof name);
    EXPECT_STREQ(name, "Window");
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE)) & 0x56000000u, 0x56000000u);
    EXPECT_EQ(GetWindowLongPtrA(child, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(frame));
    RECT r;
    GetClientRect(child, &r);
    EXPECT_EQ(r.right, 400);
    EXPECT_EQ(r.bottom, 220);
    WNDCLASSA wc;
    EXPECT_TRUE(
        GetClassInfoA(GetModuleHandleA(nullptr), name[0] ? expectedClassName().c_str() : "", &wc));
    EXPECT_TRUE(wc.style & CS_GLOBALCLASS);
    delete frame;
    EXPECT_FALSE(IsWindow(child));
}

TEST(Win32FrameWindow, TwoFramesShareTheClassUntilTheLastGoes) {
    HostWindow host;
    auto* a = new CFrame(CRect(0, 0, 100, 100), host.window(), nullptr);
    auto* b = new CFrame(CRect(0, 0, 100, 100), host.window(), nullptr);
    WNDCLASSA wc;
    const std::string name = expectedClassName();
    delete a;
    EXPECT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), name.c_str(), &wc));
    delete b;
    EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), name.c_str(), &wc));
    EXPECT_EQ(TKGUI::platform::frameWindowClassUsers(), 0);
}

TEST(Win32FrameWindow, PaintShowsWhatTheBackBufferHolds) {
    HostWindow host;
    auto* frame = new CFrame(CRect(0, 0, 60, 40), host.window(), nullptr);
    frame->setBackgroundColor(TKGUI::CColor{0, 200, 0, 255});
    HWND child = hwndOf(frame);
    InvalidateRect(child, nullptr, FALSE);
    UpdateWindow(child);
    pumpMessages();
    EXPECT_FALSE(frame->isFirstDrawPending());
    HDC dc = GetDC(child);
    const COLORREF c = GetPixel(dc, 30, 20);
    ReleaseDC(child, dc);
    EXPECT_EQ(GetRValue(c), 0);
    EXPECT_EQ(GetGValue(c), 200);
    EXPECT_EQ(GetBValue(c), 0);
    delete frame;
}

TEST(Win32FrameWindow, ClicksAndWheelTurnsReachTheViewUnderThePointer) {
    HostWindow host;
    auto* frame = new CFrame(CRect(0, 0, 400, 220), host.window(), nullptr);
    auto* probe = new ClickProbe(CRect(100, 50, 140, 90));
    frame->addView(probe);
    HWND child = hwndOf(frame);
    SendMessageA(child, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(120, 70));
    SendMessageA(child, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(101, 51));
    EXPECT_EQ(probe->clicks, 2);
    EXPECT_EQ(probe->lastWhere.x, 101);
    EXPECT_EQ(probe->lastWhere.y, 51);

    POINT screen{110, 60};
    ClientToScreen(child, &screen);
    SendMessageA(child, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(screen.x, screen.y));
    EXPECT_EQ(probe->wheelDistance, 1.0f);
    EXPECT_EQ(probe->wheelWhere.x, 110);
    EXPECT_EQ(probe->wheelWhere.y, 60);
    // The host's window sees the wheel too.
    EXPECT_GE(hostWheelMessages, 1);
    delete frame;
}

TEST(Win32FrameWindow, ARightClickCarriesTheRightButtonBit) {
    HostWindow host;
    auto* frame = new CFrame(CRect(0, 0, 400, 220), host.window(), nullptr);
    auto* probe = new ClickProbe(CRect(0, 0, 400, 220));
    frame->addView(probe);
    POINT p{200, 100};
    ClientToScreen(hwndOf(frame), &p);
    SetCursorPos(p.x, p.y);
    pumpMessages();
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
    SendInput(1, &in, sizeof in);
    Sleep(70);  // Wine reports the press to the polled state a little late
    pumpMessages();
    in.mi.dwFlags = MOUSEEVENTF_RIGHTUP;
    SendInput(1, &in, sizeof in);
    Sleep(20);
    pumpMessages();
    EXPECT_EQ(probe->clicks, 1);
    EXPECT_EQ(probe->lastButtons & 4, 4);  // the right button
    EXPECT_EQ(probe->lastButtons & 1, 0);  // and not the left one
    delete frame;
}

TEST(Win32FrameWindow, DropTargetIsRegisteredWhileDropIsActive) {
    HostWindow host;
    auto* frame = new CFrame(CRect(0, 0, 100, 100), host.window(), nullptr);
    HWND child = hwndOf(frame);
    EXPECT_TRUE(frame->isDropActive());
    // The frame's target is registered: revoking it by hand succeeds...
    EXPECT_EQ(RevokeDragDrop(child), S_OK);
    frame->setDropActive(true);
    frame->setDropActive(false);
    // ...and after the frame revoked its new one there is nothing left.
    EXPECT_EQ(RevokeDragDrop(child), DRAGDROP_E_NOTREGISTERED);
    frame->setDropActive(true);
    delete frame;
    EXPECT_FALSE(IsWindow(child));
}

TEST(Win32FrameWindow, EmptyPaintDrawsNothing) {
    HostWindow host;
    auto* frame = new CFrame(CRect(0, 0, 60, 40), host.window(), nullptr);
    frame->setBackgroundColor(TKGUI::CColor{0, 200, 0, 255});
    HWND child = hwndOf(frame);
    ValidateRect(child, nullptr);
    SendMessageA(child, WM_PAINT, 0, 0);
    EXPECT_TRUE(frame->isFirstDrawPending());
    delete frame;
}

TEST(Win32FrameWindow, HostDestroyingItsWindowFirstIsSafe) {
    auto* host = new HostWindow;
    auto* frame = new CFrame(CRect(0, 0, 400, 220), host->window(), nullptr);
    HWND child = hwndOf(frame);
    DestroyWindow(host->hwnd);
    EXPECT_FALSE(IsWindow(child));
    EXPECT_FALSE(frame->isOpen());
    EXPECT_EQ(frame->getWindow(), nullptr);
    delete frame;
    delete host;
    EXPECT_EQ(TKGUI::platform::frameWindowClassUsers(), 0);
}

TEST(Win32FrameWindow, AWindowTimerFiresFromTheMessageLoopUntilStopped) {
    // Formats whose hosts call no editor idle drive the panel this way.
    HostWindow host;
    auto* frame = new CFrame(CRect(0, 0, 400, 220), host.window(), nullptr);
    int fired = 0;
    auto count = [](void* n) { ++*static_cast<int*>(n); };
    TKGUI::platform::Timer* timer =
        TKGUI::platform::startWindowTimer(frame->getWindow(), 10, count, &fired);
    ASSERT_NE(timer, nullptr);
    for (int i = 0; i < 20; ++i) {
        Sleep(10);
        pumpMessages();
    }
    EXPECT_GE(fired, 3);
    TKGUI::platform::stopWindowTimer(timer);
    const int before = fired;
    for (int i = 0; i < 10; ++i) {
        Sleep(10);
        pumpMessages();
    }
    EXPECT_EQ(fired, before);
    // A timer whose window the host destroyed first stops without harm.
    timer = TKGUI::platform::startWindowTimer(frame->getWindow(), 10, count, &fired);
    DestroyWindow(host.hwnd);
    TKGUI::platform::stopWindowTimer(timer);
    delete frame;
}
