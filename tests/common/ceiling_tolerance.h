// How far above the ceiling the limiter's output may go at a sample rate, for
// input peaks up to full scale (the conditions the README's figures are for).
// The clip stage's attack keeps a residue of exp(-1e6 / rate) of a jump of
// its reduction (in dB) for one sample. With full-scale peaks, +24 dB of gain
// and a -24 dBFS ceiling the reduction jumps by at most 48 dB: nothing
// measurable up to 48 kHz, about 2e-4 at 96 kHz, 3.1 % at 192 kHz, 51 % at
// 384 kHz. 1e-6 covers the rounding to float.
#pragma once

#include <cmath>

inline double ceilingTolerance(double sampleRate) {
    const double residueDb = 48.0 * std::exp(-1e6 / sampleRate);
    return std::pow(10.0, residueDb / 20.0) - 1.0 + 1e-6;
}
