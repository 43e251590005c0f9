// The real DLL's panel used as a person uses it, under Wine with real input:
// a knob dragged with the mouse, a value typed into a box, and the meter
// moving while audio is limited.
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <mutex>
#include <thread>
#include <vector>

#include "tests/windows/host_window.h"
#include "tools/plughost/plugin_instance.h"
#include "tools/plughost/plugin_module.h"

namespace {

struct Call {
    int32_t opcode;
    int32_t index;
    float opt;
};
std::mutex callsMutex;
std::vector<Call> calls;

intptr_t host(AEffect*, int32_t opcode, int32_t index, intptr_t, void*, float opt) {
    if (opcode == audioMasterVersion) return 2400;
    std::lock_guard<std::mutex> lock(callsMutex);
    if (opcode == audioMasterAutomate || opcode == audioMasterBeginEdit ||
        opcode == audioMasterEndEdit) {
        calls.push_back({opcode, index, opt});
    }
    return 1;
}

std::vector<Call> callsWith(int32_t opcode) {
    std::lock_guard<std::mutex> lock(callsMutex);
    std::vector<Call> out;
    for (const Call& c : calls) {
        if (c.opcode == opcode) out.push_back(c);
    }
    return out;
}

struct EditorE2E : ::testing::Test {
    void SetUp() override {
        calls.clear();
        std::string error;
        ASSERT_TRUE(module.load(TK42_MODULE_PATH, error)) << error;
        fx = std::make_unique<PluginInstance>(module.entry()(&host));
        ASSERT_TRUE(fx->isOpen());
        fx->start(44100.0f, 256);
        parent = makeEditorWindow();
        ASSERT_EQ(fx->dispatch(effEditOpen, 0, 0, parent), 1);
        panel = GetWindow(parent, GW_CHILD);
        ASSERT_NE(panel, nullptr);
        pumpFor(100);
        fx->dispatch(effEditIdle);
    }
    void TearDown() override {
        fx->dispatch(effEditClose);
        fx.reset();
        DestroyWindow(parent);
    }
    POINT onScreen(int x, int y) const {
        POINT p{x, y};
        ClientToScreen(panel, &p);
        return p;
    }
    COLORREF pixel(int x, int y) const {
        HDC dc = GetDC(panel);
        const COLORREF c = GetPixel(dc, x, y);
        ReleaseDC(panel, dc);
        return c;
    }
    PluginModule module;
    std::unique_ptr<PluginInstance> fx;
    HWND parent = nullptr;
    HWND panel = nullptr;
};

}  // namespace

TEST_F(EditorE2E, DraggingTheGainKnobRightAutomatesGainInOneGesture) {
    const POINT start = onScreen(70, 65);
    SetCursorPos(start.x, start.y);
    pumpFor(30);
    pressLeftButton(true);
    // The drag loop runs inside the button-down message on this thread; the
    // pointer moves and the button comes up from another one.
    std::thread user([start] {
        Sleep(200);
        SetCursorPos(start.x + 24, start.y);
        Sleep(100);
        SetCursorPos(start.x + 48, start.y);
        Sleep(200);
        pressLeftButton(false);
    });
    Sleep(70);  // Wine reports the press to the polled state a little late
    pumpFor(800);
    user.join();
    pumpFor(50);

    const auto begins = callsWith(audioMasterBeginEdit);
    const auto ends = callsWith(audioMasterEndEdit);
    const auto automated = callsWith(audioMasterAutomate);
    ASSERT_EQ(begins.size(), 1u);
    ASSERT_EQ(ends.size(), 1u);
    EXPECT_EQ(begins[0].index, 0);
    EXPECT_EQ(ends[0].index, 0);
    ASSERT_FALSE(automated.empty());
    EXPECT_EQ(automated.back().index, 0);
    EXPECT_NEAR(automated.back().opt, 0.1f, 1.0f / 480.0f);  // 48 of 480 pixels
    EXPECT_NEAR(fx->getParameter(0), 0.1f, 1.0f / 480.0f);
}

TEST_F(EditorE2E, TypingMinusSixIntoTheCeilingBoxSetsThreshWithoutAutomation) {
    const POINT box = onScreen(330, 131);
    SetCursorPos(box.x, box.y);
    pumpFor(30);
    pressLeftButton(true);
    Sleep(70);
    pumpFor(50);
    pressLeftButton(false);
    pumpFor(100);
    typeKeys("-6");
    pressKey(VK_RETURN);
    pumpFor(100);
    EXPECT_EQ(fx->getParameter(1), 0.75f);
    EXPECT_TRUE(callsWith(audioMasterAutomate).empty());
}

TEST_F(EditorE2E, TheMeterLightsWhileAudioIsLimited) {
    auto litSegments = [&] {
        int lit = 0;
        for (int i = 0; i < 20; ++i) {
            const COLORREF c = pixel(20 + 9 + 18 * i, 175);
            if (GetRValue(c) > 150) ++lit;  // amber
        }
        return lit;
    };
    fx->dispatch(effEditIdle);
    pumpFor(50);
    EXPECT_EQ(litSegments(), 0);
    fx->setParameter(0, 0.75f);  // +18 dB into the 0 dBFS ceiling
    std::vector<float> L(256), R(256);
    for (int block = 0; block < 40; ++block) {
        for (int i = 0; i < 256; ++i) {
            L[i] = R[i] = 0.9f * std::sin(0.05f * static_cast<float>(block * 256 + i));
        }
        float* io[2] = {L.data(), R.data()};
        fx->process(io, io, 256);
    }
    fx->dispatch(effEditIdle);
    pumpFor(50);
    EXPECT_GT(litSegments(), 5);
}
