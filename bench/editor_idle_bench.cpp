// The Linux module's editor in a real X window: the user-interface thread's
// CPU time per effEditIdle while the meter moves (audio with a swelling level
// runs on another thread), and the memory an open editor adds to the host.
// Needs an X display (bench.sh runs it under Xvfb).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "bench/swelling_feed.h"
#include "tools/plughost/plugin_instance.h"
#include "tools/plughost/plugin_module.h"

// clang-format off
#include <X11/Xlib.h>
// clang-format on

namespace {

intptr_t quietHost(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 1;
}

double threadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

long residentKilobytes() {
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

void EditorIdleX11(benchmark::State& state) {
    Display* d = XOpenDisplay(nullptr);
    if (!d) {
        state.SkipWithError("no X display");
        return;
    }
    PluginModule module;
    std::string error;
    if (!module.load(TK42_BENCH_MODULE, error)) {
        state.SkipWithError(error.c_str());
        XCloseDisplay(d);
        return;
    }
    PluginInstance fx(module.entry()(&quietHost));
    fx.start(48000.0f, 256);
    fx.setParameter(0, 0.75f);  // +18 dB into the ceiling: the meter has work
    const int screen = DefaultScreen(d);
    Window parent = XCreateSimpleWindow(d, RootWindow(d, screen), 0, 0, 400, 220, 0, 0, 0);
    XMapWindow(d, parent);
    XSync(d, False);

    const long before = residentKilobytes();
    fx.dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(static_cast<uintptr_t>(parent)));
    for (int i = 0; i < 10; ++i) {
        fx.dispatch(effEditIdle);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const long opened = residentKilobytes();

    {
        SwellingFeed feed(fx);  // stops before the editor closes
        for (auto _ : state) {
            const double start = threadCpuSeconds();
            fx.dispatch(effEditIdle);
            state.SetIterationTime(threadCpuSeconds() - start);
            std::this_thread::sleep_for(std::chrono::milliseconds(15));  // a host's idle rate
        }
    }
    fx.dispatch(effEditClose);
    state.counters["editor_kB"] = double(opened - before);
    XDestroyWindow(d, parent);
    XCloseDisplay(d);
}

}  // namespace

BENCHMARK(EditorIdleX11)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(400);

BENCHMARK_MAIN();
