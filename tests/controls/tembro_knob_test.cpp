// The editor's knob: its linear drag over dragRange pixels, the reset click,
// the report-only-when-dirty rule, and a drag that outlives the editor.
#include "editor/tembro_knob.h"

#include "controls_fixture.h"
#include "toolkit/knob_mode.h"
#include "toolkit/platform/software/software_script.h"

using namespace TKGUI;

namespace tk42test {
namespace {

using TembroKnobTest = ControlsTest;

// The gain knob as the editor configures it.
TembroKnob* gainKnob(CControlListener* l, float value) {
    auto* k = new TembroKnob(CRect(30, 25, 110, 105), l, 0, 97, 80, nullptr, CPoint());
    k->dragRange = 480.0f;
    k->setWheelStep(0.125f);
    k->setDefaultValue(0.0f);
    k->setValue(value);
    return k;
}

const CPoint kPress(70, 65);

CPoint by(int dx, int dy) {
    return CPoint(kPress.x + dx, kPress.y + dy);
}

TEST_F(TembroKnobTest, RightAndUpAddDownAndLeftSubtract) {
    auto* k = add(gainKnob(&listener, 0.5f));
    drag(k, kPress, {by(48, 0)});
    EXPECT_FLOAT_EQ(k->getValue(), 0.6f);
    EXPECT_EQ(editor.log.front(), "begin 0");
    EXPECT_EQ(editor.log.back(), "end 0");
    EXPECT_EQ(editor.begins, 1);
    EXPECT_EQ(editor.ends, 1);
    EXPECT_EQ(frame->getFocusView(), k) << "the click gives the knob the arrow keys";

    k->setValue(0.5f);
    drag(k, kPress, {by(48, 0), by(48, 48)});
    EXPECT_FLOAT_EQ(k->getValue(), 0.5f);
    k->setValue(0.5f);
    drag(k, kPress, {by(-24, 24)});
    EXPECT_FLOAT_EQ(k->getValue(), 0.4f);
}

TEST_F(TembroKnobTest, PastAnEndTheValueStaysThereAndLeavesItOnlyWhereTheOffsetReenters) {
    auto* k = add(gainKnob(&listener, 0.5f));
    drag(k, kPress, {by(0, -240), by(0, -300)});
    EXPECT_EQ(k->getValue(), 1.0f);

    k->setValue(0.0f);
    listener.values.clear();
    listener.dirtyOnReport = true;
    drag(k, kPress, {by(0, 100), by(0, 0)});
    EXPECT_EQ(k->getValue(), 0.0f) << "back at the press point after going below the end";
    k->setValue(0.0f);
    drag(k, kPress, {by(0, 100), by(0, -10)});
    EXPECT_FLOAT_EQ(k->getValue(), 10.0f / 480.0f);
}

TEST_F(TembroKnobTest, UnconfiguredKnobMovesAFourHundredthPerPixel) {
    auto* k = add(new TembroKnob(CRect(0, 0, 40, 40), &listener, 2, 97, 40, nullptr, CPoint()));
    k->setValue(0.5f);
    drag(k, CPoint(20, 20), {CPoint(60, 20)});
    EXPECT_FLOAT_EQ(k->getValue(), 0.6f);
}

TEST_F(TembroKnobTest, ModifiersAndTheHostKnobModeDoNotChangeTheDrag) {
    auto* k = add(gainKnob(&listener, 0.5f));
    drag(k, kPress, {by(48, 0)}, kLButton | kShift);
    EXPECT_FLOAT_EQ(k->getValue(), 0.6f) << "no fine mode";
    setHostKnobMode(kCircularMode);
    k->setValue(0.5f);
    drag(k, kPress, {by(48, 0)}, kLButton | kAlt);
    EXPECT_FLOAT_EQ(k->getValue(), 0.6f) << "no circular mode";
    EXPECT_EQ(listener.modifierClicks, 2) << "modifier clicks are offered to the editor first";
}

TEST_F(TembroKnobTest, State17ResetsWithoutDraggingAndState25Drags) {
    auto* k = add(gainKnob(&listener, 0.7f));
    drag(k, kPress, {by(48, 0)}, kLButton | kControl);
    EXPECT_EQ(k->getValue(), 0.0f);
    EXPECT_EQ(editor.pumps, 0);
    EXPECT_EQ(editor.begins, 1);
    EXPECT_EQ(editor.ends, 1);

    k->setValue(0.5f);
    drag(k, kPress, {by(48, 0)}, kLButton | kControl | kShift);
    EXPECT_FLOAT_EQ(k->getValue(), 0.6f);
}

TEST_F(TembroKnobTest, RightButtonAloneDoesNothing) {
    auto* k = add(gainKnob(&listener, 0.5f));
    drag(k, kPress, {by(48, 0)}, kRButton);
    EXPECT_EQ(k->getValue(), 0.5f);
    EXPECT_TRUE(editor.log.empty());
}

TEST_F(TembroKnobTest, TheReleaseTurnAppliesThePositionReadBeforeIt) {
    auto* k = add(gainKnob(&listener, 0.5f));
    // The cursor moves on again in the very turn the release is seen: that
    // last position is not applied.
    software::setCursorScreenPosition(kPress);
    software::setButtonsAndModifiers(kLButton);
    editor.steps = {{by(48, 0), kLButton}, {by(96, 0), 0}};
    k->mouseDown(context, kPress, kLButton);
    editor.steps.clear();
    EXPECT_FLOAT_EQ(k->getValue(), 0.6f);
}

TEST_F(TembroKnobTest, OnePixelMovesOnAJustDrawnSmallKnobWaitForTheHandleToMove) {
    auto* k = add(new TembroKnob(CRect(145, 20, 185, 60), &listener, 2, 97, 40, nullptr, CPoint()));
    k->dragRange = 480.0f;
    k->setValue(0.25f);
    k->draw(context);
    // One pixel leaves the handle point on the 20-pixel circle in place.
    CPoint drawn, moved;
    k->valueToHandlePoint(drawn);
    k->setValue(0.25f + 1.0f / 480.0f);
    k->valueToHandlePoint(moved);
    ASSERT_EQ(drawn, moved);
    k->setValue(0.25f);

    // The click makes the knob the focus view, which marks it dirty, so the
    // press turn reports once; the idle work of that turn draws it again.
    frame->draw(context);
    int drawingTurns = 1;
    editor.onPump = [&] {
        if (drawingTurns-- > 0) frame->idle();
    };
    const CPoint press(165, 40);
    drag(k, press, {CPoint(166, 40)});
    EXPECT_EQ(listener.values, (std::vector<float>{0.25f})) << "the one-pixel move is not sent";
    EXPECT_FLOAT_EQ(k->getValue(), 0.25f + 1.0f / 480.0f) << "the value moved all the same";

    // Further pixels until the point moves: that one is reported, and with
    // the editor's dirty marking every following pixel is too, as no idle
    // draws the knob in between.
    listener.values.clear();
    listener.dirtyOnReport = true;
    k->setValue(0.25f);
    k->draw(context);
    drawingTurns = 1;
    std::vector<CPoint> path;
    for (int x = 166; x < 186; ++x) path.push_back(CPoint(x, 40));
    drag(k, press, path);
    ASSERT_GE(listener.values.size(), 2u);
    EXPECT_EQ(listener.values[0], 0.25f);
    const int firstMoved = static_cast<int>((listener.values[1] - 0.25f) * 480.0f + 0.5f);
    EXPECT_GT(firstMoved, 1);
    EXPECT_EQ(listener.values.size(), size_t(1 + 20 - firstMoved + 1));
    EXPECT_FLOAT_EQ(listener.values.back(), 0.25f + 20.0f / 480.0f);
}

TEST_F(TembroKnobTest, WheelAndKeysComeFromTheBases) {
    auto* k = add(new TembroKnob(CRect(145, 20, 185, 60), &listener, 2, 97, 40, nullptr, CPoint()));
    k->setWheelStep(0.125f);
    k->setValue(0.25f);
    k->mouseWheel(context, CPoint(150, 30), 1.0f);
    EXPECT_FLOAT_EQ(k->getValue(), 0.375f);
    k->setValue(0.25f);
    software::setButtonsAndModifiers(kShift);
    k->mouseWheel(context, CPoint(150, 30), 1.0f);
    software::setButtonsAndModifiers(0);
    EXPECT_FLOAT_EQ(k->getValue(), 0.2625f);
}

TEST_F(TembroKnobTest, AnswersOnlyToItsOwnNameControlAndView) {
    auto* k = add(gainKnob(&listener, 0.0f));
    EXPECT_TRUE(k->isKindOf("TembroKnob"));
    EXPECT_TRUE(k->isKindOf("CControl"));
    EXPECT_TRUE(k->isKindOf("CView"));
    EXPECT_FALSE(k->isKindOf("CAnimKnob"));
    EXPECT_FALSE(k->isKindOf("CKnob"));
    EXPECT_FALSE(k->isKindOf("CViewContainer"));
    EXPECT_FALSE(k->isKindOf(nullptr));
}

TEST_F(TembroKnobTest, EditorClosedDuringTheDragEndsTheLoopAndStillEndsTheEdit) {
    auto* k = add(gainKnob(&listener, 0.5f));
    // The host closes the editor from inside the idle work of the second turn.
    editor.onPump = [this] {
        if (editor.pumps == 2) closeFrame();
    };
    drag(k, kPress, {by(48, 0), by(96, 0), by(144, 0)});
    EXPECT_EQ(editor.begins, 1);
    EXPECT_EQ(editor.ends, 1) << "the host must see the gesture end";
    EXPECT_EQ(editor.pumps, 2) << "no turn after the frame went";
}

}  // namespace
}  // namespace tk42test
