// The limiter's output with the project's exp and log10 stays within 1e-12
// relative of the same algorithm computed with correctly rounded functions
// (settings and coefficients included), in both modes and at several rates.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/limiter_kernel.h"
#include "engine/limiter_reference_algorithm.h"
#include "engine/parameters.h"
#include "tests/math/correctly_rounded.h"
#include "tests/native/test_signals.h"

namespace {

CorrectlyRounded& mpfr() {
    static CorrectlyRounded cr;
    return cr;
}

struct CorrectlyRoundedMath {
    static double exp(double x) { return mpfr().exp(x); }
    static double log10(double x) { return mpfr().log10(x); }
};

// The settings and coefficients as limiter_settings.cpp forms them, with
// correctly rounded exp.
BlockSettings exactSettings(float gain, float thresh, float mode, float show) {
    BlockSettings s;
    s.gainLin = mpfr().exp(gainDb(gain) * kDbToLinear);
    s.threshDb = ceilingDb(thresh);
    s.threshLin = mpfr().exp(s.threshDb * kDbToLinear);
    s.limitMode = isLimitMode(mode);
    s.meterShowsLimit = s.limitMode && !showsClipStage(show);
    return s;
}

LimiterCoefficients exactCoefficients(double sr, float atkH, float relH, float release,
                                      float mode) {
    LimiterCoefficients c;
    c.clipAttack = mpfr().exp(-1000.0 / (sr * 0.001));
    c.clipRelease = mpfr().exp(-1000.0 / (sr * clipReleaseMs(release, isLimitMode(mode))));
    const double k = (1.0 / sr) * -2.2;
    c.limitAttack = 1.0 - mpfr().exp(k / (limitAttackMs(atkH) * 0.001));
    c.limitRelease = 1.0 - mpfr().exp(k / (limitReleaseMs(relH) * 0.001));
    return c;
}

struct Case {
    double rate;
    float gain, thresh, atk, rel, release, mode;
};

}  // namespace

TEST(LimiterAccuracy, OutputWithin1e12OfCorrectlyRoundedFunctions) {
    const Case cases[] = {
        {44100, 0.25f, 23.0f / 24, 0.25f, 0.25f, 0.27f, 0.0f},
        {48000, 0.5f, 18.0f / 24, 0.0f, 0.0f, 0.0f, 0.0f},
        {96000, 0.8f, 0.2f, 1.0f, 1.0f, 1.0f, 0.0f},
        {44100, 0.4f, 0.9f, 0.25f, 0.25f, 0.5f, 1.0f},
        {192000, 0.6f, 0.5f, 0.25f, 0.25f, 0.1f, 1.0f},
    };
    StereoSignal in = burstyNoise(1.0, 40000, 5);
    const StereoSignal tone = sine(220, 1.4, 44100, 40000);
    in.left.insert(in.left.end(), tone.left.begin(), tone.left.end());
    in.right.insert(in.right.end(), tone.right.begin(), tone.right.end());
    for (const Case& k : cases) {
        LimiterState ours, exact;
        MeterReading oursMeter{true, kTiny, 0.9998}, exactMeter = oursMeter;
        const LimiterCoefficients c = limiterCoefficients(k.rate, k.atk, k.rel, k.release, k.mode);
        const BlockSettings b = blockSettings(k.gain, k.thresh, k.mode, 0.0f);
        const LimiterCoefficients ce = exactCoefficients(k.rate, k.atk, k.rel, k.release, k.mode);
        const BlockSettings be = exactSettings(k.gain, k.thresh, k.mode, 0.0f);
        const StereoSignal a =
            processInBlocks<double>(in, 512, [&](double** i, double** o, int32_t n) {
                processFast(ours, c, b, oursMeter, i, o, n);
            });
        const StereoSignal e =
            processInBlocks<double>(in, 512, [&](double** i, double** o, int32_t n) {
                processReferenceWith<CorrectlyRoundedMath>(exact, ce, be, exactMeter, i, o, n);
            });
        double worst = 0;
        for (size_t i = 0; i < in.size(); ++i) {
            const double dl = std::fabs(a.left[i] - e.left[i]);
            const double dr = std::fabs(a.right[i] - e.right[i]);
            ASSERT_LE(dl, 1e-12 * std::fabs(e.left[i])) << "frame " << i << " rate " << k.rate;
            ASSERT_LE(dr, 1e-12 * std::fabs(e.right[i])) << "frame " << i << " rate " << k.rate;
            if (e.left[i] != 0) worst = std::max(worst, dl / std::fabs(e.left[i]));
        }
        EXPECT_NEAR(oursMeter.valueDb, exactMeter.valueDb, 1e-12 * std::fabs(exactMeter.valueDb));
        std::printf("%.0f Hz %s: worst relative difference %.3g\n", k.rate,
                    k.mode < 0.5f ? "LIMIT" : "CLIP", worst);
    }
}
