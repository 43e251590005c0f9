#include "test_images.h"

namespace tk42test {

Rgba stripPixel(int x, int y) {
    const int frame = y / 24;
    const int fy = y % 24;
    if (frame == 0) {
        // A disc with a soft edge, orange on the inside.
        const int dx = 2 * x - 31;
        const int dy = 2 * fy - 23;
        const int d2 = dx * dx + dy * dy;  // up to about 1500
        int a = d2 < 300 ? 255 : d2 > 500 ? 0 : (500 - d2) * 255 / 200;
        return Rgba{uint8_t(200 + x), uint8_t(4 * fy), 40, uint8_t(a)};
    }
    // A horizontal alpha ramp over a vertical colour ramp.
    return Rgba{uint8_t(8 * x), uint8_t(255 - 10 * fy), uint8_t(255 - 8 * x), uint8_t(8 * x + 7)};
}

}  // namespace tk42test
