#include "formats/vst2/aeff_gui_editor.h"

#include "formats/vst2/audio_effect_x.h"
#include "toolkit/draw_context.h"
#include "toolkit/frame.h"
#include "toolkit/knob_mode.h"
#include "toolkit/platform/platform.h"

namespace platform = TKGUI::platform;

AEffGUIEditor::AEffGUIEditor(AudioEffect* effect)
    : AEffEditor(effect), nextIdleTick(platform::tickCount()) {
    if (effect) {
        effect->setEditor(this);
        effect->getAeffect()->flags |= effFlagsHasEditor;
    }
    oleStarted = platform::beginThreadOle();
    oleThread = std::this_thread::get_id();
}

AEffGUIEditor::~AEffGUIEditor() {
    if (oleStarted && oleThread == std::this_thread::get_id()) platform::endThreadOle();
}

AudioEffectX* AEffGUIEditor::hostEffect() const {
    return dynamic_cast<AudioEffectX*>(effect);
}

bool AEffGUIEditor::isParameterIndex(int32_t index) const {
    return effect && index >= 0 && index < effect->getAeffect()->numParams;
}

bool AEffGUIEditor::getRect(ERect** rect) {
    *rect = &editorRect;
    return true;
}

void AEffGUIEditor::idle() {
    if (inIdleWork || !frame) return;
    platform::dispatchPendingWindowEvents();
    // A click handled there may have led the host to close the editor.
    if (frame) frame->idle();
}

namespace {

TKGUI::CKeyCode toolkitKey(const VstKeyCode& key) {
    return TKGUI::CKeyCode{key.character, key.virt, key.modifier};
}

}  // namespace

bool AEffGUIEditor::onKeyDown(VstKeyCode& keyCode) {
    TKGUI::CKeyCode key = toolkitKey(keyCode);
    return frame && frame->keyDown(key) == 1;
}

bool AEffGUIEditor::onKeyUp(VstKeyCode& keyCode) {
    TKGUI::CKeyCode key = toolkitKey(keyCode);
    return frame && frame->keyUp(key) == 1;
}

bool AEffGUIEditor::onWheel(float distance) {
    if (!frame) return false;
    auto* context = new TKGUI::CDrawContext(frame, nullptr, frame->getParentWindow());
    const TKGUI::CPoint screen = platform::cursorScreenPosition();
    const TKGUI::CPoint origin = context->getWindowScreenPosition();
    const TKGUI::CPoint where(screen.x - origin.x, screen.y - origin.y);
    const bool handled = frame->mouseWheel(context, where, distance);
    context->release();
    return handled;
}

bool AEffGUIEditor::setKnobMode(int32_t mode) {
    TKGUI::setHostKnobMode(mode);
    return true;
}

void AEffGUIEditor::beginEdit(int32_t index) {
    if (AudioEffectX* fx = hostEffect(); fx && isParameterIndex(index)) fx->beginEdit(index);
}

void AEffGUIEditor::endEdit(int32_t index) {
    if (AudioEffectX* fx = hostEffect(); fx && isParameterIndex(index)) fx->endEdit(index);
}

void AEffGUIEditor::pumpIdle() {
    uint32_t now = platform::tickCount();
    if (now < nextIdleTick) {
        platform::sleepMilliseconds(4);
        now += 4;
        if (now < nextIdleTick - 50) return;
    }
    idle();
    platform::dispatchOnePendingPaint();
    nextIdleTick = now + 100;
    inIdleWork = true;
    if (effect) effect->masterIdle();
    inIdleWork = false;
}

bool AEffGUIEditor::requestEditorSize(int32_t width, int32_t height) {
    AudioEffectX* fx = hostEffect();
    char sizeWindow[] = "sizeWindow";
    return fx && fx->canHostDo(sizeWindow) && fx->sizeWindow(width, height);
}
