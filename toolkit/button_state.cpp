#include "toolkit/button_state.h"

#include <atomic>
#include <utility>

#include "toolkit/platform/platform.h"

namespace TKGUI {

namespace {
std::atomic<bool> swappedButtons{false};
}

void setButtonsSwapped(bool swapped) {
    swappedButtons.store(swapped, std::memory_order_relaxed);
}

void refreshButtonsSwapped() {
    setButtonsSwapped(platform::systemButtonsSwapped());
}

bool buttonsSwapped() {
    return swappedButtons.load(std::memory_order_relaxed);
}

int pollButtonState() {
    int physical = platform::pollButtonsAndModifiers();
    int state = physical & ~(kLButton | kRButton);
    bool left = physical & kLButton;
    bool right = physical & kRButton;
    if (buttonsSwapped()) std::swap(left, right);
    if (left) state |= kLButton;
    if (right) state |= kRButton;
    return state;
}

}  // namespace TKGUI
