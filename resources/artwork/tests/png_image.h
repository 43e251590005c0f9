// A decoded PNG as the editor's loader sees it: 8-bit RGBA pixels, plus the
// number of channels stored in the file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct RgbaPixel {
    uint8_t r, g, b, a;
    double luminance() const { return 0.2126 * r + 0.7152 * g + 0.0722 * b; }
    bool operator==(const RgbaPixel& o) const {
        return r == o.r && g == o.g && b == o.b && a == o.a;
    }
};

struct PngImage {
    int width = 0, height = 0;
    int fileChannels = 0;  // 0 when the file could not be decoded
    std::vector<RgbaPixel> pixels;

    const RgbaPixel& at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
    // Pixel (x, y) of filmstrip frame `frame`, frames stacked top to bottom.
    const RgbaPixel& at(int frame, int frameHeight, int x, int y) const {
        return at(x, frame * frameHeight + y);
    }
};

PngImage loadPng(const std::string& path);

// Path of a committed resource image.
std::string resourcePath(const std::string& name);
