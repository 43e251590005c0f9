#include "image.h"

#include <png.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <vector>

namespace art {

Image::Image(int width, int height)
    : surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)) {
    if (cairo_surface_status(surface_) != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error("cannot create image surface");
}

Image::~Image() {
    if (surface_) cairo_surface_destroy(surface_);
}

Image::Image(Image&& other) noexcept : surface_(other.surface_) {
    other.surface_ = nullptr;
}

int Image::width() const {
    return cairo_image_surface_get_width(surface_);
}
int Image::height() const {
    return cairo_image_surface_get_height(surface_);
}
cairo_t* Image::context() const {
    return cairo_create(surface_);
}

namespace {

// One horizontal or vertical box pass over premultiplied channels.
void boxPass(std::vector<float>& px, int w, int h, int radius, bool horizontal) {
    const int len = horizontal ? w : h;
    const int lines = horizontal ? h : w;
    std::vector<float> line(static_cast<size_t>(len) * 4);
    const float norm = 1.0f / static_cast<float>(2 * radius + 1);
    for (int l = 0; l < lines; ++l) {
        auto at = [&](int i) -> float* {
            const int x = horizontal ? i : l;
            const int y = horizontal ? l : i;
            return &px[(static_cast<size_t>(y) * w + x) * 4];
        };
        for (int i = 0; i < len; ++i) {
            float sum[4] = {0, 0, 0, 0};
            for (int j = std::max(0, i - radius); j <= std::min(len - 1, i + radius); ++j)
                for (int c = 0; c < 4; ++c) sum[c] += at(j)[c];
            for (int c = 0; c < 4; ++c) line[static_cast<size_t>(i) * 4 + c] = sum[c] * norm;
        }
        for (int i = 0; i < len; ++i)
            for (int c = 0; c < 4; ++c) at(i)[c] = line[static_cast<size_t>(i) * 4 + c];
    }
}

}  // namespace

void blur(Image& image, int radius) {
    if (radius <= 0) return;
    cairo_surface_flush(image.surface());
    const int w = image.width(), h = image.height();
    const int stride = cairo_image_surface_get_stride(image.surface());
    unsigned char* data = cairo_image_surface_get_data(image.surface());
    std::vector<float> px(static_cast<size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + y * stride);
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 4; ++c)
                px[(static_cast<size_t>(y) * w + x) * 4 + c] = (row[x] >> (8 * c)) & 0xff;
    }
    const int r = std::max(1, radius / 2);
    for (int pass = 0; pass < 3; ++pass) {
        boxPass(px, w, h, r, true);
        boxPass(px, w, h, r, false);
    }
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
        for (int x = 0; x < w; ++x) {
            uint32_t v = 0;
            const float* p = &px[(static_cast<size_t>(y) * w + x) * 4];
            const float a = std::min(255.0f, p[3] + 0.5f);
            for (int c = 0; c < 4; ++c) {
                const float ch = std::min(c == 3 ? 255.0f : a, p[c] + 0.5f);
                v |= static_cast<uint32_t>(ch) << (8 * c);
            }
            row[x] = v;
        }
    }
    cairo_surface_mark_dirty(image.surface());
}

void writePng(const Image& image, const std::string& path) {
    cairo_surface_flush(image.surface());
    const int w = image.width(), h = image.height();
    const int stride = cairo_image_surface_get_stride(image.surface());
    const unsigned char* data = cairo_image_surface_get_data(image.surface());
    std::vector<unsigned char> rgba(static_cast<size_t>(w) * h * 4);
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + y * stride);
        for (int x = 0; x < w; ++x) {
            const uint32_t p = row[x];
            const unsigned a = p >> 24;
            unsigned char* out = &rgba[(static_cast<size_t>(y) * w + x) * 4];
            for (int c = 0; c < 3; ++c) {
                const unsigned v = (p >> (16 - 8 * c)) & 0xff;  // R, G, B
                out[c] = a ? static_cast<unsigned char>(std::min(255u, (v * 255 + a / 2) / a)) : 0;
            }
            out[3] = static_cast<unsigned char>(a);
        }
    }
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) throw std::runtime_error("cannot write " + path);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        std::fclose(f);
        throw std::runtime_error("libpng failed on " + path);
    }
    png_init_io(png, f);
    png_set_compression_level(png, 9);
    png_set_IHDR(png, info, w, h, 8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < h; ++y) png_write_row(png, &rgba[static_cast<size_t>(y) * w * 4]);
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    std::fclose(f);
}

void placeFrame(Image& strip, const Image& frame, int index) {
    cairo_t* cr = strip.context();
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, frame.surface(), 0, index * frame.height());
    cairo_rectangle(cr, 0, index * frame.height(), frame.width(), frame.height());
    cairo_fill(cr);
    cairo_destroy(cr);
}

}  // namespace art
