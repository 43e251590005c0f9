// Drawing-context rules, checked on the pixels: the same tests run on the
// software platform and on GDI under Wine.
#include <gtest/gtest.h>

#include "drawing_fixture.h"
#include "toolkit/draw_context.h"
#include "toolkit/font_table.h"

using namespace TKGUI;
using namespace tk42test;

namespace {

constexpr uint32_t kBlack = 0;
constexpr uint32_t kRed = rgbOf(255, 0, 0);
const CColor kRedColor{255, 0, 0, 255};
const CColor kGreenColor{0, 255, 0, 255};

int countNot(const Pixels& p, uint32_t colour, const CRect& area) {
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y) {
        for (int x = area.left; x < area.right; ++x) n += p.at(x, y) != colour;
    }
    return n;
}

}  // namespace

TEST_F(DrawingTest, OffscreenStartsEntirelyInItsBackgroundColour) {
    Offscreen buffer(9, 7, CColor{10, 20, 30, 255});
    Pixels p = buffer.pixels();
    EXPECT_EQ(countNot(p, rgbOf(10, 20, 30), CRect(0, 0, 9, 7)), 0);
}

TEST_F(DrawingTest, FillRectLeavesTopRowAndLeftColumnUntouched) {
    Offscreen buffer(12, 12);
    buffer->setFillColor(kRedColor);
    buffer->fillRect(CRect(0, 0, 10, 10));
    Pixels p = buffer.pixels();
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 12; ++x) {
            bool inside = x >= 1 && x <= 9 && y >= 1 && y <= 9;
            EXPECT_EQ(p.at(x, y), inside ? kRed : kBlack) << x << "," << y;
        }
    }
}

TEST_F(DrawingTest, FrameRectOutlinesTheRectangleInsideItsRightAndBottom) {
    Offscreen buffer(12, 10);
    buffer->setFrameColor(kRedColor);
    buffer->drawRect(CRect(2, 2, 8, 6));
    Pixels p = buffer.pixels();
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 12; ++x) {
            bool onOutline = (x >= 2 && x <= 7 && (y == 2 || y == 5)) ||
                             (y >= 2 && y <= 5 && (x == 2 || x == 7));
            EXPECT_EQ(p.at(x, y), onOutline ? kRed : kBlack) << x << "," << y;
        }
    }
}

TEST_F(DrawingTest, LinesLeaveOutTheirEndPixel) {
    Offscreen buffer(10, 10);
    buffer->setFrameColor(kRedColor);
    buffer->moveTo(CPoint(1, 1));
    buffer->lineTo(CPoint(6, 1));
    buffer->moveTo(CPoint(8, 2));
    buffer->lineTo(CPoint(8, 7));
    Pixels p = buffer.pixels();
    for (int x = 1; x <= 5; ++x) EXPECT_EQ(p.at(x, 1), kRed) << x;
    EXPECT_EQ(p.at(6, 1), kBlack);
    EXPECT_EQ(p.at(0, 1), kBlack);
    for (int y = 2; y <= 6; ++y) EXPECT_EQ(p.at(8, y), kRed) << y;
    EXPECT_EQ(p.at(8, 7), kBlack);
}

TEST_F(DrawingTest, DiagonalLineTouchesOnePixelPerColumn) {
    Offscreen buffer(10, 10);
    buffer->setFrameColor(kRedColor);
    buffer->moveTo(CPoint(0, 0));
    buffer->lineTo(CPoint(8, 4));
    Pixels p = buffer.pixels();
    for (int x = 0; x < 8; ++x) {
        int lit = 0;
        for (int y = 0; y < 10; ++y) lit += p.at(x, y) == kRed;
        EXPECT_EQ(lit, 1) << "column " << x;
    }
    EXPECT_EQ(countNot(p, kBlack, CRect(8, 0, 10, 10)), 0);
    EXPECT_EQ(p.at(0, 0), kRed);
}

TEST_F(DrawingTest, ClipIsKeptInDeviceCoordinatesAndLimitsDrawing) {
    Offscreen buffer(16, 16);
    buffer->setOffset(CPoint(4, 4));
    buffer->setClipRect(CRect(0, 0, 5, 5));
    CRect clip;
    EXPECT_EQ(buffer->getClipRect(clip), CRect(0, 0, 5, 5));
    buffer->setOffset(CPoint(0, 0));
    EXPECT_EQ(buffer->getClipRect(clip), CRect(4, 4, 9, 9));

    buffer->setFillColor(kRedColor);
    buffer->fillRect(CRect(-1, -1, 16, 16));
    Pixels p = buffer.pixels();
    EXPECT_EQ(countNot(p, kRed, CRect(4, 4, 9, 9)), 0);
    EXPECT_EQ(countNot(p, kBlack, CRect(0, 0, 16, 4)), 0);
    EXPECT_EQ(countNot(p, kBlack, CRect(0, 9, 16, 16)), 0);
    EXPECT_EQ(countNot(p, kBlack, CRect(9, 0, 16, 16)), 0);
}

TEST_F(DrawingTest, OffsetMovesEveryPrimitive) {
    Offscreen buffer(20, 20);
    buffer->setOffset(CPoint(5, 3));
    buffer->setFillColor(kRedColor);
    buffer->fillRect(CRect(0, 0, 4, 4));  // device (6, 4) to (8, 6) inclusive
    buffer->setFrameColor(kGreenColor);
    buffer->moveTo(CPoint(0, 10));
    buffer->lineTo(CPoint(3, 10));  // device (5, 13) to (7, 13)
    Pixels p = buffer.pixels();
    EXPECT_EQ(countNot(p, kRed, CRect(6, 4, 9, 7)), 0);
    EXPECT_EQ(countNot(p, kBlack, CRect(0, 0, 20, 4)), 0);
    EXPECT_EQ(p.at(5, 4), kBlack);
    for (int x = 5; x <= 7; ++x) EXPECT_EQ(p.at(x, 13), rgbOf(0, 255, 0));
    EXPECT_EQ(p.at(8, 13), kBlack);
}

TEST_F(DrawingTest, CopiesBetweenContextsArePlainAndHonourOffsets) {
    Offscreen source(10, 10, CColor{1, 2, 3, 255});
    source->setFillColor(kRedColor);
    source->fillRect(CRect(1, 1, 4, 4));  // red at (2..3, 2..3)
    Offscreen dest(10, 10);
    dest->setOffset(CPoint(5, 5));
    source->copyTo(dest.context, CRect(0, 0, 3, 3), CPoint(1, 1));  // to device (5, 5)
    Pixels p = dest.pixels();
    EXPECT_EQ(p.at(5, 5), rgbOf(1, 2, 3));
    EXPECT_EQ(p.at(6, 6), kRed);
    EXPECT_EQ(p.at(7, 7), kRed);
    EXPECT_EQ(p.at(8, 8), kBlack);
    EXPECT_EQ(p.at(4, 4), kBlack);

    Offscreen back(4, 4);
    back->copyFrom(dest.context, CRect(1, 1, 3, 3), CPoint(2, 2));  // source device (6, 6)
    Pixels q = back.pixels();
    EXPECT_EQ(q.at(2, 2), kRed);
    EXPECT_EQ(q.at(3, 3), kRed);
    EXPECT_EQ(q.at(1, 1), kBlack);
}

TEST_F(DrawingTest, FontIdsOutsideTheTableSelectTwelvePixelBoldArial) {
    Offscreen a(60, 16);
    a->setFont(9);
    EXPECT_EQ(a->getFont(), 0);
    EXPECT_EQ(a->getFontSize(), 12);
    a->drawString("Hello", CRect(0, 0, 60, 16), 0, kLeftText);
    Offscreen b(60, 16);
    b->setFont(3);  // the same size, but not bold
    b->setFont(0);
    b->drawString("Hello", CRect(0, 0, 60, 16), 0, kLeftText);
    Offscreen c(60, 16);
    c->setFont(3);
    c->drawString("Hello", CRect(0, 0, 60, 16), 0, kLeftText);
    EXPECT_EQ(a.pixels().rgb, b.pixels().rgb);
    EXPECT_NE(a.pixels().rgb, c.pixels().rgb);
    a->setFont(-3);
    EXPECT_EQ(a->getFont(), 0);
}

TEST_F(DrawingTest, TextIsDrawnInsideItsBoxInTheFontColour) {
    Offscreen buffer(80, 30);
    buffer->setFontColor(CColor{255, 255, 0, 255});
    buffer->setFont(2);
    buffer->drawString("Ag", CRect(10, 5, 70, 25), 0, kCenterText);
    Pixels p = buffer.pixels();
    int lit = countNot(p, kBlack, CRect(10, 5, 70, 25));
    EXPECT_GT(lit, 20);
    EXPECT_EQ(countNot(p, kBlack, CRect(0, 0, 80, 30)), lit) << "text outside its box";
    bool sawFullColour = false;
    for (uint32_t px : p.rgb) sawFullColour |= px == rgbOf(255, 255, 0);
    EXPECT_TRUE(sawFullColour);
}

TEST_F(DrawingTest, LeftAlignedTextStartsOnePixelInsideTheBox) {
    Offscreen viaContext(60, 12);
    viaContext->setFont(3);
    viaContext->drawString("Il", CRect(10, 0, 50, 12), 0, kLeftText);
    Offscreen direct(60, 12);
    direct->setFont(3);
    platform::drawText(direct->getDevice(), "Il", CRect(11, 0, 50, 12), platform::TextAlign::left);
    EXPECT_EQ(viaContext.pixels().rgb, direct.pixels().rgb);
    EXPECT_GT(countNot(viaContext.pixels(), kBlack, CRect(0, 0, 60, 12)), 0);
}

TEST_F(DrawingTest, OpaqueTextFillsBehindTheGlyphsAndModeReturnsToTransparent) {
    Offscreen buffer(60, 20);
    buffer->setFillColor(CColor{0, 0, 255, 255});  // also the device's background colour
    buffer->setFont(3);
    buffer->drawString("Mm", CRect(0, 0, 60, 20), 1, kCenterText);
    Pixels p = buffer.pixels();
    int blue = 0;
    for (uint32_t px : p.rgb) blue += px == rgbOf(0, 0, 255);
    EXPECT_GT(blue, 20);
    Offscreen second(60, 20);
    second->setFillColor(CColor{0, 0, 255, 255});
    second->setFont(3);
    second->drawString("Mm", CRect(0, 0, 60, 20), 0, kCenterText);
    int blue2 = 0;
    for (uint32_t px : second.pixels().rgb) blue2 += px == rgbOf(0, 0, 255);
    EXPECT_EQ(blue2, 0);
}

TEST_F(DrawingTest, KeyedCopyLeavesOutPixelsOfTheKeyColourWhateverItsAlpha) {
    // Bottom-up blue, green, red, alpha: white, red, and a near-white.
    const uint8_t pixels[] = {255, 255, 255, 255, 0, 0, 255, 255, 254, 255, 255, 255};
    platform::Image* image = platform::createImage(3, 1, pixels);
    ASSERT_NE(image, nullptr);
    Offscreen keyed(3, 1, CColor{0, 0, 255, 255});
    platform::drawImageKeyed(keyed->getDevice(), CRect(0, 0, 3, 1), image, CPoint(),
                             kDefaultColorKey, nullptr);
    Pixels k = keyed.pixels();
    EXPECT_EQ(k.at(0, 0), rgbOf(0, 0, 255));
    EXPECT_EQ(k.at(1, 0), kRed);
    EXPECT_EQ(k.at(2, 0), rgbOf(255, 255, 254));
    Offscreen plain(3, 1, CColor{0, 0, 255, 255});
    platform::drawImage(plain->getDevice(), CRect(0, 0, 3, 1), image, CPoint());
    EXPECT_EQ(plain.pixels().at(0, 0), rgbOf(255, 255, 255));
    platform::deleteImage(image);
}
