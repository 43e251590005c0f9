#include "toolkit/draw_context.h"

#include "toolkit/button_state.h"
#include "toolkit/font_table.h"
#include "toolkit/frame.h"

namespace TKGUI {

CDrawContext::CDrawContext(CFrame* frame, platform::Device* device, platform::Window* window)
    : device(device), window(window), frame(frame) {
    clipRect = frame ? frame->getBounds() : CRect(0, 0, 1000, 1000);
    if (!this->device && window) {
        this->device = platform::getWindowDevice(window);
        ownsDevice = this->device != nullptr;
    }
    if (this->device) {
        oldBrush = platform::currentBrush(this->device);
        oldPen = platform::currentPen(this->device);
        oldFont = platform::currentFont(this->device);
        platform::setBackgroundOpaque(this->device, false);
    }
    if (window) windowScreenPosition = platform::windowScreenOrigin(window);

    // The initial colours equal the field defaults, so the setters would see
    // no change: make the pen and brush for them here, so that the first line
    // or fill uses the context's colours rather than the device's defaults.
    makePen();
    if (this->device) {
        platform::setBackgroundColor(this->device, fillColor);
        brush = platform::createSolidBrush(fillColor);
        if (brush) platform::selectBrush(this->device, brush);
    }
    setFontColor(kWhiteCColor);
    setFont(0, 0);
    drawMode = kCopyMode;
}

CDrawContext::~CDrawContext() {
    restoreDeviceObjects();
    if (ownsDevice) platform::releaseWindowDevice(window, device);
}

void CDrawContext::restoreDeviceObjects() {
    if (deviceObjectsRestored) return;
    deviceObjectsRestored = true;
    if (device) {
        if (oldBrush) platform::selectBrush(device, oldBrush);
        if (oldPen) platform::selectPen(device, oldPen);
        if (oldFont) platform::selectFont(device, oldFont);
    }
    if (brush) platform::deleteBrush(brush);
    if (pen) platform::deletePen(pen);
    if (font) platform::deleteFont(font);
    brush = nullptr;
    pen = nullptr;
    font = nullptr;
}

void CDrawContext::makePen() {
    if (!device) return;
    platform::Pen* newPen = platform::createPen(
        lineStyle == kLineSolid ? platform::LineStyle::solid : platform::LineStyle::onOff,
        lineWidth, frameColor);
    if (!newPen) return;
    platform::selectPen(device, newPen);
    if (pen) platform::deletePen(pen);
    pen = newPen;
}

void CDrawContext::setLineStyle(CLineStyle style) {
    if (style == lineStyle) return;
    lineStyle = style;
    makePen();
}

void CDrawContext::setLineWidth(int /*width*/) {
    // Lines are always one pixel wide here; the pen already has that width.
}

void CDrawContext::setFrameColor(const CColor& color) {
    if (color == frameColor) return;
    frameColor = color;
    makePen();
}

void CDrawContext::setFillColor(const CColor& color) {
    if (color == fillColor) return;
    fillColor = color;
    if (!device) return;
    platform::setBackgroundColor(device, color);
    platform::Brush* newBrush = platform::createSolidBrush(color);
    if (!newBrush) return;  // the old brush stays in use
    platform::selectBrush(device, newBrush);
    if (brush) platform::deleteBrush(brush);
    brush = newBrush;
}

void CDrawContext::setFontColor(const CColor& color) {
    fontColor = color;
    if (device) platform::setTextColor(device, color);
}

void CDrawContext::setClipRect(const CRect& clip) {
    CRect deviceClip = clip.offsetBy(offset.x, offset.y);
    if (deviceClip == clipRect) return;
    clipRect = deviceClip;
    if (device) platform::setClipRect(device, clipRect);
}

CRect& CDrawContext::getClipRect(CRect& clip) const {
    clip = clipRect.offsetBy(-offset.x, -offset.y);
    return clip;
}

void CDrawContext::resetClipRect() {
    CRect all = frame ? frame->getBounds() : CRect(0, 0, 1000, 1000);
    setClipRect(all.offsetBy(-offset.x, -offset.y));
}

void CDrawContext::moveTo(const CPoint& point) {
    if (device) platform::moveTo(device, CPoint(point.x + offset.x, point.y + offset.y));
}

void CDrawContext::lineTo(const CPoint& point) {
    if (device) platform::lineTo(device, CPoint(point.x + offset.x, point.y + offset.y));
}

void CDrawContext::drawRect(const CRect& rect) {
    moveTo(CPoint(rect.left, rect.top));
    lineTo(CPoint(rect.right - 1, rect.top));
    lineTo(CPoint(rect.right - 1, rect.bottom - 1));
    lineTo(CPoint(rect.left, rect.bottom - 1));
    lineTo(CPoint(rect.left, rect.top));
}

void CDrawContext::fillRect(const CRect& rect) {
    if (!device || !brush) return;
    CRect r(rect.left + 1, rect.top + 1, rect.right, rect.bottom);
    platform::fillRect(device, r.offset(offset.x, offset.y), brush);
}

void CDrawContext::setFont(int newId, int style) {
    newId = clampFontId(newId);
    const FontTableEntry& entry = fontTableEntry(newId);
    if (newId == fontId && entry.size == fontSize && style == fontStyle) return;
    fontId = newId;
    fontSize = entry.size;
    fontStyle = style;
    if (!device) return;
    platform::FontSpec desc{};
    desc.pixelHeight = entry.size;
    desc.weight = (entry.alwaysBold || (style & kBoldFace)) ? 700 : 400;
    desc.italic = style & kItalicFace;
    desc.underline = style & kUnderlineFace;
    desc.decorative = entry.decorative;
    desc.face = entry.face;
    platform::Font* newFont = platform::createFont(desc);
    if (!newFont) return;
    platform::selectFont(device, newFont);
    if (font) platform::deleteFont(font);
    font = newFont;
}

void CDrawContext::drawString(const char* text, const CRect& rect, int16_t opaque,
                              CHoriTxtAlign align) {
    if (!device || !text) return;
    CRect r = rect.offsetBy(offset.x, offset.y);
    platform::setBackgroundOpaque(device, opaque != 0);
    platform::TextAlign platformAlign = platform::TextAlign::left;
    if (align == kCenterText) {
        platformAlign = platform::TextAlign::center;
    } else if (align == kRightText) {
        platformAlign = platform::TextAlign::right;
    } else {
        r.left += 1;
    }
    platform::drawText(device, text, r, platformAlign);
    platform::setBackgroundOpaque(device, false);
}

int CDrawContext::getMouseButtons() {
    return pollButtonState();
}

}  // namespace TKGUI
