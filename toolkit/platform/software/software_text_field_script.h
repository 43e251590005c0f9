// The software platform's pop-up text fields, for tests: what is open, and
// typing, Enter, Escape and focus moves as a user would make them.
#pragma once

#include <string>

#include "toolkit/platform/text_field.h"

namespace TKGUI {
namespace software {

// The field opened last that is still open, or null.
platform::TextField* openTextFieldNow();
int openTextFieldCount();

std::string textFieldText(const platform::TextField* field);
CRect textFieldScreenRect(const platform::TextField* field);
platform::TextAlign textFieldAlign(const platform::TextField* field);
platform::Font* textFieldFont(const platform::TextField* field);
int textFieldMaxLength(const platform::TextField* field);
bool textFieldHasFocus(const platform::TextField* field);
// Whether the whole text is selected (as it is on opening, until typing).
bool textFieldAllSelected(const platform::TextField* field);

// Typing replaces a selection, then appends, up to the field's limit.
void typeIntoTextField(platform::TextField* field, const std::string& characters);
// Both may close the field.
void pressReturnInTextField(platform::TextField* field);
void pressEscapeInTextField(platform::TextField* field);
void moveFocusFromTextField(platform::TextField* field);

}  // namespace software
}  // namespace TKGUI
