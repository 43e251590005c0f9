// The target search against a model of a limiter, whose loudness and true
// peak are known for any drive and ceiling: it lands inside the tolerances
// in few passes in both directions (a trim below the input, gain above it),
// only lowers the ceiling, and reports one reachable range whatever target
// is out of reach.
#include "tools/tk42host/target_search.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

// Loudness follows the drive dB for dB until the driven peaks reach the
// ceiling, then a fifth as fast; the true peak overshoots the ceiling by an
// amount that grows with the limiting.
// With interSample, the true peaks sit that far over the sample peaks, as
// on a loud master: a ceiling above the sample peaks leaves them alone.
struct ModelLimiter {
    double inputLufs = -30;
    double inputPeakDb = -10;
    double interSample = 0;
    int passes = 0;

    SearchPoint operator()(double drive, double ceiling) {
        ++passes;
        const double over = std::max(0.0, inputPeakDb + drive - ceiling);
        const double lufs = inputLufs + drive - 0.8 * over;
        const double peak = std::min(inputPeakDb + drive, ceiling) + 0.05 * over + interSample;
        return {drive, ceiling, lufs, peak};
    }
};

SearchResult search(ModelLimiter& m, SearchTargets t, double drive = 0, double ceiling = 0) {
    SearchLimits limits;
    limits.ceilingCapDb = ceiling;
    SearchStart start{m.inputLufs, m.inputPeakDb + m.interSample, drive};
    return searchTargets(t, limits, start, [&](double d, double c) { return m(d, c); });
}

}  // namespace

TEST(TargetSearch, ReachesALoudnessBelowOrAboveTheInputInFewPasses) {
    for (double want : {-70.0, -45.0, -30.0, -25.0, -21.0, -19.0, -17.5}) {
        SCOPED_TRACE(want);
        ModelLimiter m;
        const SearchResult r = search(m, {true, want, false, 0});
        ASSERT_TRUE(r.reached) << r.error;
        EXPECT_NEAR(m(r.chosen.driveDb, r.chosen.ceilingDb).lufs, want, kLoudnessTolerance);
        EXPECT_EQ(r.chosen.ceilingDb, 0.0);
        EXPECT_EQ(r.passes, m.passes - 1);
        // Below the input a trim does it, in one pass where the model is linear.
        if (want < -30) {
            EXPECT_LT(r.chosen.trimDb(), 0.0);
            EXPECT_EQ(r.chosen.gainDb(), 0.0);
        }
        EXPECT_LE(r.passes, want <= -20 ? 1 : 6);
    }
}

TEST(TargetSearch, LowersTheCeilingJustUnderATruePeakLimit) {
    ModelLimiter m;
    const SearchResult r = search(m, {false, 0, true, -1.0}, 12.0, -0.5);
    ASSERT_TRUE(r.reached) << r.error;
    EXPECT_EQ(r.chosen.driveDb, 12.0);
    EXPECT_LE(r.chosen.truePeakDb, -1.0);
    EXPECT_GE(r.chosen.truePeakDb, -1.35);
    EXPECT_LE(r.passes, 4);
    // Already under the limit: the ceiling stays, one pass.
    ModelLimiter quiet;
    const SearchResult q = search(quiet, {false, 0, true, -1.0}, 0.0, -0.5);
    ASSERT_TRUE(q.reached);
    EXPECT_EQ(q.chosen.ceilingDb, -0.5);
    EXPECT_EQ(q.passes, 1);
}

TEST(TargetSearch, MeetsBothTargetsTogetherInEitherDirection) {
    // Up from a quiet input, down from a master whose peaks are over the
    // limit, and a little down from one whose true peaks are 2 dB over its
    // sample peaks (drive and ceiling then pull against each other).
    const double cases[][4] = {{-30, -10, 0, -22},
                               {-30, 2, 0, -33},
                               {-30, 2, 0, -40},
                               {-11, 0, 2, -14},
                               {-11, 0, 2, -13.2}};
    for (const auto& c : cases) {
        const double want = c[3];
        SCOPED_TRACE(want);
        ModelLimiter m;
        m.inputLufs = c[0];
        m.inputPeakDb = c[1];
        m.interSample = c[2];
        const SearchResult r = search(m, {true, want, true, -3.0});
        ASSERT_TRUE(r.reached) << r.error;
        const SearchPoint p = m(r.chosen.driveDb, r.chosen.ceilingDb);
        EXPECT_NEAR(p.lufs, want, kLoudnessTolerance);
        EXPECT_LE(p.truePeakDb, -3.0);
        EXPECT_LE(r.passes, 8);
    }
}

TEST(TargetSearch, TargetsOutOfReachReportOneRangeWhateverWasAsked) {
    // +24 dB into a 0 dBFS ceiling gives -30 + 24 - 0.8 * 14 = -17.2 LUFS;
    // the deepest trim, -60 dB, gives -90 LUFS.
    std::string first;
    for (double want : {-12.0, -10.0, -3.0}) {
        ModelLimiter loud;
        const SearchResult r = search(loud, {true, want, false, 0});
        EXPECT_FALSE(r.reached);
        ASSERT_TRUE(r.haveRange);
        EXPECT_DOUBLE_EQ(r.loudestLufs, -17.2);
        EXPECT_DOUBLE_EQ(r.quietestLufs, -90.0);
        EXPECT_NE(r.error.find("louder than 24.00 dB of gain can make"), std::string::npos)
            << r.error;
        const std::string range = r.error.substr(r.error.find("reachable range"));
        if (first.empty()) first = range;
        EXPECT_EQ(range, first);
    }

    ModelLimiter hot;
    hot.inputLufs = 0;
    hot.inputPeakDb = 0;
    const SearchResult deep = search(hot, {true, -70.0, false, 0});
    EXPECT_FALSE(deep.reached);
    EXPECT_NE(deep.error.find("needs a deeper trim than the host's -60.00 dB"), std::string::npos)
        << deep.error;

    ModelLimiter peaks;
    SearchResult r = search(peaks, {false, 0, true, -29.0}, 24.0, 0.0);
    EXPECT_FALSE(r.reached);
    EXPECT_EQ(r.chosen.ceilingDb, -24.0);
    EXPECT_NE(r.error.find("the lowest ceiling (-24.00 dBFS) gives"), std::string::npos) << r.error;

    ModelLimiter silent;
    silent.inputLufs = -INFINITY;
    r = search(silent, {true, -14.0, false, 0});
    EXPECT_FALSE(r.reached);
    EXPECT_NE(r.error.find("no integrated loudness"), std::string::npos) << r.error;
}
