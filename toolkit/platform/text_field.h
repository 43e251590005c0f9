// The pop-up single-line field in which a text edit is typed into.
//
// The field is a borderless top-level window with no parent, over a screen
// rectangle. It opens with all its text selected, holds at most the given
// number of characters, has the keyboard focus, and wants every key (Escape
// does nothing of its own). It reports to its client when Enter is pressed
// and when it loses the keyboard focus; closeTextField first detaches the
// client, so closing a field never calls back into it.
#pragma once

#include "toolkit/geometry.h"
#include "toolkit/platform/platform.h"

namespace TKGUI {
namespace platform {

struct TextField;

class TextFieldClient {
  public:
    // Both may close the field from inside the call.
    virtual void textFieldReturnPressed() = 0;
    virtual void textFieldFocusLost() = 0;

  protected:
    ~TextFieldClient() = default;
};

struct TextFieldSpec {
    CRect screenRect;  // left, top, right, bottom in screen coordinates
    const char* text;
    TextAlign align;
    Font* font;  // owned by the caller; kept alive until the field closes
    int maxLength;
};

// Null when the field cannot be made.
TextField* openTextField(const TextFieldSpec& desc, TextFieldClient* client);
// The field's text, at most capacity - 1 characters, always terminated.
void getTextFieldText(TextField* field, char* text, int capacity);
void closeTextField(TextField* field);

}  // namespace platform
}  // namespace TKGUI
