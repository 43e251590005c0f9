#include "toolkit/knob.h"

#include <cmath>
#include <limits>

#include "toolkit/bitmap.h"
#include "toolkit/button_state.h"
#include "toolkit/draw_context.h"
#include "toolkit/frame.h"
#include "toolkit/key_codes.h"
#include "toolkit/knob_mode.h"

namespace TKGUI {

namespace {
constexpr float kPi = 3.14159265358979f;
constexpr float kTwoPi = 2.0f * kPi;
constexpr float kLinearSpan = 400.0f;  // pixels for the whole range
}  // namespace

int32_t truncateToInt(double x) {
    if (std::isnan(x)) return 0;
    if (x >= 2147483647.0) return std::numeric_limits<int32_t>::max();
    if (x <= -2147483648.0) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(x);
}

CKnob::CKnob(const CRect& size, CControlListener* listener, int32_t tag, CBitmap* background,
             const CPoint& bitmapOffset)
    : CControl(size, listener, tag, background),
      knobOffset(bitmapOffset),
      startAngle(5.0f * kPi / 4.0f),
      rangeAngle(-3.0f * kPi / 2.0f),
      radius(static_cast<float>(size.width()) / 2.0f) {
    focusWanted = true;
    computeCoefficients();
}

CKnob::~CKnob() {
    if (handleBitmap) handleBitmap->release();
}

void CKnob::computeCoefficients() {
    aCoef = (vmax - vmin) / rangeAngle;
    bCoef = vmin - aCoef * startAngle;
    halfDeadAngle = (kTwoPi - std::fabs(rangeAngle)) * 0.5f;
    setDirty(true);
}

void CKnob::setStartAngle(float angle) {
    startAngle = angle;
    computeCoefficients();
}

void CKnob::setRangeAngle(float angle) {
    rangeAngle = angle;
    computeCoefficients();
}

void CKnob::setHandleShadowColor(const CColor& color) {
    handleShadowColor = color;
    setDirty(true);
}

void CKnob::setHandleColor(const CColor& color) {
    handleColor = color;
    setDirty(true);
}

void CKnob::setHandleBitmap(CBitmap* bitmap) {
    if (bitmap) bitmap->retain();
    if (handleBitmap) handleBitmap->release();
    handleBitmap = bitmap;
    if (handleBitmap) inset = static_cast<int32_t>(handleBitmap->getWidth() * 0.5 + 2.5);
}

void CKnob::valueToHandlePoint(CPoint& point) const {
    const float alpha = (value - bCoef) / aCoef;
    const float reach = radius - static_cast<float>(inset);
    point.x = truncateToInt(std::cos(alpha) * reach + radius + 0.5f);
    point.y = truncateToInt(radius - std::sin(alpha) * reach + 0.5f);
}

float CKnob::pointToValue(const CPoint& point) const {
    float alpha =
        std::atan2(radius - static_cast<float>(point.y), static_cast<float>(point.x) - radius);
    if (alpha < 0.0f) alpha += kTwoPi;
    alpha -= startAngle;
    auto wrapped = [](float a) {
        if (a < 0.0f) return a + kTwoPi;
        if (a > kTwoPi) return a - kTwoPi;
        return a;
    };
    const float h = halfDeadAngle;
    const float r = rangeAngle;
    if (r < 0.0f) {
        alpha -= r;
        const float w = wrapped(alpha);
        if (w > h - r) return vmax;
        if (w > -r) return vmin;
        if (alpha > h - r) {
            alpha -= kTwoPi;
        } else if (alpha < -h) {
            alpha += kTwoPi;
        }
        return alpha * aCoef + vmax;
    }
    const float w = wrapped(alpha);
    if (w > h + r) return vmin;
    if (w > r) return vmax;
    if (alpha > h + r) {
        alpha -= kTwoPi;
    } else if (alpha < -h) {
        alpha += kTwoPi;
    }
    return alpha * aCoef + vmin;
}

void CKnob::draw(CDrawContext* context) {
    if (background) {
        if (transparent) {
            background->drawTransparent(context, size, knobOffset);
        } else {
            background->draw(context, size, knobOffset);
        }
    }
    drawHandle(context);
    setDirty(false);
}

void CKnob::drawHandle(CDrawContext* context) {
    if (!context) return;
    CPoint p;
    valueToHandlePoint(p);
    if (handleBitmap) {
        const int w = handleBitmap->getWidth();
        const int h = handleBitmap->getHeight();
        CRect r(size.left + p.x - w / 2, size.top + p.y - h / 2, 0, 0);
        r.right = r.left + w;
        r.bottom = r.top + h;
        handleBitmap->drawTransparent(context, r);
        return;
    }
    const CPoint centre(size.left + size.width() / 2 - 1, size.top + size.height() / 2);
    context->setFrameColor(handleShadowColor);
    context->moveTo(CPoint(p.x + size.left - 1, p.y + size.top));
    context->lineTo(centre);
    context->setFrameColor(handleColor);
    context->moveTo(CPoint(p.x + size.left, p.y + size.top - 1));
    context->lineTo(CPoint(centre.x + 1, centre.y - 1));
}

int32_t CKnob::pollButtons(CDrawContext* context) {
    return context ? context->getMouseButtons() : pollButtonState();
}

void CKnob::reportGesture(CDrawContext* context) {
    if (!isDirty() || !listener) return;
    beginEdit();
    listener->valueChanged(context, this);
    endEdit();
}

bool CKnob::mouseWheel(CDrawContext* context, const CPoint& /*where*/, float distance) {
    if (!mouseEnabled) return false;
    if (pollButtons(context) & kShift) distance *= 0.1f;
    value += distance * wheelStep;
    clampValue();
    reportGesture(context);
    return true;
}

int32_t CKnob::keyDown(CKeyCode& key) {
    float step;
    switch (key.virt) {
        case VKEY_LEFT:
        case VKEY_DOWN:
            step = -1.0f;
            break;
        case VKEY_UP:
        case VKEY_RIGHT:
            step = 1.0f;
            break;
        default:
            return -1;
    }
    if (key.modifier & MODIFIER_SHIFT) step *= 0.1f;
    value += step * wheelStep;
    clampValue();
    reportGesture(nullptr);
    return 1;
}

bool CKnob::knobMouseDownPrologue(CDrawContext* context, int32_t& buttons) {
    if (!mouseStepEnabled()) return false;
    mouseStepPoll(context, buttons);
    if (!mouseStepLeft(buttons)) return false;
    if (!mouseStepModifier(context, buttons)) return false;
    return !checkResetClick(context, buttons);
}

void CKnob::mouseDown(CDrawContext* context, const CPoint& where, int buttons) {
    if (!knobMouseDownPrologue(context, buttons)) return;

    const int32_t mode = frame ? frame->getKnobMode() : hostKnobMode();
    const bool alt = (buttons & kAlt) != 0;
    const bool linear = (mode == kLinearMode) != alt;

    auto coefficientFor = [this](int32_t state) {
        const float span = (state & kShift) ? fineFactor * kLinearSpan : kLinearSpan;
        return (vmax - vmin) / span;
    };
    const CPoint start = where;
    float startValue = value;
    float coef = coefficientFor(buttons);
    int32_t stateInForce = buttons;
    float previous = 0.0f;
    if (!linear) previous = pointToValue(CPoint(where.x - size.left, where.y - size.top));

    beginEdit();
    retain();
    CPoint last(-1, -1);
    CPoint current = where;
    int32_t polled;
    do {
        polled = pollButtons(context);
        if (current != last) {
            last = current;
            if (linear) {
                const int32_t d = (current.x - start.x) + (start.y - current.y);
                if (polled != stateInForce) {
                    // A new Shift state changes the speed from here on
                    // without making the value jump.
                    const float newCoef = coefficientFor(polled);
                    startValue += (coef - newCoef) * static_cast<float>(d);
                    coef = newCoef;
                    stateInForce = polled;
                }
                value = startValue + static_cast<float>(d) * coef;
                clampValue();
            } else {
                const float v = pointToValue(CPoint(current.x - size.left, current.y - size.top));
                const float half = (vmax - vmin) / 2.0f;
                if (previous - v > half) {
                    value = vmax;
                } else if (v - previous > half) {
                    value = vmin;
                } else {
                    value = v;
                    previous = v;
                }
            }
            reportIfDirty(context);
        }
        getCursorPosition(context, current);
        pumpIdle();
    } while ((polled & kLButton) && frameStillOpen());
    endEdit();
    release();
}

}  // namespace TKGUI
