// Editor lifecycles that real hosts produce, through the real DLL under Wine
// with real windows and input: opening twice, effClose with the panel open,
// the host destroying its window first, and the host closing the panel from
// inside its idle request while a knob is being dragged. After each the
// module must still work: a new panel opens and audio is processed.
#include <gtest/gtest.h>
#include <ole2.h>
#include <windows.h>

#include <cmath>
#include <thread>
#include <vector>

#include "tests/windows/host_window.h"
#include "tools/plughost/plugin_instance.h"
#include "tools/plughost/plugin_module.h"

namespace {

// Set by a test: the host closes this effect's editor when it is asked for
// idle time (as some hosts do when their own window goes away).
AEffect* closeOnIdle = nullptr;
int idleRequests = 0;
int beginEdits = 0;
int endEdits = 0;

intptr_t host(AEffect* effect, int32_t opcode, int32_t, intptr_t, void*, float) {
    switch (opcode) {
        case audioMasterVersion:
            return 2400;
        case audioMasterIdle:
            ++idleRequests;
            if (closeOnIdle && effect == closeOnIdle) {
                closeOnIdle = nullptr;
                effect->dispatcher(effect, effEditClose, 0, 0, nullptr, 0.0f);
            }
            return 1;
        case audioMasterBeginEdit:
            ++beginEdits;
            return 1;
        case audioMasterEndEdit:
            ++endEdits;
            return 1;
        default:
            return 0;
    }
}

int editorWindows(HWND parent) {
    int n = 0;
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) ++n;
    return n;
}

struct Lifecycle : ::testing::Test {
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(module.load(TK42_MODULE_PATH, error)) << error;
        fx = std::make_unique<PluginInstance>(module.entry()(&host));
        ASSERT_TRUE(fx->isOpen());
        fx->start(44100.0f, 256);
        parent = makeEditorWindow();
        ASSERT_NE(parent, nullptr);
    }
    void TearDown() override {
        closeOnIdle = nullptr;
        fx.reset();
        if (IsWindow(parent)) DestroyWindow(parent);
    }
    // The module still works: a new panel opens and closes, audio is limited.
    void expectStillUsable() {
        HWND again = makeEditorWindow();
        EXPECT_EQ(fx->dispatch(effEditOpen, 0, 0, again), 1);
        pumpFor(50);
        EXPECT_EQ(editorWindows(again), 1);
        fx->dispatch(effEditIdle);
        fx->dispatch(effEditClose);
        EXPECT_EQ(editorWindows(again), 0);
        DestroyWindow(again);
        std::vector<float> L(256), R(256);
        for (int i = 0; i < 256; ++i) L[i] = R[i] = 2.0f * std::sin(0.1f * static_cast<float>(i));
        float* io[2] = {L.data(), R.data()};
        fx->process(io, io, 256);
        fx->process(io, io, 256);
        float peak = 0;
        for (float v : L) peak = std::max(peak, std::fabs(v));
        EXPECT_LE(peak, 1.0f + 1e-6f);
        EXPECT_GT(peak, 0.1f);
    }
    PluginModule module;
    std::unique_ptr<PluginInstance> fx;
    HWND parent = nullptr;
};

}  // namespace

TEST(EditorOle, AnEditorThatIsNeverOpenedPairsItsOleCalls) {
    PluginModule module;
    std::string error;
    ASSERT_TRUE(module.load(TK42_MODULE_PATH, error)) << error;
    HRESULT after = E_FAIL;
    // A thread of its own, so that nothing else has OLE set up on it.
    std::thread t([&] {
        AEffect* e = module.entry()(&host);
        if (!e) return;
        e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f);
        after = OleInitialize(nullptr);  // S_OK only if nothing was left set up
        if (SUCCEEDED(after)) OleUninitialize();
    });
    t.join();
    EXPECT_EQ(after, S_OK);
}

TEST_F(Lifecycle, OpeningTwiceKeepsOnePanel) {
    EXPECT_EQ(fx->dispatch(effEditOpen, 0, 0, parent), 1);
    EXPECT_EQ(fx->dispatch(effEditOpen, 0, 0, parent), 1);
    pumpFor(50);
    EXPECT_EQ(editorWindows(parent), 1);
    fx->dispatch(effEditClose);
    EXPECT_EQ(editorWindows(parent), 0);
    expectStillUsable();
}

TEST_F(Lifecycle, EffCloseWithThePanelOpenTakesTheWindowAlong) {
    EXPECT_EQ(fx->dispatch(effEditOpen, 0, 0, parent), 1);
    pumpFor(50);
    EXPECT_EQ(fx->close(), 1);
    EXPECT_EQ(editorWindows(parent), 0);
    // A fresh instance of the same module still works.
    fx = std::make_unique<PluginInstance>(module.entry()(&host));
    fx->start(44100.0f, 256);
    expectStillUsable();
}

TEST_F(Lifecycle, HostDestroyingItsWindowBeforeEditClose) {
    EXPECT_EQ(fx->dispatch(effEditOpen, 0, 0, parent), 1);
    pumpFor(50);
    DestroyWindow(parent);
    fx->dispatch(effEditIdle);
    fx->dispatch(effEditClose);
    expectStillUsable();
}

TEST_F(Lifecycle, HostClosingThePanelDuringAKnobDrag) {
    EXPECT_EQ(fx->dispatch(effEditOpen, 0, 0, parent), 1);
    pumpFor(100);
    // Press on the gain knob's centre and hold; the drag loop asks the host
    // for idle time, and the host closes the panel from there.
    POINT knob{70, 65};
    ClientToScreen(parent, &knob);
    SetCursorPos(knob.x, knob.y);
    pumpFor(30);
    closeOnIdle = fx->record();
    beginEdits = endEdits = 0;
    pressLeftButton(true);
    Sleep(70);  // Wine reports the press to GetAsyncKeyState a little late
    pumpFor(400);
    pressLeftButton(false);
    pumpFor(50);
    EXPECT_EQ(closeOnIdle, nullptr) << "the drag never asked the host for idle time";
    EXPECT_EQ(editorWindows(parent), 0);
    EXPECT_EQ(beginEdits, 1);
    EXPECT_EQ(endEdits, 1);
    expectStillUsable();
}
