#include "bench/music_signal.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

constexpr double kRate = 48000.0;
constexpr double kPi = 3.14159265358979323846;
// Under Wine the Unix file system is drive Z:.
const char* kKits[] = {"/usr/share/hydrogen/data/drumkits/GMRockKit/",
                       "Z:/usr/share/hydrogen/data/drumkits/GMRockKit/"};

struct Sample {
    std::vector<float> data;
    double rate = 44100;
};

uint32_t le(const std::vector<char>& b, size_t at, int bytes) {
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i)
        v |= static_cast<uint32_t>(static_cast<uint8_t>(b[at + i])) << (8 * i);
    return v;
}

// Just enough WAV for the kit's 16-bit PCM recordings; anything else is skipped.
bool loadPcm16(const std::string& path, Sample& out) {
    std::ifstream f(path, std::ios::binary);
    std::vector<char> b((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) || std::memcmp(&b[8], "WAVE", 4)) {
        return false;
    }
    int channels = 0, bits = 0;
    for (size_t at = 12; at + 8 <= b.size();) {
        const uint32_t size = le(b, at + 4, 4);
        const size_t body = at + 8;
        if (body + size > b.size()) return false;
        if (!std::memcmp(&b[at], "fmt ", 4) && size >= 16) {
            if (le(b, body, 2) != 1) return false;
            channels = static_cast<int>(le(b, body + 2, 2));
            out.rate = le(b, body + 4, 4);
            bits = static_cast<int>(le(b, body + 14, 2));
        } else if (!std::memcmp(&b[at], "data", 4)) {
            if (bits != 16 || channels < 1) return false;
            const size_t frames = size / (2 * channels);
            for (size_t i = 0; i < frames; ++i) {
                auto v = static_cast<int16_t>(le(b, body + 2 * channels * i, 2));
                out.data.push_back(static_cast<float>(v) / 32768.0f);
            }
            return !out.data.empty();
        }
        at = body + size + (size & 1);
    }
    return false;
}

// Adds a hit at a time, resampled to the bench rate, panned.
void mix(BenchSignal& s, const Sample& hit, double atSec, double gain, double pan) {
    const double step = hit.rate / kRate;
    const size_t start = static_cast<size_t>(atSec * kRate);
    for (size_t i = 0; start + i < s.left.size(); ++i) {
        const double pos = static_cast<double>(i) * step;
        const size_t k = static_cast<size_t>(pos);
        if (k + 1 >= hit.data.size()) break;
        const double frac = pos - static_cast<double>(k);
        const double v = gain * (hit.data[k] * (1 - frac) + hit.data[k + 1] * frac);
        s.left[start + i] += static_cast<float>(v * (1 - pan));
        s.right[start + i] += static_cast<float>(v * (1 + pan));
    }
}

void addBassAndTone(BenchSignal& s) {
    const double notes[] = {55.0, 55.0, 65.4, 49.0};
    for (size_t i = 0; i < s.left.size(); ++i) {
        const double t = static_cast<double>(i) / kRate;
        const double beat = std::fmod(t * 2.0, 1.0);  // 120 BPM
        const double f = notes[static_cast<size_t>(t / 2.0) % 4];
        const double bass = 0.35 * std::exp(-3.0 * beat) * std::sin(2 * kPi * f * t);
        const double tone = 0.12 * std::sin(2 * kPi * 440.0 * t + 0.3 * std::sin(2 * kPi * 5 * t));
        s.left[i] += static_cast<float>(bass + tone);
        s.right[i] += static_cast<float>(bass + 0.8 * tone);
    }
}

}  // namespace

BenchSignal musicSignal(double seconds) {
    BenchSignal s;
    const size_t frames = static_cast<size_t>(seconds * kRate);
    s.left.assign(frames, 0.0f);
    s.right.assign(frames, 0.0f);
    Sample kick, snare, hat, crash;
    bool loaded = false;
    for (const std::string kit : kKits) {
        kick = snare = hat = crash = Sample{};
        loaded =
            loadPcm16(kit + "Kick-Hard.wav", kick) && loadPcm16(kit + "Snare-Hard.wav", snare) &&
            loadPcm16(kit + "HatClosed-Med.wav", hat) && loadPcm16(kit + "Crash-Hard.wav", crash);
        if (loaded) break;
    }
    if (!loaded) return generatedSignal(seconds);
    s.source = "hydrogen GMRockKit drums, bass and tone";
    for (double t = 0; t < seconds; t += 0.5) {
        const int beat = static_cast<int>(std::lround(t * 2)) % 4;
        mix(s, (beat % 2 == 0) ? kick : snare, t, 1.2, beat % 2 == 0 ? 0.0 : 0.15);
        mix(s, hat, t, 0.5, -0.4);
        mix(s, hat, t + 0.25, 0.35, -0.4);
        if (beat == 0 && std::fmod(t, 4.0) < 0.01) mix(s, crash, t, 0.6, 0.3);
    }
    addBassAndTone(s);
    return s;
}

BenchSignal generatedSignal(double seconds) {
    BenchSignal s;
    s.source = "generated noise bursts, bass and tone";
    const size_t frames = static_cast<size_t>(seconds * kRate);
    s.left.assign(frames, 0.0f);
    s.right.assign(frames, 0.0f);
    uint32_t x = 12345;
    for (size_t i = 0; i < frames; ++i) {
        x = x * 1664525u + 1013904223u;
        const double noise = static_cast<double>(x) / 4294967296.0 * 2 - 1;
        const double env = std::exp(-12.0 * std::fmod(static_cast<double>(i) / kRate * 2, 1.0));
        s.left[i] = static_cast<float>(0.9 * env * noise);
        s.right[i] = static_cast<float>(0.8 * env * noise);
    }
    addBassAndTone(s);
    return s;
}
