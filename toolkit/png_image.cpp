#include "toolkit/png_image.h"

#include "toolkit/png_decoder.h"

namespace TKGUI {

bool decodePng(const uint8_t* data, size_t size, PremultipliedImage& image) {
    int width = 0;
    int height = 0;
    int channels = 0;
    uint8_t* pixels = decodePngPixels(data, size, &width, &height, &channels);
    if (!pixels) return false;
    if (width <= 0 || height <= 0 || channels < 1 || channels > 4) {
        freePngPixels(pixels);
        return false;
    }
    image.width = width;
    image.height = height;
    image.bottomUpBgra.assign(static_cast<size_t>(width) * height * 4, 0);
    for (int y = 0; y < height; ++y) {
        const uint8_t* in = pixels + static_cast<size_t>(y) * width * channels;
        uint8_t* out = image.bottomUpBgra.data() + static_cast<size_t>(height - 1 - y) * width * 4;
        for (int x = 0; x < width; ++x, in += channels, out += 4) {
            // Grey images (1 or 2 channels) are expanded rather than read as
            // if they had three colour channels.
            uint8_t r = in[0];
            uint8_t g = channels >= 3 ? in[1] : in[0];
            uint8_t b = channels >= 3 ? in[2] : in[0];
            uint8_t a = channels == 4 ? in[3] : channels == 2 ? in[1] : 255;
            out[0] = premultiplyChannel(b, a);
            out[1] = premultiplyChannel(g, a);
            out[2] = premultiplyChannel(r, a);
            out[3] = a;
        }
    }
    freePngPixels(pixels);
    return true;
}

}  // namespace TKGUI
