#include "toolkit/bitmap.h"

#include "toolkit/draw_context.h"
#include "toolkit/png_image.h"

namespace TKGUI {

CBitmap::CBitmap(int32_t resourceId) : resourceId(resourceId) {
    loadFromResource(resourceId);
    transparentColor = kDefaultColorKey;
}

CBitmap::~CBitmap() {
    unload();
}

void CBitmap::unload() {
    if (image) platform::deleteImage(image);
    if (mask) platform::deleteImage(mask);
    image = nullptr;
    mask = nullptr;
    plain = false;
    width = 0;
    height = 0;
}

bool CBitmap::loadFromResource(int32_t id) {
    unload();
    resourceId = id;
    const int number = static_cast<uint16_t>(id);
    const uint8_t* data = nullptr;
    size_t size = 0;
    if (platform::findResource(number, "PNG", &data, &size)) {
        PremultipliedImage decoded;
        if (decodePng(data, size, decoded)) {
            width = decoded.width;
            height = decoded.height;
            image = platform::createImage(width, height, decoded.bottomUpBgra.data());
            plain = false;
            if (!image) {
                width = 0;
                height = 0;
            }
            return image != nullptr;
        }
    }
    int plainWidth = 0;
    int plainHeight = 0;
    image = platform::loadBitmapResource(number, &plainWidth, &plainHeight);
    if (!image) return false;
    plain = true;
    width = plainWidth;
    height = plainHeight;
    return true;
}

bool CBitmap::loadFromPath(const void* /*path*/) {
    unload();
    return false;
}

void CBitmap::draw(CDrawContext* context, const CRect& rect, const CPoint& offset) {
    if (!image || !context || !context->getDevice()) return;
    if (!plain) {
        drawAlphaBlend(context, rect, offset, 255);
        return;
    }
    CPoint o = context->getOffset();
    platform::drawImage(context->getDevice(), rect.offsetBy(o.x, o.y), image, offset);
}

void CBitmap::drawTransparent(CDrawContext* context, const CRect& rect, const CPoint& offset) {
    if (!image || !context || !context->getDevice()) return;
    if (!plain) {
        drawAlphaBlend(context, rect, offset, 255);
        return;
    }
    CPoint o = context->getOffset();
    platform::drawImageKeyed(context->getDevice(), rect.offsetBy(o.x, o.y), image, offset,
                             transparentColor, mask);
}

void CBitmap::drawAlphaBlend(CDrawContext* context, const CRect& rect, const CPoint& offset,
                             uint8_t alpha) {
    if (!image || !context || !context->getDevice()) return;
    CPoint o = context->getOffset();
    platform::alphaBlendImage(context->getDevice(), rect.offsetBy(o.x, o.y), image, offset, alpha,
                              !plain);
}

}  // namespace TKGUI
