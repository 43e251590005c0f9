// The pop-up text field on Win32: an "EDIT" window with no parent whose
// message procedure is replaced by ours to report Enter and focus loss.
//
// Closing restores the old procedure and clears the user data before the
// window is destroyed: DestroyWindow sends the field a focus-lost message of
// its own, which must not reach the client again.
#include "toolkit/platform/text_field.h"
#include "toolkit/platform/text_field_client.h"
#include "toolkit/platform/win32/win32_handles.h"

namespace TKGUI {
namespace platform {

struct TextField {
    HWND window = nullptr;
    WNDPROC oldProc = nullptr;
    TextFieldClient* client = nullptr;
    int callbackDepth = 0;  // client calls in progress on the stack
    bool closed = false;
};

namespace {

TextField* fieldOf(HWND window) {
    return reinterpret_cast<TextField*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

LRESULT CALLBACK fieldProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    TextField* field = fieldOf(window);
    if (!field) return DefWindowProcA(window, message, wParam, lParam);
    WNDPROC oldProc = field->oldProc;
    switch (message) {
        case WM_KILLFOCUS:
            if (!callClient(field, [](TextFieldClient* c) { c->textFieldFocusLost(); })) return 0;
            break;
        case WM_GETDLGCODE:
            return DLGC_WANTALLKEYS;
        case WM_KEYDOWN:
            if (wParam == VK_RETURN) {
                callClient(field, [](TextFieldClient* c) { c->textFieldReturnPressed(); });
                return 0;
            }
            break;
        default:
            break;
    }
    return CallWindowProcA(oldProc, window, message, wParam, lParam);
}

}  // namespace

TextField* openTextField(const TextFieldSpec& desc, TextFieldClient* client) {
    DWORD style = WS_POPUP | WS_VISIBLE | ES_AUTOHSCROLL;
    if (desc.align == TextAlign::left) {
        style |= ES_LEFT;
    } else if (desc.align == TextAlign::right) {
        style |= ES_RIGHT;
    } else {
        style |= ES_CENTER;
    }
    const CRect& r = desc.screenRect;
    HWND window =
        CreateWindowExA(WS_EX_TOOLWINDOW, "EDIT", desc.text ? desc.text : "", style, r.left, r.top,
                        r.width(), r.height(), nullptr, nullptr, moduleInstance(), nullptr);
    if (!window) return nullptr;
    auto* field = new TextField;
    field->window = window;
    field->client = client;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(field));
    if (desc.font) SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(desc.font), TRUE);
    SendMessageA(window, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(0, 0));
    SendMessageA(window, EM_SETSEL, 0, -1);
    SendMessageA(window, EM_LIMITTEXT, static_cast<WPARAM>(desc.maxLength), 0);
    SetFocus(window);
    field->oldProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&fieldProc)));
    return field;
}

void getTextFieldText(TextField* field, char* text, int capacity) {
    if (!text || capacity <= 0) return;
    text[0] = 0;
    if (!field || field->closed) return;
    GetWindowTextA(field->window, text, capacity);
    text[capacity - 1] = 0;
}

void closeTextField(TextField* field) {
    if (!field || field->closed) return;
    field->closed = true;
    field->client = nullptr;
    HWND window = field->window;
    if (field->oldProc) {
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(field->oldProc));
    }
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    DestroyWindow(window);
    if (field->callbackDepth == 0) delete field;
}

}  // namespace platform
}  // namespace TKGUI
