#include "controls_fixture.h"

#include "toolkit/knob_mode.h"
#include "toolkit/platform/software/software_script.h"
#include "toolkit/platform/software/software_text_field_script.h"

using namespace TKGUI;

namespace tk42test {

void ScriptEditor::beginEdit(int32_t tag) {
    ++begins;
    log.push_back("begin " + std::to_string(tag));
}

void ScriptEditor::endEdit(int32_t tag) {
    ++ends;
    log.push_back("end " + std::to_string(tag));
}

void ScriptEditor::pumpIdle() {
    ++pumps;
    log.push_back("pump");
    if (!steps.empty()) {
        software::setCursorScreenPosition(steps.front().cursor);
        software::setButtonsAndModifiers(steps.front().buttons);
        steps.pop_front();
    } else {
        software::setButtonsAndModifiers(0);
    }
    if (onPump) onPump();
}

void RecordingListener::valueChanged(CDrawContext* /*context*/, CControl* control) {
    ++changes;
    values.push_back(control->getValue());
    if (sharedLog) sharedLog->push_back("changed");
    if (dirtyOnReport) control->setDirty(true);
    if (onChange) onChange(control);
}

int32_t RecordingListener::modifierClicked(CDrawContext* /*context*/, CControl* /*control*/,
                                           int32_t buttons) {
    ++modifierClicks;
    lastModifierButtons = buttons;
    return modifierAnswer;
}

void RecordingBitmap::draw(CDrawContext* context, const CRect& rect, const CPoint& offset) {
    draws.push_back({rect, offset, false});
    CBitmap::draw(context, rect, offset);
}

void RecordingBitmap::drawTransparent(CDrawContext* context, const CRect& rect,
                                      const CPoint& offset) {
    draws.push_back({rect, offset, true});
    CBitmap::drawTransparent(context, rect, offset);
}

void ControlsTest::SetUp() {
    software::setButtonsAndModifiers(0);
    software::setCursorScreenPosition(CPoint(0, 0));
    software::setTickCount(1000);
    setButtonsSwapped(false);
    setHostKnobMode(kLinearMode);
    liveAtStart = CReferenceCounter::liveObjects();
    // The frame gets a plain window of the test's own, so that nothing here
    // depends on the window glue.
    frameWindow = software::createWindow(400, 220, CPoint(100, 50));
    frame = new CFrame(CRect(0, 0, 400, 220), nullptr, &editor);
    frame->setWindow(frameWindow);
    listener.sharedLog = &editor.log;
    context = new CDrawContext(frame, nullptr, nullptr);
}

void ControlsTest::TearDown() {
    context->release();
    closeFrame();
    software::destroyWindow(frameWindow);
    EXPECT_EQ(software::openTextFieldCount(), 0) << "a text field outlived its control";
    EXPECT_EQ(CReferenceCounter::liveObjects(), liveAtStart) << "objects leaked";
}

void ControlsTest::closeFrame() {
    delete frame;
    frame = nullptr;
}

void ControlsTest::drag(CControl* control, CPoint at, const std::vector<CPoint>& path,
                        int buttons) {
    software::setCursorScreenPosition(at);
    software::setButtonsAndModifiers(buttons);
    for (const CPoint& p : path) editor.steps.push_back({p, buttons});
    editor.steps.push_back({path.empty() ? at : path.back(), 0});
    control->mouseDown(context, at, buttons);
    editor.steps.clear();
    software::setButtonsAndModifiers(0);
}

void ControlsTest::click(CControl* control, CPoint at, int buttons) {
    drag(control, at, {}, buttons);
}

}  // namespace tk42test
