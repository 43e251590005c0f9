#include "test_views.h"

#include <algorithm>

#include "toolkit/draw_context.h"

using namespace TKGUI;

namespace tk42test {

bool ViewLog::contains(const std::string& e) const {
    return std::find(events.begin(), events.end(), e) != events.end();
}

RecordingView::RecordingView(const CRect& size, const std::string& name, ViewLog* log, CColor color)
    : CView(size), name(name), log(log), color(color) {}

RecordingView::~RecordingView() {
    if (log) log->add(name + " destroyed");
}

void RecordingView::draw(CDrawContext* context) {
    ++draws;
    context->setFillColor(color);
    // fillRect leaves the top row and left column: start one pixel outside.
    context->fillRect(CRect(size.left - 1, size.top - 1, size.right, size.bottom));
    setDirty(false);
}

void RecordingView::mouseDown(CDrawContext*, const CPoint& where, int buttons) {
    lastWhere = where;
    lastButtons = buttons;
    if (log) log->add(name + " mouseDown");
}

int32_t RecordingView::keyDown(CKeyCode&) {
    if (log) log->add(name + " keyDown");
    return keyAnswer;
}

int32_t RecordingView::keyUp(CKeyCode&) {
    if (log) log->add(name + " keyUp");
    return keyAnswer;
}

bool RecordingView::mouseWheel(CDrawContext*, const CPoint& where, float) {
    lastWhere = where;
    if (log) log->add(name + " wheel");
    return wheelAnswer;
}

void RecordingView::focusLost(CDrawContext*) {
    if (log) log->add(name + " focusLost");
}

bool RecordingView::onDrop(CDrawContext*, CDragContainer*, const CPoint&) {
    if (log) log->add(name + " drop");
    return false;
}
void RecordingView::onDragEnter(CDrawContext*, CDragContainer*, const CPoint&) {
    if (log) log->add(name + " enter");
}
void RecordingView::onDragLeave(CDrawContext*, CDragContainer*, const CPoint&) {
    if (log) log->add(name + " leave");
}
void RecordingView::onDragMove(CDrawContext*, CDragContainer*, const CPoint&) {
    if (log) log->add(name + " move");
}

CKeyCode key(int virt, int modifier, int character) {
    CKeyCode k{};
    k.character = character;
    k.virt = uint8_t(virt);
    k.modifier = uint8_t(modifier);
    return k;
}

}  // namespace tk42test
