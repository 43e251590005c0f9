#include "tools/tk42host/loudness_meter.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kAbsoluteGate = -70.0;
constexpr int kMomentarySegments = 4;   // 400 ms
constexpr int kShortTermSegments = 30;  // 3 s

// The two K-weighting stages, derived for any rate from the analogue
// prototypes that give BS.1770's published 48 kHz coefficients.
Biquad highShelf(double rate) {
    constexpr double f0 = 1681.974450955533, gainDb = 3.999843853973347, q = 0.7071752369554196;
    Biquad s;
    // Below about 3.4 kHz the shelf lies above the Nyquist frequency: the
    // stage has nothing left to weight.
    if (f0 >= 0.49 * rate) return s;
    const double k = std::tan(kPi * f0 / rate);
    const double vh = std::pow(10.0, gainDb / 20.0);
    const double vb = std::pow(vh, 0.4996667741545416);
    const double a0 = 1.0 + k / q + k * k;
    s.b0 = (vh + vb * k / q + k * k) / a0;
    s.b1 = 2.0 * (k * k - vh) / a0;
    s.b2 = (vh - vb * k / q + k * k) / a0;
    s.a1 = 2.0 * (k * k - 1.0) / a0;
    s.a2 = (1.0 - k / q + k * k) / a0;
    return s;
}

Biquad revisedLowFrequencyB(double rate) {
    constexpr double f0 = 38.13547087602444, q = 0.5003270373238773;
    Biquad s;
    // A rate so low that the high-pass corner lies above the Nyquist
    // frequency would make the stage unstable; there is nothing to weight.
    if (f0 >= 0.49 * rate) return s;
    const double k = std::tan(kPi * f0 / rate);
    const double a0 = 1.0 + k / q + k * k;
    s.b0 = 1.0;
    s.b1 = -2.0;
    s.b2 = 1.0;
    s.a1 = 2.0 * (k * k - 1.0) / a0;
    s.a2 = (1.0 - k / q + k * k) / a0;
    return s;
}

double lufsToEnergy(double lufs) {
    return std::pow(10.0, (lufs + 0.691) / 10.0);
}

}  // namespace

double energyToLufs(double energy) {
    return energy > 0 ? -0.691 + 10.0 * std::log10(energy)
                      : -std::numeric_limits<double>::infinity();
}

LoudnessMeter::LoudnessMeter(double sampleRate, int channelCount)
    : rate(sampleRate), channels(channelCount == 1 ? 1 : 2) {
    for (int c = 0; c < 2; ++c) {
        shelf[c] = highShelf(rate);
        highPass[c] = revisedLowFrequencyB(rate);
    }
    segmentEnd = static_cast<uint64_t>(std::llround(rate / 10.0));
}

void LoudnessMeter::add(const double* left, const double* right, size_t count) {
    const double* in[2] = {left, right};
    for (size_t i = 0; i < count; ++i) {
        for (int c = 0; c < channels; ++c) {
            const double x = std::isfinite(in[c][i]) ? in[c][i] : 0.0;
            const double y = highPass[c].run(shelf[c].run(x));
            sum += y * y;
        }
        ++inSegment;
        // Segment boundaries fall on the nearest frame to each tenth of a
        // second, so that rates that are not multiples of ten keep time.
        if (++framesSeen == segmentEnd) closeSegment();
    }
}

void LoudnessMeter::closeSegment() {
    energies.push_back(sum / inSegment);
    lengths.push_back(inSegment);
    sum = 0;
    inSegment = 0;
    segmentEnd =
        static_cast<uint64_t>(std::llround(static_cast<double>(energies.size() + 1) * rate / 10.0));
    if (segmentEnd <= framesSeen) segmentEnd = framesSeen + 1;
}

void appendWindows(const LoudnessMeter& meter, int span, std::vector<double>& windows) {
    const std::vector<double>& e = meter.segmentEnergy();
    const std::vector<uint32_t>& n = meter.segmentFrames();
    if (e.size() < static_cast<size_t>(span)) return;
    // Summed afresh for each window: a running sum would carry rounding from
    // loud passages into the silence after them.
    for (size_t end = span; end <= e.size(); ++end) {
        double sum = 0, frames = 0;
        for (size_t i = end - span; i < end; ++i) {
            sum += e[i] * n[i];
            frames += n[i];
        }
        windows.push_back(sum / frames);
    }
}

std::vector<double> LoudnessMeter::shortTermCurve() const {
    std::vector<double> windows;
    appendWindows(*this, kShortTermSegments, windows);
    for (double& w : windows) w = energyToLufs(w);
    return windows;
}

namespace {

// Both gates of a set of window energies: the absolute one, and the relative
// one offsetDb below the mean of the windows above the absolute one. False
// when no window passes the absolute gate.
bool gates(const std::vector<double>& windows, double offsetDb, double& absolute,
           double& relative) {
    absolute = lufsToEnergy(kAbsoluteGate);
    double sum = 0;
    size_t count = 0;
    for (double w : windows) {
        if (w > absolute) sum += w, ++count;
    }
    if (count == 0) return false;
    relative = sum / count * std::pow(10.0, offsetDb / 10.0);
    return true;
}

}  // namespace

double gatedLoudness(const std::vector<double>& windows) {
    double absolute = 0, relative = 0;
    if (!gates(windows, -10.0, absolute, relative)) {
        return -std::numeric_limits<double>::infinity();
    }
    double sum = 0;
    size_t count = 0;
    for (double w : windows) {
        if (w > absolute && w > relative) sum += w, ++count;
    }
    return energyToLufs(sum / count);
}

double loudnessRange(const std::vector<double>& windows) {
    double absolute = 0, relative = 0;
    if (!gates(windows, -20.0, absolute, relative)) return -1.0;
    std::vector<double> kept;
    for (double w : windows) {
        if (w > absolute && w > relative) kept.push_back(energyToLufs(w));
    }
    std::sort(kept.begin(), kept.end());
    const auto at = [&](double p) {
        return kept[static_cast<size_t>(std::lround(p * static_cast<double>(kept.size() - 1)))];
    };
    return at(0.95) - at(0.10);
}

LoudnessFigures pooledFigures(const std::vector<const LoudnessMeter*>& meters) {
    std::vector<double> momentary, shortTerm;
    for (const LoudnessMeter* m : meters) {
        appendWindows(*m, kMomentarySegments, momentary);
        appendWindows(*m, kShortTermSegments, shortTerm);
    }
    LoudnessFigures f;
    f.integrated = gatedLoudness(momentary);
    for (double w : momentary) f.maxMomentary = std::max(f.maxMomentary, energyToLufs(w));
    for (double w : shortTerm) f.maxShortTerm = std::max(f.maxShortTerm, energyToLufs(w));
    f.range = loudnessRange(shortTerm);
    return f;
}

LoudnessFigures LoudnessMeter::figures() const {
    return pooledFigures({this});
}
