// The DLL's editor in a real window (Windows, or Wine under Xvfb): the
// user-interface thread's CPU time per effEditIdle while the meter moves
// (audio with a swelling level runs on another thread), and the memory an
// open editor adds. On Windows the idle only invalidates; the painting
// happens when the host's message loop dispatches WM_PAINT, so the figure is
// the UI thread's whole CPU time (idle calls and message loop) over the
// number of idles.
#include <windows.h>
// psapi.h needs the types windows.h declares.
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/swelling_feed.h"
#include "tools/plughost/plugin_instance.h"
#include "tools/plughost/plugin_module.h"

namespace {

constexpr int kIdles = 400;
constexpr int kRounds = 5;

intptr_t quietHost(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 1;
}

// 100-ns units of user and kernel time of the calling thread.
double threadCpuSeconds() {
    FILETIME created, exited, kernel, user;
    if (!GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user)) return 0;
    auto value = [](const FILETIME& f) {
        return static_cast<double>((static_cast<uint64_t>(f.dwHighDateTime) << 32) |
                                   f.dwLowDateTime) *
               1e-7;
    };
    return value(kernel) + value(user);
}

long workingSetKilobytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0;
    return static_cast<long>(counters.WorkingSetSize / 1024);
}

void pumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

HWND makeHostWindow() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TK42EditorBenchHost";
    RegisterClassA(&wc);
    return CreateWindowExA(0, wc.lpszClassName, "editor bench", WS_POPUP | WS_VISIBLE, 40, 40, 400,
                           220, nullptr, nullptr, wc.hInstance, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    const std::string path = argc > 1 ? argv[1] : "TK42R_x64.dll";
    PluginModule module;
    std::string error;
    if (!module.load(path, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    HWND parent = makeHostWindow();
    if (!parent) {
        std::fprintf(stderr, "no window\n");
        return 1;
    }
    PluginInstance fx(module.entry()(&quietHost));
    fx.start(48000.0f, 256);
    fx.setParameter(0, 0.75f);  // +18 dB into the ceiling: the meter has work

    pumpMessages();
    const long before = workingSetKilobytes();
    if (!fx.dispatch(effEditOpen, 0, 0, parent)) {
        std::fprintf(stderr, "the editor did not open\n");
        return 1;
    }
    for (int i = 0; i < 10; ++i) {
        fx.dispatch(effEditIdle);
        pumpMessages();
        Sleep(10);
    }
    const long opened = workingSetKilobytes();

    // Whole rounds of idles, each at a host's idle rate. Wine counts thread
    // time in 10 ms ticks: the whole run's mean is the finer figure, the
    // rounds show the spread on this shared machine.
    std::vector<double> perIdle;
    double mean = 0;
    {
        SwellingFeed feed(fx);  // stops before the editor closes
        const double runStart = threadCpuSeconds();
        for (int round = 0; round < kRounds; ++round) {
            double cpu = 0;
            for (int i = 0; i < kIdles / kRounds; ++i) {
                const double start = threadCpuSeconds();
                fx.dispatch(effEditIdle);
                pumpMessages();
                cpu += threadCpuSeconds() - start;
                Sleep(15);
            }
            perIdle.push_back(cpu / (kIdles / kRounds));
        }
        mean = (threadCpuSeconds() - runStart) / kIdles;
    }
    fx.dispatch(effEditClose);
    pumpMessages();
    DestroyWindow(parent);

    std::sort(perIdle.begin(), perIdle.end());
    std::printf(
        "EditorIdleWin32  UI-thread CPU per idle %.3f ms (mean of %d idles; rounds of "
        "%d: %.3f to %.3f ms)  editor_kB %ld\n",
        mean * 1e3, kIdles, kIdles / kRounds, perIdle.front() * 1e3, perIdle.back() * 1e3,
        opened - before);
    return 0;
}
