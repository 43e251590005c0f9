// The VST3 view of the Windows bundle in a real window under Wine: embedded
// in the host's HWND at 400 x 220, painted with nothing but the view's own
// window timer and the host's message loop, and a knob drag made with
// injected input reaching the host as one begin/perform/end gesture.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>
#include <thread>
#include <vector>

#include "engine/parameters.h"
#include "formats/vst3/vst3_view.h"
#include "tests/windows/host_window.h"
#include "tools/plughost/vst3_plugin.h"

namespace {

// A Windows host's frame: nothing to offer beyond itself.
class Frame final : public plughost::Counted<vst3::IPlugFrame> {
  public:
    vst3::tresult queryInterface(const char* iid, void** object) override {
        *object = nullptr;
        if (!vst3::kFUnknownIid.matches(iid) && !vst3::kIPlugFrameIid.matches(iid)) {
            return vst3::kNoInterface;
        }
        addRef();
        *object = static_cast<vst3::IPlugFrame*>(this);
        return vst3::kResultOk;
    }
    vst3::tresult resizeView(vst3::IPlugView*, vst3::ViewRect*) override {
        return vst3::kResultFalse;
    }
};

std::vector<HWND> childrenOf(HWND parent) {
    std::vector<HWND> found;
    for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) found.push_back(c);
    return found;
}

// The distinct colours of the window's pixels, read back with BitBlt.
size_t coloursIn(HWND window, int width, int height) {
    HDC source = GetDC(window);
    HDC memory = CreateCompatibleDC(source);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
    const auto* p = static_cast<const uint32_t*>(bits);
    const std::set<uint32_t> colours(p, p + width * height);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(window, source);
    return colours.size();
}

struct Vst3Win32Editor : ::testing::Test {
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(module.loadLibrary(TK42_VST3_BINARY, error)) << error;
        ASSERT_TRUE(plugin.open(module, error)) << error;
        host = makeEditorWindow();
        ASSERT_NE(host, nullptr);
        view = plugin.controller->createView("editor");
        ASSERT_NE(view, nullptr);
        view->setFrame(frame);
    }
    void TearDown() override {
        if (view) {
            view->removed();
            view->release();
        }
        frame->release();
        plugin.close();
        if (host) DestroyWindow(host);
        pumpFor(20);
    }

    PluginModule module;
    plughost::Vst3Plugin plugin;
    Frame* frame = new Frame();
    vst3::IPlugView* view = nullptr;
    HWND host = nullptr;
};

TEST_F(Vst3Win32Editor, EmbedsAPanelThatItsTimerPaintsAndRemovedTakesAway) {
    EXPECT_EQ(view->isPlatformTypeSupported(vst3::kPlatformHwnd), vst3::kResultTrue);
    EXPECT_EQ(view->isPlatformTypeSupported(vst3::kPlatformX11), vst3::kResultFalse);
    ASSERT_EQ(view->attached(host, vst3::kPlatformHwnd), vst3::kResultOk);
    const std::vector<HWND> children = childrenOf(host);
    ASSERT_EQ(children.size(), 1u);
    RECT client{};
    GetClientRect(children[0], &client);
    EXPECT_EQ(client.right - client.left, 400);
    EXPECT_EQ(client.bottom - client.top, 220);
    pumpFor(400);
    EXPECT_GT(coloursIn(children[0], 400, 220), 50u) << "the panel was not painted";
    EXPECT_EQ(view->removed(), vst3::kResultOk);
    EXPECT_TRUE(childrenOf(host).empty());
}

TEST_F(Vst3Win32Editor, AModeChangeOnlyTheProcessorSawIsAnnouncedWhileTheViewIsOpen) {
    ASSERT_EQ(view->attached(host, vst3::kPlatformHwnd), vst3::kResultOk);
    ASSERT_TRUE(plugin.start(48000.0, 64, false));
    pumpFor(60);
    const size_t before = plugin.handler->restarts().size();
    plughost::ParamChanges* changes = new plughost::ParamChanges();
    changes->add(kMode, 0, 1.0);
    float l[64] = {}, r[64] = {};
    float* io[2] = {l, r};
    plugin.process(io, io, 64, changes);
    changes->release();
    pumpFor(150);
    const std::vector<int32_t> restarts = plugin.handler->restarts();
    ASSERT_EQ(restarts.size(), before + 1);
    EXPECT_TRUE(restarts.back() & vst3::kRestartLatencyChanged);
    EXPECT_EQ(plugin.processor->getLatencySamples(), 0u);
}

TEST_F(Vst3Win32Editor, DraggingTheGainKnobIsOneGestureThatReachesTheHost) {
    ASSERT_EQ(view->attached(host, vst3::kPlatformHwnd), vst3::kResultOk);
    const std::vector<HWND> children = childrenOf(host);
    ASSERT_EQ(children.size(), 1u);
    pumpFor(200);
    POINT start{70, 65};
    ClientToScreen(children[0], &start);
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

    int begins = 0, ends = 0, performs = 0;
    double last = -1.0;
    for (const plughost::RecordingHandler::Edit& e : plugin.handler->edits()) {
        EXPECT_EQ(e.id, 0u);
        begins += e.kind == 'b';
        ends += e.kind == 'e';
        if (e.kind == 'p') {
            ++performs;
            last = e.value;
        }
    }
    EXPECT_EQ(begins, 1);
    EXPECT_EQ(ends, 1);
    EXPECT_GE(performs, 2);
    EXPECT_NEAR(last, 0.1, 1.0 / 480.0);  // 48 of 480 pixels
}

}  // namespace
