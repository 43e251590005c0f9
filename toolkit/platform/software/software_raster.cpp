// Lines, fills, copies and blends on the software platform, with the pixel
// rules of GDI: half-open rectangles, lines without their end pixel, a
// rectangular clip, and the AlphaBlend arithmetic on premultiplied pixels.
#include <cstdlib>

#include "toolkit/platform/software/software_script.h"
#include "toolkit/platform/software/software_types.h"

namespace TKGUI {
namespace platform {

namespace {

// The destination area that lies inside both the device's drawable area and
// a source image placed at sourcePoint (with the source area's top-left at
// the destination's top-left).
struct Span {
    CRect dest;
    int dx = 0;  // source x minus destination x
    int dy = 0;
};

Span clippedSpan(Device* device, const CRect& destRect, CPoint sourcePoint, int srcW, int srcH) {
    Span span;
    span.dx = sourcePoint.x - destRect.left;
    span.dy = sourcePoint.y - destRect.top;
    span.dest = destRect.intersection(device->drawableArea());
    span.dest.bound(CRect(-span.dx, -span.dy, srcW - span.dx, srcH - span.dy));
    return span;
}

bool sourceAreaInside(const CRect& destRect, CPoint sourcePoint, const Image& image) {
    return sourcePoint.x >= 0 && sourcePoint.y >= 0 &&
           sourcePoint.x + destRect.width() <= image.width &&
           sourcePoint.y + destRect.height() <= image.height;
}

inline uint32_t channel(uint32_t pixel, int shift) {
    return (pixel >> shift) & 0xFF;
}

// (a * b + 127) / 255, the rounding of the platform's blend.
inline uint32_t scale(uint32_t a, uint32_t b) {
    return (a * b + 127) / 255;
}

inline uint32_t blendPixel(uint32_t dst, uint32_t src, uint32_t constantAlpha, bool perPixel) {
    uint32_t s[4];
    for (int i = 0; i < 4; ++i) s[i] = channel(src, i * 8);
    if (!perPixel) s[3] = 255;
    if (constantAlpha != 255) {
        for (int i = 0; i < 4; ++i) s[i] = scale(s[i], constantAlpha);
    }
    uint32_t out = 0;
    for (int i = 0; i < 4; ++i) {
        uint32_t v = s[i] + scale(channel(dst, i * 8), 255 - s[3]);
        if (v > 255) v = 255;
        out |= v << (i * 8);
    }
    return out;
}

void plotPixel(Device* device, const CRect& area, int x, int y, uint32_t pixel) {
    if (x >= area.left && x < area.right && y >= area.top && y < area.bottom) {
        device->target()->at(x, y) = pixel;
    }
}

}  // namespace

void moveTo(Device* device, CPoint point) {
    if (device) device->position = point;
}

void lineTo(Device* device, CPoint point) {
    if (!device) return;
    CPoint from = device->position;
    device->position = point;
    Image* image = device->target();
    if (!image) return;
    const CRect area = device->drawableArea();
    const uint32_t pixel = opaquePixel(device->pen->color);
    const bool dotted = device->pen->style == LineStyle::onOff;
    // Bresenham from the start point, the end point left out, with GDI's
    // tie-breaking: in octants 3, 5, 6 and 8 (counted from +x towards +y) a
    // step exactly halfway goes to the minor axis.
    const int dx = point.x - from.x;
    const int dy = point.y - from.y;
    const int octant = dy > 0 ? (dx > 0 ? (dx > dy ? 1 : 2) : (-dx > dy ? 4 : 3))
                              : (dx < 0 ? (-dx > -dy ? 5 : 6) : (dx > -dy ? 8 : 7));
    const bool xMajor = octant == 1 || octant == 4 || octant == 5 || octant == 8;
    const int bias = (octant == 3 || octant == 5 || octant == 6 || octant == 8) ? 1 : 0;
    const int major = xMajor ? std::abs(dx) : std::abs(dy);
    const int minor = xMajor ? std::abs(dy) : std::abs(dx);
    const int xStep = dx > 0 ? 1 : -1;
    const int yStep = dy > 0 ? 1 : -1;
    int x = from.x;
    int y = from.y;
    int error = 2 * minor - major;
    for (int i = 0; i < major; ++i) {
        if (!dotted || (i & 1) == 0) plotPixel(device, area, x, y, pixel);
        if (error + bias > 0) {
            if (xMajor) {
                y += yStep;
            } else {
                x += xStep;
            }
            error += 2 * minor - 2 * major;
        } else {
            error += 2 * minor;
        }
        if (xMajor) {
            x += xStep;
        } else {
            y += yStep;
        }
    }
}

void fillRect(Device* device, const CRect& rect, Brush* brush) {
    if (!device || !brush || !device->target()) return;
    CRect r = rect.intersection(device->drawableArea());
    const uint32_t pixel = opaquePixel(brush->color);
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) device->target()->at(x, y) = pixel;
    }
}

void copyPixels(Device* dest, const CRect& destRect, Device* source, CPoint sourcePoint) {
    if (!dest || !source || !dest->target() || !source->target()) return;
    Image& src = *source->target();
    Span span = clippedSpan(dest, destRect, sourcePoint, src.width, src.height);
    Image& dst = *dest->target();
    // Copy through a buffer row so that a copy within one image is safe.
    std::vector<uint32_t> row;
    for (int y = span.dest.top; y < span.dest.bottom; ++y) {
        row.assign(&src.at(span.dest.left + span.dx, y + span.dy),
                   &src.at(span.dest.left + span.dx, y + span.dy) + span.dest.width());
        for (int x = span.dest.left; x < span.dest.right; ++x) {
            dst.at(x, y) = row[x - span.dest.left];
        }
    }
}

void drawImage(Device* dest, const CRect& destRect, Image* image, CPoint sourcePoint) {
    if (!dest || !image || !dest->target()) return;
    Span span = clippedSpan(dest, destRect, sourcePoint, image->width, image->height);
    Image& dst = *dest->target();
    for (int y = span.dest.top; y < span.dest.bottom; ++y) {
        for (int x = span.dest.left; x < span.dest.right; ++x) {
            dst.at(x, y) = image->at(x + span.dx, y + span.dy);
        }
    }
}

void drawImageKeyed(Device* dest, const CRect& destRect, Image* image, CPoint sourcePoint,
                    CColor key, Image* /*mask*/) {
    if (!dest || !image || !dest->target() || software::blendLibraryHolders() == 0) return;
    if (!sourceAreaInside(destRect, sourcePoint, *image)) return;
    Span span = clippedSpan(dest, destRect, sourcePoint, image->width, image->height);
    Image& dst = *dest->target();
    const uint32_t keyRgb = opaquePixel(key) & 0xFFFFFF;
    for (int y = span.dest.top; y < span.dest.bottom; ++y) {
        for (int x = span.dest.left; x < span.dest.right; ++x) {
            uint32_t pixel = image->at(x + span.dx, y + span.dy);
            if ((pixel & 0xFFFFFF) != keyRgb) dst.at(x, y) = pixel;
        }
    }
}

void alphaBlendImage(Device* dest, const CRect& destRect, Image* image, CPoint sourcePoint,
                     uint8_t alpha, bool perPixelAlpha) {
    if (!dest || !image || !dest->target() || software::blendLibraryHolders() == 0) return;
    // Like the platform blend, a source area outside the image draws nothing.
    if (destRect.isEmpty() || !sourceAreaInside(destRect, sourcePoint, *image)) return;
    Span span = clippedSpan(dest, destRect, sourcePoint, image->width, image->height);
    Image& dst = *dest->target();
    for (int y = span.dest.top; y < span.dest.bottom; ++y) {
        for (int x = span.dest.left; x < span.dest.right; ++x) {
            dst.at(x, y) =
                blendPixel(dst.at(x, y), image->at(x + span.dx, y + span.dy), alpha, perPixelAlpha);
        }
    }
}

}  // namespace platform
}  // namespace TKGUI
