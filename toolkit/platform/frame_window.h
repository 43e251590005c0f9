// The frame's own window inside the host's editor window, its cursor shapes,
// its drop target and the host window chain it may resize. Each platform
// turns its window messages into the calls of toolkit/frame_window_events.h.
//
// All of it runs on the user-interface thread that created the window.
#pragma once

#include "toolkit/geometry.h"
#include "toolkit/platform/platform.h"

namespace TKGUI {

class CFrame;

namespace platform {

struct DropTarget;

// Registers the module's frame window class on first use, then creates a
// visible child window of width x height at (0, 0) inside parent that
// delivers its messages to frame. Null when it cannot be made.
Window* createFrameWindow(CFrame* frame, Window* parent, int width, int height);
// Forgets the frame, destroys the window (unless the platform already did)
// and unregisters the class with the module's last frame window.
void destroyFrameWindow(Window* window);
// Frame windows of the module alive now, and whether the class is registered.
int frameWindowClassUsers();

// Cursor shapes: 1 wait, 2 west-east, 3 north-south, 4 four-way, 5 north-east/
// south-west, 6 north-west/south-east, 8 not allowed, 9 hand; any other type
// restores saved. Answers the cursor that was current before.
void* currentCursor();
void setCursorShape(int type, void* saved);

// A drop target on the window that routes drags into the frame; null where
// the platform has none.
DropTarget* registerDropTarget(Window* window, CFrame* frame);
void revokeDropTarget(Window* window, DropTarget* target);

// Resizes the frame window alone, or walks up the host's window chain and
// resizes it so that the frame window gets width x height.
void resizeWindow(Window* window, int width, int height);
bool resizeWindowChain(Window* frameWindow, int width, int height);
// The top-left of the frame's outermost host window, in its parent's
// client coordinates.
CPoint outerWindowPosition(Window* frameWindow);

}  // namespace platform
}  // namespace TKGUI
