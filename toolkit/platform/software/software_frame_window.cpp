#include "toolkit/platform/software/software_frame_window.h"

#include <map>

#include "toolkit/frame_window_events.h"
#include "toolkit/platform/frame_window.h"
#include "toolkit/platform/software/software_script.h"
#include "toolkit/platform/software/software_types.h"

namespace TKGUI {

namespace {

struct FrameWindow {
    CFrame* frame;
    platform::Window* parent;
};

// Live frame windows; a window leaves the map when it is destroyed.
std::map<platform::Window*, FrameWindow>& frameWindows() {
    static std::map<platform::Window*, FrameWindow> windows;
    return windows;
}
int classUsers = 0;
int cursorType = 0;

}  // namespace

namespace platform {

Window* createFrameWindow(CFrame* frame, Window* parent, int width, int height) {
    if (!parent) return nullptr;
    Window* window = software::createWindow(width, height, windowScreenOrigin(parent));
    if (!window) return nullptr;
    ++classUsers;
    frameWindows()[window] = {frame, parent};
    return window;
}

void destroyFrameWindow(Window* window) {
    if (!window) return;
    auto& windows = frameWindows();
    auto it = windows.find(window);
    if (it == windows.end()) return;  // already destroyed with its parent
    windows.erase(it);
    software::destroyWindow(window);
    --classUsers;
}

int frameWindowClassUsers() {
    return classUsers;
}

// A cursor is its shape number plus one, so that no cursor is a null pointer.
void* currentCursor() {
    return reinterpret_cast<void*>(static_cast<intptr_t>(cursorType) + 1);
}

void setCursorShape(int type, void* saved) {
    switch (type) {
        case 1:
        case 2:
        case 3:
        case 4:
        case 5:
        case 6:
        case 8:
        case 9:
            cursorType = type;
            break;
        default:
            cursorType = saved ? static_cast<int>(reinterpret_cast<intptr_t>(saved) - 1) : 0;
    }
}

// No drag-and-drop subsystem here; no view of the plug-in takes drops.
DropTarget* registerDropTarget(Window*, CFrame*) {
    return nullptr;
}
void revokeDropTarget(Window*, DropTarget*) {}

void resizeWindow(Window* window, int width, int height) {
    if (!window || width <= 0 || height <= 0) return;
    const CPoint origin = window->screenOrigin;
    window->image = Image(width, height);
    window->screenOrigin = origin;
}

bool resizeWindowChain(Window* frameWindow, int width, int height) {
    resizeWindow(frameWindow, width, height);
    return frameWindow != nullptr;
}

CPoint outerWindowPosition(Window* frameWindow) {
    return frameWindow ? frameWindow->screenOrigin : CPoint();
}

}  // namespace platform

namespace software {

CFrame* frameOf(platform::Window* window) {
    auto it = frameWindows().find(window);
    return it == frameWindows().end() ? nullptr : it->second.frame;
}

int childWindowCount(platform::Window* parent) {
    int n = 0;
    for (const auto& [window, record] : frameWindows()) n += record.parent == parent ? 1 : 0;
    return n;
}

platform::Window* lastChildOf(platform::Window* parent) {
    platform::Window* last = nullptr;
    for (const auto& [window, record] : frameWindows()) {
        if (record.parent == parent) last = window;
    }
    return last;
}

void sendPaint(platform::Window* window, const CRect& updateRect) {
    CFrame* frame = frameOf(window);
    CRect area = updateRect.intersection(CRect(0, 0, window->image.width, window->image.height));
    if (!frame || area.width() <= 0 || area.height() <= 0) return;
    platform::Device* device = platform::getWindowDevice(window);
    onFramePaint(frame, device, area);
    platform::releaseWindowDevice(window, device);
}

void sendButtonDown(platform::Window* window, const CPoint& where) {
    if (CFrame* frame = frameOf(window)) onFrameButtonDown(frame, where);
}

void sendWheel(platform::Window* window, const CPoint& screenPosition, int delta) {
    if (CFrame* frame = frameOf(window)) {
        onFrameWheel(frame, screenPosition,
                     static_cast<float>(static_cast<int16_t>(delta)) / 120.0f);
    }
}

void destroyChildren(platform::Window* parent) {
    auto& windows = frameWindows();
    for (auto it = windows.begin(); it != windows.end();) {
        if (it->second.parent != parent) {
            ++it;
            continue;
        }
        CFrame* frame = it->second.frame;
        platform::Window* window = it->first;
        it = windows.erase(it);
        onFrameWindowDestroyed(frame);
        software::destroyWindow(window);
        --classUsers;
    }
}

int cursorShape() {
    return cursorType;
}

}  // namespace software
}  // namespace TKGUI
