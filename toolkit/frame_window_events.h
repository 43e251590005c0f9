// What a frame window's messages do to its frame, the same on every platform:
// the platform's message procedure finds the frame and calls these.
#pragma once

#include "toolkit/geometry.h"
#include "toolkit/platform/platform.h"

namespace TKGUI {

class CFrame;

// Paints updateRect of the window: through the back buffer, which is then
// copied to the window, so the screen only ever receives finished pixels.
void onFramePaint(CFrame* frame, platform::Device* paintDevice, const CRect& updateRect);
// A left, right or middle button went down at where (window coordinates):
// the frame's mouseDown with the button state polled.
void onFrameButtonDown(CFrame* frame, const CPoint& where);
// A wheel turn of distance notches with the pointer at screenPosition.
void onFrameWheel(CFrame* frame, const CPoint& screenPosition, float distance);
// The window is gone (destroyed by its parent or by the frame).
void onFrameWindowDestroyed(CFrame* frame);

}  // namespace TKGUI
