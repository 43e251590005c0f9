// A render gives exactly what direct calls through the effect record give,
// lines its output up with its input, and carries state and options through.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "engine/parameters.h"
#include "tools/plughost/plugin_instance.h"
#include "tools/plughost/plugin_module.h"
#include "tools/plughost/recording_host.h"
#include "tools/tk42host/tests/test_files.h"

namespace {

// What a host gets by calling the record itself: the input (padded with
// zeros to `frames` frames) processed in blocks with the given parameters.
template <typename T>
std::vector<double> direct(const std::vector<double>& input, int channels, size_t frames,
                           int32_t block, const std::vector<std::pair<int32_t, float>>& params,
                           float rate) {
    PluginModule module;
    std::string error;
    EXPECT_TRUE(module.load(TK42_TEST_MODULE, error)) << error;
    RecordingHost host;
    PluginInstance fx(host.create(module.entry()));
    for (const auto& p : params) fx.setParameter(p.first, p.second);
    fx.start(rate, block);
    std::vector<double> out(frames * channels);
    std::vector<T> l(block), r(block), ol(block), orr(block);
    const size_t inFrames = input.size() / channels;
    for (size_t done = 0; done < frames; done += block) {
        const size_t n = std::min<size_t>(block, frames - done);
        for (size_t i = 0; i < n; ++i) {
            const size_t f = done + i;
            l[i] = f < inFrames ? static_cast<T>(input[f * channels]) : T(0);
            r[i] = f < inFrames ? static_cast<T>(input[f * channels + channels - 1]) : T(0);
        }
        T* in[2] = {l.data(), r.data()};
        T* o[2] = {ol.data(), orr.data()};
        fx.process(in, o, static_cast<int32_t>(n));
        for (size_t i = 0; i < n; ++i) {
            out[(done + i) * channels] = static_cast<double>(ol[i]);
            if (channels == 2) out[(done + i) * channels + 1] = static_cast<double>(orr[i]);
        }
    }
    fx.stop();
    return out;
}

WavData loudInput(SampleFormat f, int channels = 2) {
    WavData in;
    in.format = {44100, static_cast<uint16_t>(channels), f, false};
    in.samples = testSignal(5000, channels, 1.6);  // peaks far above full scale
    return in;
}

const std::vector<std::pair<int32_t, float>> kLoudSettings = {{kGain, 0.25f}, {kThresh, 0.75f}};

std::vector<std::string> renderArgs(const std::string& in, const std::string& out,
                                    std::vector<std::string> extra) {
    std::vector<std::string> args = {"render",    TK42_TEST_MODULE, in,
                                     out,         "--quiet",        "--param",
                                     "Gain=0.25", "--param",        "thresh=0.75"};
    args.insert(args.end(), extra.begin(), extra.end());
    return args;
}

}  // namespace

TEST(Render, EqualsDirectRecordCallsIn32And64Bit) {
    TempDir dir;
    for (bool dbl : {false, true}) {
        SCOPED_TRACE(dbl ? "64-bit" : "32-bit");
        const WavData in = loudInput(dbl ? SampleFormat::Float64 : SampleFormat::Float32);
        writeWav(dir.file("in.wav"), in);
        std::vector<std::string> extra = {"--block", "300", "--no-delay-compensation"};
        if (dbl) extra.push_back("--double");
        const HostRun run = runHost(renderArgs(dir.file("in.wav"), dir.file("out.wav"), extra));
        ASSERT_EQ(run.code, 0) << run.err;
        const WavData out = readWav(dir.file("out.wav"));
        const std::vector<double> expected =
            dbl ? direct<double>(in.samples, 2, in.frames(), 300, kLoudSettings, 44100)
                : direct<float>(in.samples, 2, in.frames(), 300, kLoudSettings, 44100);
        ASSERT_EQ(out.samples.size(), expected.size());
        EXPECT_EQ(out.samples, expected);  // bit for bit: both outputs are exact in the file
    }
}

TEST(Render, DelayCompensationDropsTheLookAheadAndFlushesTheTail) {
    TempDir dir;
    const WavData in = loudInput(SampleFormat::Float32);
    writeWav(dir.file("in.wav"), in);
    const HostRun run = runHost(renderArgs(dir.file("in.wav"), dir.file("out.wav"), {}));
    ASSERT_EQ(run.code, 0) << run.err;
    const WavData out = readWav(dir.file("out.wav"));
    // LIMIT mode delays by five samples: the compensated output is the direct
    // output five frames on, with the last five frames flushed out by zeros.
    const std::vector<double> expected =
        direct<float>(in.samples, 2, in.frames() + 5, 512, kLoudSettings, 44100);
    ASSERT_EQ(out.frames(), in.frames());
    EXPECT_TRUE(std::equal(out.samples.begin(), out.samples.end(), expected.begin() + 10));
}

TEST(Render, CompensatedOutputLinesUpWithTheInputSampleForSample) {
    TempDir dir;
    for (const char* mode : {"limit", "clip"}) {
        SCOPED_TRACE(mode);
        WavData in;
        in.format = {48000, 2, SampleFormat::Float64, false};
        in.samples = testSignal(3000, 2, 0.5);  // below the ceiling: nothing is limited
        writeWav(dir.file("in.wav"), in);
        HostRun run = runHost({"render", TK42_TEST_MODULE, dir.file("in.wav"), dir.file("out.wav"),
                               "--quiet", "--double", "--mode", mode});
        ASSERT_EQ(run.code, 0) << run.err;
        WavData out = readWav(dir.file("out.wav"));
        ASSERT_EQ(out.samples.size(), in.samples.size());
        for (size_t i = 0; i < in.samples.size(); ++i) {
            ASSERT_NEAR(out.samples[i], in.samples[i], 1e-12) << "sample " << i;
        }
        // Without compensation LIMIT mode keeps its five samples of delay.
        run = runHost({"render", TK42_TEST_MODULE, dir.file("in.wav"), dir.file("late.wav"),
                       "--quiet", "--double", "--mode", mode, "--no-delay-compensation"});
        ASSERT_EQ(run.code, 0) << run.err;
        out = readWav(dir.file("late.wav"));
        const size_t lag = std::string(mode) == "limit" ? 10 : 0;
        for (size_t i = lag; i < in.samples.size(); ++i) {
            ASSERT_NEAR(out.samples[i], in.samples[i - lag], 1e-12) << "sample " << i;
        }
    }
}

TEST(Render, MonoRunsAsDualMonoAndIsWrittenAsMono) {
    TempDir dir;
    const WavData in = loudInput(SampleFormat::Float32, 1);
    writeWav(dir.file("in.wav"), in);
    const HostRun run =
        runHost(renderArgs(dir.file("in.wav"), dir.file("out.wav"), {"--no-delay-compensation"}));
    ASSERT_EQ(run.code, 0) << run.err;
    const WavData out = readWav(dir.file("out.wav"));
    EXPECT_EQ(out.format.channels, 1);
    EXPECT_EQ(out.samples, direct<float>(in.samples, 1, in.frames(), 512, kLoudSettings, 44100));
}

TEST(Render, UnitOptionsSavedStateAndReportAgree) {
    TempDir dir;
    const WavData in = loudInput(SampleFormat::Pcm24);
    writeWav(dir.file("in.wav"), in);
    // The clip release comes before --mode: its range must follow the mode.
    HostRun run = runHost({"render",
                           TK42_TEST_MODULE,
                           dir.file("in.wav"),
                           dir.file("a.wav"),
                           "--clip-release-ms",
                           "15",
                           "--gain-db",
                           "6",
                           "--ceiling-db",
                           "-6",
                           "--attack-ms",
                           "1",
                           "--release-ms",
                           "50",
                           "--mode",
                           "clip",
                           "--seed",
                           "7",
                           "--save-state",
                           dir.file("s.bin"),
                           "--report",
                           dir.file("r.json")});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("above ceiling   0 samples"), std::string::npos) << run.out;
    const std::vector<uint8_t> state = readBytes(dir.file("s.bin"));
    ASSERT_EQ(state.size(), 28u);
    float v[7];
    std::memcpy(v, state.data(), 28);
    EXPECT_NEAR(gainDb(v[kGain]), 6.0, 1e-5);
    EXPECT_NEAR(ceilingDb(v[kThresh]), -6.0, 1e-5);
    EXPECT_NEAR(limitAttackMs(v[kAtkH]), 1.0, 1e-5);
    EXPECT_NEAR(limitReleaseMs(v[kRelH]), 50.0, 1e-3);
    EXPECT_EQ(v[kMode], 1.0f);
    EXPECT_NEAR(clipReleaseMs(v[kRelease], false), 15.0, 1e-4);

    // The saved state alone reproduces the render; the same seed, the same dither.
    run = runHost({"render", TK42_TEST_MODULE, dir.file("in.wav"), dir.file("b.wav"), "--quiet",
                   "--state", dir.file("s.bin"), "--seed", "7"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(readBytes(dir.file("a.wav")), readBytes(dir.file("b.wav")));
    EXPECT_EQ(readWav(dir.file("b.wav")).format.sample, SampleFormat::Pcm24);

    const nlohmann::json report = readJson(dir.file("r.json"));
    EXPECT_EQ(report["samplesAboveCeiling"], 0) << report;
    EXPECT_EQ(report["ceilingDbfs"], -6.0) << report;
    EXPECT_EQ(report["delaySamples"], 0) << report;  // CLIP mode
    EXPECT_EQ(report["dither"], true) << report;
    EXPECT_EQ(run.out, "") << "--quiet printed a summary";
}

TEST(Render, DitherFollowsTheSeedAndCanBeSwitchedOff) {
    TempDir dir;
    const WavData in = loudInput(SampleFormat::Float32);
    writeWav(dir.file("in.wav"), in);
    auto render = [&](const std::string& out, std::vector<std::string> extra) {
        extra.push_back("--format");
        extra.push_back("pcm16");
        const HostRun run = runHost(renderArgs(dir.file("in.wav"), dir.file(out), extra));
        EXPECT_EQ(run.code, 0) << run.err;
        return readWav(dir.file(out)).samples;
    };
    const auto a = render("a.wav", {"--seed", "1"});
    const auto b = render("b.wav", {"--seed", "1"});
    const auto c = render("c.wav", {"--seed", "2"});
    const auto plain = render("d.wav", {"--no-dither"});
    EXPECT_EQ(a, b);
    EXPECT_NE(a, c);
    for (size_t i = 0; i < a.size(); ++i)
        ASSERT_LE(std::fabs(a[i] - plain[i]), 1.0 / 32768 + 1e-12);
}

TEST(Render, DemoThroughTheModuleStaysUnderTheCeiling) {
    TempDir dir;
    const HostRun run = runHost({"render", TK42_TEST_MODULE, "--demo", dir.file("demo.wav"),
                                 "--demo-seconds", "2", "--ceiling-db", "-3", "--gain-db", "3"});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("above ceiling   0 samples (ceiling -3.00 dBFS)"), std::string::npos)
        << run.out;
    const WavData out = readWav(dir.file("demo.wav"));
    EXPECT_EQ(out.frames(), 96000u);
    double peak = 0;
    for (double s : out.samples) peak = std::max(peak, std::fabs(s));
    EXPECT_LE(peak, std::pow(10.0, -3.0 / 20) + 1e-6);
    EXPECT_GT(peak, std::pow(10.0, -3.5 / 20));
}

TEST(Render, NonFiniteInputSamplesAreProcessedAsSilenceAndReported) {
    TempDir dir;
    writeWav(dir.file("in.wav"), loudInput(SampleFormat::Float32));
    // The writer never writes non-finite samples, so they are patched in:
    // the data of a plain float file starts after 58 header bytes.
    std::vector<uint8_t> bytes = readBytes(dir.file("in.wav"));
    const float bad[3] = {NAN, INFINITY, -INFINITY};
    for (int k = 0; k < 3; ++k) std::memcpy(&bytes[58 + 4 * (100 + 101 * k)], &bad[k], 4);
    writeBytes(dir.file("in.wav"), bytes);
    const HostRun run = runHost({"render", TK42_TEST_MODULE, dir.file("in.wav"),
                                 dir.file("out.wav"), "--report", dir.file("r.json")});
    ASSERT_EQ(run.code, 0) << run.err;
    EXPECT_NE(run.out.find("3 input samples were NaN or infinite"), std::string::npos) << run.out;
    for (double s : readWav(dir.file("out.wav")).samples) ASSERT_TRUE(std::isfinite(s));
    EXPECT_EQ(readJson(dir.file("r.json"))["nonFiniteInputSamples"], 3);
}

TEST(Render, TheOutputMayReplaceItsOwnInput) {
    TempDir dir;
    const WavData in = loudInput(SampleFormat::Pcm16);
    writeWav(dir.file("song.wav"), in);
    const HostRun run = runHost({"render", TK42_TEST_MODULE, dir.file("song.wav"),
                                 dir.file("song.wav"), "--quiet", "--ceiling-db", "-6"});
    ASSERT_EQ(run.code, 0) << run.err;
    const WavData out = readWav(dir.file("song.wav"));
    ASSERT_EQ(out.frames(), in.frames());
    double peak = 0;
    for (double s : out.samples) peak = std::max(peak, std::fabs(s));
    EXPECT_LT(peak, 0.51);  // limited, with one LSB of dither
    EXPECT_EQ(dir.names(), std::vector<std::string>{"song.wav"});
}

TEST(Render, AnEmptyFileGivesAnEmptyFile) {
    TempDir dir;
    WavData in;
    in.format = {44100, 2, SampleFormat::Pcm24, true};
    writeWav(dir.file("empty.wav"), in);
    const HostRun run =
        runHost({"render", TK42_TEST_MODULE, dir.file("empty.wav"), dir.file("out.wav")});
    ASSERT_EQ(run.code, 0) << run.err;
    const WavData out = readWav(dir.file("out.wav"));
    EXPECT_EQ(out.frames(), 0u);
    EXPECT_TRUE(out.format.extensible);
    EXPECT_NE(run.out.find("-inf dBFS"), std::string::npos) << run.out;
}
