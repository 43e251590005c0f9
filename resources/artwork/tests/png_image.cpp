#include "png_image.h"

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#include <stb/stb_image.h>

#include <cstring>

PngImage loadPng(const std::string& path) {
    PngImage image;
    int channels = 0;
    stbi_uc* data = stbi_load(path.c_str(), &image.width, &image.height, &channels, 4);
    if (!data) return PngImage{};
    image.fileChannels = channels;
    image.pixels.resize(static_cast<size_t>(image.width) * image.height);
    std::memcpy(image.pixels.data(), data, image.pixels.size() * 4);
    stbi_image_free(data);
    return image;
}

std::string resourcePath(const std::string& name) {
    return std::string(TK42_RESOURCES) + "/" + name;
}
