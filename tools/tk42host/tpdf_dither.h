// Triangular dither of one least significant bit, from a small seeded
// generator so that a render with the same seed writes the same file.
#pragma once

#include <cstdint>

class TpdfDither {
  public:
    explicit TpdfDither(uint64_t seed) : state(seed ? seed : 0x9E3779B97F4A7C15ull) {}

    // The sum of two uniform values minus one: a value in (-1, 1) in LSBs
    // with a triangular distribution.
    double next() { return uniform() - uniform(); }

  private:
    // xorshift64*: fast, and identical on every platform and compiler.
    double uniform() {
        state ^= state >> 12;
        state ^= state << 25;
        state ^= state >> 27;
        return static_cast<double>((state * 0x2545F4914F6CDD1Dull) >> 11) *
               (1.0 / 9007199254740992.0);
    }

    uint64_t state;
};
