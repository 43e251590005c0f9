// Several files in one run: each rendered as it would be alone, one report
// for all, one search for an album, and a bad input that stops the batch
// without touching what was already written.
#include <gtest/gtest.h>

#include <filesystem>

#include "tools/tk42host/exit_codes.h"
#include "tools/tk42host/tests/test_files.h"

namespace {

void writeSong(const std::string& path, double level, size_t frames = 44100) {
    WavData d;
    d.format = {44100, 2, SampleFormat::Float32, false};
    d.samples = testSignal(frames, 2, level);
    writeWav(path, d);
}

HostRun batch(const TempDir& dir, std::vector<std::string> inputs, std::vector<std::string> extra) {
    std::vector<std::string> args = {"render", TK42_TEST_MODULE};
    for (const std::string& in : inputs) args.push_back(dir.file(in));
    args.insert(args.end(),
                {"--out-dir", dir.file("out"), "--quiet", "--report", dir.file("r.json")});
    args.insert(args.end(), extra.begin(), extra.end());
    return runHost(args);
}

std::vector<std::string> filesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST(RenderAlbum, EachFileAsAloneAndOneReportForAll) {
    TempDir dir;
    writeSong(dir.file("a.wav"), 1.5);
    writeSong(dir.file("b.wav"), 0.2, 30000);
    const HostRun run = batch(dir, {"a.wav", "b.wav"}, {"--gain-db", "3", "--ceiling-db", "-2"});
    ASSERT_EQ(run.code, 0) << run.err;
    for (const char* name : {"a.wav", "b.wav"}) {
        SCOPED_TRACE(name);
        const HostRun alone =
            runHost({"render", TK42_TEST_MODULE, dir.file(name), dir.file("alone.wav"), "--quiet",
                     "--gain-db", "3", "--ceiling-db", "-2"});
        ASSERT_EQ(alone.code, 0) << alone.err;
        EXPECT_EQ(readBytes(dir.file("out/") + name), readBytes(dir.file("alone.wav")));
    }
    const nlohmann::json report = readJson(dir.file("r.json"));
    ASSERT_EQ(report["files"].size(), 2u) << report;
    EXPECT_EQ(std::filesystem::path(report["files"][1]["output"].get<std::string>()),
              std::filesystem::path(dir.file("out/b.wav")));
    EXPECT_EQ(report["files"][1]["frames"], 30000);
    EXPECT_TRUE(report["album"]["search"].is_null());
    // The album's loudness pools both: between the two songs' own figures.
    const double a = report["files"][0]["outputIntegratedLufs"].get<double>();
    const double b = report["files"][1]["outputIntegratedLufs"].get<double>();
    const double album = report["album"]["outputIntegratedLufs"].get<double>();
    EXPECT_LT(album, a);
    EXPECT_GT(album, b);
}

TEST(RenderAlbum, OneSearchForTheAlbumKeepsTheSongsRelativeLevels) {
    TempDir dir;
    writeSong(dir.file("loud.wav"), 0.05);  // about -29 LUFS
    writeSong(dir.file("quiet.wav"), 0.005);
    // Two jobs: the songs go through each pass side by side.
    const HostRun run =
        batch(dir, {"loud.wav", "quiet.wav"}, {"--album", "--target-lufs", "-14", "--jobs", "2"});
    ASSERT_EQ(run.code, 0) << run.err;
    const nlohmann::json report = readJson(dir.file("r.json"));
    EXPECT_NEAR(report["album"]["outputIntegratedLufs"].get<double>(), -14.0, 0.1);
    const nlohmann::json& search = report["album"]["search"];
    EXPECT_GT(search["gainDb"].get<double>(), 0.0);
    // One gain for both, and neither is limited: the quiet song stays 20 dB
    // under the loud one.
    const auto level = [&](int i, const char* side) {
        return report["files"][i][std::string(side) + "IntegratedLufs"].get<double>();
    };
    EXPECT_NEAR(level(1, "output") - level(1, "input"), search["gainDb"].get<double>(), 0.01);
    EXPECT_NEAR(level(0, "output") - level(1, "output"), 20.0, 1.0);
    EXPECT_TRUE(report["files"][0]["search"].is_null());
}

TEST(RenderAlbum, ABadInputStopsTheBatchAndKeepsWhatWasDoneWhateverTheJobs) {
    TempDir dir;
    writeSong(dir.file("a.wav"), 0.5, 5000);
    writeBytes(dir.file("b.wav"), {'R', 'I', 'F', 'F', 1, 2, 3});
    writeSong(dir.file("c.wav"), 0.5, 5000);
    writeSong(dir.file("d.wav"), 0.5, 5000);
    for (const char* jobs : {"1", "4"}) {
        SCOPED_TRACE(jobs);
        std::filesystem::remove_all(dir.file("out"));
        // The files after the bad one are not written, even those a second
        // job has already rendered.
        HostRun run = batch(dir, {"a.wav", "b.wav", "c.wav", "d.wav"}, {"--jobs", jobs});
        EXPECT_EQ(run.code, kExitInput);
        EXPECT_NE(run.err.find("b.wav"), std::string::npos) << run.err;
        EXPECT_EQ(run.err.find("c.wav"), std::string::npos) << run.err;
        EXPECT_EQ(filesIn(dir.file("out")), std::vector<std::string>{"a.wav"});
        EXPECT_EQ(readWav(dir.file("out/a.wav")).frames(), 5000u);
        EXPECT_FALSE(std::filesystem::exists(dir.file("r.json")));
    }
    // An album reads every song before it writes any.
    std::filesystem::remove_all(dir.file("out"));
    const HostRun run =
        batch(dir, {"a.wav", "b.wav", "c.wav"}, {"--album", "--target-lufs", "-20"});
    EXPECT_EQ(run.code, kExitInput);
    EXPECT_TRUE(filesIn(dir.file("out")).empty());
}

TEST(RenderAlbum, OutputsThatWouldOverwriteAnInputOrEachOtherAreRefused) {
    TempDir dir;
    std::filesystem::create_directories(dir.file("x"));
    std::filesystem::create_directories(dir.file("out"));
    writeSong(dir.file("a.wav"), 0.5, 5000);
    writeSong(dir.file("x/a.wav"), 0.5, 5000);
    const std::vector<uint8_t> original = readBytes(dir.file("a.wav"));
    HostRun run = batch(dir, {"a.wav", "x/a.wav"}, {});
    EXPECT_EQ(run.code, kExitUsage);
    EXPECT_NE(run.err.find("would both be written"), std::string::npos) << run.err;
    // The inputs' own folder as the output folder.
    run = runHost(
        {"render", TK42_TEST_MODULE, dir.file("a.wav"), "--out-dir", dir.file(""), "--quiet"});
    EXPECT_EQ(run.code, kExitUsage);
    EXPECT_NE(run.err.find("is one of the inputs"), std::string::npos) << run.err;
    EXPECT_EQ(readBytes(dir.file("a.wav")), original);
    EXPECT_TRUE(filesIn(dir.file("out")).empty());
    EXPECT_EQ(runHost({"render", TK42_TEST_MODULE, dir.file("a.wav"), "b.wav", "--album"}).code,
              kExitUsage);
    // Names that differ in case only are one file on Windows; and a plot
    // named as another input's output.
    std::filesystem::create_directories(dir.file("y"));
    std::filesystem::copy_file(dir.file("a.wav"), dir.file("y/A.WAV"));
    std::filesystem::copy_file(dir.file("a.wav"), dir.file("x/a.svg"));
    for (const auto& inputs : {std::vector<std::string>{"a.wav", "y/A.WAV"},
                               std::vector<std::string>{"a.wav", "x/a.svg"}}) {
        run = batch(dir, inputs, {"--plot"});
        EXPECT_EQ(run.code, kExitUsage);
        EXPECT_NE(run.err.find("would both be written to"), std::string::npos) << run.err;
        EXPECT_TRUE(filesIn(dir.file("out")).empty());
    }
}

TEST(RenderAlbum, ParallelJobsWriteTheSameBytesAsOneJobWithAPlotBesideEachOutput) {
    TempDir dir;
    const std::vector<std::string> songs = {"a.wav", "b.wav", "c.wav", "d.wav"};
    for (size_t i = 0; i < songs.size(); ++i)
        writeSong(dir.file(songs[i]), 0.02 * (i + 1), 20000 + 5000 * i);
    std::vector<std::vector<uint8_t>> first;
    for (const char* jobs : {"1", "3"}) {
        SCOPED_TRACE(jobs);
        std::filesystem::remove_all(dir.file("out"));
        // Each file its own search, and dithered 16-bit output.
        const HostRun run = batch(dir, songs,
                                  {"--jobs", jobs, "--target-lufs", "-20", "--true-peak-max", "-1",
                                   "--format", "pcm16", "--seed", "7", "--plot"});
        ASSERT_EQ(run.code, 0) << run.err;
        EXPECT_EQ(filesIn(dir.file("out")),
                  (std::vector<std::string>{"a.svg", "a.wav", "b.svg", "b.wav", "c.svg", "c.wav",
                                            "d.svg", "d.wav"}));
        const nlohmann::json report = readJson(dir.file("r.json"));
        ASSERT_EQ(report["files"].size(), songs.size());
        for (size_t i = 0; i < songs.size(); ++i) {
            EXPECT_EQ(std::filesystem::path(report["files"][i]["input"].get<std::string>()),
                      std::filesystem::path(dir.file(songs[i])));
            const std::vector<uint8_t> bytes = readBytes(dir.file("out/" + songs[i]));
            if (first.size() < songs.size()) {
                first.push_back(bytes);
            } else {
                EXPECT_EQ(bytes, first[i]) << songs[i];
            }
        }
    }
    EXPECT_EQ(batch(dir, songs, {"--plot", dir.file("one.svg")}).code, kExitUsage);
}
