// Reference counting and ownership of view trees: the container's double
// release, removal with and without release, bitmaps held by views.
#include <gtest/gtest.h>

#include "logic_fixture.h"
#include "test_images.h"
#include "toolkit/bitmap.h"

using namespace TKGUI;
using namespace tk42test;

TEST_F(LogicTest, ContainerTakesOverTheCreatorsReferenceAndReleasesBoth) {
    CFrame* frame = makeFrame();
    RecordingView* a = view(CRect(0, 0, 10, 10), "a");
    frame->addView(a);
    EXPECT_EQ(a->getNbReference(), 2);
    EXPECT_EQ(a->getFrame(), frame);
    EXPECT_EQ(a->getParentView(), frame);
    EXPECT_TRUE(a->isDirty());
    frame->addView(nullptr);  // ignored
    EXPECT_EQ(frame->getNbViews(), 1);
    delete frame;
    EXPECT_TRUE(log.contains("a destroyed"));
}

TEST_F(LogicTest, RemoveViewWithoutReleaseHandsTheViewBackToTheCaller) {
    CFrame* frame = makeFrame();
    RecordingView* a = view(CRect(0, 0, 10, 10), "a");
    RecordingView* b = view(CRect(0, 0, 10, 10), "b");
    frame->addView(a);
    frame->addView(b);
    frame->removeView(a, false);
    EXPECT_FALSE(log.contains("a destroyed"));
    EXPECT_EQ(a->getNbReference(), 1);
    EXPECT_EQ(a->getParentView(), nullptr);
    EXPECT_FALSE(frame->isChild(a));
    EXPECT_EQ(frame->getView(0), b);
    EXPECT_EQ(frame->getView(1), nullptr);
    a->release();
    EXPECT_TRUE(log.contains("a destroyed"));

    frame->removeView(b, true);
    EXPECT_TRUE(log.contains("b destroyed"));
    EXPECT_EQ(frame->getNbViews(), 0);
    delete frame;
}

TEST_F(LogicTest, RemovingAViewThatIsNoChildReleasesNothing) {
    CFrame* frame = makeFrame();
    RecordingView* stranger = view(CRect(0, 0, 10, 10), "stranger");
    frame->removeView(stranger, true);
    EXPECT_FALSE(log.contains("stranger destroyed"));
    EXPECT_EQ(stranger->getNbReference(), 1);
    stranger->release();
    delete frame;
}

TEST_F(LogicTest, RemoveAllReleasesEveryChildInListOrder) {
    CFrame* frame = makeFrame();
    frame->addView(view(CRect(0, 0, 10, 10), "a"));
    frame->addView(view(CRect(0, 0, 10, 10), "b"));
    frame->removeAll(true);
    ASSERT_EQ(log.events.size(), 2u);
    EXPECT_EQ(log.events[0], "a destroyed");
    EXPECT_EQ(log.events[1], "b destroyed");
    delete frame;
}

TEST_F(LogicTest, ViewsRetainTheirBitmapsAndReleaseThemWhenDestroyed) {
    CBitmap* bitmap = new CBitmap(kStripImage);
    CFrame* frame = makeFrame();
    frame->setBackground(bitmap);
    RecordingView* a = view(CRect(0, 0, 10, 10), "a");
    a->setBackground(bitmap);
    frame->addView(a);
    EXPECT_EQ(bitmap->getNbReference(), 3);
    bitmap->release();  // the editor drops its own reference once the panel is built
    EXPECT_EQ(bitmap->getNbReference(), 2);
    a->setBackground(nullptr);
    EXPECT_EQ(bitmap->getNbReference(), 1);
    EXPECT_EQ(a->getBackground(), nullptr);
    delete frame;  // the frame's background goes with it: the fixture sees no leak
}

TEST_F(LogicTest, NestedContainersReleaseTheirSubtreesAndTellLateChildrenTheirFrame) {
    CFrame* frame = makeFrame();
    CViewContainer* inner = new CViewContainer(CRect(10, 10, 60, 60), nullptr);
    RecordingView* a = view(CRect(0, 0, 10, 10), "a");
    inner->addView(a);
    EXPECT_EQ(a->getFrame(), nullptr);
    frame->addView(inner);
    EXPECT_EQ(a->getFrame(), frame);
    EXPECT_TRUE(frame->containsView(a));
    delete frame;
    EXPECT_TRUE(log.contains("a destroyed"));
}

TEST_F(LogicTest, RemovingTheFocusViewOrItsContainerClearsTheFocus) {
    CFrame* frame = makeFrame();
    RecordingView* a = view(CRect(0, 0, 10, 10), "a");
    frame->addView(a);
    frame->setFocusView(a);
    frame->removeView(a, true);
    EXPECT_EQ(frame->getFocusView(), nullptr);
    EXPECT_TRUE(log.contains("a focusLost"));

    CViewContainer* inner = new CViewContainer(CRect(10, 10, 60, 60), frame);
    RecordingView* b = view(CRect(0, 0, 10, 10), "b");
    inner->addView(b);
    frame->addView(inner);
    frame->setFocusView(b);
    frame->removeView(inner, true);
    EXPECT_EQ(frame->getFocusView(), nullptr);
    EXPECT_TRUE(log.contains("b destroyed"));
    delete frame;
}

TEST_F(LogicTest, ModalViewIsExclusiveAndLeavesWithoutTheExtraRelease) {
    CFrame* frame = makeFrame();
    RecordingView* modal = view(CRect(0, 0, 50, 50), "modal");
    RecordingView* other = view(CRect(0, 0, 50, 50), "other");
    EXPECT_TRUE(frame->setModalView(modal));
    EXPECT_FALSE(frame->setModalView(other));
    EXPECT_EQ(frame->getModalView(), modal);
    EXPECT_TRUE(frame->isChild(modal));
    other->release();
    delete frame;
    // Removed without the creator's release: the caller still holds it.
    EXPECT_FALSE(log.contains("modal destroyed"));
    EXPECT_EQ(modal->getNbReference(), 1);
    modal->release();
}

TEST_F(LogicTest, ClassQueriesAndContainerNotifications) {
    CFrame* frame = makeFrame();
    RecordingView* a = view(CRect(0, 0, 10, 10), "a");
    frame->addView(a);
    EXPECT_TRUE(frame->isKindOf("CFrame"));
    EXPECT_TRUE(frame->isKindOf("CViewContainer"));
    EXPECT_TRUE(frame->isKindOf("CView"));
    EXPECT_FALSE(frame->isKindOf("CControl"));
    EXPECT_TRUE(a->isKindOf("CView"));
    EXPECT_FALSE(a->isKindOf("CViewContainer"));
    EXPECT_EQ(frame->notify(a, kMsgCheckIfViewContainer), 1);
    EXPECT_EQ(frame->notify(a, "anything else"), 0);
    EXPECT_EQ(a->notify(frame, kMsgCheckIfViewContainer), 0);
    delete frame;
}
