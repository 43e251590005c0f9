// The X11 platform's frame windows. A frame window is a software window (an
// image and a screen position, drawn by the software platform's devices)
// shown in an X window of its own, on an XCB connection of its own: X errors
// then arrive as events of that connection, so the host's process-wide Xlib
// error handler is never involved, and a parent destroyed by the host costs
// nothing worse than an ignored error.
//
// Only the thread that created a frame window touches it or its connection.
#pragma once

#include <xcb/xcb.h>

#include <deque>
#include <thread>
#include <vector>

#include "toolkit/platform/software/software_types.h"

namespace TKGUI {

class CFrame;

namespace platform {
struct TextField;
}

namespace x11 {

struct FrameWindow : platform::Window {
    FrameWindow(int width, int height) : platform::Window(width, height, CPoint()) {}

    xcb_connection_t* connection = nullptr;
    xcb_window_t id = 0;
    xcb_window_t root = 0;
    xcb_gcontext_t gc = 0;
    uint8_t depth = 0;
    CFrame* frame = nullptr;
    std::thread::id thread;
    // Destroyed from outside: the host destroyed the parent window.
    bool gone = false;
    // The frame let go of it while a mouse loop of its own was still on the
    // stack; it is freed when the outermost event dispatch returns.
    bool retired = false;

    // The pixels on screen, to send only what changed.
    std::vector<uint32_t> shown;
    // A shared-memory image of the whole window, where the server offers it.
    uint32_t shmSegment = 0;
    uint32_t* shmPixels = nullptr;
    bool shmBusy = false;  // the server may still be reading it

    // Input that arrived while a control's mouse loop ran; handled after.
    std::deque<xcb_generic_event_t*> heldInput;
    // The pop-up text field open over the window, if any.
    platform::TextField* field = nullptr;
};

// The frame window behind a platform handle, or null (not one of ours: a
// host's window id, or a window already freed).
FrameWindow* findFrameWindow(platform::Window* window);
// The calling thread's newest frame window that is not gone, or null.
FrameWindow* currentFrameWindow();
// The calling thread's frame windows, oldest first.
std::vector<FrameWindow*> threadFrameWindows();
// Unregisters and frees a window (its field, image, X window, connection).
void freeFrameWindow(FrameWindow* window);

// Sends what changed in the window's image since the last call.
void present(FrameWindow* window);
// The server lost these pixels (another window covered them): the next
// present sends them again, changed or not.
void forgetShown(FrameWindow* window, const CRect& area);
// Sets up and tears down the shared-memory image.
void attachSharedImage(FrameWindow* window);
void detachSharedImage(FrameWindow* window);

// The window's top-left on the screen, asked of the server.
CPoint queryScreenOrigin(xcb_connection_t* connection, xcb_window_t window, xcb_window_t root);

// Control mouse loops in progress on this thread: input events that arrive
// meanwhile wait in heldInput.
int mouseLoopDepth();

// Text-field events: the field's window, keys typed into it, focus lost.
bool isTextFieldEvent(FrameWindow* window, xcb_generic_event_t* event);
void handleTextFieldEvent(FrameWindow* window, xcb_generic_event_t* event);
// The frame window is going: the field loses its window, and the client
// hears nothing more.
void detachTextField(FrameWindow* window);

// X's pointer and modifier state as the toolkit's poll bits (buttons 1, 2, 3
// after the server's own mapping, Shift, Control, Mod1 as Alt).
int stateBits(uint16_t state);

// The button and modifier bits of the button press being handled: the next
// poll answers them (a quick click is released before the frame polls).
void setPressedState(int bits);
int takePressedState();

}  // namespace x11
}  // namespace TKGUI
