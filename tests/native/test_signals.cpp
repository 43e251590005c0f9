#include "tests/native/test_signals.h"

#include <algorithm>
#include <cmath>

StereoSignal sine(double freqHz, double amplitude, double sampleRate, size_t frames) {
    StereoSignal s;
    s.left.resize(frames);
    s.right.resize(frames);
    const double w = 2.0 * M_PI * freqHz / sampleRate;
    for (size_t i = 0; i < frames; ++i) {
        s.left[i] = amplitude * std::sin(w * static_cast<double>(i));
        s.right[i] = amplitude * std::sin(w * static_cast<double>(i) + 0.7);
    }
    return s;
}

StereoSignal burstyNoise(double amplitude, size_t frames, uint32_t seed) {
    StereoSignal s;
    s.left.resize(frames);
    s.right.resize(frames);
    uint32_t x = seed ? seed : 1;
    auto next = [&x]() {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        return static_cast<double>(x) / 4294967296.0 * 2.0 - 1.0;
    };
    for (size_t i = 0; i < frames; ++i) {
        // Bursts of 300 frames every 1000, with a quiet bed between them.
        const double level = (i % 1000) < 300 ? amplitude : amplitude * 0.05;
        s.left[i] = level * next();
        s.right[i] = level * next();
    }
    return s;
}

double peakOf(const StereoSignal& s) {
    double p = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        p = std::max({p, std::fabs(s.left[i]), std::fabs(s.right[i])});
    }
    return p;
}
