// Loading images from the resources and the three ways to draw them, on
// either platform: decoded pixels, premultiplication, fallbacks, blending.
#include "toolkit/bitmap.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "drawing_fixture.h"
#include "test_images.h"
#include "toolkit/png_image.h"

using namespace TKGUI;
using namespace tk42test;

namespace {

PremultipliedImage decodeResource(int id) {
    const uint8_t* data = nullptr;
    size_t size = 0;
    PremultipliedImage image;
    EXPECT_TRUE(platform::findResource(id, "PNG", &data, &size)) << id;
    EXPECT_TRUE(decodePng(data, size, image)) << id;
    return image;
}

// Blue, green, red, alpha of the pixel at (x, y) counted from the top.
const uint8_t* pixelOf(const PremultipliedImage& image, int x, int y) {
    return image.bottomUpBgra.data() + (size_t(image.height - 1 - y) * image.width + x) * 4;
}

struct Bitmap {
    CBitmap* bitmap;
    explicit Bitmap(int id) : bitmap(new CBitmap(id)) {}
    ~Bitmap() { bitmap->release(); }
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;
    CBitmap* operator->() const { return bitmap; }
};

}  // namespace

TEST_F(DrawingTest, DecodedImageIsBottomUpBgraWithShiftPremultiplication) {
    PremultipliedImage image = decodeResource(kRgbaImage);
    ASSERT_EQ(image.width, 4);
    ASSERT_EQ(image.height, 2);
    // (255, 0, 0, 128) is stored as blue 0, green 0, red 127, alpha 128.
    const uint8_t* first = pixelOf(image, 0, 0);
    EXPECT_EQ(first[0], 0);
    EXPECT_EQ(first[1], 0);
    EXPECT_EQ(first[2], 127);
    EXPECT_EQ(first[3], 128);
    // The top image row is the last row in memory.
    EXPECT_EQ(first, image.bottomUpBgra.data() + 4 * 4);
    for (int i = 0; i < 8; ++i) {
        const Rgba& in = kRgbaPixels[i];
        const uint8_t* out = pixelOf(image, i % 4, i / 4);
        EXPECT_EQ(out[0], premultiplyChannel(in.b, in.a)) << i;
        EXPECT_EQ(out[1], premultiplyChannel(in.g, in.a)) << i;
        EXPECT_EQ(out[2], premultiplyChannel(in.r, in.a)) << i;
        EXPECT_EQ(out[3], in.a) << i;
    }
    const uint8_t* transparent = pixelOf(image, 1, 0);
    EXPECT_EQ(transparent[0] | transparent[1] | transparent[2] | transparent[3], 0);
    EXPECT_EQ(premultiplyChannel(255, 128), 127);
    EXPECT_EQ(premultiplyChannel(200, 255), 200);
}

TEST_F(DrawingTest, RgbImageGetsOpaqueAlphaEverywhere) {
    PremultipliedImage image = decodeResource(kRgbImage);
    ASSERT_EQ(image.width, 3);
    for (int i = 0; i < 6; ++i) {
        const uint8_t* out = pixelOf(image, i % 3, i / 3);
        EXPECT_EQ(out[3], 255);
        EXPECT_EQ(out[2], kRgbPixels[i].r);
        EXPECT_EQ(out[0], kRgbPixels[i].b);
    }
}

TEST_F(DrawingTest, PaletteTransparencyBecomesAlpha) {
    PremultipliedImage image = decodeResource(kPaletteImage);
    ASSERT_EQ(image.width, 3);
    const uint8_t* opaque = pixelOf(image, 0, 0);
    EXPECT_EQ(opaque[2], 255);
    EXPECT_EQ(opaque[3], 255);
    const uint8_t* clear = pixelOf(image, 1, 0);
    EXPECT_EQ(clear[0] | clear[1] | clear[2] | clear[3], 0);
    const uint8_t* half = pixelOf(image, 2, 0);
    EXPECT_EQ(half[1], 127);
    EXPECT_EQ(half[3], 128);
}

TEST_F(DrawingTest, GreyImagesAreExpandedInsteadOfOverrun) {
    PremultipliedImage grey = decodeResource(kGreyImage);
    ASSERT_EQ(grey.width, 2);
    const uint8_t* p = pixelOf(grey, 1, 0);
    EXPECT_EQ(p[0], 100);
    EXPECT_EQ(p[1], 100);
    EXPECT_EQ(p[2], 100);
    EXPECT_EQ(p[3], 255);
    PremultipliedImage greyAlpha = decodeResource(kGreyAlphaImage);
    const uint8_t* q = pixelOf(greyAlpha, 0, 0);
    EXPECT_EQ(q[0], (100 * 128) >> 8);
    EXPECT_EQ(q[3], 128);
}

TEST_F(DrawingTest, BitmapDrawBlendsThePremultipliedImage) {
    Bitmap bitmap(kRgbaImage);
    ASSERT_TRUE(bitmap->isLoaded());
    EXPECT_FALSE(bitmap->isPlain());
    EXPECT_EQ(bitmap->getWidth(), 4);
    EXPECT_EQ(bitmap->getHeight(), 2);
    EXPECT_EQ(bitmap->getTransparentColor(), kDefaultColorKey);

    // Over black the blend leaves exactly the premultiplied colours.
    Offscreen black(6, 4);
    bitmap->draw(black.context, CRect(1, 1, 5, 3));
    Pixels p = black.pixels();
    EXPECT_EQ(p.at(1, 1), rgbOf(127, 0, 0));
    EXPECT_EQ(p.at(2, 1), 0u);
    EXPECT_EQ(p.at(3, 1), rgbOf(0, 255, 0));
    EXPECT_EQ(p.at(0, 0), 0u);

    // Over white, the transparent pixel keeps the white and the half one
    // lets half of it through.
    Offscreen white(6, 4, kWhiteCColor);
    bitmap->drawTransparent(white.context, CRect(1, 1, 5, 3));
    Pixels w = white.pixels();
    EXPECT_EQ(w.at(2, 1), rgbOf(255, 255, 255));
    EXPECT_NEAR(redOf(w.at(1, 1)), 127 + 127, 1);
    EXPECT_NEAR(greenOf(w.at(1, 1)), 127, 1);
    EXPECT_EQ(w.at(3, 1), rgbOf(0, 255, 0));
}

TEST_F(DrawingTest, FilmstripFrameIsChosenBySourceOffset) {
    Bitmap strip(kStripImage);
    ASSERT_EQ(strip->getHeight(), 48);
    Offscreen buffer(32, 24);
    buffer->setOffset(CPoint(2, 0));
    strip->draw(buffer.context, CRect(-2, 0, 30, 24), CPoint(0, 24));
    Pixels p = buffer.pixels();
    for (int y = 0; y < 24; y += 5) {
        for (int x = 0; x < 32; x += 3) {
            Rgba s = stripPixel(x, y + 24);
            EXPECT_EQ(redOf(p.at(x, y)), premultiplyChannel(s.r, s.a)) << x << "," << y;
            EXPECT_EQ(blueOf(p.at(x, y)), premultiplyChannel(s.b, s.a)) << x << "," << y;
        }
    }
}

TEST_F(DrawingTest, ConstantAlphaScalesTheSourceBeforeTheBlend) {
    Bitmap bitmap(kRgbImage);
    Offscreen buffer(3, 2, CColor{0, 0, 200, 255});
    bitmap->drawAlphaBlend(buffer.context, CRect(0, 0, 3, 2), CPoint(), 128);
    Pixels p = buffer.pixels();
    // Red (255, 0, 0) at 128/255 over blue 200: about (128, 0, 100).
    EXPECT_NEAR(redOf(p.at(0, 0)), 128, 1);
    EXPECT_NEAR(blueOf(p.at(0, 0)), 100, 1);
    EXPECT_EQ(greenOf(p.at(0, 0)), 0);
}

TEST_F(DrawingTest, MissingOrUndecodableResourcesLeaveAnEmptyBitmap) {
    for (int id : {int(kMissingImage), int(kBrokenImage)}) {
        Bitmap bitmap(id);
        EXPECT_FALSE(bitmap->isLoaded()) << id;
        EXPECT_EQ(bitmap->getWidth(), 0);
        EXPECT_EQ(bitmap->getHeight(), 0);
        Offscreen buffer(4, 4, kWhiteCColor);
        bitmap->draw(buffer.context, CRect(0, 0, 4, 4));
        bitmap->drawAlphaBlend(buffer.context, CRect(0, 0, 4, 4));
        for (uint32_t px : buffer.pixels().rgb) EXPECT_EQ(px, rgbOf(255, 255, 255));
    }
}

TEST_F(DrawingTest, ReloadingReplacesTheImageAndLoadingFromAPathUnloads) {
    Bitmap bitmap(kRgbaImage);
    EXPECT_TRUE(bitmap->loadFromResource(kStripImage));
    EXPECT_EQ(bitmap->getWidth(), 32);
    EXPECT_FALSE(bitmap->loadFromPath("anything.png"));
    EXPECT_FALSE(bitmap->isLoaded());
    EXPECT_EQ(bitmap->getWidth(), 0);
}

TEST_F(DrawingTest, BlendsDrawNothingWithoutTheBlendLibrary) {
    Bitmap bitmap(kRgbImage);
    platform::freeBlendLibrary(library);
    library = nullptr;
    Offscreen buffer(3, 2);
    bitmap->draw(buffer.context, CRect(0, 0, 3, 2));
    for (uint32_t px : buffer.pixels().rgb) EXPECT_EQ(px, 0u);
    library = platform::loadBlendLibrary();
    bitmap->draw(buffer.context, CRect(0, 0, 3, 2));
    EXPECT_EQ(buffer.pixels().at(0, 0), rgbOf(255, 0, 0));
}
