// The loudness meter against signals whose loudness is known by construction:
// the sine and level-step cases of EBU Tech 3341 and 3342.
#include "tools/tk42host/loudness_meter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

struct Step {
    double dbfs;  // sine amplitude; below -200 is silence
    double seconds;
};

// A 1 kHz sine through the given level steps, the same in every channel,
// phase continuous across the steps.
// The long level-step cases run at a low rate to keep the tests quick; the
// gates do not depend on it.
constexpr double kStepRate = 16000;

LoudnessMeter sineSteps(const std::vector<Step>& steps, double rate = 48000, int channels = 2,
                        double frequency = 1000) {
    LoudnessMeter meter(rate, channels);
    std::vector<double> block;
    uint64_t n = 0;
    for (const Step& s : steps) {
        const double a = s.dbfs < -200 ? 0.0 : std::pow(10.0, s.dbfs / 20.0);
        block.resize(static_cast<size_t>(std::llround(s.seconds * rate)));
        for (double& x : block)
            x = a * std::sin(2 * kPi * frequency * static_cast<double>(n++) / rate);
        meter.add(block.data(), block.data(), block.size());
    }
    return meter;
}

}  // namespace

TEST(LoudnessMeter, StereoSineAtMinus23DbfsReadsMinus23LufsAtEveryCommonRate) {
    for (double rate : {44100.0, 48000.0, 88200.0, 96000.0, 192000.0, 22050.0}) {
        SCOPED_TRACE(rate);
        const LoudnessFigures f = sineSteps({{-23, 5}}, rate).figures();
        EXPECT_NEAR(f.integrated, -23.0, 0.05);
        EXPECT_NEAR(f.maxMomentary, -23.0, 0.05);
        EXPECT_NEAR(f.maxShortTerm, -23.0, 0.05);
        EXPECT_NEAR(f.range, 0.0, 0.05);
    }
}

TEST(LoudnessMeter, MonoIsOneChannelAndOddRatesKeepTime) {
    // One channel carries half the energy of two: 3 dB less.
    EXPECT_NEAR(sineSteps({{-23, 5}}, 48000, 1).figures().integrated, -26.0, 0.05);
    // 11025 Hz has 1102.5 frames per 100 ms segment; 1 kHz is still well
    // inside the band.
    EXPECT_NEAR(sineSteps({{-23, 5}}, 11025).figures().integrated, -23.0, 0.1);
    EXPECT_NEAR(sineSteps({{-20, 1}, {-30, 2}}, 11025).figures().maxShortTerm, -23.98, 0.1);
}

TEST(LoudnessMeter, GatesAsTheEbuCasesDo) {
    // Tech 3341 cases 1 to 5: the relative gate removes the quiet parts,
    // the absolute gate the near-silent ones.
    EXPECT_NEAR(sineSteps({{-23, 20}}, kStepRate).figures().integrated, -23.0, 0.1);
    EXPECT_NEAR(sineSteps({{-33, 20}}, kStepRate).figures().integrated, -33.0, 0.1);
    EXPECT_NEAR(sineSteps({{-36, 10}, {-23, 60}, {-36, 10}}, kStepRate).figures().integrated, -23.0,
                0.1);
    EXPECT_NEAR(sineSteps({{-72, 10}, {-36, 10}, {-23, 60}, {-36, 10}, {-72, 10}}, kStepRate)
                    .figures()
                    .integrated,
                -23.0, 0.1);
    EXPECT_NEAR(sineSteps({{-26, 20}, {-20, 20.1}, {-26, 20}}, kStepRate).figures().integrated,
                -23.0, 0.1);
}

TEST(LoudnessMeter, RangeFollowsTheEbuCases) {
    // Tech 3342 cases 1 to 4.
    EXPECT_NEAR(sineSteps({{-20, 20}, {-30, 20}}, kStepRate).figures().range, 10.0, 1.0);
    EXPECT_NEAR(sineSteps({{-20, 20}, {-15, 20}}, kStepRate).figures().range, 5.0, 1.0);
    EXPECT_NEAR(sineSteps({{-40, 20}, {-20, 20}}, kStepRate).figures().range, 20.0, 1.0);
    EXPECT_NEAR(sineSteps({{-50, 20}, {-35, 20}, {-20, 20}, {-35, 20}, {-50, 20}}, kStepRate)
                    .figures()
                    .range,
                15.0, 1.0);
}

TEST(LoudnessMeter, MaximaComeFromTheirWindows) {
    // One loud second in quiet: the 400 ms window sits inside it, the 3 s
    // window holds one loud and two quiet seconds.
    const LoudnessFigures f = sineSteps({{-30, 5}, {-20, 1}, {-30, 5}}).figures();
    EXPECT_NEAR(f.maxMomentary, -20.0, 0.05);
    EXPECT_NEAR(f.maxShortTerm, 10 * std::log10((0.01 + 2 * 0.001) / 3), 0.1);
}

TEST(LoudnessMeter, TooShortOrSilentHasNoLoudness) {
    const LoudnessFigures shortSine = sineSteps({{-10, 0.39}}).figures();
    EXPECT_TRUE(std::isinf(shortSine.integrated) && shortSine.integrated < 0);
    EXPECT_TRUE(std::isinf(shortSine.maxMomentary));
    EXPECT_FALSE(shortSine.hasRange());
    // Long enough for a block but not for a short-term window.
    const LoudnessFigures second = sineSteps({{-10, 1}}).figures();
    EXPECT_NEAR(second.integrated, -10.0, 0.05);
    EXPECT_TRUE(std::isinf(second.maxShortTerm));
    EXPECT_FALSE(second.hasRange());
    const LoudnessFigures silence = sineSteps({{-300, 5}}).figures();
    EXPECT_TRUE(std::isinf(silence.integrated));
    EXPECT_FALSE(silence.hasRange());
    // Below the absolute gate counts as silence too.
    EXPECT_TRUE(std::isinf(sineSteps({{-75, 5}}).figures().integrated));
}

TEST(LoudnessMeter, PoolsSeveralProgrammesAsOne) {
    // An album of a loud and a quiet song: pooled, the quiet one falls under
    // the relative gate; the range spans both.
    const LoudnessMeter loud = sineSteps({{-14, 10}}), quiet = sineSteps({{-30, 10}});
    const LoudnessFigures album = pooledFigures({&loud, &quiet});
    EXPECT_NEAR(album.integrated, -14.0, 0.05);
    EXPECT_NEAR(album.range, 16.0, 0.1);
    const LoudnessMeter near = sineSteps({{-16, 10}});
    EXPECT_NEAR(pooledFigures({&loud, &near}).integrated, 10 * std::log10((0.0398 + 0.0251) / 2),
                0.05);
}
