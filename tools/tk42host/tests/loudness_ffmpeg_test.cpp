// Loudness and true peak against ffmpeg's ebur128 filter, an independent
// implementation, on real recordings: drum samples from hydrogen-data and
// instrument samples from lmms-common, mono and stereo, 16-bit, 24-bit and
// float, at 22.05, 44.1 and 48 kHz. Input and output of a render are both
// checked, through the JSON report.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <string>

#include "tools/tk42host/tests/test_files.h"

namespace {

struct Recording {
    const char* path;
    const char* codec;  // how ffmpeg converts it to WAV; null to read it as it is
};

// Signals of a few seconds with a steady loudness distribution: in a lone
// decaying hit the quietest short-term windows sit at the relative gate,
// where the two meters may keep one window more or less, and one window of a
// steep decay moves the range's 10th percentile by half a LU.
const Recording kRecordings[] = {
    {"/usr/share/hydrogen/data/drumkits/GMRockKit/Crash-Hard.wav", nullptr},  // 2.2 s: no range
    {"/usr/share/hydrogen/data/drumkits/rumpf_kit_z01_h2/beats_06-21.flac", "pcm_s24le"},
    {"/usr/share/lmms/samples/beats/jungle01.ogg", "pcm_f32le"},
    {"/usr/share/lmms/samples/instruments/e_piano_accord02.ogg", "pcm_f32le"},
};

struct Ebur128 {
    double integrated = NAN;
    double range = NAN;
    double truePeakDb = NAN;
};

void run(const std::string& command) {
    ASSERT_EQ(std::system((command + " 2>/dev/null").c_str()), 0) << command;
}

// The filter's running figures are written every 100 ms with three decimals
// (its printed summary has one); the last ones are those of the whole file.
Ebur128 ffmpegLoudness(const std::string& wav, const std::string& metadata) {
    run(std::string(TK42_FFMPEG) + " -nostdin -v error -i " + wav +
        " -af ebur128=peak=true:metadata=1,ametadata=print:file=" + metadata + " -f null -");
    Ebur128 e;
    std::ifstream f(metadata);
    for (std::string line; std::getline(f, line);) {
        const size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = line.substr(0, eq);
        const double value = std::atof(line.c_str() + eq + 1);
        if (key == "lavfi.r128.I") e.integrated = value;
        if (key == "lavfi.r128.LRA") e.range = value;
        if (key == "lavfi.r128.true_peak") e.truePeakDb = 20 * std::log10(value);
    }
    return e;
}

void expectSame(const nlohmann::json& report, const std::string& side, const Ebur128& ffmpeg) {
    SCOPED_TRACE(side);
    EXPECT_NEAR(report[side + "IntegratedLufs"].get<double>(), ffmpeg.integrated, 0.1);
    // Under 3 s there is no short-term window, so no range; ffmpeg says 0.
    const nlohmann::json& range = report[side + "LoudnessRangeLu"];
    EXPECT_NEAR(range.is_null() ? 0.0 : range.get<double>(), ffmpeg.range, 0.5);
    EXPECT_NEAR(report[side + "TruePeakDbtp"].get<double>(), ffmpeg.truePeakDb, 0.2);
}

}  // namespace

TEST(LoudnessAgainstFfmpeg, RealRecordingsInAndOutOfTheLimiter) {
    TempDir dir;
    for (const Recording& r : kRecordings) {
        SCOPED_TRACE(r.path);
        std::string in = r.path;
        if (r.codec) {
            in = dir.file("in.wav");
            run(std::string(TK42_FFMPEG) + " -nostdin -v error -y -i " + r.path + " -c:a " +
                r.codec + " " + in);
        }
        // Enough gain for the limiter to work hard, so that the output's
        // loudness and range differ from the input's.
        const HostRun host = runHost({"render", TK42_TEST_MODULE, in, dir.file("out.wav"),
                                      "--quiet", "--gain-db", "8", "--ceiling-db", "-1", "--format",
                                      "float32", "--report", dir.file("r.json")});
        ASSERT_EQ(host.code, 0) << host.err;
        const nlohmann::json report = readJson(dir.file("r.json"));
        ASSERT_TRUE(report.is_object());
        expectSame(report, "input", ffmpegLoudness(in, dir.file("in.txt")));
        expectSame(report, "output", ffmpegLoudness(dir.file("out.wav"), dir.file("out.txt")));
    }
}

// Loudness targets below and above the input's own loudness (a trim in the
// host, or the limiter's gain), checked by ffmpeg: the written file has the
// loudness asked for and its true peak is at or under the limit.
TEST(LoudnessAgainstFfmpeg, TargetsBelowAndAboveTheInputLandWhereAsked) {
    TempDir dir;
    const Recording recordings[] = {kRecordings[1], kRecordings[2]};
    for (const Recording& r : recordings) {
        SCOPED_TRACE(r.path);
        const std::string in = dir.file("in.wav");
        run(std::string(TK42_FFMPEG) + " -nostdin -v error -y -i " + r.path + " -c:a " + r.codec +
            " " + in);
        const double own = ffmpegLoudness(in, dir.file("in.txt")).integrated;
        for (double offset : {-9.0, 3.0}) {
            const double target = std::round(own + offset);
            SCOPED_TRACE(target);
            const HostRun host = runHost({"render", TK42_TEST_MODULE, in, dir.file("out.wav"),
                                          "--quiet", "--target-lufs", std::to_string(target),
                                          "--true-peak-max", "-1", "--report", dir.file("r.json")});
            ASSERT_EQ(host.code, 0) << host.err;
            const Ebur128 out = ffmpegLoudness(dir.file("out.wav"), dir.file("out.txt"));
            EXPECT_NEAR(out.integrated, target, 0.1);
            EXPECT_LE(out.truePeakDb, -1.0);
            const nlohmann::json search = readJson(dir.file("r.json"))["search"];
            if (offset < 0) {
                EXPECT_LT(search["trimDb"].get<double>(), 0.0) << search;
                EXPECT_EQ(search["gainDb"].get<double>(), 0.0) << search;
            } else {
                EXPECT_EQ(search["trimDb"].get<double>(), 0.0) << search;
                EXPECT_GT(search["gainDb"].get<double>(), 0.0) << search;
            }
        }
    }
}
