#include "formats/vst3/state_stream.h"

#include <cmath>

namespace vst3 {

namespace {

// A stream may hand out fewer bytes than asked; keep asking until it gives none.
int32_t readFully(IBStream* stream, uint8_t* buffer, int32_t size) {
    int32_t total = 0;
    while (total < size) {
        int32_t got = 0;
        if (stream->read(buffer + total, size - total, &got) != kResultOk) break;
        if (got <= 0 || got > size - total) break;
        total += got;
    }
    return total;
}

}  // namespace

bool readStateBlock(IBStream* stream, float values[kNumParams]) {
    if (!stream) return false;
    uint8_t block[kStateBytes];
    if (readFully(stream, block, static_cast<int32_t>(kStateBytes)) !=
        static_cast<int32_t>(kStateBytes)) {
        return false;
    }
    float decoded[kNumParams];
    if (!decodeFloatsLE(block, kStateBytes, kNumParams, decoded)) return false;
    for (float v : decoded) {
        if (!(v >= 0.0f && v <= 1.0f)) return false;
    }
    for (int i = 0; i < kNumParams; ++i) values[i] = decoded[i];
    return true;
}

bool writeStateBlock(IBStream* stream, const uint8_t block[kStateBytes]) {
    if (!stream) return false;
    int32_t total = 0;
    const int32_t size = static_cast<int32_t>(kStateBytes);
    while (total < size) {
        int32_t put = 0;
        uint8_t* next = const_cast<uint8_t*>(block) + total;
        if (stream->write(next, size - total, &put) != kResultOk) return false;
        if (put <= 0 || put > size - total) return false;
        total += put;
    }
    return true;
}

}  // namespace vst3
