// The soak under Windows (or Wine): the real DLL loaded by path, a real
// top-level window with a child for the editor, and a real message loop.
#include <psapi.h>
#include <windows.h>

#include "bench/soak/soak_platform.h"
#include "tools/plughost/plugin_module.h"
#include "tools/plughost/recording_host.h"

struct SoakPlatform::Impl {
    std::string path;
    PluginModule module;
    HWND top = nullptr;
    HWND child = nullptr;
};

SoakPlatform::SoakPlatform(const std::string& modulePath) : impl(new Impl) {
    impl->path = modulePath;
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TK42SoakHostWindow";
    RegisterClassA(&wc);
    impl->top = CreateWindowExA(0, wc.lpszClassName, "soak", WS_POPUP | WS_VISIBLE, 50, 50, 600,
                                400, nullptr, nullptr, wc.hInstance, nullptr);
    impl->child = CreateWindowExA(0, wc.lpszClassName, "editor", WS_CHILD | WS_VISIBLE, 20, 20, 420,
                                  240, impl->top, nullptr, wc.hInstance, nullptr);
}

SoakPlatform::~SoakPlatform() {
    if (impl->top) DestroyWindow(impl->top);
    delete impl;
}

AEffect* SoakPlatform::createEffect(RecordingHost& host, std::string& error) {
    if (!impl->module.isLoaded() && !impl->module.load(impl->path, error)) return nullptr;
    AEffect* e = host.create(impl->module.entry());
    if (!e) error = "the effect refused to start";
    return e;
}

void* SoakPlatform::parentWindow() {
    return impl->child;
}

void SoakPlatform::uiTurn(int milliseconds) {
    const DWORD end = GetTickCount() + static_cast<DWORD>(milliseconds);
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(2);
    } while (static_cast<LONG>(GetTickCount() - end) < 0);
    // An expose of the host window reaches the editor's window inside it.
    RedrawWindow(impl->child, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

uint64_t SoakPlatform::residentKiB() const {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0;
    return counters.WorkingSetSize / 1024;
}
