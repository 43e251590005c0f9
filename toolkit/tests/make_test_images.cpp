// Writes the test images into a folder: tiny PNG files of every kind the
// decoder must handle, and one plain bitmap for the fallback. The images in the repository are this
// program's output; a test checks that they still are.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#include <stb/stb_image_write.h>

#include "test_images.h"

using namespace tk42test;

namespace {

bool writeFile(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

void appendMemory(void* context, void* data, int size) {
    auto* out = static_cast<std::vector<unsigned char>*>(context);
    auto* bytes = static_cast<unsigned char*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

std::vector<unsigned char> encode(int w, int h, int channels,
                                  const std::vector<unsigned char>& px) {
    std::vector<unsigned char> out;
    stbi_write_png_to_func(appendMemory, &out, w, h, channels, px.data(), w * channels);
    return out;
}

uint32_t crc32(const unsigned char* data, size_t size) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void appendChunk(std::vector<unsigned char>& png, const char* type,
                 const std::vector<unsigned char>& data) {
    const uint32_t n = uint32_t(data.size());
    unsigned char length[4] = {uint8_t(n >> 24), uint8_t(n >> 16), uint8_t(n >> 8), uint8_t(n)};
    png.insert(png.end(), length, length + 4);
    std::vector<unsigned char> body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    png.insert(png.end(), body.begin(), body.end());
    const uint32_t c = crc32(body.data(), body.size());
    unsigned char crc[4] = {uint8_t(c >> 24), uint8_t(c >> 16), uint8_t(c >> 8), uint8_t(c)};
    png.insert(png.end(), crc, crc + 4);
}

// stb writes no palette images: an 8-bit palette PNG with a tRNS chunk.
std::vector<unsigned char> encodePalette() {
    std::vector<unsigned char> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    const int w = 3;
    appendChunk(png, "IHDR", {0, 0, 0, uint8_t(w), 0, 0, 0, 1, 8, 3, 0, 0, 0});
    std::vector<unsigned char> palette;
    std::vector<unsigned char> alpha;
    for (const Rgba& p : kPalettePixels) {
        palette.insert(palette.end(), {p.r, p.g, p.b});
        alpha.push_back(p.a);
    }
    appendChunk(png, "PLTE", palette);
    appendChunk(png, "tRNS", alpha);
    std::vector<unsigned char> raw = {0, 0, 1, 2};  // filter 0, indices 0 1 2
    int zlen = 0;
    unsigned char* z = stbi_zlib_compress(raw.data(), int(raw.size()), &zlen, 8);
    appendChunk(png, "IDAT", std::vector<unsigned char>(z, z + zlen));
    STBIW_FREE(z);
    appendChunk(png, "IEND", {});
    return png;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    std::vector<unsigned char> rgba;
    for (const Rgba& p : kRgbaPixels) rgba.insert(rgba.end(), {p.r, p.g, p.b, p.a});
    std::vector<unsigned char> rgb;
    for (const Rgba& p : kRgbPixels) rgb.insert(rgb.end(), {p.r, p.g, p.b});
    std::vector<unsigned char> grey(kGreyPixels, kGreyPixels + 4);
    std::vector<unsigned char> greyAlpha(kGreyAlphaPixels, kGreyAlphaPixels + 4);
    std::vector<unsigned char> strip;
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 32; ++x) {
            Rgba p = stripPixel(x, y);
            strip.insert(strip.end(), {p.r, p.g, p.b, p.a});
        }
    }
    std::vector<unsigned char> plain;
    for (const Rgba& p : kPlainPixels) plain.insert(plain.end(), {p.r, p.g, p.b});
    std::vector<unsigned char> bmp;
    stbi_write_bmp_to_func(appendMemory, &bmp, 3, 2, 3, plain.data());
    const char broken[] = "not a PNG image";
    bool ok = writeFile(dir + "rgba.png", encode(4, 2, 4, rgba)) &&
              writeFile(dir + "rgb.png", encode(3, 2, 3, rgb)) &&
              writeFile(dir + "palette.png", encodePalette()) &&
              writeFile(dir + "grey.png", encode(2, 2, 1, grey)) &&
              writeFile(dir + "grey_alpha.png", encode(2, 1, 2, greyAlpha)) &&
              writeFile(dir + "strip.png", encode(32, 48, 4, strip)) &&
              writeFile(dir + "plain.bmp", bmp) &&
              writeFile(dir + "broken.png",
                        std::vector<unsigned char>(broken, broken + sizeof(broken) - 1));
    return ok ? 0 : 1;
}
