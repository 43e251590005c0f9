// A value display the user can type into. A click opens a pop-up field over
// the control; Enter, a loss of keyboard focus or a click elsewhere in the
// frame commits the typed text to the listener (which reads it with getText
// and parses it; the value is not changed here).
//
// States: showing (no field) and editing (field open, this control the
// frame's focus view). beginEdit on opening and endEdit on committing
// bracket the editing state; a commit by Enter or by focus loss reports the
// end twice, because clearing the frame's focus commits again from within.
#pragma once

#include "toolkit/param_display.h"
#include "toolkit/platform/text_field.h"

namespace TKGUI {

using TextToText = void (*)(const char* text, char* shown);
using TextToTextWithData = void (*)(const char* text, char* shown, void* userData);

class CTextEdit : public CParamDisplay, private platform::TextFieldClient {
  public:
    CTextEdit(const CRect& size, CControlListener* listener, int32_t tag);
    // Closes a field still open without telling anyone: the editor commits
    // through the frame's focus before it destroys the panel.
    ~CTextEdit() override;

    void draw(CDrawContext* context) override;
    void mouseDown(CDrawContext* context, const CPoint& where, int buttons = -1) override;
    void focusLost(CDrawContext* context) override;
    void focusGained(CDrawContext* context) override;

    virtual void setText(const char* newText);
    virtual void getText(char* out) const;
    virtual void setTextToText(TextToTextWithData convert);
    virtual void setTextToText(TextToText convert);

    bool isEditing() const { return field != nullptr; }
    bool wasReturnPressed() const { return returnPressed; }

  private:
    void textFieldReturnPressed() override;
    void textFieldFocusLost() override;
    void closeField();

    char text[256] = "";
    platform::TextField* field = nullptr;
    platform::Font* fieldFont = nullptr;
    platform::Brush* fieldBrush = nullptr;  // never made here; deleted if it exists
    bool returnPressed = false;
    TextToText textToText = nullptr;
    TextToTextWithData textToTextWithData = nullptr;
};

}  // namespace TKGUI
