// Frame windows on X11: each a child of the host's window, on a connection
// of its own, registered here so that the platform's handles can be told
// apart from the host's window ids.
#include "toolkit/platform/x11/x11_frame_window.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <mutex>

#include "toolkit/frame_window_events.h"
#include "toolkit/platform/frame_window.h"

namespace TKGUI {
namespace x11 {

namespace {

// Editors of several effects may run on different threads; each touches only
// its own windows, but the list is shared.
std::mutex registryMutex;
std::vector<FrameWindow*>& registry() {
    static std::vector<FrameWindow*> windows;
    return windows;
}

template <typename Reply>
std::unique_ptr<Reply, void (*)(void*)> owned(Reply* reply) {
    return std::unique_ptr<Reply, void (*)(void*)>(reply, &free);
}

// A host hands its window id where a pointer would be; ids are 29 bits.
bool toWindowId(platform::Window* handle, xcb_window_t* id) {
    const uintptr_t value = reinterpret_cast<uintptr_t>(handle);
    if (value == 0 || value > 0x1FFFFFFFu) return false;
    *id = static_cast<xcb_window_t>(value);
    return true;
}

// The pixels are 32-bit words 0x00RRGGBB in the machine's byte order: the
// parent's visual must be 24-bit true colour stored in 32 bits, and the
// server's image byte order the machine's.
bool visualFits(const xcb_setup_t* setup, xcb_window_t root, uint8_t depth, xcb_visualid_t visual) {
    const uint16_t probe = 1;
    const bool littleEndian = *reinterpret_cast<const uint8_t*>(&probe) == 1;
    const uint8_t machineOrder =
        littleEndian ? XCB_IMAGE_ORDER_LSB_FIRST : XCB_IMAGE_ORDER_MSB_FIRST;
    if (depth != 24 || setup->image_byte_order != machineOrder) return false;
    bool formatFits = false;
    for (auto f = xcb_setup_pixmap_formats_iterator(setup); f.rem; xcb_format_next(&f)) {
        if (f.data->depth == depth) formatFits = f.data->bits_per_pixel == 32;
    }
    if (!formatFits) return false;
    for (auto s = xcb_setup_roots_iterator(setup); s.rem; xcb_screen_next(&s)) {
        if (s.data->root != root) continue;
        for (auto d = xcb_screen_allowed_depths_iterator(s.data); d.rem; xcb_depth_next(&d)) {
            if (d.data->depth != depth) continue;
            for (auto v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v)) {
                if (v.data->visual_id != visual) continue;
                return v.data->_class == XCB_VISUAL_CLASS_TRUE_COLOR &&
                       v.data->red_mask == 0xFF0000 && v.data->green_mask == 0xFF00 &&
                       v.data->blue_mask == 0xFF;
            }
        }
    }
    return false;
}

bool createWindow(FrameWindow* w, xcb_window_t parent, int width, int height) {
    xcb_connection_t* c = w->connection;
    auto geometry = owned(xcb_get_geometry_reply(c, xcb_get_geometry(c, parent), nullptr));
    auto attributes =
        owned(xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, parent), nullptr));
    if (!geometry || !attributes) return false;  // no such window
    if (!visualFits(xcb_get_setup(c), geometry->root, geometry->depth, attributes->visual)) {
        return false;
    }
    w->root = geometry->root;
    w->depth = geometry->depth;
    w->id = xcb_generate_id(c);
    const uint32_t mask = XCB_CW_BACK_PIXMAP | XCB_CW_EVENT_MASK;
    const uint32_t values[] = {XCB_BACK_PIXMAP_NONE,
                               XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_BUTTON_PRESS |
                                   XCB_EVENT_MASK_BUTTON_RELEASE | XCB_EVENT_MASK_POINTER_MOTION |
                                   XCB_EVENT_MASK_FOCUS_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY};
    xcb_void_cookie_t made = xcb_create_window_checked(
        c, XCB_COPY_FROM_PARENT, w->id, parent, 0, 0, static_cast<uint16_t>(width),
        static_cast<uint16_t>(height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT, mask,
        values);
    if (xcb_generic_error_t* error = xcb_request_check(c, made)) {
        free(error);
        w->id = 0;
        return false;
    }
    w->gc = xcb_generate_id(c);
    xcb_create_gc(c, w->gc, w->id, 0, nullptr);
    xcb_map_window(c, w->id);
    return true;
}

}  // namespace

FrameWindow* findFrameWindow(platform::Window* window) {
    if (!window) return nullptr;
    std::lock_guard<std::mutex> lock(registryMutex);
    for (FrameWindow* w : registry()) {
        if (w == window) return w;
    }
    return nullptr;
}

FrameWindow* currentFrameWindow() {
    const std::thread::id self = std::this_thread::get_id();
    std::lock_guard<std::mutex> lock(registryMutex);
    for (auto it = registry().rbegin(); it != registry().rend(); ++it) {
        if ((*it)->thread == self && !(*it)->gone && !(*it)->retired) return *it;
    }
    return nullptr;
}

std::vector<FrameWindow*> threadFrameWindows() {
    const std::thread::id self = std::this_thread::get_id();
    std::vector<FrameWindow*> mine;
    std::lock_guard<std::mutex> lock(registryMutex);
    for (FrameWindow* w : registry()) {
        if (w->thread == self) mine.push_back(w);
    }
    return mine;
}

void freeFrameWindow(FrameWindow* w) {
    {
        std::lock_guard<std::mutex> lock(registryMutex);
        auto& all = registry();
        all.erase(std::remove(all.begin(), all.end(), w), all.end());
    }
    detachTextField(w);
    xcb_connection_t* c = w->connection;
    detachSharedImage(w);
    if (w->gc) xcb_free_gc(c, w->gc);
    // A window destroyed with the host's parent is not destroyed again; if it
    // went unnoticed, the server answers with an error event nobody reads.
    if (w->id && !w->gone) xcb_destroy_window(c, w->id);
    for (xcb_generic_event_t* event : w->heldInput) free(event);
    xcb_flush(c);
    xcb_disconnect(c);
    delete w;
}

CPoint queryScreenOrigin(xcb_connection_t* c, xcb_window_t window, xcb_window_t root) {
    auto reply = owned(xcb_translate_coordinates_reply(
        c, xcb_translate_coordinates(c, window, root, 0, 0), nullptr));
    return reply ? CPoint(reply->dst_x, reply->dst_y) : CPoint();
}

}  // namespace x11

namespace platform {

Window* createFrameWindow(CFrame* frame, Window* parent, int width, int height) {
    xcb_window_t parentId = 0;
    if (!x11::toWindowId(parent, &parentId) || width <= 0 || height <= 0) return nullptr;
    if (width > 0x7FFF || height > 0x7FFF) return nullptr;
    // No display, or none that answers: no window, and the host goes on.
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        xcb_disconnect(c);
        return nullptr;
    }
    auto* w = new x11::FrameWindow(width, height);
    w->connection = c;
    w->frame = frame;
    w->thread = std::this_thread::get_id();
    if (!x11::createWindow(w, parentId, width, height)) {
        xcb_disconnect(c);
        delete w;
        return nullptr;
    }
    x11::attachSharedImage(w);
    w->screenOrigin = x11::queryScreenOrigin(c, w->id, w->root);
    xcb_flush(c);
    std::lock_guard<std::mutex> lock(x11::registryMutex);
    x11::registry().push_back(w);
    return w;
}

void destroyFrameWindow(Window* window) {
    x11::FrameWindow* w = x11::findFrameWindow(window);
    if (!w) return;
    w->frame = nullptr;
    if (x11::mouseLoopDepth() > 0) {
        // A control's mouse loop on this thread still reads events of this
        // connection: hide the window now, free it when the loop is over.
        if (!w->gone && !w->retired) xcb_unmap_window(w->connection, w->id);
        xcb_flush(w->connection);
        w->retired = true;
        return;
    }
    x11::freeFrameWindow(w);
}

int frameWindowClassUsers() {
    std::lock_guard<std::mutex> lock(x11::registryMutex);
    int n = 0;
    for (x11::FrameWindow* w : x11::registry()) n += w->retired ? 0 : 1;
    return n;
}

// --- Devices of frame windows -------------------------------------------------

Device* getWindowDevice(Window* window) {
    // A host window (an X id, not ours) has no device here.
    x11::FrameWindow* w = x11::findFrameWindow(window);
    if (!w) return nullptr;
    Device* device = new Device;
    device->window = w;
    ++w->openDevices;
    return device;
}

void releaseWindowDevice(Window* window, Device* device) {
    x11::FrameWindow* w = x11::findFrameWindow(window);
    if (w && device && device->window == w) {
        --w->openDevices;
        // What was drawn into the window's image goes to the screen.
        x11::present(w);
    }
    delete device;
}

CPoint windowScreenOrigin(Window* window) {
    if (x11::FrameWindow* w = x11::findFrameWindow(window)) {
        if (!w->gone && !w->retired)
            w->screenOrigin = x11::queryScreenOrigin(w->connection, w->id, w->root);
        return w->screenOrigin;
    }
    // A host window: asked on this thread's connection, if there is one.
    xcb_window_t id = 0;
    x11::FrameWindow* current = x11::currentFrameWindow();
    if (!current || !x11::toWindowId(window, &id)) return CPoint();
    return x11::queryScreenOrigin(current->connection, id, current->root);
}

// --- Cursors ---------------------------------------------------------------------

namespace {
int cursorType = 0;

// Glyphs of the standard X cursor font for the toolkit's shapes.
int cursorGlyph(int type) {
    switch (type) {
        case 1:
            return 150;  // watch
        case 2:
            return 108;  // sb_h_double_arrow
        case 3:
            return 116;  // sb_v_double_arrow
        case 4:
            return 52;  // fleur
        case 5:
            return 12;  // bottom_left_corner
        case 6:
            return 14;  // bottom_right_corner
        case 8:
            return 0;  // X_cursor
        case 9:
            return 60;  // hand2
        default:
            return -1;
    }
}
}  // namespace

// A cursor is its shape number plus one, so that no cursor is a null pointer.
void* currentCursor() {
    return reinterpret_cast<void*>(static_cast<intptr_t>(cursorType) + 1);
}

void setCursorShape(int type, void* saved) {
    const int glyph = cursorGlyph(type);
    cursorType =
        glyph >= 0 ? type : (saved ? static_cast<int>(reinterpret_cast<intptr_t>(saved) - 1) : 0);
    x11::FrameWindow* w = x11::currentFrameWindow();
    if (!w) return;
    xcb_connection_t* c = w->connection;
    const int shown = cursorGlyph(cursorType);
    uint32_t cursor = XCB_CURSOR_NONE;  // the parent's cursor
    xcb_font_t font = 0;
    if (shown >= 0) {
        font = xcb_generate_id(c);
        xcb_open_font(c, font, 6, "cursor");
        cursor = xcb_generate_id(c);
        xcb_create_glyph_cursor(c, cursor, font, font, static_cast<uint16_t>(shown),
                                static_cast<uint16_t>(shown + 1), 0, 0, 0, 0xFFFF, 0xFFFF, 0xFFFF);
    }
    xcb_change_window_attributes(c, w->id, XCB_CW_CURSOR, &cursor);
    if (cursor != XCB_CURSOR_NONE) xcb_free_cursor(c, cursor);
    if (font) xcb_close_font(c, font);
    xcb_flush(c);
}

// No drop target on X11: no view of the plug-in takes drops.
DropTarget* registerDropTarget(Window*, CFrame*) {
    return nullptr;
}
void revokeDropTarget(Window*, DropTarget*) {}

void resizeWindow(Window* window, int width, int height) {
    x11::FrameWindow* w = x11::findFrameWindow(window);
    if (!w || width <= 0 || height <= 0 || width > 0x7FFF || height > 0x7FFF) return;
    x11::detachSharedImage(w);
    w->image = Image(width, height);
    w->shown.clear();
    const uint32_t size[] = {static_cast<uint32_t>(width), static_cast<uint32_t>(height)};
    xcb_configure_window(w->connection, w->id, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT,
                         size);
    x11::attachSharedImage(w);
    xcb_flush(w->connection);
}

// The host's windows are the host's: only the frame window is resized.
bool resizeWindowChain(Window* frameWindow, int width, int height) {
    if (!x11::findFrameWindow(frameWindow)) return false;
    resizeWindow(frameWindow, width, height);
    return true;
}

CPoint outerWindowPosition(Window* frameWindow) {
    return windowScreenOrigin(frameWindow);
}

}  // namespace platform
}  // namespace TKGUI
