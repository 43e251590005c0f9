// Memory devices, drawing objects and device state on the software platform
// (and on X11, which draws with it).
#include <cstring>

#include "toolkit/platform/software/software_script.h"
#include "toolkit/platform/software/software_types.h"

namespace TKGUI {

namespace {
int drawingObjects = 0;
bool brushesFail = false;
}  // namespace

int software::liveDrawingObjects() {
    return drawingObjects;
}
void software::setBrushCreationFails(bool fails) {
    brushesFail = fails;
}

namespace platform {

CRect Device::drawableArea() {
    Image* image = target();
    if (!image) return CRect();
    CRect area(0, 0, image->width, image->height);
    if (clipped) area.bound(clip);
    return area;
}

Device* createMemoryDevice(Window* /*compatibleWith*/) {
    Device* device = new Device;
    device->selected = &device->stockImage;
    return device;
}

void deleteMemoryDevice(Device* device) {
    delete device;
}

Pen* currentPen(Device* device) {
    return device ? device->pen : nullptr;
}
Brush* currentBrush(Device* device) {
    return device ? device->brush : nullptr;
}
Font* currentFont(Device* device) {
    return device ? device->font : nullptr;
}

Pen* selectPen(Device* device, Pen* pen) {
    if (!device || !pen) return nullptr;
    Pen* old = device->pen;
    device->pen = pen;
    return old;
}

Brush* selectBrush(Device* device, Brush* brush) {
    if (!device || !brush) return nullptr;
    Brush* old = device->brush;
    device->brush = brush;
    return old;
}

Font* selectFont(Device* device, Font* font) {
    if (!device || !font) return nullptr;
    Font* old = device->font;
    device->font = font;
    return old;
}

Image* selectImage(Device* device, Image* image) {
    if (!device || !image || device->window) return nullptr;
    Image* old = device->selected;
    device->selected = image;
    return old;
}

Pen* createPen(LineStyle style, int width, CColor color) {
    ++drawingObjects;
    return new Pen{style, width, color};
}

void deletePen(Pen* pen) {
    if (pen) --drawingObjects;
    delete pen;
}

Brush* createSolidBrush(CColor color) {
    if (brushesFail) return nullptr;
    ++drawingObjects;
    return new Brush{color};
}

void deleteBrush(Brush* brush) {
    if (brush) --drawingObjects;
    delete brush;
}

void countFontCreated() {
    ++drawingObjects;
}

void countFontDeleted() {
    --drawingObjects;
}

void setBackgroundOpaque(Device* device, bool opaque) {
    if (device) device->opaque = opaque;
}

void setBackgroundColor(Device* device, CColor color) {
    if (device) device->backgroundColor = color;
}

void setTextColor(Device* device, CColor color) {
    if (device) device->textColor = color;
}

void setClipRect(Device* device, const CRect& clip) {
    if (!device) return;
    device->clipped = true;
    device->clip = clip;
}

Image* createImage(int width, int height, const uint8_t* bottomUpBgra) {
    if (width <= 0 || height <= 0 || !bottomUpBgra) return nullptr;
    Image* image = new Image(width, height);
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = bottomUpBgra + size_t(height - 1 - y) * width * 4;
        std::memcpy(&image->at(0, y), row, size_t(width) * 4);
    }
    return image;
}

Image* createCompatibleImage(Window* /*compatibleWith*/, int width, int height) {
    if (width <= 0 || height <= 0) return nullptr;
    return new Image(width, height);
}

Image* loadBitmapResource(int /*id*/, int* /*width*/, int* /*height*/) {
    // Only PNG images are compiled into the binary here.
    return nullptr;
}

void deleteImage(Image* image) {
    delete image;
}

}  // namespace platform
}  // namespace TKGUI
