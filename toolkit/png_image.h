// Decoding of an embedded PNG image into the toolkit's bitmap layout: 32-bit
// pixels of premultiplied blue, green, red, alpha, bottom row first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace TKGUI {

struct PremultipliedImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> bottomUpBgra;  // width * height * 4 bytes
};

// False when the bytes are not a PNG image stb_image can decode.
bool decodePng(const uint8_t* data, size_t size, PremultipliedImage& image);

// The premultiplication of one channel: (c * a) >> 8, applied only where the
// alpha is not 255 (so 255 at alpha 128 becomes 127).
inline uint8_t premultiplyChannel(uint8_t c, uint8_t a) {
    return a == 255 ? c : static_cast<uint8_t>((c * a) >> 8);
}

}  // namespace TKGUI
