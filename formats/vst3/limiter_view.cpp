#include "formats/vst3/limiter_view.h"

#include <cstring>

#include "formats/vst3/limiter_controller.h"
#include "toolkit/frame.h"
#include "toolkit/knob_mode.h"
#include "toolkit/platform/platform.h"

namespace vst3 {

namespace {

// Hosts on Windows (COM's conventions) embed views in HWNDs, Linux hosts in
// X11 windows.
const char* nativeViewType() {
    return kComAbi ? kPlatformHwnd : kPlatformX11;
}

// The idle rate: the meter's movement and the knobs' response.
constexpr uint32_t kIdleMilliseconds = 20;

}  // namespace

LimiterView::LimiterView(LimiterController& controller, FUnknown* counted)
    : controller(controller), counted(counted), panel(*this) {
    counted->addRef();
}

LimiterView::~LimiterView() {
    removed();
    controller.viewClosed(this);
    counted->release();
}

tresult LimiterView::queryInterface(const char* iid, void** object) {
    if (!object) return kInvalidArgument;
    *object = nullptr;
    if (!iid) return kNoInterface;
    if (kFUnknownIid.matches(iid) || kIPlugViewIid.matches(iid)) {
        *object = static_cast<IPlugView*>(this);
    } else if (kIEventHandlerIid.matches(iid)) {
        *object = static_cast<IEventHandler*>(this);
    } else if (kITimerHandlerIid.matches(iid)) {
        *object = static_cast<ITimerHandler*>(this);
    } else {
        return kNoInterface;
    }
    addRef();
    return kResultOk;
}

uint32_t LimiterView::addRef() {
    return references.fetch_add(1, std::memory_order_relaxed) + 1;
}

uint32_t LimiterView::release() {
    const uint32_t left = references.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (left == 0) delete this;
    return left;
}

tresult LimiterView::isPlatformTypeSupported(const char* type) {
    return type && std::strcmp(type, nativeViewType()) == 0 ? kResultTrue : kResultFalse;
}

tresult LimiterView::attached(void* parent, const char* type) {
    if (!parent || isPlatformTypeSupported(type) != kResultTrue) return kResultFalse;
    if (panel.isOpen()) removed();
    // The parent is the host's window: an X window id carried in the pointer
    // on Linux, an HWND on Windows, as the toolkit takes it.
    if (!panel.open(static_cast<TKGUI::platform::Window*>(parent))) return kResultFalse;
    windowTimer = TKGUI::platform::startWindowTimer(panel.getFrame()->getWindow(),
                                                    kIdleMilliseconds, &onWindowTimer, this);
    if (windowTimer) return kResultOk;
    // No window timers here (X11): the host's run loop drives the panel.
    void* found = nullptr;
    if (frame &&
        frame->queryInterface(reinterpret_cast<const char*>(kIRunLoopIid.bytes), &found) ==
            kResultOk &&
        found) {
        // Part of the host's frame, which outlives the view's use of it like
        // the frame itself: not counted, so that a run loop holding the view
        // as a handler makes no cycle with it.
        runLoop = static_cast<IRunLoop*>(found);
        runLoop->release();
        const int fd = TKGUI::platform::windowEventDescriptor(panel.getFrame()->getWindow());
        if (fd >= 0) runLoop->registerEventHandler(this, fd);
        if (runLoop->registerTimer(this, kIdleMilliseconds) == kResultOk) return kResultOk;
    }
    // Nothing would ever paint or handle the panel: the host goes on without it.
    removed();
    return kResultFalse;
}

void LimiterView::onWindowTimer(void* view) {
    static_cast<LimiterView*>(view)->onTimer();
}

void LimiterView::stopDriving() {
    if (windowTimer) TKGUI::platform::stopWindowTimer(windowTimer);
    windowTimer = nullptr;
    if (!runLoop) return;
    runLoop->unregisterTimer(this);
    runLoop->unregisterEventHandler(this);
    runLoop = nullptr;
}

tresult LimiterView::removed() {
    stopDriving();
    panel.close();
    return kResultOk;
}

// The panel takes the wheel and keys from its own window.
tresult LimiterView::onWheel(float /*distance*/) {
    return kResultFalse;
}

tresult LimiterView::onKeyDown(char16 /*key*/, int16_t /*keyCode*/, int16_t /*modifiers*/) {
    return kResultFalse;
}

tresult LimiterView::onKeyUp(char16 /*key*/, int16_t /*keyCode*/, int16_t /*modifiers*/) {
    return kResultFalse;
}

tresult LimiterView::getSize(ViewRect* size) {
    if (!size) return kInvalidArgument;
    *size = ViewRect{0, 0, LimiterPanel::kWidth, LimiterPanel::kHeight};
    return kResultOk;
}

tresult LimiterView::onSize(ViewRect* size) {
    if (!size) return kInvalidArgument;
    const bool fits = size->right - size->left == LimiterPanel::kWidth &&
                      size->bottom - size->top == LimiterPanel::kHeight;
    return fits ? kResultOk : kResultFalse;
}

tresult LimiterView::onFocus(TBool /*state*/) {
    return kResultOk;
}

// The frame belongs to the host and outlives the view's use of it; it is
// not counted, as hosts expect.
tresult LimiterView::setFrame(IPlugFrame* newFrame) {
    frame = newFrame;
    return kResultOk;
}

tresult LimiterView::canResize() {
    return kResultFalse;
}

tresult LimiterView::checkSizeConstraint(ViewRect* rect) {
    if (!rect) return kInvalidArgument;
    rect->right = rect->left + LimiterPanel::kWidth;
    rect->bottom = rect->top + LimiterPanel::kHeight;
    return kResultOk;
}

void LimiterView::onFDIsSet(int /*fd*/) {
    panel.idle();
}

void LimiterView::onTimer() {
    panel.idle();
    controller.announceLatency();
}

float LimiterView::parameterValue(int32_t index) {
    return controller.value(index);
}

void LimiterView::beginEdit(int32_t index) {
    controller.beginEdit(index);
}

void LimiterView::performEdit(int32_t index, float value) {
    controller.performEdit(index, value);
}

void LimiterView::endEdit(int32_t index) {
    controller.endEdit(index);
}

// VST3 has no way to set a value without automation: a typed value is a
// gesture of one step.
void LimiterView::setTypedValue(int32_t index, float value) {
    controller.beginEdit(index);
    controller.performEdit(index, value);
    controller.endEdit(index);
}

MeterFeed& LimiterView::meterFeed() {
    return controller.meterEngine().meterFeed();
}

double LimiterView::meterFallCoef() {
    return controller.meterEngine().meterFallCoef();
}

float LimiterView::sampleRate() {
    return controller.meterEngine().sampleRate();
}

bool LimiterView::setKnobMode(int32_t mode) {
    TKGUI::setHostKnobMode(mode);
    return true;
}

// A control's mouse loop holds the thread the host's loop runs on: redraw
// what changed now and then, so the knob follows the mouse.
void LimiterView::pumpIdle() {
    const auto now = std::chrono::steady_clock::now();
    if (now - lastPump < std::chrono::milliseconds(kIdleMilliseconds)) {
        TKGUI::platform::sleepMilliseconds(4);
        return;
    }
    lastPump = now;
    if (TKGUI::CFrame* f = panel.getFrame()) f->idle();
    TKGUI::platform::dispatchOnePendingPaint();
}

}  // namespace vst3
