// Plain bitmap resources on GDI: the fallback when a number has no PNG
// image, copied pixel for pixel, with the colour key, or blended.
#include <gtest/gtest.h>

#include "drawing_fixture.h"
#include "test_images.h"
#include "toolkit/bitmap.h"

using namespace TKGUI;
using namespace tk42test;

namespace {

uint32_t plainPixel(int i) {
    return rgbOf(kPlainPixels[i].r, kPlainPixels[i].g, kPlainPixels[i].b);
}

}  // namespace

TEST_F(DrawingTest, PlainBitmapResourceIsTheFallbackAndIsCopiedExactly) {
    CBitmap* bitmap = new CBitmap(kPlainImage);
    ASSERT_TRUE(bitmap->isLoaded());
    EXPECT_TRUE(bitmap->isPlain());
    EXPECT_EQ(bitmap->getWidth(), 3);
    EXPECT_EQ(bitmap->getHeight(), 2);
    Offscreen buffer(5, 4, CColor{0, 0, 0, 255});
    bitmap->draw(buffer.context, CRect(1, 1, 4, 3));
    Pixels p = buffer.pixels();
    for (int i = 0; i < 6; ++i) EXPECT_EQ(p.at(1 + i % 3, 1 + i / 3), plainPixel(i)) << i;
    EXPECT_EQ(p.at(0, 0), 0u);
    bitmap->release();
}

TEST_F(DrawingTest, PlainBitmapWithTheColourKeyLeavesOutItsWhitePixels) {
    CBitmap* bitmap = new CBitmap(kPlainImage);
    Offscreen buffer(3, 2, CColor{0, 0, 0, 255});
    bitmap->drawTransparent(buffer.context, CRect(0, 0, 3, 2));
    Pixels p = buffer.pixels();
    EXPECT_EQ(p.at(0, 0), 0u) << "white is the default key";
    EXPECT_EQ(p.at(1, 0), plainPixel(1));
    EXPECT_EQ(p.at(1, 1), 0u);
    EXPECT_EQ(p.at(2, 1), plainPixel(5));
    bitmap->release();
}

TEST_F(DrawingTest, PlainBitmapBlendsWithConstantAlphaOnly) {
    CBitmap* bitmap = new CBitmap(kPlainImage);
    Offscreen buffer(3, 2, CColor{0, 0, 0, 255});
    bitmap->drawAlphaBlend(buffer.context, CRect(0, 0, 3, 2), CPoint(), 128);
    Pixels p = buffer.pixels();
    EXPECT_NEAR(redOf(p.at(0, 0)), 128, 1);
    EXPECT_NEAR(redOf(p.at(1, 0)), 100, 1);
    bitmap->release();
}
