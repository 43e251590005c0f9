// Windows for tests that play the host: one visible top-level window for the
// whole program (Wine under Xvfb takes two seconds to unmap one), and child
// windows of it as the host's editor windows.
#pragma once

#include <windows.h>

HWND makeEditorWindow();
// Dispatches this thread's messages for about this long.
void pumpFor(DWORD milliseconds);
// Injected mouse button events.
void pressLeftButton(bool down);
// Keys typed with SendInput, as a user would.
void typeKeys(const char* text);
void pressKey(WORD virtualKey);
