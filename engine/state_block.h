// The limiter's saved state: the seven normalised values as little-endian
// IEEE-754 32-bit floats in parameter order, 28 bytes, no header. Every
// format saves these bytes (inside a header of its own where it needs one).
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/parameters.h"

constexpr size_t kStateBytes = static_cast<size_t>(kNumParams) * 4;

// count floats to 4 * count bytes, little-endian whatever the machine.
void encodeFloatsLE(const float* values, size_t count, uint8_t* out);
// False, and values untouched, for a null or short block. A NaN in the block
// comes out as NaN: the caller skips it and keeps that parameter's value.
bool decodeFloatsLE(const void* data, size_t size, size_t count, float* values);
