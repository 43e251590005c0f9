// Loudness and true-peak targets through the real limiter: the written file
// has the loudness asked for and stays under the true-peak limit, and a
// target out of reach writes nothing.
#include <gtest/gtest.h>

#include <cmath>

#include "tools/tk42host/exit_codes.h"
#include "tools/tk42host/loudness_meter.h"
#include "tools/tk42host/target_search.h"
#include "tools/tk42host/tests/test_files.h"
#include "tools/tk42host/true_peak_meter.h"

namespace {

struct Measured {
    double lufs;
    double truePeakDb;
};

// The written file, measured afresh.
Measured measureFile(const std::string& path) {
    const WavData d = readWav(path);
    std::vector<double> l(d.frames()), r(d.frames());
    TruePeakMeter tl, tr;
    for (size_t i = 0; i < d.frames(); ++i) {
        l[i] = d.samples[2 * i];
        r[i] = d.samples[2 * i + 1];
    }
    tl.add(l.data(), l.size());
    tr.add(r.data(), r.size());
    LoudnessMeter m(d.format.sampleRate, 2);
    m.add(l.data(), r.data(), l.size());
    return {m.figures().integrated, 20 * std::log10(std::max(tl.peak(), tr.peak()))};
}

HostRun renderDemo(const TempDir& dir, std::vector<std::string> extra) {
    std::vector<std::string> args = {
        "render", TK42_TEST_MODULE, "--demo",          dir.file("out.wav"), "--demo-seconds",
        "3",      "--report",       dir.file("r.json")};
    args.insert(args.end(), extra.begin(), extra.end());
    return runHost(args);
}

}  // namespace

TEST(RenderTargets, TheWrittenFileHasTheLoudnessAndTruePeakAskedFor) {
    TempDir dir;
    const HostRun run = renderDemo(dir, {"--target-lufs", "-12", "--true-peak-max", "-1"});
    ASSERT_EQ(run.code, 0) << run.err;
    const Measured m = measureFile(dir.file("out.wav"));
    EXPECT_NEAR(m.lufs, -12.0, 0.1);
    EXPECT_LE(m.truePeakDb, -1.0);
    const nlohmann::json report = readJson(dir.file("r.json"));
    EXPECT_NEAR(report["outputIntegratedLufs"].get<double>(), m.lufs, 0.001);
    const nlohmann::json& search = report["search"];
    EXPECT_GT(search["passes"].get<int>(), 1);
    EXPECT_LT(search["ceilingDbfs"].get<double>(), -1.0);  // the demo needs a lower ceiling
    EXPECT_GT(search["gainDb"].get<double>(), 0.0);
    EXPECT_NE(run.out.find("chosen          gain"), std::string::npos) << run.out;
}

TEST(RenderTargets, AnUnreachableTargetNamesOneRangeAndWritesNothing) {
    TempDir dir;
    std::string range;
    for (const char* lufs : {"-2", "-1"}) {
        SCOPED_TRACE(lufs);
        const HostRun run = renderDemo(dir, {"--target-lufs", lufs});
        EXPECT_EQ(run.code, kExitUsage);
        const size_t at = run.err.find("the reachable range is");
        ASSERT_NE(at, std::string::npos) << run.err;
        // The range does not depend on the target asked for.
        const std::string said = run.err.substr(at, run.err.find(';', at) - at);
        if (range.empty()) range = said;
        EXPECT_EQ(said, range);
        EXPECT_TRUE(dir.names().empty()) << "an output or report was written";
    }
    // The demo at about -10 LUFS would need more than the host's 60 dB of trim.
    const HostRun deep = renderDemo(dir, {"--target-lufs", "-70"});
    EXPECT_EQ(deep.code, kExitUsage);
    EXPECT_NE(deep.err.find("needs a deeper trim than the host's"), std::string::npos) << deep.err;
    EXPECT_NE(deep.err.find(range), std::string::npos) << deep.err;
    EXPECT_TRUE(dir.names().empty());
}

TEST(RenderTargets, PresetsSetBothTargetsAndExplicitOptionsOverrideThem) {
    const struct {
        std::vector<std::string> options;
        double lufs, truePeak;
    } cases[] = {
        {{"--preset", "podcast"}, -16, -1},
        {{"--preset", "broadcast", "--target-lufs", "-20"}, -20, -1},
        {{"--true-peak-max", "-2", "--preset", "streaming"}, -14, -2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options[1]);
        TempDir dir;
        const HostRun run = renderDemo(dir, c.options);
        ASSERT_EQ(run.code, 0) << run.err;
        const nlohmann::json search = readJson(dir.file("r.json"))["search"];
        EXPECT_EQ(search["targetIntegratedLufs"].get<double>(), c.lufs);
        EXPECT_EQ(search["truePeakMaxDbtp"].get<double>(), c.truePeak);
        const Measured m = measureFile(dir.file("out.wav"));
        EXPECT_NEAR(m.lufs, c.lufs, kLoudnessTolerance);
        EXPECT_LE(m.truePeakDb, c.truePeak);
    }
}

TEST(RenderTargets, AnUnknownPresetOrAnAbsurdJobCountWritesNothing) {
    TempDir dir;
    for (std::vector<std::string> bad : std::vector<std::vector<std::string>>{
             {"--preset", "loud"}, {"--jobs", "0"}, {"--jobs", "65"}, {"--jobs", "99999999999"}}) {
        SCOPED_TRACE(bad[0] + " " + bad[1]);
        const HostRun run = renderDemo(dir, bad);
        EXPECT_EQ(run.code, kExitUsage);
        EXPECT_NE(run.err.find(bad[0]), std::string::npos) << run.err;
        EXPECT_TRUE(dir.names().empty());
    }
}
