// The key record the toolkit's views receive, and the virtual key and
// modifier codes it reads. The fields and codes are those of the host's key
// records, so the editor glue copies one into the other field by field.
#pragma once

#include <cstdint>

namespace TKGUI {

struct CKeyCode {
    int32_t character;  // the character typed, or 0
    uint8_t virt;       // a VirtualKey, or 0
    uint8_t modifier;   // ModifierKey bits
};

enum VirtualKey {
    VKEY_BACK = 1,
    VKEY_TAB = 2,
    VKEY_RETURN = 4,
    VKEY_ESCAPE = 6,
    VKEY_LEFT = 11,
    VKEY_UP = 12,
    VKEY_RIGHT = 13,
    VKEY_DOWN = 14,
};

enum ModifierKey {
    MODIFIER_SHIFT = 1,
    MODIFIER_ALTERNATE = 2,
    MODIFIER_COMMAND = 4,
    MODIFIER_CONTROL = 8
};

}  // namespace TKGUI
