#include "formats/vst3/utf16_text.h"

namespace vst3 {

void copyToUtf16(const char* text, char16* field, size_t capacity) {
    if (!field || capacity == 0) return;
    size_t i = 0;
    for (; text && text[i] && i + 1 < capacity; ++i) {
        field[i] = static_cast<char16>(static_cast<unsigned char>(text[i]));
    }
    field[i] = 0;
}

bool copyFromUtf16(const char16* text, size_t maxUnits, char* out, size_t size) {
    if (!out || size == 0) return false;
    out[0] = 0;
    if (!text) return false;
    size_t i = 0;
    for (; i < maxUnits && text[i]; ++i) {
        if (text[i] > 0x7F || i + 1 >= size) {
            out[0] = 0;
            return false;
        }
        out[i] = static_cast<char>(text[i]);
    }
    out[i] = 0;
    return true;
}

void copyText(const char* text, char* field, size_t capacity) {
    if (!field || capacity == 0) return;
    size_t i = 0;
    for (; text && text[i] && i + 1 < capacity; ++i) field[i] = text[i];
    field[i] = 0;
}

}  // namespace vst3
