// Input state, time and the rest of the platform's services on X11. Pointer
// questions go to the calling thread's editor connection; without an open
// editor there is no pointer to ask about.
#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <ctime>

#include "toolkit/platform/platform.h"
#include "toolkit/platform/software/software_script.h"
#include "toolkit/platform/x11/x11_frame_window.h"

namespace TKGUI {
namespace platform {

namespace {

xcb_query_pointer_reply_t* queryPointer() {
    x11::FrameWindow* w = x11::currentFrameWindow();
    if (!w) return nullptr;
    return xcb_query_pointer_reply(w->connection, xcb_query_pointer(w->connection, w->root),
                                   nullptr);
}

}  // namespace

int pollButtonsAndModifiers() {
    // The first poll while a press is handled answers the press itself: a
    // quick click is often released before the idle call that delivers it.
    const int pressed = x11::takePressedState();
    if (pressed >= 0) return pressed;
    xcb_query_pointer_reply_t* reply = queryPointer();
    if (!reply) return 0;
    const int bits = x11::stateBits(reply->mask);
    free(reply);
    return bits;
}

// The server applies the user's button mapping before anyone sees a button.
bool systemButtonsSwapped() {
    return false;
}

CPoint cursorScreenPosition() {
    xcb_query_pointer_reply_t* reply = queryPointer();
    if (!reply) return CPoint();
    const CPoint where(reply->root_x, reply->root_y);
    free(reply);
    return where;
}

// The usual desktop default; X itself has no such setting.
int doubleClickTime() {
    return 400;
}

uint32_t tickCount() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000u +
                                 static_cast<uint64_t>(now.tv_nsec) / 1000000u);
}

void sleepMilliseconds(uint32_t milliseconds) {
    timespec pause{static_cast<time_t>(milliseconds / 1000),
                   static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&pause, &pause) == -1 && errno == EINTR) {
    }
}

// X has no timers: the host's timer, or its watch on the connection's
// descriptor, drives the editor.
Timer* startWindowTimer(Window*, uint32_t, void (*)(void*), void*) {
    return nullptr;
}
void stopWindowTimer(Timer*) {}

int windowEventDescriptor(Window* window) {
    x11::FrameWindow* w = x11::findFrameWindow(window);
    if (!w || !w->connection || w->gone) return -1;
    return xcb_get_file_descriptor(w->connection);
}

uintptr_t nativeWindowId(Window* window) {
    x11::FrameWindow* w = x11::findFrameWindow(window);
    return w && !w->gone ? w->id : 0;
}

// No drag-and-drop subsystem to set up.
bool beginThreadOle() {
    return false;
}
void endThreadOle() {}

namespace {
std::atomic<int> blendHolders{0};
}

// The blends are the software platform's own code: nothing to load, but the
// holders are counted as there, since its raster draws no blend without one.
Library* loadBlendLibrary() {
    ++blendHolders;
    return new Library;
}
void freeBlendLibrary(Library* library) {
    if (!library) return;
    --blendHolders;
    delete library;
}

}  // namespace platform

int software::blendLibraryHolders() {
    return platform::blendHolders;
}

}  // namespace TKGUI
