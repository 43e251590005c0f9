// The base of the views that hold a value and report the user's changes to
// a listener (not owned).
//
// Dirty tracking: a control is dirty when its value differs from lastValue
// (the value at the last draw; NaN always differs) or when its dirty flag is
// set. setValue only stores, so a value set from any thread is picked up by
// the next idle redraw. Every draw ends with setDirty (false).
//
// Mouse gestures run as modal loops inside mouseDown. A loop keeps the control
// alive (retain/release) and stops as soon as the frame is gone or closed, so
// an editor closed from inside the loop's idle work does not pull the control
// away under it.
#pragma once

#include <cstdint>

#include "toolkit/control_listener.h"
#include "toolkit/view.h"

namespace TKGUI {

class CControl : public CView {
  public:
    CControl(const CRect& size, CControlListener* listener, int32_t tag,
             CBitmap* background = nullptr);
    ~CControl() override;

    bool isDirty() const override;
    void setDirty(bool flag = true) override;
    bool onRemoved(CView* parent) override;
    bool isKindOf(const char* className) const override;

    virtual void pumpIdle();
    virtual void setValue(float newValue) { value = newValue; }
    virtual float getValue() const { return value; }
    virtual void setMin(float newMin) { vmin = newMin; }
    virtual float getMin() const { return vmin; }
    virtual void setMax(float newMax) { vmax = newMax; }
    virtual float getMax() const { return vmax; }
    virtual void setLastValue(float last) { lastValue = last; }
    virtual float getLastValue() const { return lastValue; }
    virtual void setDefaultValue(float newDefault) { defaultValue = newDefault; }
    virtual float getDefaultValue() const { return defaultValue; }
    virtual void setTag(int32_t newTag) { tag = newTag; }
    virtual int32_t getTag() const { return tag; }
    // Makes this control the focus view and reports the start of a gesture
    // on its tag; endEdit reports its end.
    virtual void beginEdit();
    virtual void endEdit();
    virtual void setBitmapOffset(const CPoint& offset) { bitmapOffset = offset; }
    virtual void setBitmapOffsetToOrigin();  // the view's own top-left corner
    virtual void setWheelStep(float step) { wheelStep = step; }
    virtual float getWheelStep() const { return wheelStep; }
    virtual void clampValue();  // to [min, max]
    // A click with exactly the left button and Control restores the default.
    virtual bool checkResetClick(CDrawContext* context, int32_t buttons);

    CControlListener* getListener() const { return listener; }
    const CPoint& getBitmapOffset() const { return bitmapOffset; }

  protected:
    // The first steps of a click, shared by the controls in each one's own
    // order. Each answers whether the click goes on; buttons may be polled.
    bool mouseStepEnabled() const { return mouseEnabled; }
    void mouseStepPoll(CDrawContext* context, int32_t& buttons) const;
    bool mouseStepModifier(CDrawContext* context, int32_t buttons);
    static bool mouseStepLeft(int32_t buttons);
    // Reports valueChanged when the control is dirty and has a listener.
    void reportIfDirty(CDrawContext* context);
    // Whether a modal loop may go on: the frame is still there and open.
    bool frameStillOpen() const;

    CControlListener* listener;
    int32_t tag;
    float lastValue = 1.0f;
    float defaultValue = 0.5f;
    float value = 0.0f;
    float vmin = 0.0f;
    float vmax = 1.0f;
    float wheelStep = 0.1f;
    int32_t lastClickTime = -1;
    int32_t doubleClickTime;
    CPoint bitmapOffset;

  private:
    // The editor that got the last beginEdit: the matching endEdit reaches it
    // even when the frame went away during the gesture.
    CFrameEditor* gestureEditor = nullptr;
};

}  // namespace TKGUI
