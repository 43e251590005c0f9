// The software platform's frame windows, and the messages tests send them:
// paints, button presses, wheel turns and destruction from outside, all on
// the calling thread as a message procedure would run them.
#pragma once

#include "toolkit/geometry.h"
#include "toolkit/platform/platform.h"

namespace TKGUI {

class CFrame;

namespace software {

// The frame a window delivers to, or null (unknown or destroyed window).
CFrame* frameOf(platform::Window* window);
// The frame windows created inside parent that are still alive.
int childWindowCount(platform::Window* parent);
// The last frame window created inside parent, or null.
platform::Window* lastChildOf(platform::Window* parent);

// A paint request for updateRect; an empty rectangle paints nothing.
void sendPaint(platform::Window* window, const CRect& updateRect);
// A button press at window coordinates (the held buttons come from the
// scripted button state).
void sendButtonDown(platform::Window* window, const CPoint& where);
// A wheel message: delta in 120ths of a notch, pointer at screenPosition.
void sendWheel(platform::Window* window, const CPoint& screenPosition, int delta);
// The host destroys its parent window: every frame window inside it gets
// its destruction message and is gone.
void destroyChildren(platform::Window* parent);

// The shape set last by setCursorShape (0 for the saved cursor).
int cursorShape();

}  // namespace software
}  // namespace TKGUI
