// The editor benchmarks' audio: a 220 Hz tone at 48 kHz whose level swells
// and fades 1.5 times a second, so that the meter keeps moving.
#pragma once

#include <cmath>

inline void fillSwelling(long firstFrame, float* left, float* right, int frames) {
    constexpr double kTwoPi = 6.283185307179586;
    for (int i = 0; i < frames; ++i) {
        const double t = double(firstFrame + i) / 48000.0;
        const double level = 0.5 + 0.5 * std::sin(kTwoPi * 1.5 * t);
        left[i] = right[i] = float(level * std::sin(kTwoPi * 220.0 * t));
    }
}
