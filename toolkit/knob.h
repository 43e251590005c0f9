// A round knob: wheel, arrow keys (after a click made it the focus view), a
// control-click reset, and a drag that is linear or follows the pointer
// around the centre.
//
// Angles are in radians, counter-clockwise from the positive x axis; a
// negative range turns clockwise. The handle point is in view coordinates.
#pragma once

#include "toolkit/control.h"

namespace TKGUI {

class CKnob : public CControl {
  public:
    CKnob(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
          const CPoint& bitmapOffset);
    ~CKnob() override;

    using CControl::mouseWheel;

    void draw(CDrawContext* context) override;
    void mouseDown(CDrawContext* context, const CPoint& where, int buttons = -1) override;
    bool mouseWheel(CDrawContext* context, const CPoint& where, float distance) override;
    int32_t keyDown(CKeyCode& key) override;

    virtual void drawHandle(CDrawContext* context);
    virtual void setStartAngle(float angle);
    virtual float getStartAngle() const { return startAngle; }
    virtual void setRangeAngle(float angle);
    virtual float getRangeAngle() const { return rangeAngle; }
    virtual void valueToHandlePoint(CPoint& point) const;
    virtual float pointToValue(const CPoint& point) const;
    virtual void setInset(int32_t newInset) { inset = newInset; }
    virtual void setHandleShadowColor(const CColor& color);
    virtual void setHandleColor(const CColor& color);
    virtual void setHandleBitmap(CBitmap* bitmap);
    virtual void setFineFactor(float factor) { fineFactor = factor; }
    virtual float getFineFactor() const { return fineFactor; }

    // a, b and the half dead angle from the start and range angles.
    void computeCoefficients();

    int32_t getInset() const { return inset; }
    float getHalfDeadAngle() const { return halfDeadAngle; }

  protected:
    // The knob's own prologue: enabled, polled buttons, left button,
    // modifier question, reset click. Answers whether a drag may start.
    bool knobMouseDownPrologue(CDrawContext* context, int32_t& buttons);
    // The current button word, from the context when there is one.
    static int32_t pollButtons(CDrawContext* context);
    void reportGesture(CDrawContext* context);

    CPoint knobOffset;
    CColor handleColor = kWhiteCColor;
    CColor handleShadowColor = kGreyCColor;
    CBitmap* handleBitmap = nullptr;
    int32_t inset = 3;
    float startAngle;
    float rangeAngle;
    float halfDeadAngle = 0.0f;
    float aCoef = 0.0f;
    float bCoef = 0.0f;
    float radius;
    float fineFactor = 1.5f;
};

// Truncation toward zero as the casts in the drawing formulas do, with NaN
// giving 0 and values beyond the int range held at its ends.
int32_t truncateToInt(double x);

}  // namespace TKGUI
