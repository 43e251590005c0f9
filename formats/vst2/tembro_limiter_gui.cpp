#include "formats/vst2/tembro_limiter_gui.h"

#include "formats/vst2/tembro_limiter.h"

TembroLimiterGUI::TembroLimiterGUI(TembroLimiter* effect) : AEffGUIEditor(effect), limiter(effect) {
    editorRect.top = 0;
    editorRect.left = 0;
    editorRect.bottom = LimiterPanel::kHeight;
    editorRect.right = LimiterPanel::kWidth;
}

TembroLimiterGUI::~TembroLimiterGUI() {
    // The host may close the effect with the panel still open.
    close();
}

bool TembroLimiterGUI::open(void* parent) {
    if (frame) close();
    AEffGUIEditor::open(parent);
    if (!panel.open(static_cast<TKGUI::platform::Window*>(parent))) {
        // No window inside the host's: the host is told, and goes on without
        // the panel.
        AEffGUIEditor::close();
        return false;
    }
    frame = panel.getFrame();
    return true;
}

void TembroLimiterGUI::close() {
    frame = nullptr;
    panel.close();
    AEffGUIEditor::close();
}

void TembroLimiterGUI::idle() {
    if (frame && !inIdleWork) panel.applyPendingParameters();
    AEffGUIEditor::idle();
}

void TembroLimiterGUI::setParameter(int32_t index, float /*value*/) {
    panel.parameterChanged(index);
}

float TembroLimiterGUI::parameterValue(int32_t index) {
    return effect->getParameter(index);
}

void TembroLimiterGUI::performEdit(int32_t index, float value) {
    effect->setParameterAutomated(index, value);
}

void TembroLimiterGUI::setTypedValue(int32_t index, float value) {
    effect->setParameter(index, value);
}

MeterFeed& TembroLimiterGUI::meterFeed() {
    return limiter->meterFeed();
}

double TembroLimiterGUI::meterFallCoef() {
    return limiter->meterFallCoef();
}

float TembroLimiterGUI::sampleRate() {
    return limiter->getSampleRate();
}
