// Resources, input state, time, the paint pump and OLE on Win32.
#include <ole2.h>

#include "toolkit/platform/win32/win32_handles.h"

namespace TKGUI {
namespace platform {

bool findResource(int id, const char* type, const uint8_t** data, size_t* size) {
    HMODULE module = moduleInstance();
    HRSRC resource = FindResourceA(module, MAKEINTRESOURCEA(static_cast<WORD>(id)), type);
    if (!resource) return false;
    HGLOBAL loaded = LoadResource(module, resource);
    if (!loaded) return false;
    const void* bytes = LockResource(loaded);
    DWORD length = SizeofResource(module, resource);
    if (!bytes || length == 0) return false;
    if (data) *data = static_cast<const uint8_t*>(bytes);
    if (size) *size = length;
    return true;
}

int pollButtonsAndModifiers() {
    // GetAsyncKeyState reports the physical buttons; the caller swaps them.
    auto held = [](int key) { return (GetAsyncKeyState(key) & 0x8000) != 0; };
    int bits = 0;
    if (held(VK_LBUTTON)) bits |= 1;
    if (held(VK_MBUTTON)) bits |= 2;
    if (held(VK_RBUTTON)) bits |= 4;
    if (held(VK_SHIFT)) bits |= 8;
    if (held(VK_CONTROL)) bits |= 16;
    if (held(VK_MENU)) bits |= 32;
    return bits;
}

bool systemButtonsSwapped() {
    return GetSystemMetrics(SM_SWAPBUTTON) > 0;
}

CPoint cursorScreenPosition() {
    POINT p = {0, 0};
    GetCursorPos(&p);
    return CPoint(p.x, p.y);
}

int doubleClickTime() {
    return static_cast<int>(GetDoubleClickTime());
}

uint32_t tickCount() {
    return GetTickCount();
}

void sleepMilliseconds(uint32_t milliseconds) {
    Sleep(milliseconds);
}

void dispatchOnePendingPaint() {
    MSG message;
    if (PeekMessageA(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageA(&message);
}

// The host's message loop delivers the frame windows' messages.
void dispatchPendingWindowEvents() {}

struct Timer {
    HWND window;
    void (*fire)(void*);
    void* context;
};

namespace {

// The timer's id is the address of its record, so the callback needs no table.
void CALLBACK onTimer(HWND, UINT, UINT_PTR id, DWORD) {
    const Timer* timer = reinterpret_cast<const Timer*>(id);
    timer->fire(timer->context);
}

}  // namespace

Timer* startWindowTimer(Window* window, uint32_t milliseconds, void (*fire)(void*), void* context) {
    HWND hwnd = reinterpret_cast<HWND>(window);
    if (!hwnd || !fire) return nullptr;
    auto* timer = new Timer{hwnd, fire, context};
    if (!SetTimer(hwnd, reinterpret_cast<UINT_PTR>(timer), milliseconds, &onTimer)) {
        delete timer;
        return nullptr;
    }
    return timer;
}

void stopWindowTimer(Timer* timer) {
    if (!timer) return;
    // The window may already be gone with its timers; nothing fires after this.
    if (IsWindow(timer->window)) KillTimer(timer->window, reinterpret_cast<UINT_PTR>(timer));
    delete timer;
}

// The host's message loop delivers the window's messages.
int windowEventDescriptor(Window*) {
    return -1;
}

// The handle is the HWND itself.
uintptr_t nativeWindowId(Window* window) {
    return reinterpret_cast<uintptr_t>(window);
}

bool beginThreadOle() {
    HRESULT result = OleInitialize(nullptr);
    return result == S_OK || result == S_FALSE;
}

void endThreadOle() {
    OleUninitialize();
}

}  // namespace platform
}  // namespace TKGUI
