// info shows the module's identity and its seven parameters with their
// texts; editor refuses a module without an editor instead of hanging; demo
// writes the signal the README main job limits.
#include <gtest/gtest.h>

#include <cmath>

#include "tools/tk42host/exit_codes.h"
#include "tools/tk42host/tests/test_files.h"

TEST(Info, ListsIdentityAndTheSevenParametersWithTheirTexts) {
    const HostRun run = runHost({"info", TK42_TEST_MODULE});
    ASSERT_EQ(run.code, 0) << run.err;
    const std::string& out = run.out;
    EXPECT_NE(out.find("name          TK42-R Limiter\n"), std::string::npos) << out;
    EXPECT_NE(out.find("vendor        Falden Murex\n"), std::string::npos) << out;
    EXPECT_NE(out.find("unique id     'TK42' (0x544B3432)\n"), std::string::npos) << out;
    EXPECT_NE(out.find("inputs        2\noutputs       2\n"), std::string::npos) << out;
    EXPECT_NE(out.find("category      effect (1)\n"), std::string::npos) << out;
    EXPECT_NE(out.find("parameters    7\n"), std::string::npos) << out;
    // Index, name, normalised value, display text and label, at the defaults.
    const char* rows[] = {
        "  0  Gain      0.000000  0.000000 dB\n", "  1  Thresh    1.000000  1.000000 dB\n",
        "  2  Atk H     0.250000  0.250000 ms\n", "  3  Rel H     0.250000  0.250000 ms\n",
        "  4  Release   1.000000  1.000000 ms\n", "  5  Mode      0.000000  0.000000 \n",
        "  6  Show      0.000000  0.000000 \n",
    };
    for (const char* row : rows) EXPECT_NE(out.find(row), std::string::npos) << row << out;
}

TEST(Info, NeedsExactlyOneModule) {
    EXPECT_EQ(runHost({"info"}).code, kExitUsage);
    EXPECT_EQ(runHost({"info", "a", "b"}).code, kExitUsage);
    EXPECT_EQ(runHost({}).code, kExitUsage);
    EXPECT_EQ(runHost({"--help"}).code, kExitOk);
}

TEST(Editor, AModuleWithoutAnEditorIsAClearErrorAndWritesNoFile) {
    TempDir dir;
    const HostRun run = runHost({"editor", TK42_NO_EDITOR_MODULE, "--screenshot", dir.file("e.png"),
                                 "--param", "Gain=0.5"});
    EXPECT_EQ(run.code, kExitModule);
    EXPECT_EQ(run.err, "tk42host: this module has no editor\n");
    EXPECT_TRUE(dir.names().empty());
    EXPECT_EQ(runHost({"editor", TK42_TEST_MODULE}).code, kExitUsage);
    EXPECT_EQ(
        runHost({"editor", TK42_TEST_MODULE, "--screenshot", "x.png", "--param", "No=1"}).code,
        kExitUsage);
}

TEST(Demo, WritesTheUnprocessedDemoAboveFullScale) {
    TempDir dir;
    const HostRun run = runHost({"demo", dir.file("demo.wav"), "--demo-seconds=1.5"});
    ASSERT_EQ(run.code, 0) << run.err;
    const WavData demo = readWav(dir.file("demo.wav"));
    EXPECT_EQ(demo.format.sampleRate, 48000u);
    EXPECT_EQ(demo.format.channels, 2);
    EXPECT_EQ(demo.format.sample, SampleFormat::Float32);
    EXPECT_EQ(demo.frames(), 72000u);
    double peak = 0;
    for (double s : demo.samples) peak = std::max(peak, std::fabs(s));
    EXPECT_GT(peak, 1.5);  // the limiter has something to do
    EXPECT_LT(peak, 2.5);
    EXPECT_EQ(runHost({"demo"}).code, kExitUsage);
    EXPECT_EQ(runHost({"demo", "a.wav", "--demo-seconds", "0"}).code, kExitUsage);
    EXPECT_EQ(runHost({"demo", "a.wav", "b.wav"}).code, kExitUsage);
}
