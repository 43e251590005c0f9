// Controls on a real frame window under Wine, driven by injected input: a
// knob dragged while its modal loop runs, and a text edit clicked, typed
// into and committed with Enter or with a click elsewhere.
//
// Wine may report a button through GetAsyncKeyState only some time after
// SendInput pressed it, and the click handler polls it: the thread that runs
// the editor takes no messages for 70 ms after each injected button.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

#include "editor/tembro_knob.h"
#include "toolkit/frame.h"
#include "toolkit/frame_editor.h"
#include "toolkit/text_edit.h"

using namespace TKGUI;

namespace {

constexpr int kHostX = 100;
constexpr int kHostY = 100;

class Editor : public CFrameEditor {
  public:
    void beginEdit(int32_t) override { ++begins; }
    void endEdit(int32_t) override { ++ends; }
    void pumpIdle() override {
        ++pumps;
        Sleep(2);
    }
    std::atomic<int> begins{0};
    std::atomic<int> ends{0};
    std::atomic<int> pumps{0};
};

class Listener : public CControlListener {
  public:
    void valueChanged(CDrawContext*, CControl* control) override {
        ++changes;
        if (control->getTag() >= 1000) {
            char t[256];
            static_cast<CTextEdit*>(control)->getText(t);
            lastText = t;
        }
    }
    int changes = 0;
    std::string lastText;
};

void pumpMessages() {
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
}

void pumpFor(int milliseconds) {
    const DWORD end = GetTickCount() + milliseconds;
    while (GetTickCount() < end) {
        pumpMessages();
        Sleep(5);
    }
}

void sendButton(DWORD flag) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flag;
    SendInput(1, &in, sizeof in);
}

void sendKey(WORD vk) {
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = vk;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof in[0]);
}

// A click at a frame point, injected and handled on this thread.
void clickAt(int x, int y) {
    SetCursorPos(kHostX + x, kHostY + y);
    pumpFor(30);
    sendButton(MOUSEEVENTF_LEFTDOWN);
    Sleep(70);
    pumpMessages();
    sendButton(MOUSEEVENTF_LEFTUP);
    Sleep(70);
    pumpFor(50);
}

void typeText(const char* text) {
    for (const char* c = text; *c; ++c) sendKey(static_cast<WORD>(*c));
    pumpFor(100);
}

bool focusIsAnEditField() {
    HWND w = GetFocus();
    char cls[16] = "";
    if (w) GetClassNameA(w, cls, sizeof cls);
    return std::string(cls) == "Edit";
}

class RealInputTest : public ::testing::Test {
  protected:
    void SetUp() override {
        host = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, kHostX, kHostY, 400, 220,
                               nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(host, nullptr);
        SetForegroundWindow(host);
        frame =
            new CFrame(CRect(0, 0, 400, 220), reinterpret_cast<platform::Window*>(host), &editor);
        ASSERT_NE(frame->getWindow(), nullptr);
        pumpFor(50);
    }
    void TearDown() override {
        delete frame;
        DestroyWindow(host);
        pumpMessages();
    }

    HWND host = nullptr;
    CFrame* frame = nullptr;
    Editor editor;
    Listener listener;
};

TEST_F(RealInputTest, KnobDraggedWhileItsLoopRunsReachesTheValueInOneGesture) {
    auto* knob = new TembroKnob(CRect(30, 25, 110, 105), &listener, 0, 97, 80, nullptr, CPoint());
    knob->dragRange = 480.0f;
    knob->setValue(0.5f);
    frame->addView(knob);

    SetCursorPos(kHostX + 70, kHostY + 65);
    pumpFor(50);
    HANDLE pressed = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::atomic<bool> done{false};
    std::thread hand([&] {
        sendButton(MOUSEEVENTF_LEFTDOWN);
        SetEvent(pressed);
        Sleep(300);  // the loop is running by now
        SetCursorPos(kHostX + 70 + 48, kHostY + 65);
        Sleep(300);
        sendButton(MOUSEEVENTF_LEFTUP);
        done = true;
    });
    WaitForSingleObject(pressed, 5000);
    Sleep(70);
    // The button-down runs the whole drag inside this dispatch.
    while (!done) {
        pumpMessages();
        Sleep(5);
    }
    hand.join();
    pumpFor(100);
    CloseHandle(pressed);

    EXPECT_FLOAT_EQ(knob->getValue(), 0.6f);
    EXPECT_EQ(editor.begins, 1);
    EXPECT_EQ(editor.ends, 1);
    EXPECT_GT(editor.pumps, 10) << "the loop must run the idle work on every turn";
}

class TextEditInputTest : public RealInputTest {
  protected:
    void SetUp() override {
        RealInputTest::SetUp();
        edit = new CTextEdit(CRect(55, 125, 85, 137), &listener, 1001);
        edit->setFont(6);
        frame->addView(edit);
    }
    CTextEdit* edit = nullptr;
};

TEST_F(TextEditInputTest, ClickedTypedAndEnteredTextReachesTheListener) {
    clickAt(70, 131);
    ASSERT_TRUE(focusIsAnEditField()) << "the click must open the field with the focus";
    RECT r;
    GetWindowRect(GetFocus(), &r);
    EXPECT_EQ(r.left, kHostX + 55);
    EXPECT_EQ(r.top, kHostY + 125);
    EXPECT_EQ(editor.begins, 1);
    typeText("12");
    sendKey(VK_RETURN);
    pumpFor(100);
    EXPECT_EQ(listener.changes, 1);
    EXPECT_EQ(listener.lastText, "12");
    EXPECT_TRUE(edit->wasReturnPressed());
    EXPECT_EQ(editor.ends, 2);
    EXPECT_FALSE(edit->isEditing());
}

TEST_F(TextEditInputTest, AClickElsewhereCommitsTheTypedText) {
    clickAt(70, 131);
    ASSERT_TRUE(focusIsAnEditField());
    typeText("7");
    clickAt(300, 200);
    EXPECT_EQ(listener.changes, 1);
    EXPECT_EQ(listener.lastText, "7");
    EXPECT_FALSE(edit->wasReturnPressed());
    EXPECT_FALSE(edit->isEditing());
    EXPECT_GE(editor.ends, 1);
    EXPECT_LE(editor.ends, 2);
}

}  // namespace
