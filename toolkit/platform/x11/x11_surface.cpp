// Getting a frame window's image to the screen: only the rectangle that
// changed since the last time, through a shared-memory image where the
// server offers one (local displays), or as plain image requests otherwise.
#include <sys/ipc.h>
#include <sys/shm.h>
#include <xcb/shm.h>

#include <cstdlib>
#include <cstring>

#include "toolkit/platform/x11/x11_frame_window.h"

namespace TKGUI {
namespace x11 {

namespace {

// The rectangle of pixels that differ from what is on screen; empty when
// nothing changed.
CRect changedArea(const platform::Image& image, const std::vector<uint32_t>& shown) {
    const int width = image.width;
    int top = -1, bottom = -1, left = width, right = 0;
    for (int y = 0; y < image.height; ++y) {
        const uint32_t* now = &image.pixels[size_t(y) * width];
        const uint32_t* before = &shown[size_t(y) * width];
        if (std::memcmp(now, before, size_t(width) * 4) == 0) continue;
        if (top < 0) top = y;
        bottom = y + 1;
        int x0 = 0;
        while (now[x0] == before[x0]) ++x0;
        int x1 = width;
        while (now[x1 - 1] == before[x1 - 1]) --x1;
        if (x0 < left) left = x0;
        if (x1 > right) right = x1;
    }
    return top < 0 ? CRect() : CRect(left, top, right, bottom);
}

// Waits until the server has handled every request sent so far.
void sync(xcb_connection_t* c) {
    free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
}

void putShared(FrameWindow* w, const CRect& r) {
    xcb_connection_t* c = w->connection;
    const int width = w->image.width;
    if (w->shmBusy) sync(c);  // the server may still read the last image
    for (int y = r.top; y < r.bottom; ++y) {
        std::memcpy(w->shmPixels + size_t(y) * width + r.left,
                    &w->shown[size_t(y) * width + r.left], size_t(r.width()) * 4);
    }
    xcb_shm_put_image(c, w->id, w->gc, static_cast<uint16_t>(width),
                      static_cast<uint16_t>(w->image.height), static_cast<uint16_t>(r.left),
                      static_cast<uint16_t>(r.top), static_cast<uint16_t>(r.width()),
                      static_cast<uint16_t>(r.height()), static_cast<int16_t>(r.left),
                      static_cast<int16_t>(r.top), w->depth, XCB_IMAGE_FORMAT_Z_PIXMAP, 0,
                      w->shmSegment, 0);
    w->shmBusy = true;
}

void putPlain(FrameWindow* w, const CRect& r) {
    xcb_connection_t* c = w->connection;
    const int width = w->image.width;
    const size_t rowBytes = size_t(r.width()) * 4;
    // A request holds at most the server's maximum length, header included.
    const size_t maxBytes = size_t(xcb_get_maximum_request_length(c)) * 4;
    int rowsPerRequest = maxBytes > 64 + rowBytes ? int((maxBytes - 64) / rowBytes) : 1;
    if (rowsPerRequest < 1) rowsPerRequest = 1;
    std::vector<uint32_t> band;
    for (int y = r.top; y < r.bottom; y += rowsPerRequest) {
        const int rows = std::min(rowsPerRequest, r.bottom - y);
        band.resize(size_t(r.width()) * rows);
        for (int i = 0; i < rows; ++i) {
            std::memcpy(&band[size_t(i) * r.width()], &w->shown[size_t(y + i) * width + r.left],
                        rowBytes);
        }
        xcb_put_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, w->id, w->gc, static_cast<uint16_t>(r.width()),
                      static_cast<uint16_t>(rows), static_cast<int16_t>(r.left),
                      static_cast<int16_t>(y), 0, w->depth, static_cast<uint32_t>(rowBytes * rows),
                      reinterpret_cast<const uint8_t*>(band.data()));
    }
}

}  // namespace

void attachSharedImage(FrameWindow* w) {
    xcb_connection_t* c = w->connection;
    const xcb_query_extension_reply_t* shm = xcb_get_extension_data(c, &xcb_shm_id);
    if (!shm || !shm->present) return;
    const size_t bytes = w->image.pixels.size() * 4;
    const int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (id < 0) return;
    void* memory = shmat(id, nullptr, 0);
    if (memory == reinterpret_cast<void*>(-1)) {
        shmctl(id, IPC_RMID, nullptr);
        return;
    }
    const uint32_t segment = xcb_generate_id(c);
    xcb_generic_error_t* error =
        xcb_request_check(c, xcb_shm_attach_checked(c, segment, static_cast<uint32_t>(id), 0));
    // Marked for removal now: it goes when both sides have detached, even if
    // the host process dies.
    shmctl(id, IPC_RMID, nullptr);
    if (error) {
        // A server on another machine cannot see the segment.
        free(error);
        shmdt(memory);
        return;
    }
    w->shmSegment = segment;
    w->shmPixels = static_cast<uint32_t*>(memory);
    w->shmBusy = false;
}

void detachSharedImage(FrameWindow* w) {
    if (!w->shmPixels) return;
    xcb_shm_detach(w->connection, w->shmSegment);
    // The server must be done with the memory before it goes.
    sync(w->connection);
    shmdt(w->shmPixels);
    w->shmPixels = nullptr;
    w->shmSegment = 0;
    w->shmBusy = false;
}

void forgetShown(FrameWindow* w, const CRect& area) {
    const platform::Image& image = w->image;
    if (w->shown.size() != image.pixels.size()) return;  // all of it goes anyway
    const CRect r = area.intersection(CRect(0, 0, image.width, image.height));
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            const size_t i = size_t(y) * image.width + x;
            w->shown[i] = ~image.pixels[i];
        }
    }
}

void present(FrameWindow* w) {
    if (w->gone || w->retired || !w->id) return;
    const platform::Image& image = w->image;
    if (w->shown.size() != image.pixels.size()) {
        // Nothing of this size on screen yet: everything differs.
        w->shown.assign(image.pixels.size(), 0);
        for (size_t i = 0; i < w->shown.size(); ++i) w->shown[i] = ~image.pixels[i];
    }
    const CRect r = changedArea(image, w->shown);
    if (r.width() <= 0 || r.height() <= 0) return;
    for (int y = r.top; y < r.bottom; ++y) {
        std::memcpy(&w->shown[size_t(y) * image.width + r.left],
                    &image.pixels[size_t(y) * image.width + r.left], size_t(r.width()) * 4);
    }
    if (w->shmPixels) {
        putShared(w, r);
    } else {
        putPlain(w, r);
    }
    xcb_flush(w->connection);
}

}  // namespace x11
}  // namespace TKGUI
