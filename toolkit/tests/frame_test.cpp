// The frame's editor-facing operations and what it holds of the platform.
#include <gtest/gtest.h>

#include "logic_fixture.h"
#include "toolkit/draw_context.h"
#include "toolkit/font_table.h"
#include "toolkit/knob_mode.h"
#include "toolkit/offscreen_context.h"

using namespace TKGUI;
using namespace tk42test;

TEST_F(LogicTest, FramePassesEditsAndIdleToItsEditor) {
    RecordingEditor editor;
    CFrame* frame = makeFrame(&editor);
    EXPECT_EQ(frame->getEditor(), &editor);
    RecordingView* a = view(CRect(0, 0, 10, 10), "a");
    frame->addView(a);
    EXPECT_EQ(a->getEditor(), &editor);
    frame->beginEdit(3);
    frame->pumpIdle();
    frame->endEdit(3);
    EXPECT_EQ(editor.log.events, (std::vector<std::string>{"begin 3", "pump", "end 3"}));
    delete frame;

    CFrame* alone = makeFrame();
    alone->beginEdit(1);  // no editor: nothing to tell, nothing to crash
    alone->pumpIdle();
    EXPECT_EQ(alone->getTicks(), 0u);
    delete alone;
}

TEST_F(LogicTest, TicksComeFromThePlatformClockWhenThereIsAnEditor) {
    RecordingEditor editor;
    CFrame* frame = makeFrame(&editor);
    software::setTickCount(123456);
    EXPECT_EQ(frame->getTicks(), 123456u);
    platform::sleepMilliseconds(4);
    EXPECT_EQ(frame->getTicks(), 123460u);
    delete frame;
}

TEST_F(LogicTest, KnobModeIsOneValueForTheWholeModule) {
    CFrame* first = makeFrame();
    CFrame* second = makeFrame();
    setHostKnobMode(2);
    EXPECT_EQ(first->getKnobMode(), 2);
    EXPECT_EQ(second->getKnobMode(), 2);
    setHostKnobMode(1);
    EXPECT_EQ(first->getKnobMode(), 1);
    setHostKnobMode(0);
    delete first;
    delete second;
}

TEST_F(LogicTest, FrameHoldsOleAndTheBlendLibraryForItsLifetime) {
    const int ole = software::oleDepth();
    const int holders = software::blendLibraryHolders();
    CFrame* frame = makeFrame();
    EXPECT_EQ(software::oleDepth(), ole + 1);
    EXPECT_EQ(software::blendLibraryHolders(), holders + 1);
    CFrame* second = makeFrame();
    delete frame;
    EXPECT_EQ(software::blendLibraryHolders(), holders + 1);
    delete second;
    EXPECT_EQ(software::oleDepth(), ole);
    EXPECT_EQ(software::blendLibraryHolders(), holders);
}

TEST_F(LogicTest, SetSizeResizesAnOpenFrameAndDropsItsBackBuffer) {
    CFrame* frame = makeFrame();
    COffscreenContext* buffer = frame->getBackBuffer();
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(buffer->getWidth(), 200);
    EXPECT_FALSE(frame->setSize(200, 100));
    EXPECT_TRUE(frame->setSize(300, 120));
    CRect size;
    ASSERT_TRUE(frame->getSize(size));
    EXPECT_EQ(size, CRect(0, 0, 300, 120));
    EXPECT_EQ(frame->getBackBuffer()->getWidth(), 300);
    frame->setBounds(CRect(5, 5, 105, 55));
    EXPECT_EQ(frame->getBounds(), CRect(0, 0, 100, 50));
    frame->setOpenFlag(false);
    EXPECT_FALSE(frame->setSize(10, 10));
    delete frame;
}

TEST_F(LogicTest, ContextsOnAWindowGiveItsDeviceBack) {
    platform::Window* window = software::createWindow(50, 40, CPoint(7, 9));
    CFrame* frame = makeFrame();
    frame->setWindow(window);
    CDrawContext* context = new CDrawContext(frame, nullptr, window);
    EXPECT_NE(context->getDevice(), nullptr);
    EXPECT_EQ(context->getWindowScreenPosition(), CPoint(7, 9));
    EXPECT_EQ(frame->getCurrentMouseLocation(), CPoint(-7, -9));
    CRect clip;
    EXPECT_EQ(context->getClipRect(clip), CRect(0, 0, 200, 100)) << "the frame's bounds";
    context->release();
    delete frame;
    software::destroyWindow(window);
}

TEST_F(LogicTest, DrawContextCachesColoursAndFontUntilTheyChange) {
    CDrawContext* context = new CDrawContext(nullptr, nullptr, nullptr);
    EXPECT_EQ(context->getFrameColor(), kWhiteCColor);
    EXPECT_EQ(context->getFillColor(), kBlackCColor);
    EXPECT_EQ(context->getFontColor(), kWhiteCColor);
    EXPECT_EQ(context->getFont(), 0);
    EXPECT_EQ(context->getFontSize(), 12);
    EXPECT_EQ(context->getLineWidth(), 1);
    context->setLineWidth(3);
    EXPECT_EQ(context->getLineWidth(), 1);
    CRect clip;
    EXPECT_EQ(context->getClipRect(clip), CRect(0, 0, 1000, 1000));
    context->setFont(7, kBoldFace);
    EXPECT_EQ(context->getFontSize(), 13);
    EXPECT_EQ(context->getFontStyle(), kBoldFace);
    context->release();
}

TEST_F(LogicTest, OffscreenWithANegativeSizeKeepsAClipAroundTheOriginAndNoImage) {
    COffscreenContext* buffer = new COffscreenContext(nullptr, -10, 5, kWhiteCColor);
    CRect clip;
    EXPECT_EQ(buffer->getClipRect(clip), CRect(-10, 0, 0, 5));
    EXPECT_EQ(buffer->getImage(), nullptr);
    buffer->fillRect(CRect(0, 0, 4, 4));  // drawing into nothing is harmless
    buffer->release();
}

TEST_F(LogicTest, PaintContextIsHeldWhileSetAndUsedForClicksWithoutContext) {
    CFrame* frame = makeFrame();
    RecordingView* a = view(CRect(0, 0, 10, 10), "a");
    frame->addView(a);
    CDrawContext* paint = new CDrawContext(frame, nullptr, nullptr);
    frame->setPaintContext(paint);
    EXPECT_EQ(paint->getNbReference(), 2);
    software::setButtonsAndModifiers(1);
    frame->mouseDown(nullptr, CPoint(5, 5), -1);
    EXPECT_EQ(a->lastButtons, kLButton) << "polled through the paint context";
    paint->release();
    delete frame;  // releases the paint context it still holds
}

TEST_F(LogicTest, ContextsMakePlatformObjectsOnlyOnRealChangesAndDeleteThemAll) {
    const int before = software::liveDrawingObjects();
    CDrawContext* context = new CDrawContext(nullptr, nullptr, nullptr);
    COffscreenContext* buffer = new COffscreenContext(nullptr, 8, 8, kBlackCColor);
    const int withContexts = software::liveDrawingObjects();
    EXPECT_EQ(withContexts - before, 3) << "the offscreen context's pen, brush and font";
    buffer->setFrameColor(kBlackCColor);  // its background: already the pen's colour
    buffer->setFillColor(kBlackCColor);
    buffer->setFont(0);
    EXPECT_EQ(software::liveDrawingObjects(), withContexts);
    buffer->setFrameColor(kRedCColor);
    buffer->setFillColor(kRedCColor);
    buffer->setFont(2, kItalicFace);
    EXPECT_EQ(software::liveDrawingObjects(), withContexts) << "old objects are deleted";
    buffer->release();
    context->release();
    EXPECT_EQ(software::liveDrawingObjects(), before);
}

TEST_F(LogicTest, AFailedBrushKeepsThePreviousBrushInUse) {
    COffscreenContext* buffer = new COffscreenContext(nullptr, 4, 4, kBlackCColor);
    buffer->setFillColor(kRedCColor);
    software::setBrushCreationFails(true);
    buffer->setFillColor(CColor{0, 0, 255, 255});
    software::setBrushCreationFails(false);
    buffer->fillRect(CRect(-1, -1, 4, 4));
    EXPECT_EQ(software::pixelAt(buffer->getImage(), 2, 2) & 0xFFFFFF, 0xFF0000u);
    buffer->release();
}
