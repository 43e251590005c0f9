// How far above the ceiling the limiter's output may go at a sample rate.
// The clip stage's attack keeps a residue of exp(-1e6 / rate) of a jump of
// its reduction (in dB) for one sample: nothing measurable up to 48 kHz,
// growing with the rate above. The tolerance covers jumps up to 72 dB (+24 dB
// of gain, peaks of +24 dBFS, a -24 dBFS ceiling); 1e-6 covers the rounding
// to float.
#pragma once

#include <cmath>

inline double ceilingTolerance(double sampleRate) {
    const double residueDb = 72.0 * std::exp(-1e6 / sampleRate);
    return std::pow(10.0, residueDb / 20.0) - 1.0 + 1e-6;
}
