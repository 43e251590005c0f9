// Owned cairo image surfaces and the few pixel operations cairo lacks.
#pragma once

#include <cairo.h>

#include <string>

namespace art {

// An ARGB32 (premultiplied) image surface that frees itself.
class Image {
  public:
    Image(int width, int height);
    ~Image();
    Image(const Image&) = delete;
    Image& operator=(const Image&) = delete;
    Image(Image&& other) noexcept;

    cairo_surface_t* surface() const { return surface_; }
    int width() const;
    int height() const;
    // A fresh drawing context on the image; the caller destroys it.
    cairo_t* context() const;

  private:
    cairo_surface_t* surface_;
};

// Blurs all four channels in place with three box passes (close to a
// Gaussian of the given radius); edges are treated as transparent.
void blur(Image& image, int radius);

// Writes straight (not premultiplied) 8-bit RGBA, always with an alpha
// channel and without time stamps, so that a rerun gives the same bytes.
void writePng(const Image& image, const std::string& path);

// Paints `frame` into the strip at frame index `index` of height frame.height().
void placeFrame(Image& strip, const Image& frame, int index);

}  // namespace art
