#include "tools/tk42host/demo_signal.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kBeat = 0.5;  // seconds, 120 BPM

// White noise in [-1, 1) from the sample index alone (a 64-bit mix).
double noise(uint64_t n) {
    uint64_t z = n * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) * (2.0 / 9007199254740992.0) - 1.0;
}

double kick(double t) {
    const double tk = std::fmod(t, kBeat);
    // A pitch sweep from 150 Hz down to 50 Hz, integrated into the phase.
    const double phase = 2.0 * kPi * (50.0 * tk + 100.0 * (1.0 - std::exp(-30.0 * tk)) / 30.0);
    return std::sin(phase) * std::exp(-8.0 * tk);
}

double snare(double t, uint64_t n) {
    const double inBar = std::fmod(t, 2.0 * kBeat);
    if (inBar < kBeat) return 0.0;
    const double ts = inBar - kBeat;
    return 0.55 * noise(n) * std::exp(-25.0 * ts) +
           0.45 * std::sin(2.0 * kPi * 190.0 * ts) * std::exp(-30.0 * ts);
}

double hat(double t, uint64_t n) {
    const double th = std::fmod(t, kBeat / 2.0);
    // The difference of successive noise values tilts it towards the highs.
    return 0.3 * (noise(n) - noise(n - 1)) * std::exp(-80.0 * th);
}

double bass(double t) {
    static const double kNotes[8] = {55.0, 55.0, 65.41, 55.0, 49.0, 49.0, 73.42, 65.41};
    const int beat = static_cast<int>(t / kBeat);
    const double f = kNotes[beat % 8];
    const double tb = t - beat * kBeat;
    const double env = std::min(1.0, tb * 200.0) * std::exp(-3.0 * tb);
    const double w = 2.0 * kPi * f * tb;
    return 0.5 * env * (std::sin(w) + 0.5 * std::sin(2.0 * w) + 0.25 * std::sin(3.0 * w));
}

// A sustained A-major chord with a slow swell, detuned between the channels.
double tone(double t, double detune) {
    const double swell = 0.6 + 0.4 * std::sin(2.0 * kPi * 0.25 * t);
    return 0.22 * swell *
           (std::sin(2.0 * kPi * 220.0 * detune * t) +
            0.7 * std::sin(2.0 * kPi * 277.18 * detune * t) +
            0.6 * std::sin(2.0 * kPi * 329.63 * detune * t));
}

}  // namespace

DemoSignal::DemoSignal(double seconds) {
    fmt.sampleRate = kSampleRate;
    fmt.channels = 2;
    fmt.sample = SampleFormat::Float32;
    total = static_cast<uint64_t>(std::max(0.0, seconds) * kSampleRate + 0.5);
}

void DemoSignal::frame(uint64_t n, double& left, double& right) {
    const double t = static_cast<double>(n) / kSampleRate;
    const double k = kick(t), s = snare(t, n), h = hat(t, n + 7919), b = bass(t);
    // Mixed hot on purpose: where kick, bass and chord meet, the peaks reach
    // about +6 dBFS.
    constexpr double kDrive = 0.8;
    left = kDrive * (k + 0.9 * s + 0.6 * h + b + tone(t, 1.0));
    right = kDrive * (k + 0.7 * s + 0.9 * h + b + tone(t, 1.003));
}

size_t DemoSignal::read(double* interleaved, size_t maxFrames) {
    const size_t n = static_cast<size_t>(std::min<uint64_t>(maxFrames, total - next));
    for (size_t i = 0; i < n; ++i) frame(next + i, interleaved[2 * i], interleaved[2 * i + 1]);
    next += n;
    return n;
}
