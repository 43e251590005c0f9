// The CLAP module's editor in a real X window (Xvfb), as hosts without an
// editor idle call drive it: a host that offers only posix-fd-support gets
// the panel's connection descriptor to watch and calls on_fd when it is
// readable; one that offers the timer gets a timer registered; one with
// neither gets a refusal, not a panel nobody would ever draw.
// clang-format off
#include <gtest/gtest.h>
#include <dlfcn.h>
#include <poll.h>

#include <chrono>
#include <cstring>
#include <set>

#include "formats/clap/clap_abi.h"
// After gtest: Xlib defines None, Bool and Status as macros.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
// clang-format on

namespace {

struct Host {
    clap::Host record{};
    bool offerFd = false, offerTimer = false;
    std::set<int> fds;
    std::set<clap::Id> timers;

    Host() {
        record.version = clap::kVersion;
        record.hostData = this;
        record.name = record.vendor = record.url = record.versionText = "x11 test";
        record.getExtension = [](const clap::Host* h, const char* id) -> const void* {
            static const clap::HostPosixFdSupport fd = {
                [](const clap::Host* h, int fd, uint32_t) { return of(h).fds.insert(fd).second; },
                [](const clap::Host*, int, uint32_t) { return true; },
                [](const clap::Host* h, int fd) { return of(h).fds.erase(fd) == 1; }};
            static const clap::HostTimerSupport timer = {
                [](const clap::Host* h, uint32_t, clap::Id* id) {
                    *id = 7;
                    return of(h).timers.insert(7).second;
                },
                [](const clap::Host* h, clap::Id id) { return of(h).timers.erase(id) == 1; }};
            if (of(h).offerFd && !std::strcmp(id, clap::kExtPosixFdSupport)) return &fd;
            if (of(h).offerTimer && !std::strcmp(id, clap::kExtTimerSupport)) return &timer;
            return nullptr;
        };
        record.requestRestart = record.requestProcess =
            record.requestCallback = [](const clap::Host*) {};
    }
    static Host& of(const clap::Host* h) { return *static_cast<Host*>(h->hostData); }
};

class ClapEditorX11 : public ::testing::Test {
  protected:
    void SetUp() override {
        display = XOpenDisplay(nullptr);
        ASSERT_NE(display, nullptr) << "no X display (run under xvfb-run)";
        module = dlopen(TK42_CLAP_MODULE, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(module, nullptr) << dlerror();
        entry = static_cast<const clap::PluginEntry*>(dlsym(module, "clap_entry"));
        ASSERT_NE(entry, nullptr);
        ASSERT_TRUE(entry->init(TK42_CLAP_MODULE));
        parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 400, 220, 0, 0, 0);
        XMapWindow(display, parent);
        XSync(display, False);
    }
    void TearDown() override {
        if (plugin) plugin->destroy(plugin);
        if (entry) entry->deinit();
        // The module stays loaded: unloading it takes libfontconfig's state
        // with it, which LeakSanitizer would then count as lost.
        if (display) XCloseDisplay(display);
    }
    const clap::PluginGui* make(Host& host) {
        const auto* f =
            static_cast<const clap::PluginFactory*>(entry->getFactory(clap::kPluginFactoryId));
        plugin = f->createPlugin(f, &host.record, "com.faldenmurex.tk42r");
        EXPECT_TRUE(plugin && plugin->init(plugin));
        return static_cast<const clap::PluginGui*>(plugin->getExtension(plugin, clap::kExtGui));
    }
    bool attach(const clap::PluginGui* gui) {
        clap::Window w{};
        w.api = clap::kWindowApiX11;
        w.x11 = parent;
        return gui->create(plugin, clap::kWindowApiX11, false) && gui->setParent(plugin, &w);
    }
    // Distinct pixel values in the parent's area: the panel, not a blank window.
    size_t colours() {
        XImage* image = XGetImage(display, parent, 0, 0, 400, 220, AllPlanes, ZPixmap);
        if (!image) return 0;
        std::set<unsigned long> seen;
        for (int y = 0; y < 220; y += 4)
            for (int x = 0; x < 400; x += 4) seen.insert(XGetPixel(image, x, y));
        XDestroyImage(image);
        return seen.size();
    }

    Display* display = nullptr;
    void* module = nullptr;
    const clap::PluginEntry* entry = nullptr;
    const clap::Plugin* plugin = nullptr;
    ::Window parent = 0;
};

TEST_F(ClapEditorX11, AHostWatchingTheDescriptorDrivesThePanel) {
    Host host;
    host.offerFd = true;
    const clap::PluginGui* gui = make(host);
    ASSERT_NE(gui, nullptr);
    EXPECT_FALSE(gui->isApiSupported(plugin, clap::kWindowApiWin32, false));
    EXPECT_FALSE(gui->isApiSupported(plugin, clap::kWindowApiX11, true));
    uint32_t w = 0, h = 0;
    ASSERT_TRUE(gui->getSize(plugin, &w, &h));
    EXPECT_EQ(w, 400u);
    EXPECT_EQ(h, 220u);
    EXPECT_FALSE(gui->canResize(plugin));
    EXPECT_FALSE(gui->setSize(plugin, 500, 220));
    ASSERT_TRUE(attach(gui));
    ASSERT_EQ(host.fds.size(), 1u);
    const int fd = *host.fds.begin();
    const auto* onFd = static_cast<const clap::PluginPosixFdSupport*>(
        plugin->getExtension(plugin, clap::kExtPosixFdSupport));
    ASSERT_NE(onFd, nullptr);
    // The host's loop: wait on the descriptor, hand it to the plug-in.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (colours() < 20 && std::chrono::steady_clock::now() < until) {
        pollfd p{fd, POLLIN, 0};
        if (poll(&p, 1, 50) > 0) onFd->onFd(plugin, fd, clap::kFdRead);
    }
    EXPECT_GE(colours(), 20u) << "the panel was never drawn";
    gui->destroy(plugin);
    EXPECT_TRUE(host.fds.empty()) << "the descriptor is still registered after destroy";
}

TEST_F(ClapEditorX11, AHostTimerIsRegisteredAndReleased) {
    Host host;
    host.offerTimer = true;
    host.offerFd = true;
    const clap::PluginGui* gui = make(host);
    ASSERT_TRUE(attach(gui));
    EXPECT_EQ(host.timers.size(), 1u);
    EXPECT_TRUE(host.fds.empty());  // the timer is enough
    const auto* timer = static_cast<const clap::PluginTimerSupport*>(
        plugin->getExtension(plugin, clap::kExtTimerSupport));
    for (int i = 0; i < 5; ++i) timer->onTimer(plugin, 7), timer->onTimer(plugin, 99);
    gui->destroy(plugin);
    EXPECT_TRUE(host.timers.empty());
}

TEST_F(ClapEditorX11, AHostThatCannotDriveThePanelGetsARefusal) {
    Host host;
    const clap::PluginGui* gui = make(host);
    EXPECT_FALSE(attach(gui));
    clap::Window wrong{};
    wrong.api = clap::kWindowApiWin32;
    wrong.win32 = nullptr;
    EXPECT_FALSE(gui->setParent(plugin, &wrong));
    EXPECT_FALSE(gui->setParent(plugin, nullptr));
    gui->destroy(plugin);
    gui->destroy(plugin);  // twice: nothing left to destroy
}

}  // namespace
