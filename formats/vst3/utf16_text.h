// The plug-in's texts are ASCII (names, units, formatted values); VST3
// carries them as fixed UTF-16 fields. Conversions both ways, always
// terminated, never past the field.
#pragma once

#include <cstddef>

#include "formats/vst3/vst3_base.h"

namespace vst3 {

// Copies text into a field of capacity units, cut to fit, terminated.
void copyToUtf16(const char* text, char16* field, size_t capacity);
// Copies a terminated UTF-16 text of at most maxUnits units into an ASCII
// buffer; false (and an empty buffer) when a unit is not ASCII or the text
// does not fit.
bool copyFromUtf16(const char16* text, size_t maxUnits, char* out, size_t size);
// Copies text into a char field of capacity bytes, cut to fit, terminated.
void copyText(const char* text, char* field, size_t capacity);

}  // namespace vst3
