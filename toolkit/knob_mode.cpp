#include "toolkit/knob_mode.h"

#include <atomic>

namespace TKGUI {

namespace {
// Atomic because the host may send the request from a thread other than the
// one that drags knobs.
std::atomic<int32_t> knobMode{0};
}  // namespace

void setHostKnobMode(int32_t mode) {
    knobMode.store(mode, std::memory_order_relaxed);
}

int32_t hostKnobMode() {
    return knobMode.load(std::memory_order_relaxed);
}

}  // namespace TKGUI
