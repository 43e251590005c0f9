#include "toolkit/png_decoder.h"

#include <climits>

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_NO_FAILURE_STRINGS
#include <stb/stb_image.h>

namespace TKGUI {

uint8_t* decodePngPixels(const uint8_t* data, size_t size, int* width, int* height, int* channels) {
    if (!data || size == 0 || size > static_cast<size_t>(INT_MAX)) return nullptr;
    return stbi_load_from_memory(data, static_cast<int>(size), width, height, channels, 0);
}

void freePngPixels(uint8_t* pixels) {
    stbi_image_free(pixels);
}

}  // namespace TKGUI
