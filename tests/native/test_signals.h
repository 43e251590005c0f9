// Test signals and small helpers shared by the signal-path tests.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

struct StereoSignal {
    std::vector<double> left;
    std::vector<double> right;
    size_t size() const { return left.size(); }
};

StereoSignal sine(double freqHz, double amplitude, double sampleRate, size_t frames);
// Noise bursts with loud transients, a limiter's hardest case, repeatable by seed.
StereoSignal burstyNoise(double amplitude, size_t frames, uint32_t seed);

// Runs a whole signal through a processing function in blocks of blockSize.
template <typename T, typename Fn>
StereoSignal processInBlocks(const StereoSignal& in, size_t blockSize, Fn&& process) {
    StereoSignal out;
    out.left.resize(in.size());
    out.right.resize(in.size());
    std::vector<T> inL(blockSize), inR(blockSize), outL(blockSize), outR(blockSize);
    for (size_t pos = 0; pos < in.size(); pos += blockSize) {
        const size_t n = std::min(blockSize, in.size() - pos);
        for (size_t i = 0; i < n; ++i) {
            inL[i] = static_cast<T>(in.left[pos + i]);
            inR[i] = static_cast<T>(in.right[pos + i]);
        }
        T* ins[2] = {inL.data(), inR.data()};
        T* outs[2] = {outL.data(), outR.data()};
        process(ins, outs, static_cast<int32_t>(n));
        for (size_t i = 0; i < n; ++i) {
            out.left[pos + i] = static_cast<double>(outL[i]);
            out.right[pos + i] = static_cast<double>(outR[i]);
        }
    }
    return out;
}

double peakOf(const StereoSignal& s);
