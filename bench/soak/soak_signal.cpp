#include "bench/soak/soak_signal.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
constexpr double kTwoPi = 6.283185307179586;
}

void SoakSignal::newSection(double sampleRate) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    // Sections of 10 ms to 1 s at a level from -40 to 0 dBFS.
    sectionLeft = static_cast<int64_t>(sampleRate * (0.01 + unit(rng)));
    level = std::pow(10.0, -40.0 * unit(rng) / 20.0);
    silent = unit(rng) < 0.05;
    // Hard steps: full scale switched on after silences of up to half a
    // second, the worst case for the clip stage's attack.
    gated = !silent && unit(rng) < 0.1;
    noise = unit(rng) * unit(rng);
    for (int c = 0; c < 2; ++c) {
        const double hz = 30.0 * std::pow(2.0, 9.0 * unit(rng));
        rotRe[c] = std::cos(kTwoPi * hz / sampleRate);
        rotIm[c] = std::sin(kTwoPi * hz / sampleRate);
    }
}

void SoakSignal::fill(double* left, double* right, int32_t frames, double sampleRate) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::uniform_real_distribution<double> bipolar(-1.0, 1.0);
    double* out[2] = {left, right};
    for (int32_t n = 0; n < frames; ++n) {
        if (--sectionLeft <= 0) newSection(sampleRate);
        // A drum-like burst: a decaying loud noise of a few milliseconds.
        if (burstLeft <= 0 && unit(rng) < 4.0 / sampleRate) {
            burstLeft = static_cast<int64_t>(sampleRate * 0.005);
            burstLevel = unit(rng);
        }
        if (gated && --gateLeft <= 0) {
            gateOpen = !gateOpen;
            gateLeft = 1 + static_cast<int64_t>(unit(rng) * (gateOpen ? 2000 : sampleRate / 2));
            gateSign = unit(rng) < 0.5 ? -1.0 : 1.0;
        }
        for (int c = 0; c < 2; ++c) {
            const double r = re[c] * rotRe[c] - im[c] * rotIm[c];
            im[c] = re[c] * rotIm[c] + im[c] * rotRe[c];
            re[c] = r;
            double x = silent ? 0.0 : level * ((1.0 - noise) * re[c] + noise * bipolar(rng));
            if (gated) x = gateOpen ? gateSign : 0.0;
            if (burstLeft > 0) x += burstLevel * bipolar(rng);
            // A mix that peaks at full scale: the level the overshoot bounds
            // are stated for (the gain parameter adds up to +24 dB).
            out[c][n] = std::clamp(x, -1.0, 1.0);
        }
        if (burstLeft > 0) {
            --burstLeft;
            burstLevel *= 0.999;
        }
    }
    // Keep the phasors on the unit circle.
    for (int c = 0; c < 2; ++c) {
        const double m = std::sqrt(re[c] * re[c] + im[c] * im[c]);
        re[c] /= m;
        im[c] /= m;
    }
    // Rarely, one bad sample in the block.
    if (frames > 0 && unit(rng) < 0.002) {
        const double bad[] = {std::numeric_limits<double>::quiet_NaN(),
                              std::numeric_limits<double>::infinity(),
                              -std::numeric_limits<double>::infinity()};
        out[rng() % 2][rng() % static_cast<uint64_t>(frames)] = bad[rng() % 3];
        ++nonFinite;
    }
}
