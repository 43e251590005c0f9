// The engine as the formats other than VST 2.4 use it: real units through
// the table, the state block and the look-ahead they report.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/limiter_engine.h"

TEST(ParameterTable, RealValuesRoundTripThroughTheLawsAtTheKnobsSteps) {
    // Every value a knob can reach (97 frames) and the ends map to real units
    // and back to the same normalised value, within a float's rounding.
    for (int32_t i = 0; i < kNumParams; ++i) {
        for (bool limit : {true, false}) {
            for (int step = 0; step <= 96; ++step) {
                const float v = kParameterInfo[i].law == ParameterLaw::stepped
                                    ? (step < 48 ? 0.0f : 1.0f)
                                    : static_cast<float>(step) / 96.0f;
                EXPECT_NEAR(fromReal(i, toReal(i, v, limit), limit), v, 2e-7f)
                    << kParameterInfo[i].id << " at " << v;
            }
        }
    }
    // Out of range clamps; NaN stays NaN so that callers can refuse it.
    EXPECT_EQ(fromReal(kGain, 30.0, true), 1.0f);
    EXPECT_EQ(fromReal(kThresh, -100.0, true), 0.0f);
    EXPECT_EQ(fromReal(kRelease, 400.0, false), 1.0f);  // 20 ms is CLIP mode's top
    EXPECT_TRUE(std::isnan(fromReal(kGain, NAN, true)));
    EXPECT_EQ(parameterIndexOf("clip_release"), kRelease);
    EXPECT_EQ(parameterIndexOf("Release"), -1);
}

TEST(ParameterTable, TextsReadBackAsTheirValues) {
    char text[32];
    formatReal(kThresh, 0.75f, true, text, sizeof text);
    EXPECT_STREQ(text, "-6.00");
    formatReal(kMode, 1.0f, true, text, sizeof text);
    EXPECT_STREQ(text, "CLIP");
    formatReal(kRelH, 1.0f, true, text, sizeof text);
    EXPECT_STREQ(text, "5000.0");
    double real = 0;
    EXPECT_TRUE(parseReal(kThresh, " -6.5 dBFS", real));
    EXPECT_EQ(real, -6.5);
    EXPECT_TRUE(parseReal(kThresh, "-3 dB", real));
    EXPECT_TRUE(parseReal(kAtkH, "2.5ms", real));
    EXPECT_EQ(real, 2.5);
    EXPECT_TRUE(parseReal(kMode, "clip", real));
    EXPECT_EQ(real, 1.0);
    for (const char* bad : {"", "dB", "6 ms", "6 dB extra", "nan", "inf", "LIMITED"})
        EXPECT_FALSE(parseReal(bad[0] == '6' ? kGain : kMode, bad, real)) << bad;
}

TEST(LimiterEngine, StateLatencyAndBadValues) {
    LimiterEngine engine;
    EXPECT_EQ(engine.latencySamples(), 5);
    EXPECT_TRUE(engine.setRealValue(kMode, 1.0));
    EXPECT_EQ(engine.latencySamples(), 0);
    EXPECT_FALSE(engine.setParameter(kGain, NAN));
    EXPECT_FALSE(engine.setParameter(kNumParams, 0.5f));
    EXPECT_FALSE(engine.setSampleRate(1e9f));
    EXPECT_TRUE(engine.setRealValue(kGain, 6.0));
    EXPECT_EQ(engine.parameter(kGain), 0.25f);

    uint8_t saved[kStateBytes];
    engine.saveState(saved);
    LimiterEngine other;
    EXPECT_FALSE(other.loadState(saved, kStateBytes - 1));
    EXPECT_EQ(other.parameter(kGain), 0.0f);
    EXPECT_TRUE(other.loadState(saved, kStateBytes));
    for (int32_t i = 0; i < kNumParams; ++i) EXPECT_EQ(other.parameter(i), engine.parameter(i));
}

TEST(LimiterEngine, ResetStartsTheSignalPathAsANewInstanceDoes) {
    LimiterEngine used, fresh;
    for (LimiterEngine* e : {&used, &fresh}) {
        e->setSampleRate(48000.0f);
        e->setRealValue(kGain, 12.0);
    }
    std::vector<float> l(256, 0.9f), r(256, -0.9f);
    float* io[2] = {l.data(), r.data()};
    used.process(io, io, 256);
    EXPECT_GT(used.currentReductionDb(), 1.0);
    used.reset();
    std::vector<float> a(64), b(64), c(64), d(64);
    for (int i = 0; i < 64; ++i) a[i] = c[i] = b[i] = d[i] = 0.5f * std::sin(0.1f * i);
    float* x[2] = {a.data(), b.data()};
    float* y[2] = {c.data(), d.data()};
    used.process(x, x, 64);
    fresh.process(y, y, 64);
    EXPECT_EQ(a, c);
    EXPECT_EQ(b, d);
}
