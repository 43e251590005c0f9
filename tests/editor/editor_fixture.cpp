#include "tests/editor/editor_fixture.h"

#include "toolkit/text_edit.h"

std::string EditorFixture::boxText(TKGUI::CTextEdit* box) {
    paintAll();  // a box makes its text from the value when it draws
    char text[256] = {};
    box->getText(text);
    return text;
}

void EditorFixture::type(TKGUI::CTextEdit* box, const char* text) {
    // What a commit does: the box holds the typed text and tells its listener.
    box->setText(text);
    gui()->panel.valueChanged(nullptr, box);
}
