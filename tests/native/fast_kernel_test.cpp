// The fast kernel must give the reference kernel's results bit for bit, on
// signals that cross every boundary where it skips work: around 0.999 of the
// ceiling, the clip envelope returning exactly to rest, the limit envelope
// around the ceiling, and limit gain exactly 1.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "engine/limiter_kernel.h"
#include "engine/parameters.h"
#include "tests/native/test_signals.h"

namespace {

struct Case {
    float gain, thresh, atk, rel, release, mode, show;
    bool meter;
};

// A tone whose peak sweeps slowly across the ceiling's neighbourhood, then
// silence long enough for the clip envelope to come back to rest.
StereoSignal nearCeiling(double ceiling, size_t frames) {
    StereoSignal s;
    for (size_t i = 0; i < frames; ++i) {
        const double sweep = 0.997 + 0.006 * static_cast<double>(i) / static_cast<double>(frames);
        const double v = ceiling * sweep * std::sin(0.3 * static_cast<double>(i));
        s.left.push_back(v);
        s.right.push_back(-0.5 * v);
    }
    s.left.resize(frames + 20000, 0.0);
    s.right.resize(frames + 20000, 0.0);
    return s;
}

template <typename T>
void expectSameResults(const Case& k, const StereoSignal& in, size_t block) {
    const LimiterCoefficients c = limiterCoefficients(44100.0, k.atk, k.rel, k.release, k.mode);
    const BlockSettings b = blockSettings(k.gain, k.thresh, k.mode, k.show);
    LimiterState refState, fastState;
    MeterReading refMeter{k.meter, kTiny, 0.9998};
    MeterReading fastMeter = refMeter;
    // The reading after every block: a wrong reduction in one frame may
    // have decayed below the last bit by the end of the signal.
    std::vector<double> refReadings, fastReadings;
    StereoSignal ref = processInBlocks<T>(in, block, [&](T** i, T** o, int32_t n) {
        processReference(refState, c, b, refMeter, i, o, n);
        refReadings.push_back(refMeter.valueDb);
    });
    StereoSignal fast = processInBlocks<T>(in, block, [&](T** i, T** o, int32_t n) {
        processFast(fastState, c, b, fastMeter, i, o, n);
        fastReadings.push_back(fastMeter.valueDb);
    });
    ASSERT_EQ(refReadings.size(), fastReadings.size());
    for (size_t i = 0; i < refReadings.size(); ++i) {
        ASSERT_EQ(std::memcmp(&refReadings[i], &fastReadings[i], sizeof(double)), 0)
            << "meter after block " << i;
    }
    for (size_t i = 0; i < in.size(); ++i) {
        ASSERT_EQ(std::memcmp(&ref.left[i], &fast.left[i], sizeof(double)), 0) << "frame " << i;
        ASSERT_EQ(std::memcmp(&ref.right[i], &fast.right[i], sizeof(double)), 0) << "frame " << i;
    }
    EXPECT_EQ(std::memcmp(&refState, &fastState, sizeof refState), 0);
}

const Case kCases[] = {
    {0.0f, 1.0f, 0.25f, 0.25f, 1.0f, 0.0f, 0.0f, false},   // defaults
    {0.5f, 1.0f, 0.25f, 0.25f, 1.0f, 0.0f, 0.0f, true},    // +12 dB, meter on limit stage
    {0.3f, 0.75f, 0.0f, 0.0f, 0.0f, 0.0f, 1.0f, true},     // fastest times, meter on clip
    {0.8f, 0.2f, 1.0f, 1.0f, 0.1f, 0.0f, 0.0f, false},     // slow limit, deep ceiling
    {0.4f, 0.9f, 0.25f, 0.25f, 0.0f, 1.0f, 0.0f, true},    // CLIP mode, short release
    {0.0f, 1.0f, 0.25f, 0.25f, 0.05f, 1.0f, 1.0f, false},  // CLIP mode
};

}  // namespace

TEST(FastKernel, MatchesTheReferenceBitForBit) {
    const StereoSignal noise = burstyNoise(1.0, 30000, 23);
    for (const Case& k : kCases) {
        const double ceiling = std::exp(ceilingDb(k.thresh) * kDbToLinear);
        const double gainLin = std::exp(gainDb(k.gain) * kDbToLinear);
        const StereoSignal edge = nearCeiling(ceiling / gainLin, 30000);
        for (size_t block : {1u, 7u, 512u}) {
            expectSameResults<double>(k, noise, block);
            expectSameResults<double>(k, edge, block);
            expectSameResults<float>(k, noise, block);
            expectSameResults<float>(k, edge, block);
            if (::testing::Test::HasFailure()) {
                FAIL() << "gain " << k.gain << " thresh " << k.thresh << " mode " << k.mode
                       << " block " << block;
            }
        }
    }
}

TEST(FastKernel, ClipEnvelopeSettlesSoTheCachedGainIsUsed) {
    // Without a settled envelope the exp shortcut would be tested on paper only.
    const LimiterCoefficients c = limiterCoefficients(44100.0, 0.25f, 0.25f, 0.0f, 1.0f);
    const BlockSettings b = blockSettings(0.0f, 1.0f, 1.0f, 0.0f);
    LimiterState st;
    MeterReading m;
    StereoSignal in = sine(1000, 1.5, 44100, 100);
    in.left.resize(5000, 0.0);
    in.right.resize(5000, 0.0);
    auto run = [&](const StereoSignal& s) {
        processInBlocks<double>(
            s, 512, [&](double** i, double** o, int32_t n) { processFast(st, c, b, m, i, o, n); });
    };
    run(in);
    const double settled = st.clipEnvDb;
    EXPECT_LT(settled - kTiny, 1e-40);
    run(sine(1000, 0.5, 44100, 1000));
    EXPECT_EQ(st.clipEnvDb, settled);
}
