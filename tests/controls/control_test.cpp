// The control base: dirty tracking, the reset click and the order of the
// mouse-down steps in each control.
#include <cmath>
#include <limits>

#include "controls_fixture.h"
#include "editor/tembro_knob.h"
#include "toolkit/horizontal_switch.h"
#include "toolkit/knob.h"
#include "toolkit/on_off_button.h"
#include "toolkit/text_edit.h"

using namespace TKGUI;

namespace tk42test {
namespace {

using ControlTest = ControlsTest;

TEST_F(ControlTest, ValueChangesMakeTheControlDirtyUntilItIsDrawnAgain) {
    auto* c = add(new CControl(CRect(0, 0, 10, 10), &listener, 1));
    EXPECT_TRUE(c->isDirty()) << "a new control is drawn at the first idle";
    c->setDirty(false);
    EXPECT_FALSE(c->isDirty());
    c->setValue(0.25f);
    EXPECT_TRUE(c->isDirty()) << "setValue alone must be picked up by the next idle";
    c->setDirty(false);
    c->setValue(0.25f);
    EXPECT_FALSE(c->isDirty()) << "the same value again is no change";

    // setDirty (true) must make lastValue differ even when the value is -1.
    c->setValue(-1.0f);
    c->setDirty(true);
    EXPECT_EQ(c->getLastValue(), 0.0f);
    c->setValue(0.0f);
    c->setDirty(true);
    EXPECT_EQ(c->getLastValue(), -1.0f);
}

TEST_F(ControlTest, NanValueStaysDirtyAndSetValueNeitherClampsNorReports) {
    auto* c = add(new CControl(CRect(0, 0, 10, 10), &listener, 1));
    c->setValue(std::numeric_limits<float>::quiet_NaN());
    c->setDirty(false);
    EXPECT_TRUE(c->isDirty()) << "NaN never equals the last drawn value";
    c->setValue(7.0f);
    EXPECT_EQ(c->getValue(), 7.0f);
    EXPECT_EQ(listener.changes, 0);
    c->clampValue();
    EXPECT_EQ(c->getValue(), 1.0f);
}

TEST_F(ControlTest, ResetClickNeedsExactlyLeftAndControl) {
    auto* c = add(new CControl(CRect(0, 0, 10, 10), &listener, 4));
    c->setDefaultValue(0.25f);
    c->setValue(0.8f);
    EXPECT_FALSE(c->checkResetClick(context, kLButton | kControl | kShift));
    EXPECT_FALSE(c->checkResetClick(context, kControl));
    EXPECT_EQ(c->getValue(), 0.8f);
    EXPECT_EQ(editor.begins, 0);

    EXPECT_TRUE(c->checkResetClick(context, kLButton | kControl));
    EXPECT_EQ(c->getValue(), 0.25f);
    EXPECT_EQ(editor.log, (std::vector<std::string>{"begin 4", "changed", "end 4"}));
    EXPECT_EQ(frame->getFocusView(), c) << "beginEdit makes the control the focus view";

    // Already at the default and drawn: bracketed, but nothing to report.
    c->setDirty(false);
    editor.log.clear();
    EXPECT_TRUE(c->checkResetClick(context, kLButton | kControl));
    EXPECT_EQ(editor.log, (std::vector<std::string>{"begin 4", "end 4"}));
}

// Which clicks reach modifierClicked: a modifier click without the left
// button only on the switch and the text edit; with it on all four.
TEST_F(ControlTest, ModifierClickReachesTheListenerInEachControlsOwnOrder) {
    auto* button = add(new COnOffButton(CRect(0, 0, 40, 40), &listener, 5, nullptr));
    auto* knob = add(new CKnob(CRect(50, 0, 90, 40), &listener, 0, nullptr, CPoint()));
    auto* tknob =
        add(new TembroKnob(CRect(100, 0, 140, 40), &listener, 1, 97, 40, nullptr, CPoint()));
    auto* bitmap = new CBitmap(106);
    auto* sw = add(
        new CHorizontalSwitch(CRect(150, 0, 190, 30), &listener, 6, 2, 30, 2, bitmap, CPoint()));
    bitmap->release();
    auto* edit = add(new CTextEdit(CRect(200, 0, 230, 12), &listener, 1001));

    struct Case {
        CControl* control;
        CPoint at;
        bool reachedWithoutLeft;
    };
    const Case cases[] = {{button, {10, 10}, false},
                          {knob, {60, 10}, false},
                          {tknob, {110, 10}, false},
                          {sw, {160, 10}, true},
                          {edit, {210, 5}, true}};
    for (const Case& c : cases) {
        listener.modifierClicks = 0;
        click(c.control, c.at, kControl);
        EXPECT_EQ(listener.modifierClicks, c.reachedWithoutLeft ? 1 : 0)
            << "tag " << c.control->getTag() << " without the left button";
        listener.modifierClicks = 0;
        listener.modifierAnswer = 1;  // handled: the control must ignore the click
        const float before = c.control->getValue();
        click(c.control, c.at, kLButton | kShift);
        listener.modifierAnswer = 0;
        EXPECT_EQ(listener.modifierClicks, 1) << "tag " << c.control->getTag();
        EXPECT_EQ(listener.lastModifierButtons, kLButton | kShift);
        EXPECT_EQ(c.control->getValue(), before) << "tag " << c.control->getTag();
    }
    EXPECT_EQ(editor.begins, 0) << "no handled click may start a gesture";
    EXPECT_EQ(listener.changes, 0);
}

TEST_F(ControlTest, DisabledMouseAndPolledButtons) {
    auto* button = add(new COnOffButton(CRect(0, 0, 40, 40), &listener, 5, nullptr));
    button->enableMouse(false);
    click(button, CPoint(5, 5));
    EXPECT_EQ(button->getValue(), 0.0f);

    // -1: the control polls the buttons itself.
    button->enableMouse(true);
    software::setButtonsAndModifiers(kLButton);
    button->mouseDown(context, CPoint(5, 5), -1);
    software::setButtonsAndModifiers(0);
    EXPECT_EQ(button->getValue(), 1.0f);
}

}  // namespace
}  // namespace tk42test
