// The Win32 platform's own services under Wine: resources of the module,
// the swapped-buttons setting, cursor, clock, OLE pairing, window devices
// and the one-paint pump the editor's idle routine uses.
#include <gtest/gtest.h>
#include <windows.h>

#include "pixel_reader.h"
#include "test_images.h"
#include "toolkit/button_state.h"
#include "toolkit/draw_context.h"
#include "toolkit/platform/platform.h"

using namespace TKGUI;
using namespace tk42test;

namespace {

int paints = 0;

LRESULT CALLBACK countingProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_PAINT) {
        ++paints;
        PAINTSTRUCT ps;
        BeginPaint(window, &ps);
        EndPaint(window, &ps);
        return 0;
    }
    return DefWindowProcA(window, message, w, l);
}

class Win32PlatformTest : public ::testing::Test {
  protected:
    // One window for the suite: making and destroying windows is slow under Wine.
    static void SetUpTestSuite() {
        preparePlatform();
        WNDCLASSA wc = {};
        wc.lpfnWndProc = countingProc;
        wc.hInstance = static_cast<HINSTANCE>(TKGUI::platform::moduleHandle());
        wc.lpszClassName = "tk42TestWindow";
        RegisterClassA(&wc);
        window = CreateWindowExA(0, "tk42TestWindow", "test", WS_POPUP | WS_VISIBLE, 120, 80, 64,
                                 48, nullptr, nullptr, wc.hInstance, nullptr);
        creationError = window ? 0 : GetLastError();
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
    }
    static void TearDownTestSuite() {
        if (window) DestroyWindow(window);
        window = nullptr;
        UnregisterClassA("tk42TestWindow", static_cast<HINSTANCE>(TKGUI::platform::moduleHandle()));
    }
    // Only the tests that need a window call this. A Wine server started
    // without a display has no graphics driver, and then no window can be
    // made at all: that is the test set-up's fault, not the toolkit's.
    bool needWindow() {
        if (!window) {
            ADD_FAILURE() << "no window (error " << creationError
                          << "); was the Wine server started without a display?";
        }
        return window != nullptr;
    }
    void TearDown() override {
        SwapMouseButton(FALSE);  // even when a test failed
        setButtonsSwapped(false);
    }

    static HWND window;
    static DWORD creationError;
};

HWND Win32PlatformTest::window = nullptr;
DWORD Win32PlatformTest::creationError = 0;

}  // namespace

TEST_F(Win32PlatformTest, PngResourcesAreFoundByNumberAndTypeName) {
    const uint8_t* data = nullptr;
    size_t size = 0;
    ASSERT_TRUE(platform::findResource(kRgbaImage, "PNG", &data, &size));
    EXPECT_EQ(size, 96u);
    EXPECT_EQ(data[1], 'P');
    EXPECT_FALSE(platform::findResource(kRgbaImage, "BMP", &data, &size));
    EXPECT_FALSE(platform::findResource(kMissingImage, "PNG", &data, &size));
}

TEST_F(Win32PlatformTest, SwappedButtonsSettingIsReadIntoTheModuleFlag) {
    SwapMouseButton(TRUE);
    refreshButtonsSwapped();
    EXPECT_TRUE(buttonsSwapped());
    SwapMouseButton(FALSE);
    refreshButtonsSwapped();
    EXPECT_FALSE(buttonsSwapped());
}

TEST_F(Win32PlatformTest, CursorPositionIsInScreenCoordinates) {
    ASSERT_TRUE(SetCursorPos(150, 100));
    EXPECT_EQ(platform::cursorScreenPosition(), CPoint(150, 100));
}

TEST_F(Win32PlatformTest, TickCountFollowsSleep) {
    // The tick count moves in steps of about 16 ms.
    uint32_t before = platform::tickCount();
    platform::sleepMilliseconds(100);
    uint32_t elapsed = platform::tickCount() - before;
    EXPECT_GE(elapsed, 60u);
    EXPECT_LT(elapsed, 1000u);
}

TEST_F(Win32PlatformTest, OleSetUpPairsOnTheSameThread) {
    EXPECT_TRUE(platform::beginThreadOle());
    EXPECT_TRUE(platform::beginThreadOle());  // already set up: S_FALSE, still paired
    platform::endThreadOle();
    platform::endThreadOle();
}

TEST_F(Win32PlatformTest, WindowContextKnowsTheWindowsScreenPositionAndDrawsIntoIt) {
    if (!needWindow()) return;
    CDrawContext* context =
        new CDrawContext(nullptr, nullptr, reinterpret_cast<platform::Window*>(window));
    ASSERT_NE(context->getDevice(), nullptr);
    EXPECT_EQ(context->getWindowScreenPosition(), CPoint(120, 80));
    context->setFillColor(CColor{0, 255, 0, 255});
    context->fillRect(CRect(-1, -1, 64, 48));
    COLORREF c = GetPixel(reinterpret_cast<HDC>(context->getDevice()), 10, 10);
    EXPECT_EQ(c, RGB(0, 255, 0));
    context->release();
}

TEST_F(Win32PlatformTest, OnePendingPaintIsDispatched) {
    if (!needWindow()) return;
    paints = 0;
    InvalidateRect(window, nullptr, FALSE);
    platform::dispatchOnePendingPaint();
    EXPECT_EQ(paints, 1);
    platform::dispatchOnePendingPaint();
    EXPECT_EQ(paints, 1) << "nothing was pending any more";
}
