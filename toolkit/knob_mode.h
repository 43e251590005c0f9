// The host's knob mode: one value for the whole module, stored by the
// editor's set-knob-mode request and read by every frame. 2 selects linear
// knob dragging.
#pragma once

#include <cstdint>

namespace TKGUI {

enum { kCircularMode = 0, kRelativCircularMode = 1, kLinearMode = 2 };

void setHostKnobMode(int32_t mode);
int32_t hostKnobMode();

}  // namespace TKGUI
