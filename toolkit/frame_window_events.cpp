#include "toolkit/frame_window_events.h"

#include "toolkit/draw_context.h"
#include "toolkit/frame.h"
#include "toolkit/offscreen_context.h"

namespace TKGUI {

void onFramePaint(CFrame* frame, platform::Device* paintDevice, const CRect& updateRect) {
    auto* screen = new CDrawContext(frame, paintDevice, nullptr);
    if (COffscreenContext* buffer = frame->getBackBuffer()) {
        frame->drawInRect(buffer, updateRect);
        buffer->copyTo(screen, updateRect, CPoint(updateRect.left, updateRect.top));
    } else {
        frame->drawInRect(screen, updateRect);
    }
    screen->release();
}

void onFrameButtonDown(CFrame* frame, const CPoint& where) {
    auto* context = new CDrawContext(frame, nullptr, frame->getWindow());
    frame->mouseDown(context, where, -1);
    context->release();
}

void onFrameWheel(CFrame* frame, const CPoint& screenPosition, float distance) {
    auto* context = new CDrawContext(frame, nullptr, frame->getWindow());
    const CPoint origin = context->getWindowScreenPosition();
    const CPoint where(screenPosition.x - origin.x, screenPosition.y - origin.y);
    frame->mouseWheel(context, where, distance);
    context->release();
}

void onFrameWindowDestroyed(CFrame* frame) {
    frame->onWindowDestroyed();
}

}  // namespace TKGUI
