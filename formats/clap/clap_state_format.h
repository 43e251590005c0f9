// The limiter's CLAP state: a header of its own, then the engine's 28 bytes.
//
//   bytes 0-3  "TK42"
//   bytes 4-7  format version, little-endian (1)
//   bytes 8-35 the seven normalised values (engine/state_block.h)
//
// A later version may add bytes after these; this one reads only its own.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/parameters.h"
#include "engine/state_block.h"

constexpr uint32_t kClapStateVersion = 1;
constexpr size_t kClapStateHeaderBytes = 8;
constexpr size_t kClapStateBytes = kClapStateHeaderBytes + kStateBytes;

void encodeClapState(const uint8_t engineState[kStateBytes], uint8_t out[kClapStateBytes]);

// True, with the seven values, only for a whole state of this version whose
// values are all finite and within 0 to 1: anything else is a damaged or
// unknown stream, and nothing of it may be applied.
bool decodeClapState(const uint8_t* data, size_t size, float values[kNumParams]);
