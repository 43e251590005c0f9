#include "formats/clap/clap_state_format.h"

#include <cmath>
#include <cstring>

namespace {
constexpr uint8_t kMagic[4] = {'T', 'K', '4', '2'};
}

void encodeClapState(const uint8_t engineState[kStateBytes], uint8_t out[kClapStateBytes]) {
    std::memcpy(out, kMagic, 4);
    for (int i = 0; i < 4; ++i) out[4 + i] = static_cast<uint8_t>(kClapStateVersion >> (8 * i));
    std::memcpy(out + kClapStateHeaderBytes, engineState, kStateBytes);
}

bool decodeClapState(const uint8_t* data, size_t size, float values[kNumParams]) {
    if (!data || size != kClapStateBytes || std::memcmp(data, kMagic, 4) != 0) return false;
    uint32_t version = 0;
    for (int i = 0; i < 4; ++i) version |= static_cast<uint32_t>(data[4 + i]) << (8 * i);
    if (version != kClapStateVersion) return false;
    float decoded[kNumParams];
    if (!decodeFloatsLE(data + kClapStateHeaderBytes, kStateBytes, kNumParams, decoded))
        return false;
    for (float v : decoded) {
        if (!(v >= 0.0f && v <= 1.0f)) return false;
    }
    std::memcpy(values, decoded, sizeof decoded);
    return true;
}
