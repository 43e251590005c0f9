// The LV2 UI binary in a real X window under Xvfb, loaded through its
// descriptor as an LV2 host loads it (ui:parent, ui:idleInterface, ui:touch,
// ui:resize and a write function): the panel the VST 2.4 editor paints,
// controls moved by port events, the meter fed from the reduction port, and
// a real drag that reaches the host in dB with a touch gesture around it.
// googletest first: Xlib's headers define None and Bool as macros.
#include <gtest/gtest.h>
// clang-format off
#include <X11/Xutil.h>
// clang-format on
#include <dlfcn.h>
#include <lv2/ui/ui.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "formats/lv2/lv2_ports.h"
#include "tests/x11/software_reference.h"
#include "tests/x11/x11_session.h"

namespace {

using namespace lv2port;

void sleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

bool inTextBox(int px, int py) {
    return py >= 125 && py < 137 && ((px >= 55 && px < 85) || (px >= 315 && px < 345));
}

int differences(const std::vector<uint32_t>& shown, const std::vector<uint32_t>& expected) {
    if (shown.size() != expected.size()) return -1;
    int different = 0;
    for (int py = 0; py < 220; ++py) {
        for (int px = 0; px < 400; ++px) {
            const size_t i = size_t(py) * 400 + px;
            if (!inTextBox(px, py) && shown[i] != expected[i]) ++different;
        }
    }
    return different;
}

struct Write {
    uint32_t port;
    float value;
};
struct Touch {
    uint32_t port;
    bool grabbed;
};

// The host's side: what the UI wrote, touched and asked for.
struct Host {
    std::vector<Write> writes;
    std::vector<Touch> touches;
    int width = 0, height = 0;

    static void write(LV2UI_Controller c, uint32_t port, uint32_t size, uint32_t format,
                      const void* buffer) {
        ASSERT_EQ(size, sizeof(float));
        ASSERT_EQ(format, 0u);
        float v;
        std::memcpy(&v, buffer, sizeof v);
        static_cast<Host*>(c)->writes.push_back({port, v});
    }
    static void touch(LV2UI_Feature_Handle h, uint32_t port, bool grabbed) {
        static_cast<Host*>(h)->touches.push_back({port, grabbed});
    }
    static int resize(LV2UI_Feature_Handle h, int width, int height) {
        static_cast<Host*>(h)->width = width;
        static_cast<Host*>(h)->height = height;
        return 0;
    }
};

struct Lv2Ui : ::testing::Test {
    void SetUp() override {
        ASSERT_TRUE(x.isOpen()) << "no X display";
        module = dlopen(TK42_LV2_BUNDLE "/tk42r_ui.so", RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(module, nullptr) << dlerror();
        auto entry = reinterpret_cast<LV2UI_DescriptorFunction>(dlsym(module, "lv2ui_descriptor"));
        ASSERT_NE(entry, nullptr);
        d = entry(0);
        ASSERT_NE(d, nullptr);
        EXPECT_STREQ(d->URI, kUiUri);
        EXPECT_EQ(entry(1), nullptr);
        idle = static_cast<const LV2UI_Idle_Interface*>(d->extension_data(LV2_UI__idleInterface));
        ASSERT_NE(idle, nullptr);
        parent = x.makeHostWindow(100, 100, 500, 300);
    }
    void TearDown() override {
        if (handle) d->cleanup(handle);
        if (parent) x.destroyWindow(parent);
        if (module) dlclose(module);
    }
    LV2UI_Handle open(const char* pluginUri = kPluginUri, bool withParent = true) {
        std::vector<const LV2_Feature*> list = {&idleFeature, &touchFeature, &resizeFeature};
        if (withParent) list.push_back(&parentFeature);
        list.push_back(nullptr);
        return d->instantiate(d, pluginUri, TK42_LV2_BUNDLE "/", &Host::write, &host, &widget,
                              list.data());
    }
    // The host's idle calls, about every 10 ms.
    void idleFor(int ms) {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        do {
            EXPECT_EQ(idle->idle(handle), 0);
            sleepMs(10);
        } while (std::chrono::steady_clock::now() < end);
    }
    void portEvent(uint32_t port, float value) { d->port_event(handle, port, 4, 0, &value); }
    void pointAt(X11Session& session, int px, int py) const {
        int rx = 0, ry = 0;
        Window child = 0;
        XTranslateCoordinates(x.get(), panel(), DefaultRootWindow(x.get()), px, py, &rx, &ry,
                              &child);
        session.movePointer(rx, ry);
    }
    Window panel() const { return static_cast<Window>(reinterpret_cast<uintptr_t>(widget)); }
    std::vector<uint32_t> shown() { return x.capture(panel(), 400, 220); }

    X11Session x;
    Host host;
    void* module = nullptr;
    const LV2UI_Descriptor* d = nullptr;
    const LV2UI_Idle_Interface* idle = nullptr;
    LV2UI_Handle handle = nullptr;
    LV2UI_Widget widget = nullptr;
    Window parent = 0;
    LV2UI_Touch touchData{&host, &Host::touch};
    LV2UI_Resize resizeData{&host, &Host::resize};
    LV2_Feature parentFeature{LV2_UI__parent, nullptr};
    LV2_Feature idleFeature{LV2_UI__idleInterface, nullptr};
    LV2_Feature touchFeature{LV2_UI__touch, &touchData};
    LV2_Feature resizeFeature{LV2_UI__resize, &resizeData};

    void openInParent() {
        parentFeature.data = reinterpret_cast<void*>(static_cast<uintptr_t>(parent));
        handle = open();
        ASSERT_NE(handle, nullptr);
        idleFor(100);
    }
};

TEST_F(Lv2Ui, OpensInTheParentAsTheVst2EditorsPanelAndAsksForItsSize) {
    openInParent();
    const std::vector<Window> children = x.children(parent);
    ASSERT_EQ(children.size(), 1u);
    EXPECT_EQ(children[0], panel()) << "the widget is not the panel's window";
    XWindowAttributes a{};
    ASSERT_TRUE(XGetWindowAttributes(x.get(), panel(), &a));
    EXPECT_EQ(a.width, 400);
    EXPECT_EQ(a.height, 220);
    EXPECT_EQ(host.width, 400);
    EXPECT_EQ(host.height, 220);
    EXPECT_EQ(differences(shown(), softwarePanel()), 0);
    EXPECT_TRUE(host.writes.empty());
}

TEST_F(Lv2Ui, PortEventsInRealUnitsMoveTheControlsWithoutWritingBack) {
    openInParent();
    portEvent(portOf(kGain), 12.0f);
    portEvent(portOf(kThresh), -6.0f);
    portEvent(portOf(kRelease), 400.0f);  // LIMIT mode: within range
    portEvent(portOf(kMode), 1.0f);       // CLIP: 400 ms acts as 20, the knob's end
    portEvent(portOf(kShow), 1.0f);
    // Wrong sizes, formats and values change nothing.
    const double twelve = 12.0;
    d->port_event(handle, portOf(kAtkH), sizeof twelve, 0, &twelve);
    d->port_event(handle, portOf(kAtkH), 4, 1, &twelve);
    portEvent(portOf(kRelH), std::nanf(""));
    portEvent(999, 1.0f);
    idleFor(100);
    EXPECT_EQ(
        differences(
            shown(),
            softwarePanel(
                {{kGain, 0.5f}, {kThresh, 0.75f}, {kRelease, 1.0f}, {kMode, 1.0f}, {kShow, 1.0f}})),
        0);
    EXPECT_TRUE(host.writes.empty());
}

TEST_F(Lv2Ui, ARealDragOfTheGainKnobWritesDecibelsInsideOneTouchGesture) {
    openInParent();
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

    ASSERT_EQ(host.touches.size(), 2u);
    EXPECT_EQ(host.touches[0].port, portOf(kGain));
    EXPECT_TRUE(host.touches[0].grabbed);
    EXPECT_EQ(host.touches[1].port, portOf(kGain));
    EXPECT_FALSE(host.touches[1].grabbed);
    ASSERT_FALSE(host.writes.empty());
    for (const Write& w : host.writes) EXPECT_EQ(w.port, portOf(kGain));
    // 48 of the knob's 480 pixels: a tenth of 24 dB.
    EXPECT_NEAR(host.writes.back().value, 2.4f, 24.0f / 480.0f);
    // The host echoes the value: the knob stays where the user left it.
    const std::vector<uint32_t> before = shown();
    portEvent(portOf(kGain), host.writes.back().value);
    idleFor(50);
    EXPECT_EQ(differences(shown(), before), 0);
}

TEST_F(Lv2Ui, AValueTypedIntoTheCeilingBoxIsWrittenWithoutATouchGesture) {
    openInParent();
    pointAt(x, 330, 131);
    x.button(1, true);
    x.button(1, false);
    idleFor(100);
    x.typeText("-7.5");
    x.key("Return", true);
    x.key("Return", false);
    idleFor(100);
    ASSERT_FALSE(host.writes.empty());
    EXPECT_EQ(host.writes.back().port, portOf(kThresh));
    EXPECT_EQ(host.writes.back().value, -7.5f);
    EXPECT_TRUE(host.touches.empty()) << "a typed value is set, not a gesture";
}

TEST_F(Lv2Ui, TheMeterLightsFromTheReductionPortAndFallsBack) {
    openInParent();
    const std::vector<uint32_t> unlit = shown();
    portEvent(kReduction, 12.0f);
    idleFor(60);
    int lit = 0;
    const std::vector<uint32_t> now = shown();
    for (int py = 160; py < 190; ++py) {
        for (int px = 20; px < 380; ++px)
            lit += now[size_t(py) * 400 + px] != unlit[size_t(py) * 400 + px];
    }
    EXPECT_GT(lit, 100) << "the meter did not light";
    portEvent(kReduction, 0.0f);
    idleFor(1500);  // ten time constants of its fall
    EXPECT_EQ(differences(shown(), unlit), 0) << "the meter did not fall back";
}

TEST_F(Lv2Ui, RefusesAnotherPluginAWindowlessHostAndAWindowThatIsNone) {
    parentFeature.data = reinterpret_cast<void*>(static_cast<uintptr_t>(parent));
    EXPECT_EQ(open("urn:someone-else:plugin"), nullptr);
    EXPECT_EQ(open(nullptr), nullptr);
    EXPECT_EQ(open(kPluginUri, false), nullptr);
    parentFeature.data = reinterpret_cast<void*>(uintptr_t(0x7ffffff0));
    EXPECT_EQ(open(), nullptr);
    EXPECT_TRUE(x.children(parent).empty());
}

}  // namespace
