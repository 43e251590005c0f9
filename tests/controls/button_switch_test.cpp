// The on/off button and the horizontal switch.
#include "controls_fixture.h"
#include "toolkit/horizontal_switch.h"
#include "toolkit/on_off_button.h"

using namespace TKGUI;

namespace tk42test {
namespace {

using ButtonTest = ControlsTest;
using SwitchTest = ControlsTest;

TEST_F(ButtonTest, ClickTogglesByTruncation) {
    auto* b = add(new COnOffButton(CRect(0, 0, 40, 40), &listener, 5, nullptr));
    const float starts[] = {0.7f, 1.0f, 0.0f, 2.5f};
    const float ends[] = {1.0f, 0.0f, 1.0f, 0.0f};
    for (int i = 0; i < 4; ++i) {
        b->setValue(starts[i]);
        click(b, CPoint(5, 5));
        EXPECT_EQ(b->getValue(), ends[i]) << "from " << starts[i];
    }
    EXPECT_EQ(listener.changes, 4);
    EXPECT_EQ(editor.begins, 4);
    EXPECT_EQ(editor.ends, 4);
}

TEST_F(ButtonTest, StyleDecidesWhetherTheListenerHearsBeforeOrAfterThePump) {
    auto* b = add(new COnOffButton(CRect(0, 0, 40, 40), &listener, 5, nullptr));
    click(b, CPoint(5, 5));
    EXPECT_EQ(editor.log, (std::vector<std::string>{"pump", "begin 5", "changed", "end 5"}));
    editor.log.clear();
    b->setStyle(1);
    click(b, CPoint(5, 5));
    EXPECT_EQ(editor.log, (std::vector<std::string>{"begin 5", "changed", "end 5", "pump"}));
}

TEST_F(ButtonTest, ControlClickIsNoResetAndNoListenerMeansNoGesture) {
    auto* b = add(new COnOffButton(CRect(0, 0, 40, 40), &listener, 5, nullptr));
    b->setDefaultValue(0.0f);
    b->setValue(0.0f);
    click(b, CPoint(5, 5), kLButton | kControl);
    EXPECT_EQ(listener.modifierClicks, 1);
    EXPECT_EQ(b->getValue(), 1.0f) << "after the listener declines, it is a plain toggle";

    auto* silent = add(new COnOffButton(CRect(50, 0, 90, 40), nullptr, 7, nullptr));
    editor.log.clear();
    click(silent, CPoint(55, 5));
    EXPECT_EQ(silent->getValue(), 1.0f);
    EXPECT_EQ(editor.log, (std::vector<std::string>{"pump"}));
}

TEST_F(ButtonTest, DrawsTheLowerHalfWhenOn) {
    auto* strip = new RecordingBitmap(105);
    auto* b = add(new COnOffButton(CRect(145, 84, 185, 124), &listener, 5, strip));
    strip->release();
    b->setValue(0.3f);
    b->draw(context);
    b->setValue(0.0f);
    b->setTransparent(true);
    b->draw(context);
    ASSERT_EQ(strip->draws.size(), 2u);
    EXPECT_EQ(strip->draws[0].offset, CPoint(0, 40));
    EXPECT_FALSE(strip->draws[0].keyed);
    EXPECT_EQ(strip->draws[0].rect, CRect(145, 84, 185, 124));
    EXPECT_EQ(strip->draws[1].offset, CPoint(0, 0));
    EXPECT_TRUE(strip->draws[1].keyed);
    EXPECT_FALSE(b->isDirty());
}

CHorizontalSwitch* makeSwitch(CControlListener* l, RecordingBitmap** strip) {
    auto* bitmap = new RecordingBitmap(106);  // 40 x 60: 2 sub-images of 30
    auto* sw = new CHorizontalSwitch(CRect(145, 190, 185, 220), l, 6, 2, 30, 2, bitmap, CPoint());
    if (strip) *strip = bitmap;
    bitmap->release();
    return sw;
}

TEST_F(SwitchTest, ClickPicksThePositionUnderThePointer) {
    auto* sw = add(makeSwitch(&listener, nullptr));
    const int offsets[] = {19, 20, -30, 60, 0, 39};
    const float expected[] = {0.0f, 1.0f, 0.0f, 1.0f, 0.0f, 1.0f};
    for (int i = 0; i < 6; ++i) {
        click(sw, CPoint(145 + offsets[i], 200));
        EXPECT_EQ(sw->getValue(), expected[i]) << "x - left = " << offsets[i];
    }
}

TEST_F(SwitchTest, DragFollowsThePointerUntilTheButtonStateChangesAtAll) {
    auto* sw = add(makeSwitch(&listener, nullptr));
    sw->draw(context);
    // Each turn applies the position read in the turn before. Right half,
    // then Shift pressed over the left half: the drag must end there, before
    // that position is applied.
    software::setCursorScreenPosition(CPoint(150, 200));
    software::setButtonsAndModifiers(kLButton);
    editor.steps = {{CPoint(175, 200), kLButton},
                    {CPoint(175, 200), kLButton},
                    {CPoint(150, 200), kLButton | kShift},
                    {CPoint(150, 200), kLButton}};
    sw->mouseDown(context, CPoint(150, 200), kLButton);
    editor.steps.clear();
    EXPECT_EQ(listener.values, (std::vector<float>{1.0f})) << "reported only when it changed";
    EXPECT_EQ(sw->getValue(), 1.0f);
    EXPECT_EQ(editor.begins, 1);
    EXPECT_EQ(editor.ends, 1);
}

TEST_F(SwitchTest, ResetClickRestoresZeroAndModifierWithoutLeftButtonReachesTheListener) {
    auto* sw = add(makeSwitch(&listener, nullptr));
    sw->setValue(1.0f);
    click(sw, CPoint(150, 200), kLButton | kControl);
    EXPECT_EQ(sw->getValue(), 0.0f) << "the switch's default value is 0";
    EXPECT_EQ(editor.pumps, 0) << "a reset click does not drag";
}

TEST_F(SwitchTest, DrawsTheSubImageOfTheRoundedPosition) {
    RecordingBitmap* strip = nullptr;
    auto* sw = add(makeSwitch(&listener, &strip));
    const float values[] = {0.0f, 0.49f, 0.5f, 1.0f};
    for (float v : values) {
        sw->setValue(v);
        sw->draw(context);
    }
    ASSERT_EQ(strip->draws.size(), 4u);
    EXPECT_EQ(strip->draws[0].offset, CPoint(0, 0));
    EXPECT_EQ(strip->draws[1].offset, CPoint(0, 0));
    EXPECT_EQ(strip->draws[2].offset, CPoint(0, 30));
    EXPECT_EQ(strip->draws[3].offset, CPoint(0, 30));
}

TEST_F(SwitchTest, WithoutAStripAClickDoesNothing) {
    auto* sw =
        add(new CHorizontalSwitch(CRect(0, 0, 40, 30), &listener, 6, 2, 30, 2, nullptr, CPoint()));
    click(sw, CPoint(30, 10));
    EXPECT_EQ(sw->getValue(), 0.0f);
    EXPECT_EQ(editor.begins, 0);
}

}  // namespace
}  // namespace tk42test
