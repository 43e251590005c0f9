// A control that shows its value as text, formatted by a callback (or with
// two decimals), over a background bitmap, a filled box or nothing.
#pragma once

#include "toolkit/control.h"
#include "toolkit/draw_context.h"

namespace TKGUI {

// Style bits.
enum CParamDisplayStyle {
    kShadowText = 0x4,
    k3DIn = 0x80,
    k3DOut = 0x100,
    kNoTextStyle = 0x800,
    kNoDrawStyle = 0x1000,
    kDoubleClickStyle = 0x2000,  // text edit only: a double click opens the field
    kNoFrame = 0x4000,
};

using ValueToText = void (*)(float value, char* text);
using ValueToTextWithData = void (*)(float value, char* text, void* userData);

class CParamDisplay : public CControl {
  public:
    explicit CParamDisplay(const CRect& size);

    void draw(CDrawContext* context) override;

    virtual void setFont(int fontId);
    virtual void setFontColor(const CColor& color);
    virtual void setBackColor(const CColor& color);
    virtual void setFrameColor(const CColor& color);
    virtual void setShadowColor(const CColor& color);
    virtual void setAlignment(CHoriTxtAlign align);
    virtual void setValueToText(ValueToTextWithData convert, void* data = nullptr);
    virtual void setValueToText(ValueToText convert);
    // Stored and never called.
    virtual void setThirdConverter(void* converter) { thirdConverter = converter; }
    virtual void setStyle(int newStyle);
    virtual void setFontStyle(int newStyle);
    virtual void setTextTransparent(bool flag) { textTransparent = flag; }

    int getFont() const { return fontId; }
    CColor getFontColor() const { return fontColor; }
    CHoriTxtAlign getAlignment() const { return alignment; }
    int getStyle() const { return style; }

  protected:
    // Draws the background, the 3D edge and then text (when not null).
    void drawText(CDrawContext* context, const char* text, CBitmap* bitmap = nullptr);

    ValueToText valueToText = nullptr;
    ValueToTextWithData valueToTextWithData = nullptr;
    void* thirdConverter = nullptr;
    void* userData = nullptr;
    CHoriTxtAlign alignment = kCenterText;
    int style = 0;
    int fontId = 3;
    int fontStyle = 0;
    CColor fontColor = kWhiteCColor;
    CColor backColor = kBlackCColor;
    CColor frameColor = kBlackCColor;
    CColor shadowColor = kRedCColor;
    bool textTransparent = true;
};

}  // namespace TKGUI
