// The target search against a model of a limiter, whose loudness and true
// peak are known for any gain and ceiling: it lands inside the tolerances in
// few passes, only lowers the ceiling, and names the nearest reachable figure
// when a target is out of reach.
#include "tools/tk42host/target_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

// Loudness rises dB for dB with the gain until the gained peaks reach the
// ceiling, then a fifth as fast; the true peak overshoots the ceiling by an
// amount that grows with the limiting.
struct ModelLimiter {
    double inputLufs = -30;
    double inputPeakDb = -10;
    int passes = 0;

    SearchPoint operator()(double gain, double ceiling) {
        ++passes;
        const double over = std::max(0.0, inputPeakDb + gain - ceiling);
        const double lufs = inputLufs + gain - 0.8 * over;
        const double peak = std::min(inputPeakDb + gain, ceiling) + 0.05 * over;
        return {gain, ceiling, lufs, peak};
    }
};

SearchResult search(ModelLimiter& m, SearchTargets t, double gain = 0, double ceiling = 0) {
    return searchTargets(t, gain, ceiling, [&](double g, double c) { return m(g, c); });
}

}  // namespace

TEST(TargetSearch, ReachesALoudnessInsideTheToleranceInFewPasses) {
    for (double want : {-30.0, -25.0, -21.0, -19.0, -17.5}) {
        SCOPED_TRACE(want);
        ModelLimiter m;
        const SearchResult r = search(m, {true, want, false, 0});
        ASSERT_TRUE(r.reached) << r.error;
        EXPECT_NEAR(m(r.chosen.gainDb, r.chosen.ceilingDb).lufs, want, kLoudnessTolerance);
        EXPECT_EQ(r.chosen.ceilingDb, 0.0);
        EXPECT_EQ(r.passes, m.passes - 1);
        EXPECT_LE(r.passes, 8);
    }
}

TEST(TargetSearch, LowersTheCeilingJustUnderATruePeakLimit) {
    ModelLimiter m;
    const SearchResult r = search(m, {false, 0, true, -1.0}, 12.0, -0.5);
    ASSERT_TRUE(r.reached) << r.error;
    EXPECT_EQ(r.chosen.gainDb, 12.0);
    EXPECT_LE(r.chosen.truePeakDb, -1.0);
    EXPECT_GE(r.chosen.truePeakDb, -1.25);
    EXPECT_LE(r.passes, 4);
    // Already under the limit: the ceiling stays, one pass.
    ModelLimiter quiet;
    const SearchResult q = search(quiet, {false, 0, true, -1.0}, 0.0, -0.5);
    ASSERT_TRUE(q.reached);
    EXPECT_EQ(q.chosen.ceilingDb, -0.5);
    EXPECT_EQ(q.passes, 1);
}

TEST(TargetSearch, MeetsBothTargetsTogether) {
    ModelLimiter m;
    const SearchResult r = search(m, {true, -22.0, true, -3.0});
    ASSERT_TRUE(r.reached) << r.error;
    const SearchPoint p = m(r.chosen.gainDb, r.chosen.ceilingDb);
    EXPECT_NEAR(p.lufs, -22.0, kLoudnessTolerance);
    EXPECT_LE(p.truePeakDb, -3.0);
    EXPECT_LT(r.chosen.ceilingDb, -3.0);
    EXPECT_LE(r.passes, 30);
}

TEST(TargetSearch, UnreachableTargetsNameTheNearestFigure) {
    ModelLimiter loud;
    // +24 dB into a 0 dBFS ceiling gives -30 + 24 - 0.8 * 14 = -17.2 LUFS.
    SearchResult r = search(loud, {true, -12.0, false, 0});
    EXPECT_FALSE(r.reached);
    EXPECT_EQ(r.chosen.gainDb, kMaxGainDb);
    EXPECT_NE(r.error.find("louder than 24.00 dB of gain can make"), std::string::npos) << r.error;
    EXPECT_NE(r.error.find("-17.20 LUFS"), std::string::npos) << r.error;

    ModelLimiter quiet;
    r = search(quiet, {true, -40.0, false, 0});
    EXPECT_FALSE(r.reached);
    EXPECT_EQ(r.passes, 1);
    EXPECT_NE(r.error.find("quieter than the input"), std::string::npos) << r.error;
    EXPECT_NE(r.error.find("-30.00 LUFS"), std::string::npos) << r.error;

    ModelLimiter peaks;
    r = search(peaks, {false, 0, true, -29.0}, 24.0, 0.0);
    EXPECT_FALSE(r.reached);
    EXPECT_EQ(r.chosen.ceilingDb, kMinCeilingDb);
    EXPECT_NE(r.error.find("the lowest ceiling (-24.00 dBFS) gives"), std::string::npos) << r.error;

    ModelLimiter silent;
    silent.inputLufs = -INFINITY;
    r = search(silent, {true, -14.0, false, 0});
    EXPECT_FALSE(r.reached);
    EXPECT_NE(r.error.find("no integrated loudness"), std::string::npos) << r.error;
}
