// The limiter's editor for VST 2.4 hosts: the editor glue of AEffGUIEditor
// around the format-free panel, which reaches the effect through the
// EditorHost calls below.
//
// Threads: open, close, idle and the panel's calls run on the host's
// user-interface thread; setParameter may arrive on any thread (the panel
// defers it to its next idle there).
#pragma once

#include "editor/editor_host.h"
#include "editor/limiter_panel.h"
#include "formats/vst2/aeff_gui_editor.h"

class TembroLimiter;

class TembroLimiterGUI : public AEffGUIEditor, public EditorHost {
  public:
    explicit TembroLimiterGUI(TembroLimiter* effect);
    ~TembroLimiterGUI() override;

    bool open(void* parent) override;
    void close() override;
    void idle() override;
    void setParameter(int32_t index, float value) override;

    // EditorHost: the values are the effect's; gestures become host
    // automation, typed values plain stores.
    float parameterValue(int32_t index) override;
    void beginEdit(int32_t index) override { AEffGUIEditor::beginEdit(index); }
    void performEdit(int32_t index, float value) override;
    void endEdit(int32_t index) override { AEffGUIEditor::endEdit(index); }
    void setTypedValue(int32_t index, float value) override;
    MeterFeed& meterFeed() override;
    double meterFallCoef() override;
    float sampleRate() override;
    bool setKnobMode(int32_t mode) override { return AEffGUIEditor::setKnobMode(mode); }
    void pumpIdle() override { AEffGUIEditor::pumpIdle(); }
    bool requestEditorSize(int32_t width, int32_t height) override {
        return AEffGUIEditor::requestEditorSize(width, height);
    }

    LimiterPanel panel{*this};

  private:
    TembroLimiter* limiter;
};
