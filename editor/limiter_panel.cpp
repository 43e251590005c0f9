#include "editor/limiter_panel.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "editor/tembro_gr.h"
#include "editor/tembro_knob.h"
#include "engine/meter_feed.h"
#include "engine/parameters.h"
#include "toolkit/bitmap.h"
#include "toolkit/frame.h"
#include "toolkit/horizontal_switch.h"
#include "toolkit/knob_mode.h"
#include "toolkit/on_off_button.h"
#include "toolkit/platform/platform.h"
#include "toolkit/text_edit.h"

using TKGUI::CBitmap;
using TKGUI::CPoint;
using TKGUI::CRect;

namespace {

enum BitmapId { kPanel = 101, kLargeKnob, kSmallKnob, kMeterStrip, kToggle, kSlideSwitch };
constexpr int32_t kGainEditTag = 1001;
constexpr int32_t kThreshEditTag = 1002;
constexpr int32_t kKnobFrames = 97;
constexpr float kDragRange = 480.0f;
constexpr float kWheelStep = 0.125f;

// strtof of the box's text in dB, as the normalised value (clamped to the
// range). A text that reads as not-a-number is taken as no number at all
// (0), so the limiter never sees a NaN.
float typedValue(const char* text, int32_t index) {
    float x = std::strtof(text, nullptr);
    if (x != x) x = 0.0f;
    return fromReal(index, x, true);
}

}  // namespace

LimiterPanel::LimiterPanel(EditorHost& host) : host(host) {}

LimiterPanel::~LimiterPanel() {
    close();
}

void LimiterPanel::gainToText(float value, char* text) {
    std::snprintf(text, 256, "%2.2f", gainDb(value));
}

void LimiterPanel::threshToText(float value, char* text) {
    std::snprintf(text, 256, "%2.2f", ceilingDb(value));
}

TKGUI::CTextEdit* LimiterPanel::makeValueEdit(int32_t left, int32_t tag) {
    auto* edit = new TKGUI::CTextEdit(CRect(left, 125, left + 30, 137), this, tag);
    edit->setFont(6);
    edit->setTransparent(true);
    edit->setFontColor(TKGUI::CColor{168, 168, 168, 255});
    edit->setValueToText(tag == kGainEditTag ? &gainToText : &threshToText);
    return edit;
}

bool LimiterPanel::open(TKGUI::platform::Window* parent) {
    // A second open without a close would leak the first panel and its window.
    if (frame) close();
    uiThread.store(std::this_thread::get_id(), std::memory_order_release);
    pendingParameters.store(0, std::memory_order_relaxed);

    CBitmap* panel = new CBitmap(kPanel);
    CBitmap* largeKnob = new CBitmap(kLargeKnob);
    CBitmap* smallKnob = new CBitmap(kSmallKnob);
    CBitmap* meterStrip = new CBitmap(kMeterStrip);
    CBitmap* toggle = new CBitmap(kToggle);
    CBitmap* slideSwitch = new CBitmap(kSlideSwitch);

    host.setKnobMode(TKGUI::kLinearMode);

    auto* newFrame =
        new TKGUI::CFrame(CRect(0, 0, panel->getWidth(), panel->getHeight()), parent, this);
    if (parent && !newFrame->getWindow()) {
        // No window inside the host's (no display, or a parent that is not a
        // window): the host is told, and goes on without the panel.
        delete newFrame;
        for (CBitmap* b : {panel, largeKnob, smallKnob, meterStrip, toggle, slideSwitch})
            b->release();
        return false;
    }
    newFrame->setBackground(panel);

    auto knob = [&](const CRect& r, int32_t tag, CBitmap* strip, int32_t frameHeight) {
        auto* k = new TembroKnob(r, this, tag, kKnobFrames, frameHeight, strip, CPoint(0, 0));
        k->setValue(host.parameterValue(tag));
        newFrame->addView(k);
        return k;
    };
    gainKnob = knob(CRect(30, 25, 110, 105), kGain, largeKnob, 80);
    threshKnob = knob(CRect(290, 25, 370, 105), kThresh, largeKnob, 80);
    atkHKnob = knob(CRect(145, 20, 185, 60), kAtkH, smallKnob, 40);
    relHKnob = knob(CRect(215, 20, 255, 60), kRelH, smallKnob, 40);
    releaseKnob = knob(CRect(215, 83, 255, 123), kRelease, smallKnob, 40);

    modeButton = new TKGUI::COnOffButton(CRect(145, 84, 185, 124), this, kMode, toggle, 0);
    modeButton->setValue(host.parameterValue(kMode));
    newFrame->addView(modeButton);

    showSwitch = new TKGUI::CHorizontalSwitch(CRect(145, 190, 185, 220), this, kShow, 2, 30, 2,
                                              slideSwitch, CPoint(0, 0));
    showSwitch->setValue(host.parameterValue(kShow));
    newFrame->addView(showSwitch);

    gainEdit = makeValueEdit(55, kGainEditTag);
    gainEdit->setValue(host.parameterValue(kGain));
    newFrame->addView(gainEdit);
    threshEdit = makeValueEdit(315, kThreshEditTag);
    threshEdit->setValue(host.parameterValue(kThresh));
    newFrame->addView(threshEdit);

    grMeter =
        new TembroGR(CRect(20, 160, 380, 190), host.sampleRate(), meterStrip, &host.meterFeed());
    newFrame->addView(grMeter);

    TembroKnob* knobs[] = {gainKnob, threshKnob, atkHKnob, relHKnob, releaseKnob};
    for (TembroKnob* k : knobs) k->dragRange = kDragRange;
    for (TembroKnob* k : knobs) k->setWheelStep(kWheelStep);
    for (TembroKnob* k : knobs) k->setDefaultValue(kParameterInfo[k->getTag()].defaultValue);
    modeButton->setDefaultValue(kParameterInfo[kMode].defaultValue);
    showSwitch->setDefaultValue(kParameterInfo[kShow].defaultValue);

    for (CBitmap* b : {panel, largeKnob, smallKnob, meterStrip, toggle, slideSwitch}) b->release();

    // Stored last: until now nothing else may see a half-built panel.
    frame = newFrame;
    host.meterFeed().attach(host.meterFallCoef());
    return true;
}

void LimiterPanel::close() {
    if (timer) {
        TKGUI::platform::stopWindowTimer(timer);
        timer = nullptr;
    }
    if (frame) {
        host.meterFeed().detach();
        // An open text box commits and closes its field while the frame and
        // its window still exist.
        frame->setFocusView(nullptr);
        TKGUI::CFrame* closing = frame;
        frame = nullptr;
        forgetControls();
        delete closing;
    }
}

void LimiterPanel::forgetControls() {
    gainKnob = threshKnob = atkHKnob = relHKnob = releaseKnob = nullptr;
    grMeter = nullptr;
    gainEdit = threshEdit = nullptr;
    modeButton = nullptr;
    showSwitch = nullptr;
}

void LimiterPanel::applyPendingParameters() {
    if (!frame) return;
    uint32_t pending = pendingParameters.exchange(0, std::memory_order_acquire);
    for (int32_t i = 0; pending; ++i, pending >>= 1) {
        if (pending & 1) showParameter(i);
    }
}

void LimiterPanel::idle() {
    if (!frame) return;
    applyPendingParameters();
    TKGUI::platform::dispatchPendingWindowEvents();
    // A click handled there may have led the host to close the panel.
    if (frame) frame->idle();
}

void LimiterPanel::onTimer(void* panel) {
    static_cast<LimiterPanel*>(panel)->idle();
}

bool LimiterPanel::startIdleTimer(uint32_t milliseconds) {
    if (!frame || timer) return timer != nullptr;
    timer = TKGUI::platform::startWindowTimer(frame->getWindow(), milliseconds, &onTimer, this);
    return timer != nullptr;
}

void LimiterPanel::beginEdit(int32_t tag) {
    if (isParameterIndex(tag)) host.beginEdit(tag);
}

void LimiterPanel::endEdit(int32_t tag) {
    if (isParameterIndex(tag)) host.endEdit(tag);
}

void LimiterPanel::parameterChanged(int32_t index) {
    if (!isParameterIndex(index)) return;
    // Away from the panel's thread nothing of the panel is touched, not even
    // the frame pointer: the next idle picks the change up (open clears the
    // bits, since a new panel reads every value anyway).
    if (std::this_thread::get_id() != uiThread.load(std::memory_order_acquire)) {
        pendingParameters.fetch_or(1u << index, std::memory_order_release);
        return;
    }
    if (frame) showParameter(index);
}

void LimiterPanel::showParameter(int32_t index) {
    // The controls show what the limiter stored, after its own clamping.
    const float v = host.parameterValue(index);
    switch (index) {
        case kGain:
            if (gainKnob) gainKnob->setValue(v);
            if (gainEdit) gainEdit->setValue(v);
            break;
        case kThresh:
            if (threshKnob) threshKnob->setValue(v);
            if (threshEdit) threshEdit->setValue(v);
            break;
        case kAtkH:
            if (atkHKnob) atkHKnob->setValue(v);
            break;
        case kRelH:
            if (relHKnob) relHKnob->setValue(v);
            break;
        case kRelease:
            if (releaseKnob) releaseKnob->setValue(v);
            break;
        case kMode:
            if (modeButton) modeButton->setValue(v);
            break;
        case kShow:
            if (showSwitch) showSwitch->setValue(v);
            break;
        default:
            break;
    }
}

void LimiterPanel::valueChanged(TKGUI::CDrawContext* /*context*/, TKGUI::CControl* control) {
    if (!frame || !control) return;
    const int32_t tag = control->getTag();
    if (tag >= 0 && tag <= kShow) {
        host.performEdit(tag, control->getValue());
        control->setDirty(true);
    } else if (tag == kGainEditTag || tag == kThreshEditTag) {
        TKGUI::CTextEdit* box = tag == kGainEditTag ? gainEdit : threshEdit;
        if (!box) return;
        char text[256] = {};
        box->getText(text);
        const int32_t index = tag == kGainEditTag ? kGain : kThresh;
        host.setTypedValue(index, typedValue(text, index));
    }
}
