#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "engine/limiter_kernel.h"
#include "tests/native/test_effect.h"
#include "tests/native/test_signals.h"

namespace {

struct Limiter {
    explicit Limiter(float sampleRate = 44100.0f) {
        if (sampleRate > 0) fx.setSampleRate(sampleRate);
    }
    void set(int32_t index, float v) { fx.setParameter(index, v); }
    template <typename T = float>
    StereoSignal run(const StereoSignal& in, size_t block = 512) {
        return processInBlocks<T>(in, block, [this](T** i, T** o, int32_t n) {
            if constexpr (std::is_same_v<T, float>) {
                fx.processReplacing(i, o, n);
            } else {
                fx.processDoubleReplacing(i, o, n);
            }
        });
    }
    TembroLimiter fx{nullptr};
};

double dbToLin(double db) {
    return std::pow(10.0, db / 20.0);
}

}  // namespace

TEST(Coefficients, ReferenceValuesAt44100) {
    Limiter l;
    LimiterCoefficients c = l.fx.coefficients();
    EXPECT_NEAR(c.clipRelease, 0.9999546, 1e-7);
    EXPECT_NEAR(c.limitAttack, 0.2468926, 1e-7);
    EXPECT_NEAR(c.limitRelease, 0.0006304, 1e-7);
    EXPECT_NEAR(c.clipAttack, 1.4e-10, 1e-11);
    l.set(kRelease, 0.0f);
    l.set(kAtkH, 0.0f);
    l.set(kRelH, 0.0f);
    c = l.fx.coefficients();
    EXPECT_NEAR(c.clipRelease, 0.7971142, 1e-7);
    EXPECT_NEAR(c.limitAttack, 0.9174483, 1e-7);
    EXPECT_NEAR(c.limitRelease, 0.0486627, 1e-7);
    l.set(kAtkH, 1.0f);
    l.set(kRelH, 1.0f);
    c = l.fx.coefficients();
    EXPECT_NEAR(c.limitAttack, 0.0049762, 1e-7);
    EXPECT_NEAR(c.limitRelease, 0.0000099773, 1e-10);
    EXPECT_NEAR(l.fx.meterFallCoef(), 0.99984884, 1e-8);
}

TEST(Coefficients, ModeExactlyHalfIsClipWithTheShortReleaseRange) {
    Limiter l;
    l.set(kMode, 0.5f);
    EXPECT_NEAR(l.fx.coefficients().clipRelease, std::exp(-1000.0 / (44100.0 * 20.0)), 1e-15);
    // And it runs without the look-ahead delay.
    StereoSignal in = sine(1000, 0.5, 44100, 64);
    StereoSignal out = l.run(in);
    EXPECT_EQ(out.left[0], static_cast<float>(in.left[0]));
}

TEST(Coefficients, RatesThatAreNotFiniteNumbersWithinTheAudioRangeAreIgnored) {
    Limiter l(48000.0f);
    const LimiterCoefficients before = l.fx.coefficients();
    for (float bad :
         {0.0f, -44100.0f, std::numeric_limits<float>::quiet_NaN(),
          std::numeric_limits<float>::infinity(), std::nextafter(TembroFX::kMinSampleRate, 0.0f),
          std::nextafter(TembroFX::kMaxSampleRate, 1e30f), 1e12f}) {
        l.fx.setSampleRate(bad);
        EXPECT_EQ(l.fx.getSampleRate(), 48000.0f);
        EXPECT_EQ(l.fx.coefficients().clipRelease, before.clipRelease);
        EXPECT_EQ(l.fx.coefficients().limitAttack, before.limitAttack);
    }
}

TEST(Coefficients, TheEdgesOfTheAudioRangeAreAccepted) {
    for (float rate : {TembroFX::kMinSampleRate, TembroFX::kMaxSampleRate}) {
        Limiter l(44100.0f);
        l.fx.setSampleRate(rate);
        EXPECT_EQ(l.fx.getSampleRate(), rate);
        EXPECT_NEAR(l.fx.meterFallCoef(), std::exp(-2000.0 / (rate * 300.0)), 1e-15);
    }
}

TEST(SignalPath, AnIgnoredHugeRateKeepsTheLargestFloatInputFiniteAndLimited) {
    Limiter l(48000.0f);
    l.fx.setSampleRate(1e12f);
    l.set(kGain, 1.0f);
    StereoSignal in{std::vector<double>(4096), std::vector<double>(4096)};
    for (size_t i = 0; i < in.size(); ++i) {
        in.left[i] = (i % 2 ? 1.0 : -1.0) * std::numeric_limits<float>::max();
        in.right[i] = in.left[i];
    }
    StereoSignal out = l.run(in);
    for (size_t i = 64; i < out.size(); ++i) {
        ASSERT_TRUE(std::isfinite(out.left[i])) << i;
        ASSERT_LE(std::fabs(out.left[i]), 1.0 + 1e-6) << i;
    }
}

TEST(SignalPath, DefaultsPassQuietAudioDelayedByExactlyFiveSamples) {
    Limiter l;
    StereoSignal in = sine(440, 0.8, 44100, 4096);
    StereoSignal out = l.run(in);
    for (size_t i = 0; i < 5; ++i) EXPECT_EQ(out.left[i], 0.0);
    for (size_t i = 5; i < in.size(); ++i) {
        ASSERT_NEAR(out.left[i], static_cast<float>(in.left[i - 5]), 1e-7) << i;
        ASSERT_NEAR(out.right[i], static_cast<float>(in.right[i - 5]), 1e-7) << i;
    }
}

TEST(SignalPath, ClipModePassesQuietAudioUnchanged) {
    Limiter l;
    l.set(kMode, 1.0f);
    StereoSignal in = sine(440, 0.8, 44100, 4096);
    StereoSignal out = l.run(in);
    for (size_t i = 0; i < in.size(); ++i) {
        ASSERT_EQ(out.left[i], static_cast<float>(in.left[i])) << i;
        ASSERT_EQ(out.right[i], static_cast<float>(in.right[i])) << i;
    }
}

// The ceiling's tolerance: the clip stage's attack residue grows with the rate.
double ceilingTolerance(float rate) {
    if (rate <= 48000.0f) return 1e-6;
    if (rate <= 96000.0f) return 2e-4;
    return 0.025;
}

TEST(SignalPath, NoSampleAboveTheCeilingInEitherModeAtAnyRate) {
    for (float rate : {44100.0f, 48000.0f, 96000.0f, 192000.0f}) {
        for (float mode : {0.0f, 1.0f}) {
            for (float thresh : {0.0f, 23.0f / 24.0f}) {
                Limiter l(rate);
                l.set(kMode, mode);
                l.set(kThresh, thresh);
                l.set(kGain, 0.5f);  // +12 dB into the ceiling
                const double ceiling = dbToLin((1.0 - thresh) * -24.0);
                for (const StereoSignal& in :
                     {sine(997, 1.0, rate, 20000), burstyNoise(1.0, 20000, 7)}) {
                    StereoSignal out = l.run<double>(in, 480);
                    EXPECT_LE(peakOf(out), ceiling * (1 + ceilingTolerance(rate)))
                        << "rate " << rate << " mode " << mode << " thresh " << thresh;
                }
            }
        }
    }
}

TEST(SignalPath, FullScaleSineAgainstMinus24HoldsToOnePartInAMillion) {
    for (float mode : {0.0f, 1.0f}) {
        Limiter l;
        l.set(kThresh, 0.0f);
        l.set(kMode, mode);
        StereoSignal out = l.run(sine(1000, 1.0, 44100, 44100));
        EXPECT_LE(peakOf(out), std::pow(10.0, -24.0 / 20.0) * (1 + 1e-6)) << mode;
        EXPECT_GT(peakOf(out), std::pow(10.0, -24.0 / 20.0) * 0.99) << mode;
    }
}

TEST(SignalPath, BeforeAnySampleRateTheClipIsAnInstantClamp) {
    Limiter l(0);  // coefficients still 0
    l.set(kThresh, 0.5f);
    // Changing Thresh does not compute coefficients: still an instant clamp.
    StereoSignal out = l.run(sine(300, 1.0, 44100, 4000));
    EXPECT_LE(peakOf(out), dbToLin(-12.0) * (1 + 1e-6));
    EXPECT_NEAR(peakOf(out), dbToLin(-12.0), 1e-6);
}

TEST(SignalPath, StereoLinkReducesBothChannelsAlikeAndKeepsSilenceSilent) {
    StereoSignal panned = burstyNoise(1.0, 8000, 3);
    StereoSignal dual = panned;
    for (size_t i = 0; i < panned.size(); ++i) {
        panned.right[i] = 0.0;
        dual.right[i] = dual.left[i];
    }
    Limiter a, b;
    a.set(kGain, 0.5f);
    b.set(kGain, 0.5f);
    StereoSignal outPanned = a.run<double>(panned);
    StereoSignal outDual = b.run<double>(dual);
    for (size_t i = 0; i < panned.size(); ++i) {
        ASSERT_EQ(outPanned.right[i], 0.0) << i;
        ASSERT_EQ(outPanned.left[i], outDual.left[i]) << i;
    }
}

TEST(SignalPath, ZeroAndNegativeFrameCountsTouchNothing) {
    Limiter l;
    l.run(burstyNoise(1.0, 1000, 5));
    const LimiterState before = l.fx.processingState();
    float inL[4] = {1, 1, 1, 1}, inR[4] = {1, 1, 1, 1};
    float outL[4] = {9, 9, 9, 9}, outR[4] = {9, 9, 9, 9};
    float* ins[2] = {inL, inR};
    float* outs[2] = {outL, outR};
    l.fx.processReplacing(ins, outs, 0);
    l.fx.processReplacing(ins, outs, -3);
    EXPECT_EQ(outL[0], 9.0f);
    EXPECT_EQ(outR[3], 9.0f);
    EXPECT_EQ(std::memcmp(&before, &l.fx.processingState(), sizeof before), 0);
}

TEST(SignalPath, InPlaceBuffersGiveTheSameOutput) {
    StereoSignal in = burstyNoise(1.0, 3000, 11);
    Limiter a, b;
    a.set(kGain, 0.4f);
    b.set(kGain, 0.4f);
    StereoSignal expected = a.run(in);
    std::vector<float> L(in.left.begin(), in.left.end()), R(in.right.begin(), in.right.end());
    float* io[2] = {L.data(), R.data()};
    b.fx.processReplacing(io, io, static_cast<int32_t>(L.size()));
    for (size_t i = 0; i < L.size(); ++i) {
        ASSERT_EQ(L[i], static_cast<float>(expected.left[i])) << i;
        ASSERT_EQ(R[i], static_cast<float>(expected.right[i])) << i;
    }
}

TEST(SignalPath, LimitStateResumesAfterClipMode) {
    Limiter l;
    // Quiet ramp: the limit stage passes it with gain 1, only delayed.
    StereoSignal ramp;
    for (int i = 1; i <= 64; ++i) {
        ramp.left.push_back(i / 128.0);
        ramp.right.push_back(-i / 128.0);
    }
    l.run(ramp);
    l.set(kMode, 1.0f);
    l.run(sine(100, 0.9, 44100, 300));
    l.set(kMode, 0.0f);
    StereoSignal silence;
    silence.left.assign(10, 0.0);
    silence.right.assign(10, 0.0);
    StereoSignal out = l.run(silence);
    for (int k = 0; k < 5; ++k) {
        EXPECT_NEAR(out.left[k], (60 + k) / 128.0, 1e-9) << k;
        EXPECT_NEAR(out.right[k], -(60 + k) / 128.0, 1e-9) << k;
    }
    for (int k = 5; k < 10; ++k) EXPECT_EQ(out.left[k], 0.0);
}

TEST(SignalPath, ModeBelowHalfKeepsLimitMode) {
    Limiter l;
    l.set(kMode, 0.3f);
    const StereoSignal in = sine(440, 0.5, 44100, 32);
    StereoSignal out = l.run(in);
    EXPECT_EQ(out.left[5], 0.0);  // still delayed: in[0] of a sine is 0
    EXPECT_EQ(out.left[4], 0.0);
    EXPECT_NEAR(out.left[6], in.left[1], 1e-7);
}

TEST(SignalPath, BothPrecisionsAgreeAndShareOneState) {
    StereoSignal in = burstyNoise(1.0, 6000, 17);
    Limiter f, d, mixed;
    for (Limiter* l : {&f, &d, &mixed}) l->set(kGain, 0.6f);
    StereoSignal outF = f.run<float>(in);
    StereoSignal outD = d.run<double>(in);
    for (size_t i = 0; i < in.size(); ++i) {
        ASSERT_NEAR(outF.left[i], outD.left[i], 1e-6) << i;
    }
    // Alternating precisions continues the same envelopes and delay lines.
    StereoSignal first, second;
    first.left.assign(in.left.begin(), in.left.begin() + 3000);
    first.right.assign(in.right.begin(), in.right.begin() + 3000);
    second.left.assign(in.left.begin() + 3000, in.left.end());
    second.right.assign(in.right.begin() + 3000, in.right.end());
    mixed.run<double>(first);
    StereoSignal tail = mixed.run<float>(second);
    for (size_t i = 0; i < tail.size(); ++i) {
        ASSERT_NEAR(tail.left[i], outD.left[3000 + i], 1e-6) << i;
    }
}

TEST(SignalPath, NonFiniteInputIsProcessedAsSilence) {
    const double inf = std::numeric_limits<double>::infinity();
    for (double bad : {std::nan(""), inf, -inf, 1e308}) {
        StereoSignal in = sine(440, 0.9, 44100, 2000);
        StereoSignal zeroed = in;
        in.left[100] = bad;
        zeroed.left[100] = 0.0;
        Limiter a, b;
        a.set(kGain, 1.0f);
        b.set(kGain, 1.0f);
        StereoSignal out = a.run<double>(in);
        StereoSignal expected = b.run<double>(zeroed);
        for (size_t i = 0; i < in.size(); ++i) {
            ASSERT_TRUE(std::isfinite(out.left[i])) << bad << " at " << i;
            ASSERT_EQ(out.left[i], expected.left[i]) << bad << " at " << i;
        }
    }
}

TEST(Meter, ClosedEditorMeansTheFeedIsNeverWritten) {
    Limiter l;
    l.set(kGain, 1.0f);
    l.run(burstyNoise(1.0, 2000, 1));
    l.fx.setSampleRate(48000.0f);
    EXPECT_EQ(l.fx.meterFeed().reading(), kTiny);
    EXPECT_EQ(l.fx.meterFeed().fallCoef(), 0.0);
}

TEST(Meter, ShowsTheStageTheModeAndSwitchSelect) {
    StereoSignal in = burstyNoise(1.0, 3000, 9);
    for (float mode : {0.0f, 1.0f}) {
        for (float show : {0.0f, 1.0f}) {
            Limiter l;
            l.set(kGain, 0.5f);
            l.set(kMode, mode);
            l.set(kShow, show);
            l.fx.meterFeed().attach(l.fx.meterFallCoef());
            l.run<double>(in);
            // The same samples through the plain algorithm give the same reading.
            LimiterState state;
            MeterReading m{true, kTiny, l.fx.meterFallCoef()};
            const BlockSettings b = blockSettings(0.5f, 1.0f, mode, show);
            const LimiterCoefficients c = l.fx.coefficients();
            processInBlocks<double>(in, 512, [&](double** i, double** o, int32_t n) {
                processReference(state, c, b, m, i, o, n);
            });
            EXPECT_EQ(l.fx.meterFeed().reading(), m.valueDb) << mode << show;
            EXPECT_EQ(b.meterShowsLimit, mode < 0.5f && show < 0.5f);
            EXPECT_GT(m.valueDb, 0.0);
        }
    }
}

TEST(Meter, SampleRateChangeWhileAttachedRestartsTheReading) {
    Limiter l;
    l.set(kGain, 1.0f);
    l.fx.meterFeed().attach(l.fx.meterFallCoef());
    l.run(burstyNoise(1.0, 2000, 1));
    EXPECT_GT(l.fx.meterFeed().reading(), 1.0);
    l.fx.setSampleRate(44100.0f);
    EXPECT_EQ(l.fx.meterFeed().reading(), kTiny);
    EXPECT_NEAR(l.fx.meterFeed().fallCoef(), 0.99984884, 1e-8);
}
