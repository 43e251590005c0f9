// What stands behind the platform handles on the software platform.
//
// Images are top-down rows of 32-bit premultiplied pixels 0xAARRGGBB (blue,
// green, red, alpha in memory, as in a 32-bit Windows bitmap). Devices draw
// into the image selected into them, or into their window's image.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "toolkit/platform/platform.h"

namespace TKGUI {
namespace platform {

struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    Image(int width, int height)
        : width(width), height(height), pixels(size_t(width) * height, 0) {}
    uint32_t& at(int x, int y) { return pixels[size_t(y) * width + x]; }
    uint32_t at(int x, int y) const { return pixels[size_t(y) * width + x]; }
};

struct Pen {
    LineStyle style;
    int width;
    CColor color;
};

struct Brush {
    CColor color;
};

struct FontFace;  // a loaded font file, shared by all fonts that use it

struct Font {
    FontSpec desc;
    const char* faceName;  // desc.face points here
    FontFace* face;        // null when no font file could be loaded
};

struct Window {
    Image image;
    CPoint screenOrigin;
    int openDevices = 0;

    Window(int width, int height, CPoint origin) : image(width, height), screenOrigin(origin) {}
};

struct Device {
    Window* window = nullptr;  // a window's device draws into its image
    Image* selected = nullptr;
    Image stockImage{1, 1};  // a memory device starts with a 1 x 1 image
    Pen stockPen{LineStyle::solid, 1, CColor{0, 0, 0, 255}};
    Brush stockBrush{CColor{255, 255, 255, 255}};
    Font stockFont{};
    Pen* pen = &stockPen;
    Brush* brush = &stockBrush;
    Font* font = &stockFont;
    CColor textColor{0, 0, 0, 255};
    CColor backgroundColor{255, 255, 255, 255};
    bool opaque = true;
    bool clipped = false;
    CRect clip;
    CPoint position;

    Image* target() { return window ? &window->image : selected; }
    // The area drawing may touch: the clip region within the target.
    CRect drawableArea();
};

struct Library {
    int unused = 0;
};

// Book-keeping of live pens, brushes and fonts (software_devices.cpp).
void countFontCreated();
void countFontDeleted();

// Packs a colour as an opaque pixel.
inline uint32_t opaquePixel(CColor c) {
    return 0xFF000000u | (uint32_t(c.red) << 16) | (uint32_t(c.green) << 8) | c.blue;
}

}  // namespace platform
}  // namespace TKGUI
