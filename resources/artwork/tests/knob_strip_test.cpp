// Both knob filmstrips: frame k must show the pointer k x 270/96 degrees
// clockwise from the lower left, on a body whose shading never changes, and
// the frame must be transparent outside the knob so the scale shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "png_image.h"

namespace {

constexpr int kFrames = 97;

// Degrees clockwise from straight up.
double expectedAngle(int k) {
    return -135.0 + k * 270.0 / 96.0;
}

struct Strip {
    const char* file;
    int size;
};

void PrintTo(const Strip& s, std::ostream* os) {
    *os << s.file;
}

class KnobStrip : public testing::TestWithParam<Strip> {
  protected:
    void SetUp() override {
        strip = loadPng(resourcePath(GetParam().file));
        size = GetParam().size;
        ASSERT_EQ(strip.width, size);
        ASSERT_EQ(strip.height, size * kFrames);
        // The body as it looks in most frames: per channel the median over
        // all frames, since the pointer covers any one pixel in only a few.
        body.resize(static_cast<size_t>(size) * size);
        std::vector<uint8_t> v(kFrames);
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                uint8_t out[4];
                for (int c = 0; c < 4; ++c) {
                    for (int k = 0; k < kFrames; ++k)
                        v[static_cast<size_t>(k)] = (&strip.at(k, size, x, y).r)[c];
                    std::nth_element(v.begin(), v.begin() + kFrames / 2, v.end());
                    out[c] = v[kFrames / 2];
                }
                body[static_cast<size_t>(y) * size + x] = RgbaPixel{out[0], out[1], out[2], out[3]};
            }
    }
    // How far pixel (x, y) of frame k is from the body.
    int change(int k, int x, int y) const {
        const RgbaPixel& p = strip.at(k, size, x, y);
        const RgbaPixel& b = body[static_cast<size_t>(y) * size + x];
        return std::abs(p.r - b.r) + std::abs(p.g - b.g) + std::abs(p.b - b.b) +
               std::abs(p.a - b.a);
    }
    PngImage strip;
    int size = 0;
    std::vector<RgbaPixel> body;
};

TEST_P(KnobStrip, IsTransparentOutsideTheKnobInEveryFrame) {
    const double c = size / 2.0;
    for (int k = 0; k < kFrames; ++k)
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                if (std::hypot(x + 0.5 - c, y + 0.5 - c) < c) continue;
                ASSERT_EQ(strip.at(k, size, x, y).a, 0) << "frame " << k << " at " << x << "," << y;
            }
    EXPECT_EQ(strip.at(0, size, size / 2, size / 2).a, 255) << "the knob itself is opaque";
}

TEST_P(KnobStrip, OnlyThePointerChangesAndTheLightStaysPut) {
    const double c = size / 2.0;
    const double maxOffLine = 0.06 * size + 1.5;  // half the pointer's width and its edge
    for (int k = 0; k < kFrames; ++k) {
        const double a = expectedAngle(k) * M_PI / 180.0;
        const double ux = std::sin(a), uy = -std::cos(a);
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                if (change(k, x, y) == 0) continue;
                const double dx = x + 0.5 - c, dy = y + 0.5 - c;
                const double along = dx * ux + dy * uy;
                const double across = std::fabs(dx * uy - dy * ux);
                ASSERT_TRUE(along > -maxOffLine && across <= maxOffLine)
                    << "frame " << k << " changes the body at " << x << "," << y;
            }
    }
}

TEST_P(KnobStrip, PointerTurnsClockwiseFromLowerLeftThroughTopToLowerRight) {
    const double c = size / 2.0;
    for (int k = 0; k < kFrames; ++k) {
        double sx = 0, sy = 0, weight = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const double w = change(k, x, y);
                sx += w * (x + 0.5 - c);
                sy += w * (y + 0.5 - c);
                weight += w;
            }
        ASSERT_GT(weight, 0) << "frame " << k << " shows no pointer";
        const double angle = std::atan2(sx, -sy) * 180.0 / M_PI;
        EXPECT_NEAR(angle, expectedAngle(k), 2.5) << "frame " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(Resources, KnobStrip,
                         testing::Values(Strip{"knob_large_102.png", 80},
                                         Strip{"knob_small_103.png", 40}),
                         [](const testing::TestParamInfo<Strip>& info) {
                             return info.param.size == 80 ? std::string("Large")
                                                          : std::string("Small");
                         });

}  // namespace
