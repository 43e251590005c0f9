// The soak on the software platform: the module is linked in (a window of
// this platform is an object of this program, so the editor must be of the
// same program), the clock follows real time.
#include <chrono>
#include <cstdio>
#include <thread>

#include "bench/soak/soak_platform.h"
#include "entry/vst2/plugin_entry.h"
#include "toolkit/frame.h"
#include "toolkit/platform/software/software_frame_window.h"
#include "toolkit/platform/software/software_script.h"
#include "tools/plughost/recording_host.h"

namespace software = TKGUI::software;

struct SoakPlatform::Impl {
    TKGUI::platform::Window* parent = nullptr;
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
};

SoakPlatform::SoakPlatform(const std::string& /*modulePath*/) : impl(new Impl) {
    impl->parent = software::createWindow(500, 300, TKGUI::CPoint(100, 100));
}

SoakPlatform::~SoakPlatform() {
    software::destroyChildren(impl->parent);
    software::destroyWindow(impl->parent);
    delete impl;
}

AEffect* SoakPlatform::createEffect(RecordingHost& host, std::string& error) {
    AEffect* e = host.create(&VSTPluginMain);
    if (!e) error = "the effect refused to start";
    return e;
}

void* SoakPlatform::parentWindow() {
    return impl->parent;
}

void SoakPlatform::uiTurn(int milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    const auto now = std::chrono::steady_clock::now() - impl->start;
    software::setTickCount(
        static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count()));
    // The window system asks the editor's window to repaint now and then
    // (an expose), on top of what the editor's idle draws itself.
    TKGUI::platform::Window* child = software::lastChildOf(impl->parent);
    if (child && software::frameOf(child)) software::sendPaint(child, TKGUI::CRect(0, 0, 400, 220));
}

uint64_t SoakPlatform::residentKiB() const {
    std::FILE* f = std::fopen("/proc/self/statm", "r");
    if (!f) return 0;
    unsigned long long pages = 0, resident = 0;
    const int got = std::fscanf(f, "%llu %llu", &pages, &resident);
    std::fclose(f);
    return got == 2 ? resident * 4 : 0;
}
