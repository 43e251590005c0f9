// The module's own event loop on X11. The host's loop never sees the
// module's connection, so effEditIdle (through the editor glue) hands the
// pending events to the frames here: exposures become paints, button presses
// clicks, buttons 4 and 5 wheel notches; motion and releases need nothing,
// since controls poll the pointer in their own loops.
//
// While such a loop runs (it calls the idle pump, which comes back here),
// only exposures and destruction are handled; input waits until the loop is
// over, as the host's queue would hold it on Windows.
#include <algorithm>
#include <cstdlib>

#include "toolkit/frame_window_events.h"
#include "toolkit/platform/platform.h"
#include "toolkit/platform/x11/x11_frame_window.h"

namespace TKGUI {
namespace x11 {

namespace {

thread_local int loopDepth = 0;
thread_local int pressedState = -1;

bool isInput(uint8_t type) {
    return type == XCB_BUTTON_PRESS || type == XCB_KEY_PRESS || type == XCB_FOCUS_OUT;
}

// Runs with the loop depth raised: whatever the handler calls (a mouse loop,
// a commit that pumps idle) may come back here for paints only.
void handleInputNow(FrameWindow* w, xcb_generic_event_t* event) {
    if (isTextFieldEvent(w, event)) {
        handleTextFieldEvent(w, event);
        return;
    }
    if ((event->response_type & 0x7F) != XCB_BUTTON_PRESS || !w->frame) return;
    auto* press = reinterpret_cast<xcb_button_press_event_t*>(event);
    if (press->event != w->id) return;
    // The event tells where the window is on the screen without asking.
    w->screenOrigin = CPoint(press->root_x - press->event_x, press->root_y - press->event_y);
    if (press->detail == 4 || press->detail == 5) {
        onFrameWheel(w->frame, CPoint(press->root_x, press->root_y),
                     press->detail == 4 ? 1.0f : -1.0f);
        return;
    }
    if (press->detail < 1 || press->detail > 3) return;
    const int button = press->detail == 1 ? 1 : press->detail == 2 ? 2 : 4;
    setPressedState(stateBits(press->state) | button);
    onFrameButtonDown(w->frame, CPoint(press->event_x, press->event_y));
    pressedState = -1;
}

void handleInput(FrameWindow* w, xcb_generic_event_t* event) {
    ++loopDepth;
    handleInputNow(w, event);
    --loopDepth;
}

void paint(FrameWindow* w, const CRect& area) {
    const CRect r = area.intersection(CRect(0, 0, w->image.width, w->image.height));
    if (!w->frame || r.width() <= 0 || r.height() <= 0) return;
    platform::Device* device = platform::getWindowDevice(w);
    onFramePaint(w->frame, device, r);
    platform::releaseWindowDevice(w, device);
}

// Handles what is queued for one window; answers false once the window is
// no longer usable (destroyed, or closed by the host from inside a click).
bool drain(FrameWindow* w) {
    if (loopDepth == 0) {
        while (!w->heldInput.empty() && !w->retired && !w->gone) {
            xcb_generic_event_t* event = w->heldInput.front();
            w->heldInput.pop_front();
            handleInput(w, event);
            free(event);
        }
    }
    CRect exposed;
    bool anyExposed = false;
    while (!w->retired && !w->gone) {
        xcb_generic_event_t* event = xcb_poll_for_event(w->connection);
        if (!event) break;
        const uint8_t type = event->response_type & 0x7F;
        if (type == XCB_EXPOSE) {
            auto* e = reinterpret_cast<xcb_expose_event_t*>(event);
            if (e->window == w->id) {
                CRect r(e->x, e->y, e->x + e->width, e->y + e->height);
                if (anyExposed) {
                    r = CRect(std::min(r.left, exposed.left), std::min(r.top, exposed.top),
                              std::max(r.right, exposed.right), std::max(r.bottom, exposed.bottom));
                }
                exposed = r;
                anyExposed = true;
            } else if (isTextFieldEvent(w, event)) {
                handleTextFieldEvent(w, event);
            }
        } else if (type == XCB_DESTROY_NOTIFY) {
            auto* e = reinterpret_cast<xcb_destroy_notify_event_t*>(event);
            if (e->window == w->id) {
                // The host destroyed its parent window, and ours with it.
                w->gone = true;
                if (w->frame) onFrameWindowDestroyed(w->frame);
                w->frame = nullptr;
            }
        } else if (isInput(type)) {
            if (loopDepth > 0) {
                w->heldInput.push_back(event);
                continue;
            }
            handleInput(w, event);
        }
        // Errors (requests on a window the host destroyed), motion, releases
        // and the rest need nothing.
        free(event);
    }
    if (xcb_connection_has_error(w->connection) && !w->gone) {
        // The server went away: nothing more can be shown.
        w->gone = true;
        if (w->frame) onFrameWindowDestroyed(w->frame);
        w->frame = nullptr;
    }
    if (anyExposed && !w->retired && !w->gone) {
        forgetShown(w, exposed);
        paint(w, exposed);
    }
    return !w->retired && !w->gone;
}

}  // namespace

int stateBits(uint16_t state) {
    int bits = 0;
    if (state & XCB_BUTTON_MASK_1) bits |= 1;
    if (state & XCB_BUTTON_MASK_2) bits |= 2;
    if (state & XCB_BUTTON_MASK_3) bits |= 4;
    if (state & XCB_MOD_MASK_SHIFT) bits |= 8;
    if (state & XCB_MOD_MASK_CONTROL) bits |= 16;
    if (state & XCB_MOD_MASK_1) bits |= 32;
    return bits;
}

int mouseLoopDepth() {
    return loopDepth;
}

void setPressedState(int bits) {
    pressedState = bits;
}

int takePressedState() {
    const int bits = pressedState;
    pressedState = -1;
    return bits;
}

}  // namespace x11

namespace platform {

void dispatchPendingWindowEvents() {
    for (x11::FrameWindow* w : x11::threadFrameWindows()) {
        if (!w->retired && !w->gone) x11::drain(w);
    }
    if (x11::mouseLoopDepth() > 0) return;
    // Windows the host destroyed, or closed from inside a click, go now
    // that nothing on the stack uses them; a destroyed one whose frame still
    // holds it waits for the frame to let go.
    for (x11::FrameWindow* w : x11::threadFrameWindows()) {
        if (w->retired || (w->gone && !w->frame)) x11::freeFrameWindow(w);
    }
}

void dispatchOnePendingPaint() {
    dispatchPendingWindowEvents();
}

}  // namespace platform
}  // namespace TKGUI
