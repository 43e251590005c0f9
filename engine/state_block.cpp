#include "engine/state_block.h"

#include <cstring>

void encodeFloatsLE(const float* values, size_t count, uint8_t* out) {
    for (size_t i = 0; i < count; ++i) {
        uint32_t bits;
        std::memcpy(&bits, &values[i], 4);
        for (int b = 0; b < 4; ++b) out[4 * i + b] = static_cast<uint8_t>(bits >> (8 * b));
    }
}

bool decodeFloatsLE(const void* data, size_t size, size_t count, float* values) {
    // A short block is refused whole: taking part of it would mix two states,
    // and reading past its end could fault.
    if (!data || size < 4 * count) return false;
    const auto* in = static_cast<const uint8_t*>(data);
    for (size_t i = 0; i < count; ++i) {
        uint32_t bits = 0;
        for (int b = 0; b < 4; ++b) bits |= static_cast<uint32_t>(in[4 * i + b]) << (8 * b);
        std::memcpy(&values[i], &bits, 4);
    }
    return true;
}
