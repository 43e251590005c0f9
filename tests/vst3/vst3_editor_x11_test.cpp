// The VST3 view on Linux in a real X window under Xvfb: embedded in the
// host's window, driven only by the host's run loop (a timer and the X
// connection's descriptor), and a knob drag made with real input reaching
// the host as one begin/perform/end gesture.
// googletest first: Xlib's headers define None and Bool as macros.
#include <gtest/gtest.h>
// clang-format off
#include <X11/Xutil.h>
// clang-format on

#include <dlfcn.h>

#include <atomic>
#include <chrono>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "engine/parameters.h"
#include "tests/x11/x11_session.h"
#include "tools/plughost/vst3_plug_frame.h"
#include "tools/plughost/vst3_plugin.h"

namespace {

void sleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void* asParent(Window window) {
    return reinterpret_cast<void*>(static_cast<uintptr_t>(window));
}

struct Vst3X11Editor : ::testing::Test {
    static void SetUpTestSuite() {
        // A desktop host has fontconfig loaded for good; the module's fonts
        // live in that library's cache. Unloaded with the module, the cache
        // would show up as leaks that no host ever sees.
        static void* fontconfig = dlopen("libfontconfig.so.1", RTLD_NOW);
        (void)fontconfig;
    }
    void SetUp() override {
        ASSERT_TRUE(x.isOpen()) << "no X display";
        std::string error;
        ASSERT_TRUE(module.loadLibrary(TK42_VST3_BINARY, error)) << error;
        ASSERT_TRUE(plugin.open(module, error)) << error;
        parent = x.makeHostWindow(100, 100, 500, 300);
        view = plugin.controller->createView("editor");
        ASSERT_NE(view, nullptr);
    }
    void TearDown() override {
        if (view) {
            view->removed();
            view->setFrame(nullptr);
            view->release();
        }
        frame->release();
        plugin.close();
        if (parent) x.destroyWindow(parent);
    }
    // Attaches the view to the host's window; the panel's window, or 0.
    Window attach() {
        view->setFrame(frame);
        if (view->attached(asParent(parent), vst3::kPlatformX11) != vst3::kResultOk) return 0;
        const std::vector<Window> children = x.children(parent);
        return children.size() == 1 ? children[0] : 0;
    }
    void pointAt(X11Session& session, Window panel, int px, int py) const {
        int rx = 0, ry = 0;
        Window child = 0;
        XTranslateCoordinates(x.get(), panel, DefaultRootWindow(x.get()), px, py, &rx, &ry, &child);
        session.movePointer(rx, ry);
    }

    X11Session x;
    PluginModule module;
    plughost::Vst3Plugin plugin;
    plughost::PlugFrame* frame = new plughost::PlugFrame(true);
    vst3::IPlugView* view = nullptr;
    Window parent = 0;
};

TEST_F(Vst3X11Editor, EmbedsAFixedPanelThatTheRunLoopPaintsAndRemovedTakesAway) {
    EXPECT_EQ(view->isPlatformTypeSupported(vst3::kPlatformX11), vst3::kResultTrue);
    EXPECT_EQ(view->isPlatformTypeSupported(vst3::kPlatformHwnd), vst3::kResultFalse);
    vst3::ViewRect size{};
    ASSERT_EQ(view->getSize(&size), vst3::kResultOk);
    EXPECT_EQ(size.right - size.left, 400);
    EXPECT_EQ(size.bottom - size.top, 220);
    EXPECT_EQ(view->canResize(), vst3::kResultFalse);
    vst3::ViewRect bigger{0, 0, 800, 600};
    EXPECT_NE(view->onSize(&bigger), vst3::kResultOk);
    EXPECT_EQ(view->checkSizeConstraint(&bigger), vst3::kResultOk);
    EXPECT_EQ(bigger.right, 400);
    EXPECT_EQ(bigger.bottom, 220);
    // One view at a time.
    EXPECT_EQ(plugin.controller->createView("editor"), nullptr);

    const Window panel = attach();
    ASSERT_NE(panel, 0u);
    XWindowAttributes attributes{};
    XGetWindowAttributes(x.get(), panel, &attributes);
    EXPECT_EQ(attributes.width, 400);
    EXPECT_EQ(attributes.height, 220);
    EXPECT_EQ(frame->timerCount(), 1u);
    EXPECT_EQ(frame->handlerCount(), 1u);
    frame->runFor(300);
    const std::vector<uint32_t> pixels = x.capture(panel, 400, 220);
    EXPECT_GT(std::set<uint32_t>(pixels.begin(), pixels.end()).size(), 50u)
        << "the panel was not painted";

    EXPECT_EQ(view->removed(), vst3::kResultOk);
    EXPECT_EQ(frame->timerCount(), 0u);
    EXPECT_EQ(frame->handlerCount(), 0u);
    EXPECT_TRUE(x.children(parent).empty());
    // Attached again after removal, and the host releases the controller
    // before the view: the view keeps what it needs.
    ASSERT_NE(attach(), 0u);
    frame->runFor(50);
    plugin.close();
    frame->runFor(50);
}

TEST_F(Vst3X11Editor, DraggingTheGainKnobIsOneGestureThatReachesTheHost) {
    const Window panel = attach();
    ASSERT_NE(panel, 0u);
    frame->runFor(200);
    pointAt(x, panel, 70, 65);
    x.button(1, true);
    // The knob's drag loop runs inside the run loop's call that delivers the
    // press; the user moves and lets go meanwhile, from another connection.
    std::thread user([this, panel] {
        X11Session hand;
        sleepMs(200);
        pointAt(hand, panel, 70 + 24, 65);
        sleepMs(100);
        pointAt(hand, panel, 70 + 48, 65);
        sleepMs(200);
        hand.button(1, false);
    });
    frame->runFor(800);
    user.join();
    frame->runFor(50);

    int begins = 0, ends = 0, performs = 0;
    double last = -1.0;
    for (const plughost::RecordingHandler::Edit& e : plugin.handler->edits()) {
        EXPECT_EQ(e.id, 0u);
        if (e.kind == 'b') {
            ++begins;
            EXPECT_EQ(ends, 0);
        }
        if (e.kind == 'p') {
            ++performs;
            EXPECT_EQ(begins, 1);
            last = e.value;
        }
        if (e.kind == 'e') ++ends;
    }
    EXPECT_EQ(begins, 1);
    EXPECT_EQ(ends, 1);
    EXPECT_GE(performs, 2);
    EXPECT_NEAR(last, 0.1, 1.0 / 480.0);  // 48 of 480 pixels
    EXPECT_NEAR(plugin.controller->getParamNormalized(0), 0.1, 1.0 / 480.0);
}

TEST_F(Vst3X11Editor, TheMeterMovesWithAudioOnAnotherThreadWhileTheHostSetsValues) {
    const Window panel = attach();
    ASSERT_NE(panel, 0u);
    ASSERT_TRUE(plugin.start(48000.0, 256, false));
    frame->runFor(200);
    const std::vector<uint32_t> resting = x.capture(panel, 400, 220);
    std::atomic<bool> stop{false};
    std::thread audio([&] {
        std::vector<float> left(256), right(256);
        plughost::ParamChanges* changes = new plughost::ParamChanges();
        for (int block = 0; !stop; ++block) {
            for (int i = 0; i < 256; ++i) {
                left[i] = right[i] = (i % 64 < 32 ? 1.0f : -1.0f);
            }
            changes->clear();
            changes->add(kGain, block % 256, (block % 10) / 10.0);
            float* io[2] = {left.data(), right.data()};
            plugin.process(io, io, 256, changes);
            sleepMs(2);
        }
        changes->release();
    });
    for (int i = 0; i < 20; ++i) {
        plugin.controller->setParamNormalized(kGain, (i % 10) / 10.0);
        plugin.controller->setParamNormalized(kThresh, 0.5);
        frame->runFor(25);
    }
    const std::vector<uint32_t> moving = x.capture(panel, 400, 220);
    stop = true;
    audio.join();
    EXPECT_NE(moving, resting) << "the gain-reduction meter did not move";
}

TEST_F(Vst3X11Editor, AModeChangeOnlyTheProcessorSawIsAnnouncedWhileTheViewIsOpen) {
    ASSERT_NE(attach(), 0u);
    ASSERT_TRUE(plugin.start(48000.0, 64, false));
    frame->runFor(60);
    const size_t before = plugin.handler->restarts().size();
    // Host automation that reaches the processor alone, as Ardour sends it.
    plughost::ParamChanges* changes = new plughost::ParamChanges();
    changes->add(kMode, 0, 1.0);
    float l[64] = {}, r[64] = {};
    float* io[2] = {l, r};
    plugin.process(io, io, 64, changes);
    changes->release();
    frame->runFor(100);
    const std::vector<int32_t> restarts = plugin.handler->restarts();
    ASSERT_EQ(restarts.size(), before + 1);
    EXPECT_TRUE(restarts.back() & vst3::kRestartLatencyChanged);
    EXPECT_EQ(plugin.processor->getLatencySamples(), 0u);
}

TEST_F(Vst3X11Editor, AViewReleasedWhileAttachedGoesWithTheHostsRunLoopAndLeaksNothing) {
    ASSERT_NE(attach(), 0u);
    view->release();  // no removed(): the run loop still holds the view
    view = nullptr;
    frame->runFor(50);
    frame->release();  // the host's frame and run loop go, and the view with them
    frame = new plughost::PlugFrame(true);
    EXPECT_TRUE(x.children(parent).empty());
}

TEST_F(Vst3X11Editor, AHostWithoutARunLoopGetsNoPanelAndNothingIsLeft) {
    frame->release();
    frame = new plughost::PlugFrame(false);
    EXPECT_EQ(attach(), 0u);
    EXPECT_TRUE(x.children(parent).empty());
    // Not an X window id at all, and the wrong kind of parent.
    EXPECT_NE(view->attached(nullptr, vst3::kPlatformX11), vst3::kResultOk);
    EXPECT_NE(view->attached(asParent(parent), vst3::kPlatformHwnd), vst3::kResultOk);
}

}  // namespace
