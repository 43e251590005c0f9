// Pop-up text fields on the software platform: records that tests type into.
// They follow the Win32 field's focus rules: Enter and a focus move report to
// the client; closing reports nothing.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "toolkit/platform/software/software_text_field_script.h"

namespace TKGUI {
namespace platform {

struct TextField {
    TextFieldSpec desc;
    std::string text;
    TextFieldClient* client;
    bool focused = true;
    bool allSelected = true;
};

namespace {
std::vector<TextField*> openFields;
}

TextField* openTextField(const TextFieldSpec& desc, TextFieldClient* client) {
    auto* field = new TextField{desc, desc.text ? desc.text : "", client};
    field->desc.text = nullptr;
    if (field->desc.maxLength >= 0 && field->text.size() > size_t(field->desc.maxLength)) {
        field->text.resize(size_t(field->desc.maxLength));
    }
    // The new field takes the keyboard focus from any other.
    for (TextField* other : openFields) other->focused = false;
    openFields.push_back(field);
    return field;
}

void getTextFieldText(TextField* field, char* text, int capacity) {
    if (!text || capacity <= 0) return;
    text[0] = 0;
    if (!field) return;
    size_t n = std::min(field->text.size(), size_t(capacity - 1));
    std::memcpy(text, field->text.data(), n);
    text[n] = 0;
}

void closeTextField(TextField* field) {
    if (!field) return;
    field->client = nullptr;
    openFields.erase(std::remove(openFields.begin(), openFields.end(), field), openFields.end());
    delete field;
}

}  // namespace platform

namespace software {

platform::TextField* openTextFieldNow() {
    return platform::openFields.empty() ? nullptr : platform::openFields.back();
}
int openTextFieldCount() {
    return static_cast<int>(platform::openFields.size());
}
std::string textFieldText(const platform::TextField* field) {
    return field ? field->text : std::string();
}
CRect textFieldScreenRect(const platform::TextField* field) {
    return field ? field->desc.screenRect : CRect();
}
platform::TextAlign textFieldAlign(const platform::TextField* field) {
    return field ? field->desc.align : platform::TextAlign::left;
}
platform::Font* textFieldFont(const platform::TextField* field) {
    return field ? field->desc.font : nullptr;
}
int textFieldMaxLength(const platform::TextField* field) {
    return field ? field->desc.maxLength : 0;
}
bool textFieldHasFocus(const platform::TextField* field) {
    return field && field->focused;
}
bool textFieldAllSelected(const platform::TextField* field) {
    return field && field->allSelected;
}

void typeIntoTextField(platform::TextField* field, const std::string& characters) {
    if (!field) return;
    if (field->allSelected) field->text.clear();
    field->allSelected = false;
    for (char c : characters) {
        if (field->desc.maxLength >= 0 && field->text.size() >= size_t(field->desc.maxLength)) {
            break;
        }
        field->text.push_back(c);
    }
}

void pressReturnInTextField(platform::TextField* field) {
    if (field && field->client) field->client->textFieldReturnPressed();
}

void pressEscapeInTextField(platform::TextField* /*field*/) {
    // Like the platform's own edit control: Escape changes nothing.
}

void moveFocusFromTextField(platform::TextField* field) {
    if (!field || !field->focused) return;
    field->focused = false;
    if (field->client) field->client->textFieldFocusLost();
}

}  // namespace software
}  // namespace TKGUI
