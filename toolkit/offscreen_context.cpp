#include "toolkit/offscreen_context.h"

#include <algorithm>

#include "toolkit/bitmap.h"
#include "toolkit/frame.h"

namespace TKGUI {

namespace {
platform::Window* frameWindow(CFrame* frame) {
    return frame ? frame->getWindow() : nullptr;
}
}  // namespace

COffscreenContext::COffscreenContext(CFrame* frame, int width, int height, const CColor& background)
    : CDrawContext(frame, platform::createMemoryDevice(frameWindow(frame)), nullptr),
      height(height),
      width(width),
      backgroundColor(background) {
    // Negative sizes still give a clip that contains the origin.
    clipRect =
        CRect(std::min(0, width), std::min(0, height), std::max(0, width), std::max(0, height));
    if (width > 0 && height > 0) {
        image = platform::createCompatibleImage(frameWindow(frame), width, height);
    }
    if (device && image) oldImage = platform::selectImage(device, image);

    setFillColor(background);
    setFrameColor(background);
    fillRect(CRect(0, 0, width, height));
    drawRect(CRect(0, 0, width, height));
}

COffscreenContext::~COffscreenContext() {
    if (bitmap) bitmap->release();
    restoreDeviceObjects();
    if (device && oldImage) platform::selectImage(device, oldImage);
    if (device) platform::deleteMemoryDevice(device);
    device = nullptr;
    if (image && destroyImage) platform::deleteImage(image);
}

void COffscreenContext::copyTo(CDrawContext* dest, const CRect& rect, const CPoint& sourcePoint) {
    if (!dest || !dest->getDevice() || !device) return;
    CPoint o = dest->getOffset();
    platform::copyPixels(dest->getDevice(), rect.offsetBy(o.x, o.y), device, sourcePoint);
}

void COffscreenContext::copyFrom(CDrawContext* source, const CRect& rect, const CPoint& destPoint) {
    if (!source || !source->getDevice() || !device) return;
    CPoint o = source->getOffset();
    CRect dest(destPoint.x, destPoint.y, destPoint.x + rect.width(), destPoint.y + rect.height());
    platform::copyPixels(device, dest, source->getDevice(),
                         CPoint(rect.left + o.x, rect.top + o.y));
}

}  // namespace TKGUI
