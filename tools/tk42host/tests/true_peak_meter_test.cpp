// The true-peak meter finds the peaks between samples that a sample-peak
// meter misses, and reads like a sample peak where there are none.
#include "tools/tk42host/true_peak_meter.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

double meter(double frequencyPerSample, double phase, int frames = 4800) {
    TruePeakMeter m;
    for (int i = 0; i < frames; ++i) m.add(std::sin(2 * kPi * frequencyPerSample * i + phase));
    return m.peak();
}

}  // namespace

TEST(TruePeakMeter, FindsThePeakBetweenSamplesOfAQuarterRateSine) {
    // At a quarter of the rate with a 45-degree phase every sample is at
    // +-0.707, while the wave itself reaches 1.0 (+3 dB more).
    const double tp = meter(0.25, kPi / 4);
    EXPECT_NEAR(20 * std::log10(tp), 0.0, 0.6);
    EXPECT_GT(tp, 0.9);
}

TEST(TruePeakMeter, ReadsTheSamplePeakOfALowTone) {
    const double tp = meter(0.001, 0.3, 48000);
    EXPECT_NEAR(tp, 1.0, 0.01);
    EXPECT_GE(tp, 1.0 - 1e-9);  // never below the sample peak
}

TEST(TruePeakMeter, ANonFiniteSampleDoesNotPoisonTheReading) {
    TruePeakMeter m;
    m.add(0.5);
    m.add(NAN);
    m.add(INFINITY);
    for (int i = 0; i < 20; ++i) m.add(0.25);
    EXPECT_TRUE(std::isfinite(m.peak()));
    EXPECT_LT(m.peak(), 0.6);
    EXPECT_EQ(m.samplePeakValue(), 0.5);
}
