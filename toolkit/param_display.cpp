#include "toolkit/param_display.h"

#include <cstdio>

#include "toolkit/bitmap.h"

namespace TKGUI {

namespace {
template <typename T>
bool storeIfChanged(T& field, const T& newValue) {
    if (field == newValue) return false;
    field = newValue;
    return true;
}
}  // namespace

CParamDisplay::CParamDisplay(const CRect& size) : CControl(size, nullptr, 0, nullptr) {}

void CParamDisplay::setFont(int newId) {
    if (storeIfChanged(fontId, newId)) setDirty(true);
}
void CParamDisplay::setFontColor(const CColor& color) {
    if (storeIfChanged(fontColor, color)) setDirty(true);
}
void CParamDisplay::setBackColor(const CColor& color) {
    if (storeIfChanged(backColor, color)) setDirty(true);
}
void CParamDisplay::setFrameColor(const CColor& color) {
    if (storeIfChanged(frameColor, color)) setDirty(true);
}
void CParamDisplay::setShadowColor(const CColor& color) {
    if (storeIfChanged(shadowColor, color)) setDirty(true);
}
void CParamDisplay::setAlignment(CHoriTxtAlign align) {
    if (storeIfChanged(alignment, align)) setDirty(true);
}
void CParamDisplay::setStyle(int newStyle) {
    if (storeIfChanged(style, newStyle)) setDirty(true);
}
void CParamDisplay::setFontStyle(int newStyle) {
    if (storeIfChanged(fontStyle, newStyle)) setDirty(true);
}

void CParamDisplay::setValueToText(ValueToTextWithData convert, void* data) {
    valueToTextWithData = convert;
    userData = data;
}

void CParamDisplay::setValueToText(ValueToText convert) {
    valueToText = convert;
}

void CParamDisplay::draw(CDrawContext* context) {
    char text[256] = "";
    if (valueToTextWithData) {
        valueToTextWithData(value, text, userData);
    } else if (valueToText) {
        valueToText(value, text);
    } else {
        std::snprintf(text, sizeof text, "%2.2f", static_cast<double>(value));
    }
    // A converter that filled the whole buffer is cut, not read past.
    text[sizeof text - 1] = 0;
    drawText(context, text);
}

void CParamDisplay::drawText(CDrawContext* context, const char* text, CBitmap* bitmap) {
    setDirty(false);
    if (style & kNoDrawStyle) return;
    if (!context) return;

    CBitmap* shown = bitmap ? bitmap : background;
    if (shown) {
        if (transparent) {
            shown->drawTransparent(context, size, bitmapOffset);
        } else {
            shown->draw(context, size, bitmapOffset);
        }
    } else if (!transparent) {
        context->setFillColor(backColor);
        context->fillRect(size);
        if (!(style & (kNoFrame | k3DIn | k3DOut))) {
            context->setFrameColor(frameColor);
            context->drawRect(size);
        }
    }

    if (style & (k3DIn | k3DOut)) {
        CRect r(size.left, size.top + 1, size.right - 1, size.bottom);
        const bool sunken = style & k3DIn;
        context->setFrameColor(sunken ? backColor : frameColor);
        context->moveTo(CPoint(r.left, r.bottom - 1));
        context->lineTo(CPoint(r.left, r.top));
        context->lineTo(CPoint(r.right, r.top));
        context->setFrameColor(sunken ? frameColor : backColor);
        context->moveTo(CPoint(r.right, r.top));
        context->lineTo(CPoint(r.right, r.bottom - 1));
        context->lineTo(CPoint(r.left, r.bottom - 1));
    }

    if ((style & kNoTextStyle) || !text) return;

    CRect oldClip;
    context->getClipRect(oldClip);
    context->setClipRect(size.intersection(oldClip));
    context->setFont(fontId, fontStyle);
    if (style & kShadowText) {
        context->setFontColor(shadowColor);
        context->drawString(text, size.offsetBy(1, 1), 0, alignment);
    }
    context->setFontColor(fontColor);
    context->drawString(text, size, !textTransparent, alignment);
    context->setClipRect(oldClip);
}

}  // namespace TKGUI
