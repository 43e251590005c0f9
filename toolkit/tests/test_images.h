// The test images: resource numbers and the pixels the generator writes, so
// that tests can state what decoding must give.
#pragma once

#include <cstdint>

namespace tk42test {

enum TestImage {
    kRgbaImage = 201,       // 4 x 2, RGBA, the pixels of kRgbaPixels
    kRgbImage = 202,        // 3 x 2, RGB
    kPaletteImage = 203,    // 3 x 1, palette with a transparency chunk
    kGreyImage = 204,       // 2 x 2, one grey channel
    kGreyAlphaImage = 205,  // 2 x 1, grey and alpha
    kStripImage = 206,      // 32 x 48: two 32 x 24 frames with soft alpha
    kBrokenImage = 207,     // a "PNG" resource that is not a PNG
    kPlainImage = 208,      // 3 x 2, a plain bitmap resource only (Windows)
    kMissingImage = 299,    // no resource at all
};

struct Rgba {
    uint8_t r, g, b, a;
};

constexpr Rgba kRgbaPixels[8] = {
    {255, 0, 0, 128}, {10, 20, 30, 0},     {0, 255, 0, 255},   {255, 255, 255, 255},
    {0, 0, 255, 64},  {200, 100, 50, 200}, {255, 255, 255, 1}, {128, 128, 128, 255},
};

constexpr Rgba kRgbPixels[6] = {
    {255, 0, 0, 255}, {0, 255, 0, 255},     {0, 0, 255, 255},
    {1, 2, 3, 255},   {250, 251, 252, 255}, {128, 64, 32, 255},
};

// The plain bitmap: white is the default colour key.
constexpr Rgba kPlainPixels[6] = {
    {255, 255, 255, 255}, {200, 10, 10, 255},   {10, 200, 10, 255},
    {10, 10, 200, 255},   {255, 255, 255, 255}, {90, 90, 90, 255},
};

// Palette entries in pixel order, with their tRNS alpha.
constexpr Rgba kPalettePixels[3] = {{255, 0, 0, 255}, {0, 0, 255, 0}, {0, 255, 0, 128}};

constexpr uint8_t kGreyPixels[4] = {0, 100, 200, 255};
constexpr uint8_t kGreyAlphaPixels[4] = {100, 128, 255, 0};

// The strip's pixel at (x, y) of the whole 32 x 48 image.
Rgba stripPixel(int x, int y);

}  // namespace tk42test
