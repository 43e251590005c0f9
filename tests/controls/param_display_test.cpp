// The value display: the two-decimal fallback, the box, the 3D edges, the
// style bits that skip drawing, and dirty marking by its setters.
#include "toolkit/param_display.h"

#include <cstdio>

#include "controls_fixture.h"
#include "toolkit/offscreen_context.h"
#include "toolkit/platform/software/software_script.h"

using namespace TKGUI;

namespace tk42test {
namespace {

using ParamDisplayTest = ControlsTest;

const CRect kBox(10, 5, 50, 25);
constexpr CColor kBlue{0, 0, 255, 255};
constexpr CColor kGreen{0, 255, 0, 255};
constexpr uint32_t kBluePixel = 0xFF0000FFu;
constexpr uint32_t kGreenPixel = 0xFF00FF00u;
constexpr uint32_t kBlackPixel = 0xFF000000u;

// Draws the display into a fresh 60 x 30 black buffer; returns its pixels.
std::vector<uint32_t> render(CFrame* frame, CParamDisplay* display) {
    auto* buffer = new COffscreenContext(frame, 60, 30, kBlackCColor);
    display->draw(buffer);
    std::vector<uint32_t> pixels;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 60; ++x) pixels.push_back(software::pixelAt(buffer->getImage(), x, y));
    }
    buffer->release();
    return pixels;
}

uint32_t at(const std::vector<uint32_t>& pixels, int x, int y) {
    return pixels[size_t(y) * 60 + x];
}

void writes050(float, char* text) {
    std::snprintf(text, 256, "0.50");
}
void writes060(float, char* text) {
    std::snprintf(text, 256, "0.60");
}

TEST_F(ParamDisplayTest, WithoutCallbacksTheValueShowsWithTwoDecimals) {
    auto* plain = add(new CParamDisplay(kBox));
    plain->setValue(0.5f);
    auto* same = add(new CParamDisplay(kBox));
    same->setValueToText(&writes050);
    auto* other = add(new CParamDisplay(kBox));
    other->setValueToText(&writes060);
    const auto shown = render(frame, plain);
    EXPECT_EQ(shown, render(frame, same));
    EXPECT_NE(shown, render(frame, other)) << "text must be drawn at all for this test to hold";
}

TEST_F(ParamDisplayTest, OpaqueBoxIsFilledWithTheBackColourAndOutlinedInTheFrameColour) {
    auto* d = add(new CParamDisplay(kBox));
    d->setStyle(kNoTextStyle);
    d->setBackColor(kBlue);
    d->setFrameColor(kGreen);
    auto p = render(frame, d);
    EXPECT_EQ(at(p, 30, 15), kBluePixel);
    EXPECT_EQ(at(p, 10, 15), kGreenPixel);
    EXPECT_EQ(at(p, 49, 15), kGreenPixel);
    EXPECT_EQ(at(p, 30, 24), kGreenPixel);
    EXPECT_EQ(at(p, 5, 15), kBlackPixel);

    d->setStyle(kNoTextStyle | kNoFrame);
    p = render(frame, d);
    EXPECT_EQ(at(p, 49, 15), kBluePixel) << "no outline with 0x4000";

    d->setTransparent(true);
    p = render(frame, d);
    EXPECT_EQ(at(p, 30, 15), kBlackPixel) << "a transparent display fills nothing";
}

TEST_F(ParamDisplayTest, SunkenAndRaisedEdgesSwapTheirColours) {
    auto* d = add(new CParamDisplay(kBox));
    d->setBackColor(kBlue);
    d->setFrameColor(kGreen);
    d->setStyle(kNoTextStyle | k3DIn);
    auto p = render(frame, d);
    EXPECT_EQ(at(p, 10, 15), kBluePixel) << "sunken: left edge in the back colour";
    EXPECT_EQ(at(p, 30, 6), kBluePixel);
    EXPECT_EQ(at(p, 49, 15), kGreenPixel) << "sunken: right edge in the frame colour";
    EXPECT_EQ(at(p, 30, 24), kGreenPixel);

    d->setStyle(kNoTextStyle | k3DOut);
    p = render(frame, d);
    EXPECT_EQ(at(p, 10, 15), kGreenPixel);
    EXPECT_EQ(at(p, 30, 6), kGreenPixel);
    EXPECT_EQ(at(p, 49, 15), kBluePixel);
}

TEST_F(ParamDisplayTest, NoDrawStyleDrawsNothingButStillCountsAsDrawn) {
    auto* d = add(new CParamDisplay(kBox));
    d->setBackColor(kBlue);
    d->setStyle(kNoDrawStyle);
    d->setValue(0.3f);
    const auto p = render(frame, d);
    EXPECT_EQ(p, std::vector<uint32_t>(p.size(), kBlackPixel));
    EXPECT_FALSE(d->isDirty());
}

TEST_F(ParamDisplayTest, ShadowTextUsesTheShadowColour) {
    auto* d = add(new CParamDisplay(kBox));
    d->setTransparent(true);
    d->setStyle(kShadowText);
    const auto p = render(frame, d);
    bool red = false;
    for (uint32_t px : p) red = red || ((px & 0x00FF0000u) != 0 && (px & 0x0000FFFFu) == 0);
    EXPECT_TRUE(red) << "the default shadow colour is red";
}

TEST_F(ParamDisplayTest, SettersMarkDirtyOnlyOnAChange) {
    auto* d = add(new CParamDisplay(kBox));
    d->setDirty(false);
    d->setFont(3);
    d->setAlignment(kCenterText);
    d->setFontColor(kWhiteCColor);
    d->setStyle(0);
    EXPECT_FALSE(d->isDirty()) << "defaults set again are no change";
    d->setFont(6);
    EXPECT_TRUE(d->isDirty());
    d->setDirty(false);
    d->setValueToText(&writes050);
    d->setTextTransparent(false);
    EXPECT_FALSE(d->isDirty()) << "the callback setters only store";
}

}  // namespace
}  // namespace tk42test
