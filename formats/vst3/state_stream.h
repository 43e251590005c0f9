// The component's state in a host stream: the limiter's 28-byte block and
// nothing else.
#pragma once

#include "engine/state_block.h"
#include "formats/vst3/vst3_processor.h"

namespace vst3 {

// Reads the block into values. False, and values untouched, when the stream
// is missing, ends before 28 bytes, or holds a block this plug-in never
// writes (a value that is not a number from 0 to 1): a foreign stream.
bool readStateBlock(IBStream* stream, float values[kNumParams]);
// Writes the block; false when the stream takes less than all of it.
bool writeStateBlock(IBStream* stream, const uint8_t block[kStateBytes]);

}  // namespace vst3
