// The panel lies under every control: it must be opaque, keep its lettering
// where the controls do not cover it, and leave the value boxes dark enough
// for the host's light-grey text.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "png_image.h"

namespace {

struct Box {
    int left, top, right, bottom;
};

// Printed ink is far brighter than the bare anodised metal.
constexpr double kInkLuminance = 120.0;

class Panel : public testing::Test {
  protected:
    void SetUp() override {
        panel = loadPng(resourcePath("panel_101.png"));
        ASSERT_EQ(panel.width, 400);
        ASSERT_EQ(panel.height, 220);
    }
    double maxLuminance(const Box& b) const {
        double m = 0;
        for (int y = b.top; y < b.bottom; ++y)
            for (int x = b.left; x < b.right; ++x) m = std::max(m, panel.at(x, y).luminance());
        return m;
    }
    PngImage panel;
};

TEST_F(Panel, IsOpaqueEverywhereSoNothingOfTheHostShowsThrough) {
    for (int y = 0; y < panel.height; ++y)
        for (int x = 0; x < panel.width; ++x)
            ASSERT_EQ(panel.at(x, y).a, 255) << "at " << x << "," << y;
}

TEST_F(Panel, ValueBoxesAreDarkAndFreeOfLettering) {
    // 9 px text in 168,168,168 is drawn over these without a background;
    // a contrast of at least 4.5 : 1 needs the glass below luminance ~45.
    for (const Box& b : {Box{55, 125, 85, 137}, Box{315, 125, 345, 137}})
        EXPECT_LT(maxLuminance(b), 45.0) << "box at " << b.left << "," << b.top;
}

TEST_F(Panel, NoLetteringHidesUnderAnOpaqueControl) {
    struct Control {
        const char* strip;
        int frameHeight;
        Box rect;
    };
    const Control controls[] = {
        {"knob_large_102.png", 80, {30, 25, 110, 105}},
        {"knob_large_102.png", 80, {290, 25, 370, 105}},
        {"knob_small_103.png", 40, {145, 20, 185, 60}},
        {"knob_small_103.png", 40, {215, 20, 255, 60}},
        {"knob_small_103.png", 40, {215, 83, 255, 123}},
        {"toggle_105.png", 40, {145, 84, 185, 124}},
        {"switch_106.png", 30, {145, 190, 185, 220}},
        {"meter_104.png", 30, {20, 160, 380, 190}},
    };
    for (const Control& c : controls) {
        const PngImage strip = loadPng(resourcePath(c.strip));
        ASSERT_GT(strip.width, 0) << c.strip;
        const int frames = strip.height / c.frameHeight;
        for (int y = 0; y < c.frameHeight; ++y)
            for (int x = 0; x < strip.width; ++x) {
                bool alwaysCovered = true;
                for (int k = 0; k < frames && alwaysCovered; ++k)
                    alwaysCovered = strip.at(k, c.frameHeight, x, y).a == 255;
                if (!alwaysCovered) continue;
                EXPECT_LT(panel.at(c.rect.left + x, c.rect.top + y).luminance(), kInkLuminance)
                    << "ink under " << c.strip << " at panel " << c.rect.left + x << ","
                    << c.rect.top + y;
            }
    }
}

TEST_F(Panel, ScaleDotsMarkBothEndsAndTheMiddleOfEveryKnobsSweep) {
    const Box knobs[] = {{30, 25, 110, 105},
                         {290, 25, 370, 105},
                         {145, 20, 185, 60},
                         {215, 20, 255, 60},
                         {215, 83, 255, 123}};
    for (const Box& k : knobs) {
        const double cx = (k.left + k.right) / 2.0, cy = (k.top + k.bottom) / 2.0;
        const double half = (k.right - k.left) / 2.0;
        for (double deg : {-135.0, 0.0, 135.0}) {
            // Look along the ray through the ring just inside the control's edge.
            double best = 0;
            const double a = deg * M_PI / 180.0;
            for (double r = half * 0.8; r <= half + 1; r += 0.25) {
                const int x = static_cast<int>(std::floor(cx + r * std::sin(a)));
                const int y = static_cast<int>(std::floor(cy - r * std::cos(a)));
                best = std::max(best, panel.at(x, y).luminance());
            }
            EXPECT_GT(best, 110.0) << "no scale dot at " << deg << " degrees around the knob at "
                                   << k.left << "," << k.top;
        }
    }
}

TEST_F(Panel, MeterNumbersStandCentredOverTheirSegments) {
    // The strip's segment i is centred at 9 + 18 i; the panel's number over
    // it must be too, or readings look one segment off.
    for (int i = 0; i < 20; ++i) {
        const double centre = 20 + 9 + 18 * i;
        double sum = 0, weight = 0;
        for (int y = 144; y < 159; ++y)
            for (int x = static_cast<int>(centre) - 8; x <= static_cast<int>(centre) + 8; ++x) {
                const double ink = std::max(0.0, panel.at(x, y).luminance() - 90.0);
                sum += ink * (x + 0.5);
                weight += ink;
            }
        ASSERT_GT(weight, 0) << "no number over segment " << i;
        EXPECT_NEAR(sum / weight, centre, 1.5) << "number over segment " << i;
    }
}

TEST_F(Panel, NoLetteringIsCutByThePanelEdge) {
    for (int x = 0; x < panel.width; ++x) {
        EXPECT_LT(panel.at(x, 0).luminance(), kInkLuminance) << "top edge at x " << x;
        EXPECT_LT(panel.at(x, panel.height - 1).luminance(), kInkLuminance) << "bottom at " << x;
    }
    for (int y = 0; y < panel.height; ++y) {
        EXPECT_LT(panel.at(0, y).luminance(), kInkLuminance) << "left edge at y " << y;
        EXPECT_LT(panel.at(panel.width - 1, y).luminance(), kInkLuminance) << "right at " << y;
    }
}

}  // namespace
