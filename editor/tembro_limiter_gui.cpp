#include "editor/tembro_limiter_gui.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "editor/tembro_gr.h"
#include "editor/tembro_knob.h"
#include "effect/tembro_limiter.h"
#include "toolkit/bitmap.h"
#include "toolkit/frame.h"
#include "toolkit/horizontal_switch.h"
#include "toolkit/knob_mode.h"
#include "toolkit/on_off_button.h"
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

// strtof of the box's text, clamped to the normalised range. A text that
// reads as not-a-number is taken as no number at all (0), so the effect
// never sees a NaN.
float typedValue(const char* text, bool ceiling) {
    float x = std::strtof(text, nullptr);
    if (x != x) x = 0.0f;
    float v = ceiling ? (x + 24.0f) / 24.0f : x / 24.0f;
    if (v < 0.0f) {
        v = 0.0f;
    } else if (v > 1.0f) {
        v = 1.0f;
    }
    return v;
}

}  // namespace

TembroLimiterGUI::TembroLimiterGUI(TembroLimiter* effect) : AEffGUIEditor(effect), limiter(effect) {
    CBitmap* panel = new CBitmap(kPanel);
    editorRect.top = 0;
    editorRect.left = 0;
    editorRect.bottom = static_cast<int16_t>(panel->getHeight());
    editorRect.right = static_cast<int16_t>(panel->getWidth());
    panel->release();
}

TembroLimiterGUI::~TembroLimiterGUI() {
    // The host may close the effect with the panel still open.
    close();
}

void TembroLimiterGUI::gainToText(float value, char* text) {
    std::snprintf(text, 256, "%2.2f", static_cast<double>(value * 24.0f));
}

void TembroLimiterGUI::threshToText(float value, char* text) {
    std::snprintf(text, 256, "%2.2f", static_cast<double>((1.0f - value) * -24.0f));
}

TKGUI::CTextEdit* TembroLimiterGUI::makeValueEdit(int32_t left, TKGUI::CControlListener* listener,
                                                  int32_t tag) {
    auto* edit = new TKGUI::CTextEdit(CRect(left, 125, left + 30, 137), listener, tag);
    edit->setFont(6);
    edit->setTransparent(true);
    edit->setFontColor(TKGUI::CColor{168, 168, 168, 255});
    edit->setValueToText(tag == kGainEditTag ? &gainToText : &threshToText);
    return edit;
}

bool TembroLimiterGUI::open(void* parent) {
    // A second open without a close would leak the first panel and its window.
    if (frame) close();
    AEffGUIEditor::open(parent);
    uiThread.store(std::this_thread::get_id(), std::memory_order_release);
    pendingParameters.store(0, std::memory_order_relaxed);

    CBitmap* panel = new CBitmap(kPanel);
    CBitmap* largeKnob = new CBitmap(kLargeKnob);
    CBitmap* smallKnob = new CBitmap(kSmallKnob);
    CBitmap* meterStrip = new CBitmap(kMeterStrip);
    CBitmap* toggle = new CBitmap(kToggle);
    CBitmap* slideSwitch = new CBitmap(kSlideSwitch);

    setKnobMode(TKGUI::kLinearMode);

    auto* newFrame = new TKGUI::CFrame(CRect(0, 0, panel->getWidth(), panel->getHeight()),
                                       static_cast<TKGUI::platform::Window*>(parent), this);
    if (parent && !newFrame->getWindow()) {
        // No window inside the host's (no display, or a parent that is not a
        // window): the host is told, and goes on without the panel.
        delete newFrame;
        for (CBitmap* b : {panel, largeKnob, smallKnob, meterStrip, toggle, slideSwitch})
            b->release();
        AEffGUIEditor::close();
        return false;
    }
    newFrame->setBackground(panel);

    auto knob = [&](const CRect& r, int32_t tag, CBitmap* strip, int32_t frameHeight) {
        auto* k = new TembroKnob(r, this, tag, kKnobFrames, frameHeight, strip, CPoint(0, 0));
        k->setValue(effect->getParameter(tag));
        newFrame->addView(k);
        return k;
    };
    gainKnob = knob(CRect(30, 25, 110, 105), kGain, largeKnob, 80);
    threshKnob = knob(CRect(290, 25, 370, 105), kThresh, largeKnob, 80);
    atkHKnob = knob(CRect(145, 20, 185, 60), kAtkH, smallKnob, 40);
    relHKnob = knob(CRect(215, 20, 255, 60), kRelH, smallKnob, 40);
    releaseKnob = knob(CRect(215, 83, 255, 123), kRelease, smallKnob, 40);

    modeButton = new TKGUI::COnOffButton(CRect(145, 84, 185, 124), this, kMode, toggle, 0);
    modeButton->setValue(effect->getParameter(kMode));
    newFrame->addView(modeButton);

    showSwitch = new TKGUI::CHorizontalSwitch(CRect(145, 190, 185, 220), this, kShow, 2, 30, 2,
                                              slideSwitch, CPoint(0, 0));
    showSwitch->setValue(effect->getParameter(kShow));
    newFrame->addView(showSwitch);

    gainEdit = makeValueEdit(55, this, kGainEditTag);
    gainEdit->setValue(effect->getParameter(kGain));
    newFrame->addView(gainEdit);
    threshEdit = makeValueEdit(315, this, kThreshEditTag);
    threshEdit->setValue(effect->getParameter(kThresh));
    newFrame->addView(threshEdit);

    grMeter = new TembroGR(CRect(20, 160, 380, 190), effect->getSampleRate(), meterStrip,
                           &limiter->meterFeed());
    newFrame->addView(grMeter);

    TembroKnob* knobs[] = {gainKnob, threshKnob, atkHKnob, relHKnob, releaseKnob};
    for (TembroKnob* k : knobs) k->dragRange = kDragRange;
    for (TembroKnob* k : knobs) k->setWheelStep(kWheelStep);
    gainKnob->setDefaultValue(kParameterInfo[kGain].defaultValue);
    threshKnob->setDefaultValue(kParameterInfo[kThresh].defaultValue);
    atkHKnob->setDefaultValue(kParameterInfo[kAtkH].defaultValue);
    relHKnob->setDefaultValue(kParameterInfo[kRelH].defaultValue);
    releaseKnob->setDefaultValue(kParameterInfo[kRelease].defaultValue);
    modeButton->setDefaultValue(kParameterInfo[kMode].defaultValue);
    showSwitch->setDefaultValue(kParameterInfo[kShow].defaultValue);

    for (CBitmap* b : {panel, largeKnob, smallKnob, meterStrip, toggle, slideSwitch}) b->release();

    // Stored last: until now nothing else may see a half-built panel.
    frame = newFrame;
    limiter->meterFeed().attach(limiter->meterFallCoef());
    return true;
}

void TembroLimiterGUI::close() {
    if (frame) {
        limiter->meterFeed().detach();
        // An open text box commits and closes its field while the frame and
        // its window still exist.
        frame->setFocusView(nullptr);
        TKGUI::CFrame* closing = frame;
        frame = nullptr;
        forgetControls();
        delete closing;
    }
    AEffGUIEditor::close();
}

void TembroLimiterGUI::forgetControls() {
    gainKnob = threshKnob = atkHKnob = relHKnob = releaseKnob = nullptr;
    grMeter = nullptr;
    gainEdit = threshEdit = nullptr;
    modeButton = nullptr;
    showSwitch = nullptr;
}

void TembroLimiterGUI::idle() {
    if (frame && !inIdleWork) {
        uint32_t pending = pendingParameters.exchange(0, std::memory_order_acquire);
        for (int32_t i = 0; pending; ++i, pending >>= 1) {
            if (pending & 1) showParameter(i);
        }
    }
    AEffGUIEditor::idle();
}

void TembroLimiterGUI::setParameter(int32_t index, float /*value*/) {
    if (index < 0 || index >= kNumParams) return;
    // Away from the panel's thread nothing of the panel is touched, not even
    // the frame pointer: the next idle picks the change up (open clears the
    // bits, since a new panel reads every value anyway).
    if (std::this_thread::get_id() != uiThread.load(std::memory_order_acquire)) {
        pendingParameters.fetch_or(1u << index, std::memory_order_release);
        return;
    }
    if (frame) showParameter(index);
}

void TembroLimiterGUI::showParameter(int32_t index) {
    // The controls show what the effect stored, after its own clamping.
    const float v = effect->getParameter(index);
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

void TembroLimiterGUI::valueChanged(TKGUI::CDrawContext* /*context*/, TKGUI::CControl* control) {
    if (!frame || !control) return;
    const int32_t tag = control->getTag();
    if (tag >= 0 && tag <= kShow) {
        effect->setParameterAutomated(tag, control->getValue());
        control->setDirty(true);
    } else if (tag == kGainEditTag || tag == kThreshEditTag) {
        TKGUI::CTextEdit* box = tag == kGainEditTag ? gainEdit : threshEdit;
        if (!box) return;
        char text[256] = {};
        box->getText(text);
        const bool ceiling = tag == kThreshEditTag;
        effect->setParameter(ceiling ? kThresh : kGain, typedValue(text, ceiling));
    }
}
