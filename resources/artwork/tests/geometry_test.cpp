// The editor cuts every image by fixed sizes: a wrong width, height or frame
// count shows torn or shifted controls, and an image without alpha hides the
// panel behind a control.
#include <gtest/gtest.h>

#include "png_image.h"

namespace {

struct Layout {
    const char* file;
    int width, height, frameHeight;
};

const Layout kLayouts[] = {
    {"panel_101.png", 400, 220, 220},     {"knob_large_102.png", 80, 7760, 80},
    {"knob_small_103.png", 40, 3880, 40}, {"meter_104.png", 360, 630, 30},
    {"toggle_105.png", 40, 80, 40},       {"switch_106.png", 40, 60, 30},
};

void PrintTo(const Layout& l, std::ostream* os) {
    *os << l.file;
}

class ImageLayout : public testing::TestWithParam<Layout> {};

TEST_P(ImageLayout, DecodesWithTheTableSizeAndAnAlphaChannel) {
    const Layout& l = GetParam();
    const PngImage img = loadPng(resourcePath(l.file));
    ASSERT_EQ(img.fileChannels, 4) << l.file << " is missing or has no alpha channel";
    EXPECT_EQ(img.width, l.width);
    EXPECT_EQ(img.height, l.height);
    EXPECT_EQ(img.height % l.frameHeight, 0);
}

TEST_P(ImageLayout, NoFrameRepeatsItsNeighbour) {
    const Layout& l = GetParam();
    const PngImage img = loadPng(resourcePath(l.file));
    ASSERT_EQ(img.width, l.width);
    const int frames = img.height / l.frameHeight;
    for (int k = 0; k + 1 < frames; ++k) {
        int differing = 0;
        for (int y = 0; y < l.frameHeight; ++y)
            for (int x = 0; x < img.width; ++x)
                if (!(img.at(k, l.frameHeight, x, y) == img.at(k + 1, l.frameHeight, x, y)))
                    ++differing;
        EXPECT_GT(differing, 4) << l.file << ": frames " << k << " and " << k + 1
                                << " look the same";
    }
}

INSTANTIATE_TEST_SUITE_P(Resources, ImageLayout, testing::ValuesIn(kLayouts),
                         [](const testing::TestParamInfo<Layout>& info) {
                             std::string name = info.param.file;
                             return name.substr(0, name.find('.'));
                         });

}  // namespace
