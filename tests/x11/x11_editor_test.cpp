// The Linux module's panel in a real X window under Xvfb, used as a person
// uses it: real pointer and keyboard input through XTest, the pixels read
// back from the server, and the host faults a Linux host can commit.
// googletest first: Xlib's headers define None and Bool as macros.
#include <gtest/gtest.h>
// clang-format off
#include <X11/Xutil.h>
// clang-format on

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/x11/software_reference.h"
#include "tests/x11/x11_session.h"
#include "tools/plughost/plugin_instance.h"
#include "tools/plughost/plugin_module.h"
#include "tools/plughost/recording_host.h"

namespace {

void sleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

void* asParent(Window window) {
    return reinterpret_cast<void*>(static_cast<uintptr_t>(window));
}

// Audio blocks on a thread of their own, as a host's audio thread runs them.
class AudioThread {
  public:
    AudioThread(const PluginInstance& fx, float amplitude) {
        thread = std::thread([this, &fx, amplitude] {
            std::vector<float> left(256), right(256);
            for (int block = 0; !stop; ++block) {
                for (int i = 0; i < 256; ++i) {
                    left[i] = right[i] = amplitude * std::sin(0.05f * float(block * 256 + i));
                }
                float* io[2] = {left.data(), right.data()};
                fx.process(io, io, 256);
                blocks.fetch_add(1);
                sleepMs(1);
            }
        });
    }
    ~AudioThread() {
        stop = true;
        thread.join();
    }
    std::atomic<int> blocks{0};

  private:
    std::atomic<bool> stop{false};
    std::thread thread;
};

struct X11Editor : ::testing::Test {
    void SetUp() override {
        ASSERT_TRUE(x.isOpen()) << "no X display";
        std::string error;
        ASSERT_TRUE(module.load(TK42_X11_MODULE, error)) << error;
        fx = std::make_unique<PluginInstance>(host.create(module.entry()));
        ASSERT_TRUE(fx->isOpen());
        fx->start(44100.0f, 256);
        parent = x.makeHostWindow(100, 100, 500, 300);
        ASSERT_EQ(fx->dispatch(effEditOpen, 0, 0, asParent(parent)), 1);
        const std::vector<Window> children = x.children(parent);
        ASSERT_EQ(children.size(), 1u);
        panel = children[0];
        idleFor(100);
        host.clearLog();
    }
    void TearDown() override {
        if (fx) fx->dispatch(effEditClose);
        fx.reset();
        if (parent) x.destroyWindow(parent);
    }
    // The host's idle calls, about every 10 ms.
    void idleFor(int ms) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        do {
            fx->dispatch(effEditIdle);
            sleepMs(10);
        } while (std::chrono::steady_clock::now() < end);
    }
    // Panel coordinates on the screen.
    void pointAt(X11Session& session, int px, int py) const {
        int rx = 0, ry = 0;
        Window child = 0;
        XTranslateCoordinates(x.get(), panel, DefaultRootWindow(x.get()), px, py, &rx, &ry, &child);
        session.movePointer(rx, ry);
    }
    void click(int px, int py) {
        pointAt(x, px, py);
        x.button(1, true);
        idleFor(50);
        x.button(1, false);
        idleFor(50);
    }
    std::vector<HostCall> log(int32_t opcode) const { return host.callsWith(opcode); }

    X11Session x;
    RecordingHost host;
    PluginModule module;
    std::unique_ptr<PluginInstance> fx;
    Window parent = 0;
    Window panel = 0;
};

bool inTextBox(int px, int py) {
    return py >= 125 && py < 137 && ((px >= 55 && px < 85) || (px >= 315 && px < 345));
}

TEST_F(X11Editor, OpensOneChildWindowOfThePanelsSizeAndReopensWithoutASecond) {
    XWindowAttributes a{};
    ASSERT_TRUE(XGetWindowAttributes(x.get(), panel, &a));
    EXPECT_EQ(a.x, 0);
    EXPECT_EQ(a.y, 0);
    EXPECT_EQ(a.width, 400);
    EXPECT_EQ(a.height, 220);
    EXPECT_EQ(a.map_state, IsViewable);

    // A second open while open replaces the panel instead of adding one.
    ASSERT_EQ(fx->dispatch(effEditOpen, 0, 0, asParent(parent)), 1);
    idleFor(30);
    EXPECT_EQ(x.children(parent).size(), 1u);
}

TEST_F(X11Editor, FirstPaintEqualsTheSoftwarePlatformOutsideTheTextBoxes) {
    const std::vector<uint32_t> expected = softwarePanel();
    ASSERT_EQ(expected.size(), 400u * 220u);
    const std::vector<uint32_t> shown = x.capture(panel, 400, 220);
    ASSERT_EQ(shown.size(), expected.size());
    int different = 0, compared = 0;
    for (int py = 0; py < 220; ++py) {
        for (int px = 0; px < 400; ++px) {
            if (inTextBox(px, py)) continue;
            ++compared;
            if (shown[size_t(py) * 400 + px] != expected[size_t(py) * 400 + px]) ++different;
        }
    }
    EXPECT_EQ(different, 0) << "of " << compared << " pixels";
    // And it is the panel, not an empty window: the knob differs from the
    // background beside it.
    EXPECT_NE(shown[65 * 400 + 70], shown[5 * 400 + 5]);
}

// Pixels that differ from the software platform's panel, away from the boxes.
int differencesFromTheSoftwarePanel(const std::vector<uint32_t>& shown) {
    static const std::vector<uint32_t> expected = softwarePanel();
    int different = 0;
    for (int py = 0; py < 220; ++py) {
        for (int px = 0; px < 400; ++px) {
            if (!inTextBox(px, py) &&
                shown[size_t(py) * 400 + px] != expected[size_t(py) * 400 + px])
                ++different;
        }
    }
    return different;
}

TEST_F(X11Editor, APanelUncoveredByAnotherWindowIsDrawnAgainThoughNothingChanged) {
    // What the screen shows where the panel is: a covered window's own
    // pixels cannot be read back.
    auto onScreen = [&] {
        int rx = 0, ry = 0;
        Window child = 0;
        XTranslateCoordinates(x.get(), panel, DefaultRootWindow(x.get()), 0, 0, &rx, &ry, &child);
        const std::vector<uint32_t> screen =
            x.capture(DefaultRootWindow(x.get()), rx + 400, ry + 220);
        std::vector<uint32_t> area(400 * 220);
        for (int py = 0; py < 220; ++py) {
            for (int px = 0; px < 400; ++px)
                area[size_t(py) * 400 + px] = screen[size_t(ry + py) * (rx + 400) + rx + px];
        }
        return area;
    };
    ASSERT_EQ(differencesFromTheSoftwarePanel(onScreen()), 0);
    // Another window over the middle of the panel, then gone again, as when a
    // user moves a window across it or a host hides and shows its window.
    Display* d = x.get();
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixel = 0xFF00FF;
    const Window cover =
        XCreateWindow(d, DefaultRootWindow(d), 150, 150, 250, 120, 0, CopyFromParent, InputOutput,
                      CopyFromParent, CWOverrideRedirect | CWBackPixel, &attributes);
    XMapRaised(d, cover);
    XSync(d, False);
    idleFor(60);
    const std::vector<uint32_t> covered = onScreen();
    ASSERT_EQ(covered[size_t(100) * 400 + 150], 0xFF00FFu)
        << "the other window is not over the panel";
    XDestroyWindow(d, cover);
    XSync(d, False);
    idleFor(100);
    EXPECT_EQ(differencesFromTheSoftwarePanel(onScreen()), 0);
}

TEST_F(X11Editor, DraggingTheGainKnob48PixelsIsOneGestureWithIdleCallsDuringIt) {
    pointAt(x, 70, 65);
    x.button(1, true);
    // The drag loop runs inside the idle call that delivers the press; the
    // user moves and lets go meanwhile, from another connection.
    std::thread user([this] {
        X11Session hand;
        sleepMs(200);
        pointAt(hand, 70 + 24, 65);
        sleepMs(100);
        pointAt(hand, 70 + 48, 65);
        sleepMs(200);
        hand.button(1, false);
    });
    idleFor(800);
    user.join();
    idleFor(50);

    const std::vector<HostCall> calls = host.calls();
    int begins = 0, ends = 0, idlesInGesture = 0;
    bool inGesture = false;
    for (const HostCall& c : calls) {
        if (c.opcode == audioMasterBeginEdit) {
            ++begins;
            EXPECT_EQ(c.index, 0);
            inGesture = true;
        } else if (c.opcode == audioMasterEndEdit) {
            ++ends;
            EXPECT_EQ(c.index, 0);
            inGesture = false;
        } else if (c.opcode == audioMasterIdle && inGesture) {
            ++idlesInGesture;
        }
    }
    EXPECT_EQ(begins, 1);
    EXPECT_EQ(ends, 1);
    EXPECT_GE(idlesInGesture, 3);  // about every 50 ms of a 500 ms drag
    const std::vector<HostCall> automated = log(audioMasterAutomate);
    ASSERT_FALSE(automated.empty());
    EXPECT_EQ(automated.back().index, 0);
    EXPECT_NEAR(automated.back().opt, 0.1f, 1.0f / 480.0f);  // 48 of 480 pixels
    EXPECT_NEAR(fx->getParameter(0), 0.1f, 1.0f / 480.0f);
}

TEST_F(X11Editor, ControlClickResetsTheGainKnobToItsDefault) {
    fx->setParameter(0, 0.6f);
    idleFor(30);
    pointAt(x, 70, 65);
    x.key("Control_L", true);
    x.button(1, true);
    x.button(1, false);
    idleFor(80);
    x.key("Control_L", false);
    EXPECT_EQ(fx->getParameter(0), 0.0f);
}

TEST_F(X11Editor, AWheelNotchUpOverTheGainKnobRaisesGainByOneStep) {
    pointAt(x, 70, 65);
    x.button(4, true);
    x.button(4, false);
    idleFor(50);
    EXPECT_NEAR(fx->getParameter(0), 0.125f, 1e-6f);
    const std::vector<HostCall> automated = log(audioMasterAutomate);
    ASSERT_EQ(automated.size(), 1u);
    EXPECT_EQ(automated[0].index, 0);
    x.button(5, true);
    x.button(5, false);
    idleFor(50);
    EXPECT_NEAR(fx->getParameter(0), 0.0f, 1e-6f);
}

TEST_F(X11Editor, TheModeToggleFlipsOnAClick) {
    const float before = fx->getParameter(5);
    click(165, 104);
    EXPECT_NE(fx->getParameter(5), before);
}

TEST_F(X11Editor, TypingMinusSixAndReturnInTheCeilingBoxSetsThreshWithoutAutomation) {
    Window focusBefore = 0;
    int revert = 0;
    XGetInputFocus(x.get(), &focusBefore, &revert);
    click(330, 131);
    // The field is a window of the module's own over the box, with the focus.
    const std::vector<Window> fields = x.children(panel);
    ASSERT_EQ(fields.size(), 1u);
    Window focused = 0;
    XGetInputFocus(x.get(), &focused, &revert);
    EXPECT_EQ(focused, fields[0]);

    x.typeText("-6");
    x.key("Return", true);
    x.key("Return", false);
    idleFor(60);
    EXPECT_EQ(fx->getParameter(1), 0.75f);
    EXPECT_TRUE(log(audioMasterAutomate).empty());
    EXPECT_TRUE(log(audioMasterBeginEdit).empty());
    // The field is gone and the focus is back where it was.
    EXPECT_TRUE(x.children(panel).empty());
    XGetInputFocus(x.get(), &focused, &revert);
    EXPECT_EQ(focused, focusBefore);
}

TEST_F(X11Editor, EscapeInTheGainBoxKeepsGainAndAClickElsewhereCommits) {
    const float gain = fx->getParameter(0);
    click(70, 131);
    x.typeText("12");
    x.key("Escape", true);
    x.key("Escape", false);
    idleFor(60);
    EXPECT_EQ(fx->getParameter(0), gain);
    EXPECT_TRUE(x.children(panel).empty());

    // Backspace takes back a typed character; a click on the panel commits.
    click(70, 131);
    x.typeText("77");
    x.key("BackSpace", true);
    x.key("BackSpace", false);
    x.typeText(".0");
    idleFor(30);
    click(200, 10);
    EXPECT_EQ(fx->getParameter(0), 7.0f / 24.0f);
    EXPECT_TRUE(log(audioMasterAutomate).empty());
}

TEST_F(X11Editor, TheMeterLightsWhileAudioRunsOnAnotherThread) {
    auto litSegments = [&] {
        const std::vector<uint32_t> shown = x.capture(panel, 400, 220);
        int lit = 0;
        for (int i = 0; i < 20; ++i) {
            if (((shown[175 * 400 + 20 + 9 + 18 * i] >> 16) & 0xFF) > 150) ++lit;  // amber
        }
        return lit;
    };
    EXPECT_EQ(litSegments(), 0);
    fx->setParameter(0, 0.75f);  // +18 dB into the 0 dBFS ceiling
    AudioThread audio(*fx, 0.9f);
    idleFor(300);
    EXPECT_GT(audio.blocks.load(), 10);
    EXPECT_GT(litSegments(), 5);
}

// Two hundred where races are looked for (ThreadSanitizer); under
// AddressSanitizer at -O0 an open costs a tenth of a second or more.
#ifndef TK42_X11_CYCLES
#define TK42_X11_CYCLES 200
#endif

TEST_F(X11Editor, OpenCloseCyclesWithLiveAudioAndAutomationLeaveNothingBehind) {
    fx->dispatch(effEditClose);
    idleFor(20);
    const int descriptors = openDescriptors();
    std::atomic<bool> stop{false};
    AudioThread audio(*fx, 0.9f);
    std::thread automation([&] {
        for (int i = 0; !stop; ++i) {
            fx->setParameter(i % 7, float(i % 11) / 10.0f);
            sleepMs(1);
        }
    });
    for (int cycle = 0; cycle < TK42_X11_CYCLES; ++cycle) {
        ASSERT_EQ(fx->dispatch(effEditOpen, 0, 0, asParent(parent)), 1) << "cycle " << cycle;
        fx->dispatch(effEditIdle);
        fx->dispatch(effEditIdle);
        fx->dispatch(effEditClose);
    }
    stop = true;
    automation.join();
    EXPECT_TRUE(x.children(parent).empty());
    EXPECT_EQ(openDescriptors(), descriptors);
}

TEST_F(X11Editor, AParentDestroyedBeforeCloseEndsNothingAndLeavesNothing) {
    fx->dispatch(effEditClose);
    const int descriptors = openDescriptors();

    // The host destroys its window, goes on idling, then closes the editor.
    ASSERT_EQ(fx->dispatch(effEditOpen, 0, 0, asParent(parent)), 1);
    idleFor(30);
    x.destroyWindow(parent);
    idleFor(50);
    fx->dispatch(effEditClose);
    EXPECT_EQ(openDescriptors(), descriptors);

    // Or closes it at once, with no idle in between.
    parent = x.makeHostWindow(100, 100, 500, 300);
    ASSERT_EQ(fx->dispatch(effEditOpen, 0, 0, asParent(parent)), 1);
    idleFor(30);
    x.destroyWindow(parent);
    parent = 0;
    fx->dispatch(effEditIdle);
    fx->dispatch(effEditClose);
    fx->dispatch(effEditIdle);
    EXPECT_EQ(openDescriptors(), descriptors);

    // The effect is whole: a new window gets a working panel.
    parent = x.makeHostWindow(100, 100, 500, 300);
    ASSERT_EQ(fx->dispatch(effEditOpen, 0, 0, asParent(parent)), 1);
    EXPECT_EQ(x.children(parent).size(), 1u);
}

TEST_F(X11Editor, AWindowIdThatIsNoWindowGetsNoEditor) {
    fx->dispatch(effEditClose);
    // An id no window has, and a pointer where a Linux host passes an id.
    EXPECT_EQ(fx->dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(uintptr_t(0x1FFFFF0))), 0);
    int local = 0;
    EXPECT_EQ(fx->dispatch(effEditOpen, 0, 0, &local), 0);
    fx->dispatch(effEditIdle);
    fx->dispatch(effEditClose);
}

TEST(X11EditorWithoutDisplay, OpenAnswersZeroAndTheHostGoesOn) {
    const char* saved = std::getenv("DISPLAY");
    const std::string display = saved ? saved : "";
    RecordingHost host;
    PluginModule module;
    std::string error;
    ASSERT_TRUE(module.load(TK42_X11_MODULE, error)) << error;
    PluginInstance fx(host.create(module.entry()));
    ASSERT_TRUE(fx.isOpen());
    for (const char* value : {static_cast<const char*>(nullptr), "", ":77"}) {
        if (value) {
            setenv("DISPLAY", value, 1);
        } else {
            unsetenv("DISPLAY");
        }
        EXPECT_EQ(fx.dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(uintptr_t(0x400001))), 0)
            << (value ? value : "(unset)");
        fx.dispatch(effEditIdle);
        fx.dispatch(effEditClose);
    }
    setenv("DISPLAY", display.c_str(), 1);
    // The effect still limits.
    std::vector<float> left(64, 4.0f), right(64, -4.0f);
    float* io[2] = {left.data(), right.data()};
    fx.start(44100.0f, 64);
    fx.process(io, io, 64);
    EXPECT_LE(std::fabs(left[63]), 1.0f);
}

}  // namespace
