// The toolkit's knob and filmstrip knob: wheel, keys, the angle mapping both
// ways, base drawing, both drags, frame snapping and the handle-point rule.
#include "toolkit/knob.h"

#include <cmath>
#include <limits>

#include "controls_fixture.h"
#include "toolkit/anim_knob.h"
#include "toolkit/key_codes.h"
#include "toolkit/knob_mode.h"
#include "toolkit/offscreen_context.h"
#include "toolkit/platform/software/software_script.h"

using namespace TKGUI;

namespace tk42test {
namespace {

using KnobTest = ControlsTest;
using AnimKnobTest = ControlsTest;

constexpr float kPi = 3.14159265358979f;

CKeyCode key(int virt, int modifier = 0) {
    CKeyCode k{};
    k.virt = static_cast<unsigned char>(virt);
    k.modifier = static_cast<unsigned char>(modifier);
    return k;
}

CKnob* knob80(CControlListener* l) {
    return new CKnob(CRect(0, 0, 80, 80), l, 2, nullptr, CPoint());
}

TEST_F(KnobTest, WheelStepsByTheWheelStepAndATenthWithShiftNeverLeavingTheRange) {
    auto* k = add(knob80(&listener));
    k->setValue(0.5f);
    EXPECT_TRUE(k->mouseWheel(context, CPoint(10, 10), 1.0f));
    EXPECT_FLOAT_EQ(k->getValue(), 0.6f);
    software::setButtonsAndModifiers(kShift);
    k->mouseWheel(context, CPoint(10, 10), -1.0f);
    EXPECT_FLOAT_EQ(k->getValue(), 0.59f) << "Shift: distance x 0.1 with step 0.1";
    software::setButtonsAndModifiers(0);
    k->mouseWheel(context, CPoint(10, 10), 30.0f);
    EXPECT_EQ(k->getValue(), 1.0f);
    k->mouseWheel(context, CPoint(10, 10), -30.0f);
    EXPECT_EQ(k->getValue(), 0.0f);
    EXPECT_EQ(listener.changes, 4);
    EXPECT_EQ(editor.begins, 4);
    EXPECT_EQ(editor.ends, 4);

    // At the end already and drawn: no change, nothing reported.
    k->setDirty(false);
    k->mouseWheel(context, CPoint(10, 10), -1.0f);
    EXPECT_EQ(listener.changes, 4);

    k->enableMouse(false);
    EXPECT_FALSE(k->mouseWheel(context, CPoint(10, 10), 1.0f));
}

TEST_F(KnobTest, ArrowKeysStepAndOtherKeysAreNotHandled) {
    auto* k = add(knob80(&listener));
    k->setValue(0.5f);
    CKeyCode up = key(VKEY_UP), right = key(VKEY_RIGHT), left = key(VKEY_LEFT),
             down = key(VKEY_DOWN, MODIFIER_SHIFT), tab = key(VKEY_TAB), esc = key(VKEY_ESCAPE);
    EXPECT_EQ(k->keyDown(up), 1);
    EXPECT_EQ(k->keyDown(right), 1);
    EXPECT_FLOAT_EQ(k->getValue(), 0.7f);
    EXPECT_EQ(k->keyDown(left), 1);
    EXPECT_EQ(k->keyDown(down), 1);
    EXPECT_FLOAT_EQ(k->getValue(), 0.59f);
    EXPECT_EQ(k->keyDown(tab), -1);
    EXPECT_EQ(k->keyDown(esc), -1);
    EXPECT_FLOAT_EQ(k->getValue(), 0.59f);
    EXPECT_EQ(listener.changes, 4);
}

TEST_F(KnobTest, ArrowKeysReachAKnobOnlyAfterAClickMadeItTheFocusView) {
    auto* k = add(knob80(&listener));
    k->setValue(0.5f);
    CKeyCode up = key(VKEY_UP);
    EXPECT_EQ(frame->keyDown(up), -1);
    frame->mouseDown(context, CPoint(40, 40), kLButton);
    EXPECT_EQ(frame->getFocusView(), k);
    EXPECT_EQ(frame->keyDown(up), 1);
    EXPECT_FLOAT_EQ(k->getValue(), 0.6f);
}

TEST_F(KnobTest, HandlePointFollowsTheSweepFromLowerLeftOverTheTopToLowerRight) {
    auto* k = add(knob80(&listener));  // radius 40, inset 3
    CPoint p;
    k->setValue(0.0f);
    k->valueToHandlePoint(p);
    EXPECT_EQ(p, CPoint(14, 66));
    k->setValue(0.5f);
    k->valueToHandlePoint(p);
    EXPECT_EQ(p, CPoint(40, 3));
    k->setValue(1.0f);
    k->valueToHandlePoint(p);
    EXPECT_EQ(p, CPoint(66, 66));
}

TEST_F(KnobTest, PointToValueInvertsTheHandleForBothRangeSignsAndSplitsTheDeadZone) {
    auto* k = add(knob80(&listener));
    for (int pass = 0; pass < 2; ++pass) {
        for (float v = 0.05f; v < 1.0f; v += 0.1f) {
            k->setValue(v);
            CPoint p;
            k->valueToHandlePoint(p);
            EXPECT_NEAR(k->pointToValue(p), v, 0.02f) << "range sign pass " << pass;
        }
        // Counter-clockwise from the lower right over the top.
        k->setStartAngle(-kPi / 4.0f);
        k->setRangeAngle(3.0f * kPi / 2.0f);
    }
    // Clockwise sweep: in the dead zone below the centre, the left part
    // belongs to the minimum and the right part to the maximum.
    k->setStartAngle(5.0f * kPi / 4.0f);
    k->setRangeAngle(-3.0f * kPi / 2.0f);
    EXPECT_EQ(k->pointToValue(CPoint(35, 79)), 0.0f);
    EXPECT_EQ(k->pointToValue(CPoint(45, 79)), 1.0f);
    EXPECT_NEAR(k->getHalfDeadAngle(), kPi / 4.0f, 1e-6f);
}

TEST_F(KnobTest, BaseDrawingDrawsTheHandleAndItsShadow) {
    auto* k = add(knob80(&listener));
    k->setValue(0.5f);  // handle straight up at (40, 3)
    auto* buffer = new COffscreenContext(frame, 80, 80, kBlackCColor);
    k->draw(buffer);
    platform::Image* image = buffer->getImage();
    EXPECT_EQ(software::pixelAt(image, 40, 10), 0xFFFFFFFFu) << "handle colour";
    EXPECT_EQ(software::pixelAt(image, 39, 10), 0xFF7F7F7Fu) << "shadow colour, one to the left";
    EXPECT_EQ(software::pixelAt(image, 60, 10), 0xFF000000u);
    EXPECT_FALSE(k->isDirty());
    buffer->release();
}

TEST_F(KnobTest, LinearDragTakes400PixelsAndShiftSlowsItWithoutAJump) {
    auto* k = add(knob80(&listener));
    k->setValue(0.5f);
    drag(k, CPoint(40, 40), {CPoint(80, 40)});
    EXPECT_FLOAT_EQ(k->getValue(), 0.6f);
    EXPECT_EQ(editor.begins, 1);
    EXPECT_EQ(editor.ends, 1);

    k->setValue(0.5f);
    drag(k, CPoint(40, 40), {CPoint(40, -20)}, kLButton | kShift);
    EXPECT_FLOAT_EQ(k->getValue(), 0.6f) << "fine mode: 600 pixels for the range";

    // Shift pressed during the drag: the value must not jump when the
    // speed changes.
    k->setValue(0.5f);
    software::setCursorScreenPosition(CPoint(40, 40));
    software::setButtonsAndModifiers(kLButton);
    editor.steps = {{CPoint(80, 40), kLButton},
                    {CPoint(80, 40), kLButton | kShift},
                    {CPoint(81, 40), kLButton | kShift},
                    {CPoint(81, 40), 0}};
    k->mouseDown(context, CPoint(40, 40), kLButton);
    editor.steps.clear();
    EXPECT_NEAR(k->getValue(), 0.6f + 1.0f / 600.0f, 1e-5f);
}

TEST_F(KnobTest, CircularDragFollowsThePointerAndDoesNotJumpAcrossTheDeadZone) {
    setHostKnobMode(kCircularMode);
    auto* k = add(knob80(&listener));
    // Press at the top, go round to the right, then through the dead zone to
    // the lower left: the knob stays at the maximum.
    drag(k, CPoint(40, 2), {CPoint(78, 40), CPoint(68, 68), CPoint(12, 68)});
    EXPECT_EQ(k->getValue(), 1.0f);
    EXPECT_NEAR(listener.values.front(), 0.5f, 1e-5f) << "the press point itself sets the value";

    // Alt switches to the other mode: linear here.
    k->setValue(0.5f);
    drag(k, CPoint(40, 2), {CPoint(80, 2)}, kLButton | kAlt);
    EXPECT_FLOAT_EQ(k->getValue(), 0.6f);

    // And circular under the linear host mode.
    setHostKnobMode(kLinearMode);
    drag(k, CPoint(40, 2), {CPoint(78, 40)}, kLButton | kAlt);
    EXPECT_NEAR(k->getValue(), 5.0f / 6.0f, 0.01f);
}

TEST_F(KnobTest, RightButtonAloneAndResetClick) {
    auto* k = add(knob80(&listener));
    k->setValue(0.3f);
    click(k, CPoint(40, 40), kRButton);
    EXPECT_EQ(editor.begins, 0);
    click(k, CPoint(40, 40), kLButton | kControl);
    EXPECT_EQ(k->getValue(), 0.5f) << "the toolkit's default value";
    EXPECT_EQ(editor.pumps, 0) << "a reset click does not drag";
}

CAnimKnob* strip80(CControlListener* l, CBitmap* b = nullptr) {
    return new CAnimKnob(CRect(30, 25, 110, 105), l, 0, 97, 80, b, CPoint());
}

TEST_F(AnimKnobTest, FrameOffsetSnapsDownToWholeFrames) {
    auto* k = add(strip80(&listener));
    struct Case {
        float value;
        int y;
    };
    const Case cases[] = {
        {0.5f, 3840}, {1.0f, 7680},  {0.0104f, 0},   {0.0f, 0},
        {-0.3f, 0},   {0.0105f, 80}, {0.999f, 7600}, {std::numeric_limits<float>::quiet_NaN(), 0}};
    for (const Case& c : cases) {
        k->setValue(c.value);
        EXPECT_EQ(k->frameOffset(), CPoint(0, c.y)) << "value " << c.value;
    }
    k->setInverseBitmap(true);
    k->setValue(0.0f);
    EXPECT_EQ(k->frameOffset(), CPoint(0, 7680));
    k->setValue(1.0f);
    EXPECT_EQ(k->frameOffset(), CPoint(0, 0));
}

TEST_F(AnimKnobTest, DrawsTheChosenFrameIntoItsRectangle) {
    auto* strip = new RecordingBitmap(102);
    auto* k = add(strip80(&listener, strip));
    strip->release();
    k->setValue(0.5f);
    k->draw(context);
    ASSERT_EQ(strip->draws.size(), 1u);
    EXPECT_EQ(strip->draws[0].rect, CRect(30, 25, 110, 105));
    EXPECT_EQ(strip->draws[0].offset, CPoint(0, 3840));
    EXPECT_FALSE(strip->draws[0].keyed);
}

TEST_F(AnimKnobTest, ChangesSmallerThanTheHandleResolutionAreNotRedrawn) {
    auto* k = add(strip80(&listener));
    k->setValue(0.5f);
    k->draw(context);
    k->setValue(0.5f + 0.001f);
    EXPECT_FALSE(k->isDirty()) << "the handle point did not move";
    k->setValue(0.52f);
    EXPECT_TRUE(k->isDirty());
    k->setValue(0.5f);
    k->setDirty(true);
    EXPECT_TRUE(k->isDirty()) << "the dirty flag always counts";
    k->setDirty(false);
    k->setValue(std::numeric_limits<float>::quiet_NaN());
    EXPECT_TRUE(k->isDirty()) << "NaN counts as a change";
}

TEST_F(AnimKnobTest, AZeroFrameHeightDoesNotHangTheDraw) {
    auto* k = add(new CAnimKnob(CRect(0, 0, 40, 40), &listener, 0, 97, 0, nullptr, CPoint()));
    k->setValue(0.5f);
    EXPECT_EQ(k->frameOffset(), CPoint(0, 0));
}

}  // namespace
}  // namespace tk42test
