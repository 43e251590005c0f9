// The text edit: the pop-up field's placement and settings, the commit paths
// with their end-of-edit counts, the double-click style, and closing the
// editor while a field is open.
#include "toolkit/text_edit.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "controls_fixture.h"
#include "toolkit/platform/software/software_text_field_script.h"
#include "toolkit/platform/software/software_types.h"
#include "toolkit/view_container.h"

using namespace TKGUI;

namespace tk42test {
namespace {

// A container that records the focus-loss messages its children send it.
class NotedContainer : public CViewContainer {
  public:
    NotedContainer(const CRect& size, CFrame* frame) : CViewContainer(size, frame) {}
    int32_t notify(CView* sender, const char* message) override {
        if (message && std::strcmp(message, kMsgLooseFocus) == 0) messages.push_back(message);
        return CViewContainer::notify(sender, message);
    }
    std::vector<std::string> messages;
};

void gainToText(float value, char* text) {
    std::snprintf(text, 256, "%2.2f", static_cast<double>(value * 24.0f));
}

class TextEditTest : public ControlsTest {
  protected:
    void SetUp() override {
        ControlsTest::SetUp();
        box = new NotedContainer(CRect(50, 40, 150, 80), frame);
        frame->addView(box);
        edit = new CTextEdit(CRect(10, 5, 40, 17), &listener, 1001);
        edit->setFont(6);
        box->addView(edit);
    }
    // A click on the edit as the frame routes it (frame coordinates).
    void clickEdit() { frame->mouseDown(context, CPoint(65, 50), kLButton); }
    std::string text() const {
        char t[256];
        edit->getText(t);
        return t;
    }
    platform::TextField* field() const { return software::openTextFieldNow(); }

    NotedContainer* box = nullptr;
    CTextEdit* edit = nullptr;
};

TEST_F(TextEditTest, ClickOpensAFieldOverTheControlOnTheScreen) {
    edit->setText("3.5");
    clickEdit();
    ASSERT_NE(field(), nullptr);
    EXPECT_EQ(software::openTextFieldCount(), 1);
    // Frame window at (100, 50), container at (50, 40), edit at (10, 5).
    EXPECT_EQ(software::textFieldScreenRect(field()), CRect(160, 95, 190, 107));
    EXPECT_EQ(software::textFieldText(field()), "3.5");
    EXPECT_TRUE(software::textFieldAllSelected(field()));
    EXPECT_TRUE(software::textFieldHasFocus(field()));
    EXPECT_EQ(software::textFieldMaxLength(field()), 255);
    EXPECT_EQ(software::textFieldAlign(field()), platform::TextAlign::center);
    const platform::Font* font = software::textFieldFont(field());
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->desc.pixelHeight, 9) << "font 6 is 9 pixels, under the box's 12 - 2";
    EXPECT_EQ(font->desc.weight, 400);
    EXPECT_STREQ(font->desc.face, "Arial");
    EXPECT_EQ(editor.log, (std::vector<std::string>{"begin 1001"}));
    EXPECT_EQ(frame->getFocusView(), edit);
    EXPECT_TRUE(edit->isEditing());
}

TEST_F(TextEditTest, FieldFontIsCutToTheBoxAndAlignmentFollowsTheControl) {
    edit->setFont(1);  // 18 pixels
    edit->setAlignment(kRightText);
    clickEdit();
    ASSERT_NE(field(), nullptr);
    EXPECT_EQ(software::textFieldFont(field())->desc.pixelHeight, 10);
    EXPECT_EQ(software::textFieldAlign(field()), platform::TextAlign::right);
    software::pressReturnInTextField(field());
}

TEST_F(TextEditTest, EnterCommitsTheTypedTextAndReportsTheEndTwice) {
    clickEdit();
    software::typeIntoTextField(field(), "12");
    software::pressReturnInTextField(field());
    EXPECT_EQ(software::openTextFieldCount(), 0);
    EXPECT_EQ(listener.changes, 1);
    EXPECT_EQ(text(), "12");
    EXPECT_TRUE(edit->wasReturnPressed());
    EXPECT_EQ(editor.ends, 2);
    EXPECT_EQ(editor.log.back(), "pump") << "a changed text runs the idle work";
    EXPECT_EQ(box->messages, (std::vector<std::string>{"LooseFocus"}));
    EXPECT_EQ(frame->getFocusView(), nullptr);
    EXPECT_FALSE(edit->isEditing());
    EXPECT_EQ(edit->getValue(), 0.0f) << "the commit leaves the value alone";
}

TEST_F(TextEditTest, UnchangedTextReportsNothingButStillLosesFocus) {
    edit->setText("5");
    clickEdit();
    software::pressReturnInTextField(field());
    EXPECT_EQ(listener.changes, 0);
    EXPECT_EQ(editor.ends, 2);
    EXPECT_EQ(editor.pumps, 0);
    EXPECT_EQ(box->messages, (std::vector<std::string>{"LooseFocus"}));
}

TEST_F(TextEditTest, MovingTheKeyboardFocusAwayCommitsWithoutReturn) {
    clickEdit();
    software::typeIntoTextField(field(), "-6 dB");
    software::moveFocusFromTextField(field());
    EXPECT_EQ(software::openTextFieldCount(), 0);
    EXPECT_EQ(listener.changes, 1);
    EXPECT_EQ(text(), "-6 dB");
    EXPECT_FALSE(edit->wasReturnPressed());
    EXPECT_EQ(editor.ends, 2);
}

TEST_F(TextEditTest, AClickElsewhereInTheFrameCommitsFirstAndReportsTheEndOnce) {
    clickEdit();
    software::typeIntoTextField(field(), "7");
    frame->mouseDown(context, CPoint(300, 200), kLButton);
    EXPECT_EQ(software::openTextFieldCount(), 0);
    EXPECT_EQ(listener.changes, 1);
    EXPECT_EQ(editor.ends, 1);
    EXPECT_FALSE(edit->wasReturnPressed());
}

TEST_F(TextEditTest, SecondClickWhileOpenAndEscapeChangeNothing) {
    clickEdit();
    platform::TextField* open = field();
    edit->mouseDown(context, CPoint(15, 10), kLButton);
    software::pressEscapeInTextField(open);
    EXPECT_EQ(field(), open);
    EXPECT_EQ(software::openTextFieldCount(), 1);
    EXPECT_EQ(editor.begins, 1);
    EXPECT_EQ(editor.ends, 0);
    software::pressReturnInTextField(open);
}

TEST_F(TextEditTest, TypedTextIsCutAt255Characters) {
    clickEdit();
    software::typeIntoTextField(field(), std::string(300, 'x'));
    software::pressReturnInTextField(field());
    EXPECT_EQ(text(), std::string(255, 'x'));
}

TEST_F(TextEditTest, DoubleClickStyleOpensOnlyOnASecondClickInTime) {
    edit->setStyle(kDoubleClickStyle);
    software::setTickCount(5000);
    clickEdit();
    EXPECT_EQ(software::openTextFieldCount(), 0);
    software::setTickCount(5500);  // 500 ms later: not within the time
    clickEdit();
    EXPECT_EQ(software::openTextFieldCount(), 0);
    software::setTickCount(5700);
    clickEdit();
    EXPECT_EQ(software::openTextFieldCount(), 1);
    software::pressReturnInTextField(field());
    software::setTickCount(5800);
    clickEdit();
    EXPECT_EQ(software::openTextFieldCount(), 0) << "the pair was used up";
}

TEST_F(TextEditTest, ModifierClickWithoutTheLeftButtonReachesTheListenerOnly) {
    frame->mouseDown(context, CPoint(65, 50), kRButton | kShift);
    EXPECT_EQ(listener.modifierClicks, 1);
    EXPECT_EQ(software::openTextFieldCount(), 0);
}

TEST_F(TextEditTest, TextNotTakenByTheListenerIsReplacedByTheValueAtTheNextDraw) {
    edit->setValueToText(&gainToText);
    edit->setValue(0.5f);
    edit->draw(context);
    EXPECT_EQ(text(), "12.00");
    clickEdit();
    EXPECT_EQ(software::textFieldText(field()), "12.00");
    software::typeIntoTextField(field(), "abc");
    software::pressReturnInTextField(field());
    EXPECT_EQ(text(), "abc");
    edit->draw(context);
    EXPECT_EQ(text(), "12.00");
}

TEST_F(TextEditTest, WhileTheFieldIsOpenDrawingLeavesTheTextAlone) {
    edit->setValueToText(&gainToText);
    clickEdit();
    edit->setValue(1.0f);
    edit->draw(context);
    EXPECT_FALSE(edit->isDirty());
    EXPECT_EQ(text(), "");
    software::pressReturnInTextField(field());
}

TEST_F(TextEditTest, SetTextMarksDirtyOnlyForANewText) {
    edit->setDirty(false);
    edit->setText("");
    edit->setText(nullptr);
    EXPECT_FALSE(edit->isDirty());
    edit->setText("a");
    EXPECT_TRUE(edit->isDirty());
    edit->setDirty(false);
    edit->setText(nullptr);
    EXPECT_TRUE(edit->isDirty());
    EXPECT_EQ(text(), "");
    edit->getText(nullptr);
}

TEST_F(TextEditTest, ListenerRewritingTheTextDuringTheCommitIsSafe) {
    listener.onChange = [](CControl* c) { static_cast<CTextEdit*>(c)->setText("24.00"); };
    clickEdit();
    software::typeIntoTextField(field(), "30");
    software::pressReturnInTextField(field());
    EXPECT_EQ(text(), "24.00");
    EXPECT_EQ(listener.changes, 1);
}

TEST_F(TextEditTest, ClosingTheEditorThroughTheFocusCommitsTheOpenField) {
    clickEdit();
    software::typeIntoTextField(field(), "9");
    frame->setFocusView(nullptr);  // what the editor does before it deletes the frame
    closeFrame();
    EXPECT_EQ(listener.changes, 1);
    EXPECT_EQ(software::openTextFieldCount(), 0);
}

TEST_F(TextEditTest, DestroyingTheControlWithAnOpenFieldClosesItSilently) {
    clickEdit();
    software::typeIntoTextField(field(), "9");
    closeFrame();
    EXPECT_EQ(software::openTextFieldCount(), 0) << "no field may outlive its control";
    EXPECT_EQ(listener.changes, 0);
}

TEST_F(TextEditTest, RemovingTheFocusedEditCommitsItFirst) {
    clickEdit();
    software::typeIntoTextField(field(), "4");
    box->removeView(edit);
    edit = nullptr;
    EXPECT_EQ(listener.changes, 1);
    EXPECT_EQ(software::openTextFieldCount(), 0);
}

}  // namespace
}  // namespace tk42test
