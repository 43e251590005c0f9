// The one door to stb_image, kept in its own translation unit so that
// sanitizer builds can compile the decoder apart.
#pragma once

#include <cstddef>
#include <cstdint>

namespace TKGUI {

// 8-bit pixels as stored in the file (channels after palette expansion), or
// null when the bytes are no decodable PNG image. Free with freePngPixels.
uint8_t* decodePngPixels(const uint8_t* data, size_t size, int* width, int* height, int* channels);
void freePngPixels(uint8_t* pixels);

}  // namespace TKGUI
