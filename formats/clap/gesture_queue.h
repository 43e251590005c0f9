// The editor's gestures on their way to the host: the editor's thread (the
// host's main thread) pushes, and whichever of process or flush runs next
// pops. The two never run at once, so the queue has one consumer at a time;
// neither side allocates, locks or waits.
#pragma once

#include <atomic>
#include <cstdint>

struct Gesture {
    // typed: a value typed into a box, set but not for recording.
    enum Kind : uint8_t { begin, value, end, typed } kind;
    int32_t index;
    float normalised;  // for a value
};

class GestureQueue {
  public:
    // False when full (the host has not processed for 256 gestures): the
    // value has already reached the engine, only the host's copy lags.
    bool push(const Gesture& g) {
        const uint32_t w = writeAt.load(std::memory_order_relaxed);
        if (w - readAt.load(std::memory_order_acquire) == kSize) return false;
        slots[w % kSize] = g;
        writeAt.store(w + 1, std::memory_order_release);
        return true;
    }
    bool pop(Gesture& g) {
        const uint32_t r = readAt.load(std::memory_order_relaxed);
        if (r == writeAt.load(std::memory_order_acquire)) return false;
        g = slots[r % kSize];
        readAt.store(r + 1, std::memory_order_release);
        return true;
    }

  private:
    static constexpr uint32_t kSize = 256;
    Gesture slots[kSize];
    std::atomic<uint32_t> writeAt{0};
    std::atomic<uint32_t> readAt{0};
};
