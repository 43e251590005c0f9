// The button-state word that mouse operations take, and the polling of it.
#pragma once

namespace TKGUI {

enum CButton {
    kLButton = 1,  // the primary button: the physical right one when swapped
    kMButton = 2,
    kRButton = 4,
    kShift = 8,
    kControl = 16,
    kAlt = 32,
    kApple = 64,  // never set on these platforms
};

// Shift, Control, Alt and command: the modifier test of the controls.
constexpr int kModifierMask = 0x78;

// Module-wide: whether the system swaps the mouse buttons. The frame window
// reads the system setting when it registers its class.
void setButtonsSwapped(bool swapped);
bool buttonsSwapped();
// Reads the system setting into the module-wide flag.
void refreshButtonsSwapped();

// The button-state word now: the polled physical buttons with left and right
// exchanged when the buttons are swapped, and the modifier keys.
int pollButtonState();

}  // namespace TKGUI
