// Every kind of bad input ends with its message and exit status, and leaves
// no output behind: an existing output file keeps its old contents and no
// temporary file remains.
#include <gtest/gtest.h>

#include <cstring>

#include "tools/tk42host/exit_codes.h"
#include "tools/tk42host/tests/test_files.h"
#include "tools/tk42host/wav_bytes.h"

namespace {

class BadInput : public ::testing::Test {
  protected:
    void SetUp() override {
        WavData in;
        in.format = {44100, 2, SampleFormat::Pcm16, false};
        in.samples = testSignal(2000, 2, 0.5);
        writeWav(dir.file("in.wav"), in);
        writeBytes(dir.file("out.wav"), kOld);
    }

    // Runs a failing command and checks the promises of a failure.
    void expectFailure(const std::vector<std::string>& args, int code, const std::string& message) {
        const std::vector<std::string> before = dir.names();
        const HostRun run = runHost(args);
        EXPECT_EQ(run.code, code) << run.err;
        EXPECT_NE(run.err.find(message), std::string::npos) << "message: " << run.err;
        EXPECT_EQ(run.err.compare(0, 10, "tk42host: "), 0) << run.err;
        EXPECT_EQ(readBytes(dir.file("out.wav")), kOld) << "the old output file was touched";
        EXPECT_EQ(dir.names(), before) << "a failed run left a file behind";
    }

    std::vector<std::string> render(const std::string& in, std::vector<std::string> extra = {},
                                    const std::string& module = TK42_TEST_MODULE) {
        std::vector<std::string> args = {"render", module, in, dir.file("out.wav"), "--quiet"};
        args.insert(args.end(), extra.begin(), extra.end());
        return args;
    }

    const std::vector<uint8_t> kOld = {'o', 'l', 'd'};
    TempDir dir;
};

}  // namespace

TEST_F(BadInput, UnreadableMalformedAndUnsupportedWavFiles) {
    expectFailure(render(dir.file("missing.wav")), kExitInput, "cannot read");
    std::vector<uint8_t> wav = readBytes(dir.file("in.wav"));
    std::vector<uint8_t> cut(wav.begin(), wav.begin() + 1000);
    writeBytes(dir.file("cut.wav"), cut);
    expectFailure(render(dir.file("cut.wav")), kExitInput, "truncated");
    writeBytes(dir.file("text.wav"), std::vector<uint8_t>(64, 'x'));
    expectFailure(render(dir.file("text.wav")), kExitInput, "not a WAV file");
    std::vector<uint8_t> twelveBit = wav;
    writeLe16(&twelveBit[34], 12);
    writeBytes(dir.file("12.wav"), twelveBit);
    expectFailure(render(dir.file("12.wav")), kExitInput, "12-bit PCM is not supported");

    WavData surround;
    surround.format = {48000, 3, SampleFormat::Float32, true};
    surround.samples = testSignal(100, 3, 0.5);
    writeWav(dir.file("3ch.wav"), surround);
    expectFailure(render(dir.file("3ch.wav")), kExitInput, "has 3 channels");
}

TEST_F(BadInput, ModulesThatAreNoPlugIns) {
    writeBytes(dir.file("fake.module"), std::vector<uint8_t>(4096, 0x90));
    expectFailure(render(dir.file("in.wav"), {}, dir.file("fake.module")), kExitModule,
                  "cannot load");
    expectFailure(render(dir.file("in.wav"), {}, dir.file("none.module")), kExitModule,
                  "cannot load");
    expectFailure(render(dir.file("in.wav"), {}, TK42_FAKE_NO_ENTRY), kExitModule,
                  "exports neither VSTPluginMain nor main");
    expectFailure(render(dir.file("in.wav"), {}, TK42_FAKE_NULL_ENTRY), kExitModule,
                  "returned no effect");
    expectFailure(render(dir.file("in.wav"), {}, TK42_FAKE_BAD_MAGIC), kExitModule,
                  "is not a VST 2.4 plug-in");
    expectFailure({"info", TK42_FAKE_NULL_ENTRY}, kExitModule, "returned no effect");
    expectFailure({"editor", TK42_FAKE_BAD_MAGIC, "--screenshot", dir.file("e.png")}, kExitModule,
                  "is not a VST 2.4 plug-in");
}

TEST_F(BadInput, UnknownParametersAndOutOfRangeValues) {
    const std::string in = dir.file("in.wav");
    expectFailure(render(in, {"--param", "Loudness=0.5"}), kExitUsage,
                  "unknown parameter 'Loudness'; the module has: Gain, Thresh, Atk H, Rel H, "
                  "Release, Mode, Show");
    expectFailure(render(in, {"--param", "7=0.5"}), kExitUsage, "unknown parameter '7'");
    expectFailure(render(in, {"--param", "Gain=1.5"}), kExitUsage, "from 0 to 1");
    expectFailure(render(in, {"--param", "Gain=nan"}), kExitUsage, "from 0 to 1");
    expectFailure(render(in, {"--param", "Gain"}), kExitUsage, "NAME=VALUE");
    expectFailure(render(in, {"--gain-db", "25"}), kExitUsage,
                  "--gain-db 25 is outside 0 to 24 dB");
    expectFailure(render(in, {"--ceiling-db", "1"}), kExitUsage, "outside -24 to");
    expectFailure(render(in, {"--gain-db", "6dB"}), kExitUsage, "needs a number, not '6dB'");
    expectFailure(render(in, {"--mode", "clip", "--clip-release-ms", "100"}), kExitUsage,
                  "in CLIP mode");
    expectFailure(render(in, {"--param", "mode=1", "--clip-release-ms", "100"}), kExitUsage,
                  "in CLIP mode");
    expectFailure(render(in, {"--mode", "loud"}), kExitUsage, "limit or clip");
    expectFailure(render(in, {"--block", "0"}), kExitUsage, "--block needs a whole number");
    expectFailure(render(in, {"--block", "70000"}), kExitUsage, "--block needs a whole number");
    expectFailure(render(in, {"--format", "mp3"}), kExitUsage, "--format is pcm8, pcm16");
    expectFailure(render(in, {"--loud"}), kExitUsage, "unknown option --loud");
    expectFailure(render(in, {"--double=yes"}), kExitUsage, "--double takes no value");
    expectFailure(render(in, {"--block"}), kExitUsage, "--block needs a value");
    expectFailure({"render", TK42_TEST_MODULE, in}, kExitUsage,
                  "render needs MODULE IN.wav OUT.wav");
    expectFailure({"mix"}, kExitUsage, "unknown command 'mix'");
}

TEST_F(BadInput, StateFilesOfTheWrongSize) {
    writeBytes(dir.file("short.state"), std::vector<uint8_t>(27, 0));
    expectFailure(render(dir.file("in.wav"), {"--state", dir.file("short.state")}), kExitInput,
                  "holds 27 bytes; the module's state is 28 bytes");
    expectFailure(render(dir.file("in.wav"), {"--state", dir.file("none.state")}), kExitInput,
                  "cannot read the state file");
}

TEST_F(BadInput, UnwritableOutputsLeaveTheOthersUntouched) {
    const std::string nowhere = dir.file("no/such/folder/out.wav");
    expectFailure({"render", TK42_TEST_MODULE, dir.file("in.wav"), nowhere, "--quiet"}, kExitOutput,
                  "cannot write");
    // The report cannot be written: the audio output must not be replaced either.
    expectFailure(render(dir.file("in.wav"), {"--report", dir.file("no/r.json")}), kExitOutput,
                  "cannot write");
    expectFailure(render(dir.file("in.wav"), {"--save-state", dir.file("no/s.bin")}), kExitOutput,
                  "cannot write");
}

TEST(ParameterNames, MatchWithoutCaseOrSpacesAndByIndex) {
    TempDir dir;
    WavData in;
    in.format = {44100, 2, SampleFormat::Float32, false};
    in.samples = testSignal(100, 2, 0.5);
    writeWav(dir.file("in.wav"), in);
    const HostRun run =
        runHost({"render", TK42_TEST_MODULE, dir.file("in.wav"), dir.file("out.wav"), "--quiet",
                 "--param", "relh=0.5", "--param", "ATK H=0.125", "--param=2=0.75", "--save-state",
                 dir.file("s.bin")});
    ASSERT_EQ(run.code, 0) << run.err;
    const std::vector<uint8_t> state = readBytes(dir.file("s.bin"));
    ASSERT_EQ(state.size(), 28u);
    float v[7];
    std::memcpy(v, state.data(), 28);
    EXPECT_EQ(v[3], 0.5f);
    EXPECT_EQ(v[2], 0.75f);  // the index came after the name
}
