// The dirty-and-redraw cycle through the frame's back buffer, read back from
// the software platform.
#include <gtest/gtest.h>

#include "logic_fixture.h"
#include "pixel_reader.h"
#include "test_images.h"
#include "toolkit/bitmap.h"
#include "toolkit/draw_context.h"
#include "toolkit/offscreen_context.h"
#include "toolkit/platform/software/software_script.h"
#include "toolkit/png_image.h"

using namespace TKGUI;
using namespace tk42test;

namespace {

const CColor kBlue{0, 0, 255, 255};
const CColor kGreen{0, 255, 0, 255};

// A frame in a software window, as the window glue will set it up.
class RedrawTest : public LogicTest {
  protected:
    void SetUp() override {
        LogicTest::SetUp();
        window = software::createWindow(200, 100, CPoint(50, 60));
        frame = makeFrame();
        frame->setWindow(window);
        frame->setBackgroundColor(CColor{10, 10, 10, 255});
    }
    void TearDown() override {
        delete frame;
        software::destroyWindow(window);
        LogicTest::TearDown();
    }
    // What the first paint does: everything drawn into the back buffer.
    void firstPaint() { frame->drawInRect(frame->getBackBuffer(), frame->getBounds()); }
    uint32_t screen(int x, int y) { return software::pixelAt(window, x, y) & 0xFFFFFF; }
    uint32_t back(int x, int y) { return readPixels(frame->getBackBuffer()).at(x, y); }

    platform::Window* window = nullptr;
    CFrame* frame = nullptr;
};

}  // namespace

TEST_F(RedrawTest, IdleBeforeTheFirstPaintDrawsNothingEvenWithDirtyViews) {
    RecordingView* a = view(CRect(10, 10, 20, 20), "a");
    frame->addView(a);
    ASSERT_TRUE(frame->isDirty());
    frame->idle();
    EXPECT_EQ(a->draws, 0);
    EXPECT_EQ(screen(15, 15), 0u);
    EXPECT_TRUE(frame->isFirstDrawPending());
    firstPaint();
    EXPECT_FALSE(frame->isFirstDrawPending());
    EXPECT_EQ(a->draws, 1);
}

TEST_F(RedrawTest, IdleRedrawsOnlyDirtyViewsAndWhatOverlapsThemThenCopiesTheFrame) {
    RecordingView* a = view(CRect(10, 10, 30, 30), "a", kBlue);
    RecordingView* b = view(CRect(25, 25, 45, 45), "b", kGreen);
    RecordingView* far = view(CRect(100, 10, 120, 30), "far");
    frame->addView(a);
    frame->addView(b);
    frame->addView(far);
    firstPaint();
    ASSERT_FALSE(frame->isDirty());
    EXPECT_EQ(back(11, 11), rgbOf(0, 0, 255));
    EXPECT_EQ(back(1, 1), rgbOf(10, 10, 10));

    a->color = CColor{255, 255, 0, 255};
    a->setDirty(true);
    frame->idle();
    EXPECT_EQ(a->draws, 2);
    EXPECT_EQ(b->draws, 2) << "b overlaps a and is drawn over it again";
    EXPECT_EQ(far->draws, 1);
    EXPECT_FALSE(frame->isDirty());
    // The window got the whole frame from the back buffer.
    EXPECT_EQ(screen(11, 11), rgbOf(255, 255, 0));
    EXPECT_EQ(screen(27, 27), rgbOf(0, 255, 0)) << "draw order: b stays on top";
    EXPECT_EQ(screen(110, 20), rgbOf(255, 0, 0));
    EXPECT_EQ(screen(150, 80), rgbOf(10, 10, 10));
    frame->idle();
    EXPECT_EQ(a->draws, 2) << "nothing dirty, nothing drawn";
}

TEST_F(RedrawTest, AViewStraddlingTheUpdateAreaIsDrawnPartlyAndStaysDirty) {
    RecordingView* a = view(CRect(40, 10, 80, 30), "a", kBlue);
    frame->addView(a);
    firstPaint();
    a->color = kGreen;
    a->setDirty(true);
    frame->drawInRect(frame->getBackBuffer(), CRect(0, 0, 60, 100));
    EXPECT_EQ(back(50, 20), rgbOf(0, 255, 0));
    EXPECT_EQ(back(70, 20), rgbOf(0, 0, 255)) << "drawn outside the update area";
    EXPECT_TRUE(a->isDirty()) << "the rest must wait for a later idle";
    frame->drawInRect(frame->getBackBuffer(), CRect(0, 0, 200, 100));
    EXPECT_FALSE(a->isDirty());
    EXPECT_EQ(back(70, 20), rgbOf(0, 255, 0));
}

TEST_F(RedrawTest, UpdateAreasThatOnlyTouchAViewLeaveItAlone) {
    RecordingView* a = view(CRect(40, 10, 80, 30), "a", kBlue);
    frame->addView(a);
    firstPaint();
    a->setDirty(true);
    frame->drawInRect(frame->getBackBuffer(), CRect(0, 0, 40, 100));
    EXPECT_EQ(a->draws, 1);
    EXPECT_TRUE(a->isDirty());
}

TEST_F(RedrawTest, ContainersCountOnlyDirtyChildrenInsideTheirArea) {
    CViewContainer* inner = new CViewContainer(CRect(100, 0, 150, 50), frame);
    RecordingView* outside = view(CRect(60, 0, 70, 10), "outside");
    RecordingView* edge = view(CRect(50, 0, 60, 10), "edge");  // touches the right edge only
    inner->addView(outside);
    inner->addView(edge);
    frame->addView(inner);
    firstPaint();
    outside->setDirty(true);
    edge->setDirty(true);
    EXPECT_FALSE(inner->isDirty());
    RecordingView* inside = view(CRect(45, 0, 55, 10), "inside");
    inner->addView(inside);
    EXPECT_TRUE(inner->isDirty());
}

TEST_F(RedrawTest, NestedContainerRedrawsItsChildInFrameCoordinates) {
    CViewContainer* inner = new CViewContainer(CRect(100, 20, 180, 90), frame);
    inner->setBackgroundColor(CColor{90, 90, 90, 255});
    RecordingView* a = view(CRect(10, 10, 30, 30), "a", kBlue);
    inner->addView(a);
    frame->addView(inner);
    firstPaint();
    EXPECT_EQ(back(115, 35), rgbOf(0, 0, 255));
    EXPECT_EQ(back(150, 80), rgbOf(90, 90, 90));
    a->color = kGreen;
    a->setDirty(true);
    EXPECT_TRUE(frame->isDirty());
    frame->idle();
    EXPECT_EQ(screen(115, 35), rgbOf(0, 255, 0));
    EXPECT_EQ(screen(109, 29), rgbOf(90, 90, 90));
    EXPECT_EQ(screen(131, 35), rgbOf(90, 90, 90));
    EXPECT_FALSE(frame->isDirty());
}

TEST_F(RedrawTest, BufferedContainerDrawsThroughItsOwnBuffer) {
    CViewContainer* inner = new CViewContainer(CRect(100, 20, 180, 90), frame);
    inner->useOffscreen(true);
    inner->setBackgroundColor(CColor{90, 90, 90, 255});
    RecordingView* a = view(CRect(10, 10, 30, 30), "a", kBlue);
    inner->addView(a);
    frame->addView(inner);
    firstPaint();
    EXPECT_EQ(back(115, 35), rgbOf(0, 0, 255));
    EXPECT_EQ(back(150, 80), rgbOf(90, 90, 90));
    EXPECT_EQ(back(90, 80), rgbOf(10, 10, 10));
}

TEST_F(RedrawTest, TheFramesOwnDirtyFlagRedrawsEverything) {
    RecordingView* a = view(CRect(10, 10, 20, 20), "a");
    RecordingView* b = view(CRect(100, 10, 120, 20), "b");
    frame->addView(a);
    frame->addView(b);
    firstPaint();
    frame->setBackgroundColor(CColor{0, 0, 90, 255});
    frame->idle();
    EXPECT_EQ(a->draws, 2);
    EXPECT_EQ(b->draws, 2);
    EXPECT_EQ(screen(150, 80), rgbOf(0, 0, 90));
}

TEST_F(RedrawTest, MarkDirtyRectIncludesViewsThatOnlyTouchIt) {
    RecordingView* a = view(CRect(10, 10, 20, 20), "a");
    RecordingView* b = view(CRect(21, 10, 30, 20), "b");
    frame->addView(a);
    frame->addView(b);
    firstPaint();
    frame->markDirtyRect(CRect(0, 0, 10, 10));
    EXPECT_TRUE(a->isDirty());
    EXPECT_FALSE(b->isDirty());
}

TEST_F(RedrawTest, AClosedFrameNeitherIdlesNorRedraws) {
    RecordingView* a = view(CRect(10, 10, 20, 20), "a");
    frame->addView(a);
    firstPaint();
    a->setDirty(true);
    frame->onWindowDestroyed();
    EXPECT_FALSE(frame->isOpen());
    EXPECT_EQ(frame->getWindow(), nullptr);
    frame->idle();
    frame->redrawIfDirty(frame->getBackBuffer());
    EXPECT_EQ(a->draws, 1);
}

TEST_F(RedrawTest, BackgroundBitmapShowsUnderATransparentViewAfterItsRedraw) {
    CBitmap* strip = new CBitmap(kStripImage);
    frame->setBackground(strip);
    strip->release();
    CView* hole = new CView(CRect(0, 0, 32, 24));  // draws nothing of its own
    frame->addView(hole);
    firstPaint();
    Rgba s = stripPixel(16, 12);
    EXPECT_EQ(redOf(back(16, 12)), premultiplyChannel(s.r, s.a) + 0);
    hole->setDirty(true);
    frame->idle();
    EXPECT_EQ(redOf(screen(16, 12)), redOf(back(16, 12)));
}

TEST_F(RedrawTest, DrawViewRedrawsOneChildThroughTheBackBuffer) {
    RecordingView* a = view(CRect(10, 10, 20, 20), "a", kBlue);
    frame->addView(a);
    firstPaint();
    a->color = kGreen;
    a->setDirty(true);
    a->redrawIfDirty(nullptr);
    EXPECT_FALSE(a->isDirty());
    EXPECT_EQ(screen(15, 15), rgbOf(0, 255, 0));
}

TEST_F(RedrawTest, ContainerUpdateModesDecideWhatANestedContainerRedraws) {
    CViewContainer* inner = new CViewContainer(CRect(100, 20, 180, 90), frame);
    RecordingView* a = view(CRect(0, 0, 10, 10), "a");
    RecordingView* b = view(CRect(40, 40, 50, 50), "b");
    inner->addView(a);
    inner->addView(b);
    frame->addView(inner);
    firstPaint();
    CDrawContext* buffer = frame->getBackBuffer();

    a->setDirty(true);  // mode 1: only the dirty child
    inner->redrawIfDirty(buffer);
    EXPECT_EQ(a->draws, 2);
    EXPECT_EQ(b->draws, 1);

    inner->setMode(0);  // mode 0: the whole container
    a->setDirty(true);
    inner->redrawIfDirty(buffer);
    EXPECT_EQ(a->draws, 3);
    EXPECT_EQ(b->draws, 2);

    inner->setMode(2);  // other modes: nothing
    a->setDirty(true);
    inner->redrawIfDirty(buffer);
    EXPECT_EQ(a->draws, 3);
}
