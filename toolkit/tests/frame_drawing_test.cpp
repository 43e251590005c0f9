// The frame drawing its views through its back buffer, on either platform:
// the background image blended under the views, the first paint, and a
// partial redraw at idle that leaves the rest of the buffer alone.
#include <gtest/gtest.h>

#include "drawing_fixture.h"
#include "test_images.h"
#include "test_views.h"
#include "toolkit/bitmap.h"
#include "toolkit/frame.h"
#include "toolkit/png_image.h"

using namespace TKGUI;
using namespace tk42test;

TEST_F(DrawingTest, FrameDrawsBackgroundAndViewsIntoItsBackBufferAndRedrawsOnlyWhatChanged) {
    ViewLog log;
    CFrame* frame = new CFrame(CRect(0, 0, 64, 48), nullptr, nullptr);
    CBitmap* strip = new CBitmap(kStripImage);
    frame->setBackground(strip);
    strip->release();
    RecordingView* left =
        new RecordingView(CRect(2, 30, 12, 40), "left", &log, CColor{0, 0, 255, 255});
    RecordingView* right =
        new RecordingView(CRect(40, 30, 50, 40), "right", &log, CColor{0, 255, 0, 255});
    frame->addView(left);
    frame->addView(right);

    frame->idle();  // before the first paint: nothing
    EXPECT_EQ(left->draws, 0);
    COffscreenContext* buffer = frame->getBackBuffer();
    ASSERT_NE(buffer, nullptr);
    frame->drawInRect(buffer, frame->getBounds());
    Pixels first = readPixels(buffer);
    Rgba s = stripPixel(16, 12);
    EXPECT_EQ(redOf(first.at(16, 12)), premultiplyChannel(s.r, s.a));
    EXPECT_EQ(greenOf(first.at(16, 12)), premultiplyChannel(s.g, s.a));
    EXPECT_EQ(first.at(5, 35), rgbOf(0, 0, 255));
    EXPECT_EQ(first.at(45, 35), rgbOf(0, 255, 0));
    EXPECT_EQ(first.at(60, 45), 0u) << "outside the image the back buffer stays black";

    right->color = CColor{255, 0, 255, 255};
    right->setDirty(true);
    frame->idle();
    Pixels second = readPixels(buffer);
    EXPECT_EQ(left->draws, 1);
    EXPECT_EQ(right->draws, 2);
    EXPECT_EQ(second.at(45, 35), rgbOf(255, 0, 255));
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 38; ++x) ASSERT_EQ(second.at(x, y), first.at(x, y)) << x << "," << y;
    }
    delete frame;
}
