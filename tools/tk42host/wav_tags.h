// Format tags of the WAV header, shared by reader and writer.
#pragma once

#include <cstdint>

constexpr uint16_t kTagPcm = 1;
constexpr uint16_t kTagFloat = 3;
constexpr uint16_t kTagExtensible = 0xFFFE;

// An extensible header's sub-format GUID is the plain tag as its first four
// bytes followed by these twelve.
constexpr uint8_t kSubFormatGuidTail[12] = {0x00, 0x00, 0x10, 0x00, 0x80, 0x00,
                                            0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
