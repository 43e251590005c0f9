// The scene drawn on this platform against the capture made from GDI under
// Wine (golden/scene_gdi.png). Outside the text boxes the software platform
// must match GDI within a small tolerance; text is measured and reported.
//
// To remake the capture, run the Windows test program with TK42_WRITE_GOLDEN
// set to the output path.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb/stb_image_write.h>

#include "drawing_fixture.h"
#include "scene.h"
#include "test_images.h"
#include "toolkit/png_decoder.h"

using namespace TKGUI;
using namespace tk42test;

namespace {

bool inTextBox(int x, int y) {
    for (const CRect& box : kSceneTextBox) {
        if (box.pointInside(CPoint(x, y)) && x < box.right && y < box.bottom) return true;
    }
    return false;
}

bool loadGolden(Pixels& golden) {
    std::ifstream file(TK42_GOLDEN_DIR "/scene_gdi.png", std::ios::binary);
    if (!file) return false;
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(file)),
                               std::istreambuf_iterator<char>());
    int w = 0, h = 0, n = 0;
    uint8_t* px = decodePngPixels(bytes.data(), bytes.size(), &w, &h, &n);
    if (!px || n < 3) return false;
    golden.width = w;
    golden.height = h;
    golden.rgb.resize(size_t(w) * h);
    for (size_t i = 0; i < golden.rgb.size(); ++i) {
        golden.rgb[i] = rgbOf(px[i * n], px[i * n + 1], px[i * n + 2]);
    }
    freePngPixels(px);
    return true;
}

void writePng(const char* path, const Pixels& p) {
    std::vector<uint8_t> rgb;
    for (uint32_t v : p.rgb)
        rgb.insert(rgb.end(), {uint8_t(redOf(v)), uint8_t(greenOf(v)), uint8_t(blueOf(v))});
    stbi_write_png(path, p.width, p.height, 3, rgb.data(), p.width * 3);
}

int channelDistance(uint32_t a, uint32_t b) {
    return std::max({std::abs(redOf(a) - redOf(b)), std::abs(greenOf(a) - greenOf(b)),
                     std::abs(blueOf(a) - blueOf(b))});
}

// The smallest rectangle around the pixels of box that differ clearly from
// the box's top-left pixel.
CRect inkBounds(const Pixels& p, const CRect& box) {
    CRect ink(box.right, box.bottom, box.left, box.top);
    const uint32_t background = p.at(box.left, box.top);
    for (int y = box.top; y < box.bottom; ++y) {
        for (int x = box.left; x < box.right; ++x) {
            if (channelDistance(p.at(x, y), background) <= 64) continue;
            ink.left = std::min(ink.left, x);
            ink.top = std::min(ink.top, y);
            ink.right = std::max(ink.right, x + 1);
            ink.bottom = std::max(ink.bottom, y + 1);
        }
    }
    return ink;
}

}  // namespace

TEST_F(DrawingTest, SceneMatchesTheGdiCaptureOutsideText) {
    CBitmap* strip = new CBitmap(kStripImage);
    Offscreen buffer(kSceneWidth, kSceneHeight, CColor{40, 40, 48, 255});
    drawScene(buffer.context, strip);
    strip->release();
    Pixels drawn = buffer.pixels();
    if (const char* out = std::getenv("TK42_WRITE_GOLDEN")) {
        writePng(out, drawn);
        GTEST_SKIP() << "capture written to " << out;
    }
    Pixels golden;
    if (!loadGolden(golden)) GTEST_SKIP() << "no GDI capture";
    ASSERT_EQ(golden.width, kSceneWidth);
    ASSERT_EQ(golden.height, kSceneHeight);

    int maxDistance = 0, differing = 0, textPixels = 0, textDiffering = 0, textDistanceSum = 0;
    // Ink: pixels that differ clearly from the box's own background (its
    // top-left pixel), where both platforms put text.
    int inkBoth = 0, inkEither = 0;
    for (int y = 0; y < kSceneHeight; ++y) {
        for (int x = 0; x < kSceneWidth; ++x) {
            int d = channelDistance(drawn.at(x, y), golden.at(x, y));
            if (inTextBox(x, y)) {
                ++textPixels;
                textDiffering += d > 16;
                textDistanceSum += d;
                for (const CRect& box : kSceneTextBox) {
                    if (!box.pointInside(CPoint(x, y))) continue;
                    bool inkDrawn =
                        channelDistance(drawn.at(x, y), drawn.at(box.left, box.top)) > 64;
                    bool inkGdi =
                        channelDistance(golden.at(x, y), golden.at(box.left, box.top)) > 64;
                    inkBoth += inkDrawn && inkGdi;
                    inkEither += inkDrawn || inkGdi;
                    break;
                }
                continue;
            }
            maxDistance = std::max(maxDistance, d);
            if (d > 1 && ++differing <= 10) {
                std::printf("  (%d, %d): drawn %06x, GDI %06x\n", x, y, drawn.at(x, y),
                            golden.at(x, y));
            }
        }
    }
    std::printf("outside text: max channel distance %d, %d pixels off by more than 1\n",
                maxDistance, differing);
    std::printf("text boxes: %d of %d pixels off by more than 16, mean distance %.2f\n",
                textDiffering, textPixels, double(textDistanceSum) / textPixels);
    std::printf("text ink: %d of %d inked pixels inked on both platforms\n", inkBoth, inkEither);
    if (differing > 0 && std::getenv("TK42_WRITE_DIFFERENCE")) {
        writePng(std::getenv("TK42_WRITE_DIFFERENCE"), drawn);
    }
    // Text is anti-aliased here and may not be under Wine, but it must sit
    // in the same place: the ink's bounding box per text box within 1 pixel.
    for (const CRect& box : kSceneTextBox) {
        CRect inkDrawn = inkBounds(drawn, box);
        CRect inkGdi = inkBounds(golden, box);
        std::printf("text box at (%d, %d): ink %d,%d-%d,%d here, %d,%d-%d,%d on GDI\n", box.left,
                    box.top, inkDrawn.left, inkDrawn.top, inkDrawn.right, inkDrawn.bottom,
                    inkGdi.left, inkGdi.top, inkGdi.right, inkGdi.bottom);
        EXPECT_NEAR(inkDrawn.left, inkGdi.left, 1);
        EXPECT_NEAR(inkDrawn.right, inkGdi.right, 1);
        EXPECT_NEAR(inkDrawn.top, inkGdi.top, 1);
        EXPECT_NEAR(inkDrawn.bottom, inkGdi.bottom, 1);
    }
    EXPECT_LE(maxDistance, 2);
    EXPECT_LE(differing, 0);
}
