// The toolkit's plain value types: rectangles, points and colours.
//
// Drawing treats a rectangle's right and bottom as exclusive; hit and overlap
// tests include them. Which coordinates a rectangle is in is said where it is
// stored (a view's bounds are in its parent's coordinates).
#pragma once

#include <cstdint>

namespace TKGUI {

struct CPoint {
    int32_t x = 0;
    int32_t y = 0;

    CPoint() = default;
    CPoint(int32_t x, int32_t y) : x(x), y(y) {}
    CPoint& offset(int32_t dx, int32_t dy) {
        x += dx;
        y += dy;
        return *this;
    }
    bool operator==(const CPoint& o) const { return x == o.x && y == o.y; }
    bool operator!=(const CPoint& o) const { return !(*this == o); }
};

struct CRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    CRect() = default;
    CRect(int32_t left, int32_t top, int32_t right, int32_t bottom)
        : left(left), top(top), right(right), bottom(bottom) {}

    int32_t width() const { return right - left; }
    int32_t height() const { return bottom - top; }
    bool isEmpty() const { return width() <= 0 || height() <= 0; }

    CRect& offset(int32_t dx, int32_t dy) {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
        return *this;
    }
    CRect offsetBy(int32_t dx, int32_t dy) const { return CRect(*this).offset(dx, dy); }
    CRect& moveTo(int32_t x, int32_t y) { return offset(x - left, y - top); }

    // Shrinks this rectangle to its overlap with other; may leave it empty.
    CRect& bound(const CRect& other) {
        if (left < other.left) left = other.left;
        if (top < other.top) top = other.top;
        if (right > other.right) right = other.right;
        if (bottom > other.bottom) bottom = other.bottom;
        return *this;
    }
    CRect intersection(const CRect& other) const { return CRect(*this).bound(other); }

    // Edges included: a point on the right or bottom edge is inside.
    bool pointInside(const CPoint& p) const {
        return p.x >= left && p.x <= right && p.y >= top && p.y <= bottom;
    }
    // Edges included: rectangles that only touch overlap.
    bool rectOverlap(const CRect& o) const {
        return left <= o.right && o.left <= right && top <= o.bottom && o.top <= bottom;
    }

    bool operator==(const CRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
    bool operator!=(const CRect& o) const { return !(*this == o); }
};

// Red, green, blue, alpha; alpha 255 is opaque.
struct CColor {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t alpha = 255;

    bool operator==(const CColor& o) const {
        return red == o.red && green == o.green && blue == o.blue && alpha == o.alpha;
    }
    bool operator!=(const CColor& o) const { return !(*this == o); }
};

constexpr CColor kWhiteCColor{255, 255, 255, 255};
constexpr CColor kGreyCColor{127, 127, 127, 255};
constexpr CColor kRedCColor{255, 0, 0, 255};
constexpr CColor kBlackCColor{0, 0, 0, 255};
constexpr CColor kDefaultColorKey{255, 255, 255, 0};

}  // namespace TKGUI
