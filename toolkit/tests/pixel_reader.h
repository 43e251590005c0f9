// Reading back what was drawn, on either platform: pixels as 0xRRGGBB (the
// alpha byte is dropped, since GDI does not keep it for ordinary drawing).
#pragma once

#include <cstdint>
#include <vector>

#include "toolkit/offscreen_context.h"

namespace tk42test {

// Sets the platform up for tests (on Win32: the test program is the module
// whose resources are searched).
void preparePlatform();

struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> rgb;  // top row first
    uint32_t at(int x, int y) const { return rgb[size_t(y) * width + x]; }
};

Pixels readPixels(TKGUI::COffscreenContext* context);

constexpr uint32_t rgbOf(uint8_t r, uint8_t g, uint8_t b) {
    return (uint32_t(r) << 16) | (uint32_t(g) << 8) | b;
}
inline int redOf(uint32_t p) {
    return (p >> 16) & 0xFF;
}
inline int greenOf(uint32_t p) {
    return (p >> 8) & 0xFF;
}
inline int blueOf(uint32_t p) {
    return p & 0xFF;
}

}  // namespace tk42test
