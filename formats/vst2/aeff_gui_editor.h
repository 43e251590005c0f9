// The editor base that binds the host's editor requests to a toolkit frame:
// rectangle, idle, keys, wheel and knob mode for the host; begin and end of
// gestures and the idle pump for the frame's controls.
//
// Threads: everything runs on the host's user-interface thread, except
// setParameter, which the effect calls from whichever thread set a value.
#pragma once

#include <cstdint>
#include <thread>

#include "formats/vst2/aeff_editor.h"
#include "toolkit/frame_editor.h"

class AudioEffectX;

namespace TKGUI {
class CFrame;
}

class AEffGUIEditor : public AEffEditor, public TKGUI::CFrameEditor {
  public:
    // Registers itself as the effect's editor and sets effFlagsHasEditor.
    explicit AEffGUIEditor(AudioEffect* effect);
    ~AEffGUIEditor() override;

    // The rectangle is answered whether or not the editor is open.
    bool getRect(ERect** rect) override;
    void idle() override;
    bool onKeyDown(VstKeyCode& keyCode) override;
    bool onKeyUp(VstKeyCode& keyCode) override;
    bool onWheel(float distance) override;
    bool setKnobMode(int32_t mode) override;

    // Gestures on parameters 0 to numParams - 1 are reported to the host;
    // other tags (the text boxes) are not parameters the host knows.
    void beginEdit(int32_t index) override;
    void endEdit(int32_t index) override;
    // Keeps the editor redrawn and the host served, about every 50 ms, while
    // a control's mouse loop blocks the host's own message loop.
    void pumpIdle() override;
    // The host sizes its editor window only when it says it can.
    bool requestEditorSize(int32_t width, int32_t height) override;

    TKGUI::CFrame* getFrame() const { return frame; }

  protected:
    AudioEffectX* hostEffect() const;
    bool isParameterIndex(int32_t index) const;

    ERect editorRect{0, 0, 0, 0};
    uint32_t nextIdleTick;
    bool inIdleWork = false;
    TKGUI::CFrame* frame = nullptr;

  private:
    // OLE is set up once per editor and undone only on the thread that did it.
    bool oleStarted;
    std::thread::id oleThread;
};
