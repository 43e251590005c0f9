#include "tests/windows/host_window.h"

namespace {

HWND topLevel() {
    static HWND top = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "TK42TestHostWindow";
        RegisterClassA(&wc);
        return CreateWindowExA(0, "TK42TestHostWindow", "host", WS_POPUP | WS_VISIBLE, 50, 50, 600,
                               400, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }();
    return top;
}

void sendKey(WORD vk, bool down) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    SendInput(1, &in, sizeof in);
}

}  // namespace

HWND makeEditorWindow() {
    return CreateWindowExA(0, "TK42TestHostWindow", "editor", WS_CHILD | WS_VISIBLE, 20, 20, 420,
                           240, topLevel(), nullptr, GetModuleHandleA(nullptr), nullptr);
}

void pumpFor(DWORD milliseconds) {
    const DWORD end = GetTickCount() + milliseconds;
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    } while (GetTickCount() < end);
}

void pressLeftButton(bool down) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    SendInput(1, &in, sizeof in);
}

void pressKey(WORD virtualKey) {
    sendKey(virtualKey, true);
    sendKey(virtualKey, false);
    pumpFor(20);
}

void typeKeys(const char* text) {
    for (const char* c = text; *c; ++c) {
        const SHORT scan = VkKeyScanA(*c);
        if (scan == -1) continue;
        const bool shift = (scan >> 8) & 1;
        if (shift) sendKey(VK_SHIFT, true);
        pressKey(static_cast<WORD>(scan & 0xFF));
        if (shift) sendKey(VK_SHIFT, false);
    }
}
