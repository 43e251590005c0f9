// Mouse, key, wheel, focus and drag routing through the frame.
#include <gtest/gtest.h>

#include "logic_fixture.h"
#include "toolkit/drag_container.h"
#include "toolkit/draw_context.h"
#include "toolkit/key_codes.h"

using namespace TKGUI;
using namespace tk42test;

namespace {

struct Context {
    CDrawContext* context;
    explicit Context(CFrame* frame) : context(new CDrawContext(frame, nullptr, nullptr)) {}
    ~Context() { context->release(); }
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;
};

}  // namespace

TEST_F(LogicTest, ClickOnTheRightAndBottomEdgeReachesTheView) {
    CFrame* frame = makeFrame();
    RecordingView* a = view(CRect(10, 10, 20, 20), "a");
    frame->addView(a);
    frame->mouseDown(nullptr, CPoint(20, 20), kLButton);
    EXPECT_TRUE(log.contains("a mouseDown"));
    log.clear();
    frame->mouseDown(nullptr, CPoint(21, 20), kLButton);
    frame->mouseDown(nullptr, CPoint(9, 15), kLButton);
    EXPECT_FALSE(log.contains("a mouseDown"));
    delete frame;
}

TEST_F(LogicTest, TheLastAddedViewWinsWhereMouseAreasOverlap) {
    CFrame* frame = makeFrame();
    RecordingView* below = view(CRect(0, 0, 50, 50), "below");
    RecordingView* above = view(CRect(40, 40, 90, 90), "above");
    frame->addView(below);
    frame->addView(above);
    frame->mouseDown(nullptr, CPoint(45, 45), kLButton);
    EXPECT_EQ(log.events, std::vector<std::string>{"above mouseDown"});
    above->enableMouse(false);
    frame->mouseDown(nullptr, CPoint(45, 45), kLButton);
    EXPECT_TRUE(log.contains("below mouseDown"));
    delete frame;
}

TEST_F(LogicTest, MouseAreaDecidesTheHitNotTheBounds) {
    CFrame* frame = makeFrame();
    RecordingView* a = view(CRect(0, 0, 10, 10), "a");
    frame->addView(a, CRect(100, 50, 110, 60), true);
    frame->mouseDown(nullptr, CPoint(5, 5), kLButton);
    EXPECT_FALSE(log.contains("a mouseDown"));
    frame->mouseDown(nullptr, CPoint(105, 55), kLButton);
    EXPECT_TRUE(log.contains("a mouseDown"));
    delete frame;
}

TEST_F(LogicTest, EveryClickClearsTheFocusFirstEvenOnEmptyBackground) {
    CFrame* frame = makeFrame();
    RecordingView* edit = view(CRect(0, 0, 10, 10), "edit");
    RecordingView* knob = view(CRect(50, 0, 60, 10), "knob");
    frame->addView(edit);
    frame->addView(knob);
    frame->setFocusView(edit);
    frame->mouseDown(nullptr, CPoint(150, 80), kLButton);
    EXPECT_EQ(log.events, std::vector<std::string>{"edit focusLost"});
    EXPECT_EQ(frame->getFocusView(), nullptr);
    log.clear();
    frame->setFocusView(edit);
    frame->mouseDown(nullptr, CPoint(55, 5), kLButton);
    EXPECT_EQ(log.events, (std::vector<std::string>{"edit focusLost", "knob mouseDown"}));
    delete frame;
}

TEST_F(LogicTest, UnknownButtonsArePolledWithTheSwappedButtonsRule) {
    CFrame* frame = makeFrame();
    RecordingView* a = view(CRect(0, 0, 10, 10), "a");
    frame->addView(a);
    Context c(frame);
    software::setButtonsAndModifiers(1 | 16);  // physical left, Control
    frame->mouseDown(c.context, CPoint(5, 5), -1);
    EXPECT_EQ(a->lastButtons, kLButton | kControl);
    setButtonsSwapped(true);
    frame->mouseDown(c.context, CPoint(5, 5), -1);
    EXPECT_EQ(a->lastButtons, kRButton | kControl);
    software::setButtonsAndModifiers(4 | 8 | 32);  // physical right, Shift, Alt
    EXPECT_EQ(pollButtonState(), kLButton | kShift | kAlt);
    // Without any context, the state cannot be polled and stays unknown.
    frame->mouseDown(nullptr, CPoint(5, 5), -1);
    EXPECT_EQ(a->lastButtons, -1);
    delete frame;
}

TEST_F(LogicTest, ClicksReachNestedViewsInTheirContainersCoordinates) {
    CFrame* frame = makeFrame();
    CViewContainer* inner = new CViewContainer(CRect(100, 20, 180, 90), frame);
    RecordingView* a = view(CRect(10, 10, 30, 30), "a");
    inner->addView(a);
    frame->addView(inner);
    frame->mouseDown(nullptr, CPoint(115, 35), kLButton);
    EXPECT_TRUE(log.contains("a mouseDown"));
    EXPECT_EQ(a->lastWhere, CPoint(15, 15));
    CPoint p(115, 35);
    EXPECT_EQ(a->toLocal(p), CPoint(15, 15));
    EXPECT_EQ(a->toFrame(p), CPoint(115, 35));
    delete frame;
}

TEST_F(LogicTest, ModalViewTakesClicksOnlyWhereItIsHit) {
    CFrame* frame = makeFrame();
    RecordingView* a = view(CRect(0, 0, 200, 100), "a");
    RecordingView* modal = view(CRect(50, 50, 60, 60), "modal");
    frame->addView(a);
    frame->setModalView(modal);
    frame->mouseDown(nullptr, CPoint(10, 10), kLButton);
    EXPECT_TRUE(log.events.empty());
    frame->mouseDown(nullptr, CPoint(55, 55), kLButton);
    EXPECT_EQ(log.events, std::vector<std::string>{"modal mouseDown"});
    frame->setModalView(nullptr);
    modal->release();
    delete frame;
}

TEST_F(LogicTest, KeysReachOnlyTheFocusViewThenTheModalView) {
    CFrame* frame = makeFrame();
    RecordingView* knob = view(CRect(0, 0, 10, 10), "knob");
    knob->keyAnswer = 1;
    frame->addView(knob);
    CKeyCode up = key(VKEY_UP);
    EXPECT_EQ(frame->keyDown(up), -1);
    EXPECT_TRUE(log.events.empty()) << "an unfocused child saw the key";
    frame->setFocusView(knob);
    EXPECT_EQ(frame->keyDown(up), 1);
    EXPECT_EQ(frame->keyUp(up), 1);
    EXPECT_EQ(log.events, (std::vector<std::string>{"knob keyDown", "knob keyUp"}));
    knob->keyAnswer = -1;
    RecordingView* modal = view(CRect(0, 0, 10, 10), "modal");
    modal->keyAnswer = 7;
    frame->setModalView(modal);
    EXPECT_EQ(frame->keyDown(up), 7);
    frame->setModalView(nullptr);
    modal->release();
    delete frame;
}

TEST_F(LogicTest, TabAdvancesTheFocusThroughViewsThatWantItAndShiftTabGoesBack) {
    CFrame* frame = makeFrame();
    RecordingView* a = view(CRect(0, 0, 10, 10), "a");
    RecordingView* plain = view(CRect(0, 0, 10, 10), "plain");
    CViewContainer* inner = new CViewContainer(CRect(50, 0, 100, 50), frame);
    RecordingView* b = view(CRect(0, 0, 10, 10), "b");
    RecordingView* c = view(CRect(0, 0, 10, 10), "c");
    a->setWantsFocus(true);
    b->setWantsFocus(true);
    c->setWantsFocus(true);
    inner->addView(b);
    frame->addView(a);
    frame->addView(plain);
    frame->addView(inner);
    frame->addView(c);
    CKeyCode tab = key(VKEY_TAB);
    CKeyCode backTab = key(VKEY_TAB, MODIFIER_SHIFT);
    EXPECT_EQ(frame->keyDown(tab), 1);
    EXPECT_EQ(frame->getFocusView(), a);
    EXPECT_EQ(frame->keyDown(tab), 1);
    EXPECT_EQ(frame->getFocusView(), b) << "containers are searched inside";
    EXPECT_EQ(frame->keyDown(tab), 1);
    EXPECT_EQ(frame->getFocusView(), c);
    EXPECT_EQ(frame->keyDown(tab), -1);
    EXPECT_EQ(frame->getFocusView(), nullptr) << "the end of the list clears the focus";
    EXPECT_EQ(frame->keyDown(backTab), 1);
    EXPECT_EQ(frame->getFocusView(), c);
    EXPECT_EQ(frame->keyDown(backTab), 1);
    EXPECT_EQ(frame->getFocusView(), b);

    RecordingView* modal = view(CRect(0, 0, 1, 1), "modal");
    frame->setModalView(modal);
    EXPECT_EQ(frame->keyDown(tab), -1);
    EXPECT_EQ(frame->getFocusView(), b) << "no focus advance under a modal view";
    frame->setModalView(nullptr);
    modal->release();
    delete frame;
}

TEST_F(LogicTest, SetFocusViewMarksBothDirtyAndTellsOnlyTheOldOne) {
    CFrame* frame = makeFrame();
    RecordingView* a = view(CRect(0, 0, 10, 10), "a");
    RecordingView* b = view(CRect(20, 0, 30, 10), "b");
    a->setWantsFocus(true);
    b->setWantsFocus(true);
    frame->addView(a);
    frame->addView(b);
    frame->setFocusView(a);
    a->setDirty(false);
    frame->setFocusView(b);
    EXPECT_TRUE(a->isDirty());
    EXPECT_TRUE(b->isDirty());
    EXPECT_EQ(log.events, std::vector<std::string>{"a focusLost"});
    delete frame;
}

TEST_F(LogicTest, WheelGoesToTheViewUnderThePointerWithAContextMadeForIt) {
    CFrame* frame = makeFrame();
    RecordingView* below = view(CRect(0, 0, 50, 50), "below");
    RecordingView* above = view(CRect(40, 40, 90, 90), "above");
    frame->addView(below);
    frame->addView(above);
    EXPECT_TRUE(frame->mouseWheel(nullptr, CPoint(45, 45), 1.0f));
    EXPECT_EQ(log.events, std::vector<std::string>{"above wheel"});
    EXPECT_EQ(above->lastWhere, CPoint(45, 45));
    EXPECT_FALSE(frame->mouseWheel(nullptr, CPoint(150, 20), 1.0f));
    above->wheelAnswer = false;
    EXPECT_FALSE(frame->mouseWheel(nullptr, CPoint(45, 45), -2.0f));
    delete frame;
}

TEST_F(LogicTest, CursorPositionIsInTheViewsParentCoordinatesAndOffsetsComeBack) {
    CFrame* frame = makeFrame();
    CViewContainer* inner = new CViewContainer(CRect(100, 20, 180, 90), frame);
    RecordingView* a = view(CRect(10, 10, 30, 30), "a");
    RecordingView* top = view(CRect(0, 0, 10, 10), "top");
    inner->addView(a);
    frame->addView(inner);
    frame->addView(top);
    Context c(frame);
    c.context->setWindowScreenPosition(CPoint(300, 200));
    software::setCursorScreenPosition(CPoint(420, 240));
    CPoint where;
    top->getCursorPosition(c.context, where);
    EXPECT_EQ(where, CPoint(120, 40));
    a->getCursorPosition(c.context, where);
    EXPECT_EQ(where, CPoint(20, 20));
    EXPECT_EQ(c.context->getOffset(), CPoint(0, 0));
    EXPECT_EQ(c.context->getWindowScreenPosition(), CPoint(300, 200));
    delete frame;
}

TEST_F(LogicTest, DragsEnterMoveLeaveAndDropOnTheViewUnderThePoint) {
    CFrame* frame = makeFrame();
    RecordingView* a = view(CRect(0, 0, 50, 50), "a");
    RecordingView* b = view(CRect(100, 0, 150, 50), "b");
    frame->addView(a);
    frame->addView(b);
    CDragContainer* drag = new CDragContainer(nullptr, 1);
    frame->onDragEnter(nullptr, drag, CPoint(10, 10));
    frame->onDragMove(nullptr, drag, CPoint(20, 10));
    frame->onDragMove(nullptr, drag, CPoint(120, 10));
    EXPECT_FALSE(frame->onDrop(nullptr, drag, CPoint(120, 10)));
    frame->onDragEnter(nullptr, drag, CPoint(10, 10));
    frame->onDragLeave(nullptr, drag, CPoint(10, 10));
    EXPECT_EQ(log.events, (std::vector<std::string>{"a enter", "a move", "a leave", "b enter",
                                                    "b drop", "b leave", "a enter", "a leave"}));
    drag->release();
    delete frame;
}
