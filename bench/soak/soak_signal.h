// The audio a busy session feeds the limiter: two tones and noise whose
// level wanders from quiet to full scale, drum-like bursts, hard steps,
// stretches of silence, and now and then a non-finite sample as a
// broken upstream plug-in would send. Cheap enough to keep the limiter busy
// (no sin per sample).
#pragma once

#include <cstdint>
#include <random>

class SoakSignal {
  public:
    explicit SoakSignal(uint64_t seed) : rng(seed) {}

    // Fills frames samples of both channels; sampleRate shapes the tones.
    void fill(double* left, double* right, int32_t frames, double sampleRate);

    // How many non-finite samples fill has written so far.
    uint64_t nonFiniteSamples() const { return nonFinite; }

  private:
    void newSection(double sampleRate);

    std::mt19937_64 rng;
    // A phasor per tone: rotation by a fixed angle each sample.
    double re[2] = {1, 1}, im[2] = {0, 0}, rotRe[2] = {1, 1}, rotIm[2] = {0, 0};
    double level = 0.5;  // linear amplitude of the current section
    double noise = 0.0;  // share of noise
    int64_t sectionLeft = 0;
    int64_t burstLeft = 0;
    double burstLevel = 0.0;
    bool silent = false;
    bool gated = false;  // full-scale steps instead of tones
    bool gateOpen = false;
    int64_t gateLeft = 0;
    double gateSign = 1.0;
    uint64_t nonFinite = 0;
};
