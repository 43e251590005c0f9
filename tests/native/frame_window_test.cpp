// The frame's window on the software platform: one window per frame inside
// the host's window, paints through the back buffer, clicks and wheel turns
// routed into the frame, and a host that destroys its window first.
#include "toolkit/platform/frame_window.h"

#include <gtest/gtest.h>

#include "tests/common/click_probe.h"
#include "toolkit/frame.h"
#include "toolkit/platform/software/software_frame_window.h"
#include "toolkit/platform/software/software_script.h"
#include "toolkit/view.h"

namespace sw = TKGUI::software;
using TKGUI::CFrame;
using TKGUI::CPoint;
using TKGUI::CRect;

namespace {

struct HostWindow {
    HostWindow() : window(sw::createWindow(600, 400, CPoint(200, 100))) {}
    ~HostWindow() {
        sw::destroyChildren(window);
        sw::destroyWindow(window);
    }
    TKGUI::platform::Window* window;
};

}  // namespace

TEST(FrameWindow, EachFrameGetsOneChildWindowAndTheClassGoesWithTheLast) {
    HostWindow host;
    const int before = TKGUI::platform::frameWindowClassUsers();
    auto* a = new CFrame(CRect(0, 0, 400, 220), host.window, nullptr);
    auto* b = new CFrame(CRect(0, 0, 400, 220), host.window, nullptr);
    EXPECT_EQ(sw::childWindowCount(host.window), 2);
    EXPECT_EQ(TKGUI::platform::frameWindowClassUsers(), before + 2);
    ASSERT_NE(a->getWindow(), nullptr);
    EXPECT_EQ(sw::frameOf(a->getWindow()), a);
    EXPECT_TRUE(a->isDropActive());
    delete a;
    EXPECT_EQ(TKGUI::platform::frameWindowClassUsers(), before + 1);
    delete b;
    EXPECT_EQ(TKGUI::platform::frameWindowClassUsers(), before);
    EXPECT_EQ(sw::childWindowCount(host.window), 0);
}

TEST(FrameWindow, WithoutAParentThereIsNoWindow) {
    CFrame* frame = new CFrame(CRect(0, 0, 100, 100), nullptr, nullptr);
    EXPECT_EQ(frame->getWindow(), nullptr);
    delete frame;
}

TEST(FrameWindow, PaintGoesThroughTheBackBufferAndAnEmptyAreaPaintsNothing) {
    HostWindow host;
    auto* frame = new CFrame(CRect(0, 0, 40, 30), host.window, nullptr);
    frame->setBackgroundColor(TKGUI::CColor{255, 0, 0, 255});
    TKGUI::platform::Window* window = frame->getWindow();
    sw::sendPaint(window, CRect(5, 5, 5, 20));
    EXPECT_EQ(sw::pixelAt(window, 6, 6), 0u);
    EXPECT_EQ(frame->getBackBuffer() != nullptr, true);
    sw::sendPaint(window, CRect(0, 0, 40, 30));
    EXPECT_EQ(sw::pixelAt(window, 20, 15) & 0x00FFFFFF, 0x00FF0000u);
    EXPECT_FALSE(frame->isFirstDrawPending());
    delete frame;
}

TEST(FrameWindow, ButtonsAndWheelReachTheViewUnderThePointer) {
    HostWindow host;
    auto* frame = new CFrame(CRect(0, 0, 400, 220), host.window, nullptr);
    auto* probe = new ClickProbe(CRect(100, 50, 140, 90));
    frame->addView(probe);
    sw::setButtonsAndModifiers(1 | 8);                        // left button with Shift
    sw::sendButtonDown(frame->getWindow(), CPoint(140, 90));  // edges are inclusive
    EXPECT_EQ(probe->clicks, 1);
    EXPECT_EQ(probe->lastWhere.x, 140);
    EXPECT_EQ(probe->lastButtons & 1, 1);  // polled, not passed through as -1
    sw::setButtonsAndModifiers(0);

    // +120 is one notch; the screen position becomes frame coordinates.
    sw::sendWheel(frame->getWindow(), CPoint(200 + 110, 100 + 60), 120);
    EXPECT_EQ(probe->wheelDistance, 1.0f);
    EXPECT_EQ(probe->wheelWhere.x, 110);
    EXPECT_EQ(probe->wheelWhere.y, 60);
    sw::sendWheel(frame->getWindow(), CPoint(310, 160), -240);
    EXPECT_EQ(probe->wheelDistance, -2.0f);
    delete frame;
}

TEST(FrameWindow, HostDestroyingItsWindowFirstLeavesNoStaleHandle) {
    HostWindow host;
    const int before = TKGUI::platform::frameWindowClassUsers();
    auto* frame = new CFrame(CRect(0, 0, 400, 220), host.window, nullptr);
    sw::destroyChildren(host.window);
    EXPECT_FALSE(frame->isOpen());
    EXPECT_EQ(frame->getWindow(), nullptr);
    EXPECT_EQ(frame->getParentWindow(), nullptr);
    frame->idle();  // no redraw into a window that is gone
    delete frame;
    EXPECT_EQ(TKGUI::platform::frameWindowClassUsers(), before);
}

TEST(FrameWindow, CursorShapesComeBackToTheSavedOneWhenTheFrameGoes) {
    HostWindow host;
    auto* frame = new CFrame(CRect(0, 0, 400, 220), host.window, nullptr);
    frame->setCursor(9);
    EXPECT_EQ(sw::cursorShape(), 9);
    frame->setCursor(2);
    EXPECT_EQ(sw::cursorShape(), 2);
    frame->setCursor(77);
    EXPECT_EQ(sw::cursorShape(), 0);
    frame->setCursor(8);
    delete frame;
    EXPECT_EQ(sw::cursorShape(), 0);
}
