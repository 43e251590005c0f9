// The plain editor interface that the dispatcher's editor opcodes reach.
#pragma once

#include <cstdint>

#include "formats/vst2/aeffect.h"

class AudioEffect;

class AEffEditor {
  public:
    explicit AEffEditor(AudioEffect* effect) : effect(effect) {}
    virtual ~AEffEditor() = default;

    virtual AudioEffect* getEffect() { return effect; }
    virtual bool getRect(ERect** rect) {
        *rect = nullptr;
        return false;
    }
    virtual bool open(void* ptr) {
        parentWindow = ptr;
        return false;
    }
    virtual void close() { parentWindow = nullptr; }
    virtual bool isOpen() { return parentWindow != nullptr; }
    virtual void idle() {}
    virtual bool onKeyDown(VstKeyCode& /*keyCode*/) { return false; }
    virtual bool onKeyUp(VstKeyCode& /*keyCode*/) { return false; }
    virtual bool onWheel(float /*distance*/) { return false; }
    virtual bool setKnobMode(int32_t /*val*/) { return false; }

    // Called by the effect after it stored a parameter value, from whichever
    // thread set it. Editors that show parameters override it.
    virtual void setParameter(int32_t /*index*/, float /*value*/) {}

  protected:
    AudioEffect* effect;
    void* parentWindow = nullptr;
};
