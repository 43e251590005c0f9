// The Win32 pop-up field itself, driven by messages: its window, settings,
// the two reports, Escape, and closing without a report.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "toolkit/platform/text_field.h"

using namespace TKGUI;

namespace {

class Client : public platform::TextFieldClient {
  public:
    void textFieldReturnPressed() override {
        ++returns;
        if (closeOnReport) closeField();
    }
    void textFieldFocusLost() override {
        ++focusLosses;
        if (closeOnReport) closeField();
    }
    void closeField() {
        platform::TextField* f = field;
        field = nullptr;
        platform::closeTextField(f);
    }
    int returns = 0;
    int focusLosses = 0;
    bool closeOnReport = false;
    platform::TextField* field = nullptr;
};

void pumpMessages() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

platform::TextFieldSpec desc(const char* text) {
    platform::TextFieldSpec s{};
    s.screenRect = CRect(200, 150, 230, 162);
    s.text = text;
    s.align = platform::TextAlign::center;
    s.font = nullptr;
    s.maxLength = 255;
    return s;
}

TEST(Win32TextField, OpensABorderlessFocusedPopupWithEverythingSelected) {
    Client client;
    client.field = platform::openTextField(desc("12.00"), &client);
    ASSERT_NE(client.field, nullptr);
    HWND w = GetFocus();
    ASSERT_NE(w, nullptr);
    char cls[16] = "";
    GetClassNameA(w, cls, sizeof cls);
    EXPECT_STREQ(cls, "Edit");
    const LONG_PTR style = GetWindowLongPtrA(w, GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_TRUE(style & ES_CENTER);
    EXPECT_TRUE(style & ES_AUTOHSCROLL);
    EXPECT_FALSE(style & WS_BORDER);
    EXPECT_TRUE(GetWindowLongPtrA(w, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_EQ(GetParent(w), nullptr);
    RECT r;
    GetWindowRect(w, &r);
    EXPECT_EQ(r.left, 200);
    EXPECT_EQ(r.top, 150);
    EXPECT_EQ(r.right - r.left, 30);
    EXPECT_EQ(r.bottom - r.top, 12);
    DWORD from = 1, to = 0;
    SendMessageA(w, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    EXPECT_EQ(from, 0u);
    EXPECT_EQ(to, 5u);
    EXPECT_EQ(SendMessageA(w, EM_GETLIMITTEXT, 0, 0), 255);
    EXPECT_EQ(SendMessageA(w, WM_GETDLGCODE, 0, 0), DLGC_WANTALLKEYS);

    char text[256];
    platform::getTextFieldText(client.field, text, sizeof text);
    EXPECT_STREQ(text, "12.00");
    client.closeField();
    EXPECT_FALSE(IsWindow(w));
    EXPECT_EQ(client.focusLosses, 0) << "closing must not report the focus loss it causes";
}

TEST(Win32TextField, EnterAndFocusLossAreReportedAndEscapeIsNot) {
    Client client;
    client.field = platform::openTextField(desc(""), &client);
    HWND w = GetFocus();
    SendMessageA(w, WM_KEYDOWN, VK_ESCAPE, 0);
    pumpMessages();
    EXPECT_EQ(client.returns + client.focusLosses, 0);
    EXPECT_TRUE(IsWindow(w));
    SendMessageA(w, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(client.returns, 1);

    HWND other = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr,
                                 nullptr, nullptr, nullptr);
    SetFocus(other);
    pumpMessages();
    EXPECT_EQ(client.focusLosses, 1);
    client.closeField();
    DestroyWindow(other);
}

TEST(Win32TextField, ClosingFromInsideTheReportIsSafe) {
    Client client;
    client.closeOnReport = true;
    client.field = platform::openTextField(desc("x"), &client);
    HWND w = GetFocus();
    SendMessageA(w, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(client.returns, 1);
    EXPECT_EQ(client.focusLosses, 0);
    EXPECT_FALSE(IsWindow(w));

    client.field = platform::openTextField(desc("y"), &client);
    w = GetFocus();
    HWND other = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr,
                                 nullptr, nullptr, nullptr);
    SetFocus(other);
    pumpMessages();
    EXPECT_EQ(client.focusLosses, 1);
    EXPECT_FALSE(IsWindow(w));
    DestroyWindow(other);
}

}  // namespace
