// What the limiter's panel needs from whatever hosts it: the VST 2.4 editor
// glue implements it, and so does each other format's. The panel calls it on
// the user-interface thread only.
#pragma once

#include <cstdint>

class MeterFeed;

class EditorHost {
  public:
    // The parameter's normalised value as the limiter stores it.
    virtual float parameterValue(int32_t index) = 0;
    // A user gesture on a parameter: begin, one or more values, end. The
    // values are automation: the host records them.
    virtual void beginEdit(int32_t index) = 0;
    virtual void performEdit(int32_t index, float value) = 0;
    virtual void endEdit(int32_t index) = 0;
    // A value typed into a box: set, not automated.
    virtual void setTypedValue(int32_t index, float value) = 0;
    // The meter's reading, written by the audio side, and its per-sample fall
    // factor at the current rate; the rate itself.
    virtual MeterFeed& meterFeed() = 0;
    virtual double meterFallCoef() = 0;
    virtual float sampleRate() = 0;
    // The knob mode the panel wants (the toolkit's kCircularMode and friends).
    virtual bool setKnobMode(int32_t mode) = 0;
    // The work a control's mouse loop does on each turn while it holds the
    // user-interface thread: redraw, and keep the host served.
    virtual void pumpIdle() = 0;
    // Asks the host for a window of this size; false when it cannot.
    virtual bool requestEditorSize(int32_t /*width*/, int32_t /*height*/) { return false; }

  protected:
    ~EditorHost() = default;
};
