// The meter, the toggle and the slide switch: each frame must show the state
// the control selects it for.
#include <gtest/gtest.h>

#include "png_image.h"

namespace {

TEST(MeterStrip, FrameKLightsExactlyTheKRightmostSegments) {
    const PngImage m = loadPng(resourcePath("meter_104.png"));
    ASSERT_EQ(m.width, 360);
    ASSERT_EQ(m.height, 21 * 30);
    for (int k = 0; k <= 20; ++k)
        for (int i = 0; i < 20; ++i) {
            // Segment i sits under the panel's number 20 - i, centred at 9 + 18 i.
            const RgbaPixel& p = m.at(k, 30, 9 + 18 * i, 15);
            const bool lit = p.r > 200 && p.r > p.b + 100;
            const bool dark = p.luminance() < 80;
            EXPECT_EQ(p.a, 255);
            if (i >= 20 - k)
                EXPECT_TRUE(lit) << "frame " << k << ": segment " << i << " should be lit amber";
            else
                EXPECT_TRUE(dark) << "frame " << k << ": segment " << i << " should be dark";
        }
}

TEST(MeterStrip, DarkGapsSeparateTheSegmentsOfAFullyLitFrame) {
    const PngImage m = loadPng(resourcePath("meter_104.png"));
    ASSERT_EQ(m.width, 360);
    for (int i = 1; i < 20; ++i)
        EXPECT_LT(m.at(20, 30, 18 * i, 15).luminance(),
                  m.at(20, 30, 9 + 18 * i, 15).luminance() / 2)
            << "no gap left of segment " << i;
}

// Where frame `a` shows more light than frame `b`: the centroid of the
// positive brightness difference, relative to the frame's centre.
struct Point {
    double x, y;
};
Point brighterIn(const PngImage& img, int frameHeight, int a, int b) {
    double sx = 0, sy = 0, w = 0;
    for (int y = 0; y < frameHeight; ++y)
        for (int x = 0; x < img.width; ++x) {
            const RgbaPixel& p = img.at(a, frameHeight, x, y);
            const RgbaPixel& q = img.at(b, frameHeight, x, y);
            const double d = p.luminance() * p.a / 255.0 - q.luminance() * q.a / 255.0;
            if (d <= 0) continue;
            sx += d * (x + 0.5 - img.width / 2.0);
            sy += d * (y + 0.5 - frameHeight / 2.0);
            w += d;
        }
    return w > 0 ? Point{sx / w, sy / w} : Point{0, 0};
}

TEST(ToggleStrip, FrameZeroLeverUpTowardsLimitFrameOneDownTowardsClip) {
    const PngImage t = loadPng(resourcePath("toggle_105.png"));
    ASSERT_EQ(t.width, 40);
    ASSERT_EQ(t.height, 80);
    EXPECT_LT(brighterIn(t, 40, 0, 1).y, -5.0) << "frame 0's lever is not up";
    EXPECT_GT(brighterIn(t, 40, 1, 0).y, 5.0) << "frame 1's lever is not down";
    for (int k = 0; k < 2; ++k) EXPECT_EQ(t.at(k, 40, 0, 0).a, 0) << "corner of frame " << k;
}

TEST(SwitchStrip, FrameZeroGripLeftTowardsLFrameOneGripRightTowardsC) {
    const PngImage s = loadPng(resourcePath("switch_106.png"));
    ASSERT_EQ(s.width, 40);
    ASSERT_EQ(s.height, 60);
    EXPECT_LT(brighterIn(s, 30, 0, 1).x, -5.0) << "frame 0's grip is not at the left";
    EXPECT_GT(brighterIn(s, 30, 1, 0).x, 5.0) << "frame 1's grip is not at the right";
    for (int k = 0; k < 2; ++k) EXPECT_EQ(s.at(k, 30, 0, 0).a, 0) << "corner of frame " << k;
}

}  // namespace
