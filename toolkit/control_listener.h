// How controls report what the user did: the editor implements this.
#pragma once

#include <cstdint>

namespace TKGUI {

class CControl;
class CDrawContext;

class CControlListener {
  public:
    // The user changed the control's value. context is the one the mouse
    // event came with; null for key events.
    virtual void valueChanged(CDrawContext* context, CControl* control) = 0;
    // A click with Shift, Control, Alt or command held. Nonzero: the listener
    // handled it and the control ignores the click.
    virtual int32_t modifierClicked(CDrawContext* context, CControl* control, int32_t buttons) {
        (void)context;
        (void)control;
        (void)buttons;
        return 0;
    }

  protected:
    ~CControlListener() = default;
};

}  // namespace TKGUI
