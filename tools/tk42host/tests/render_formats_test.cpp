// The formats beyond 16- to 32-bit RIFF through a whole render: an RF64
// input renders exactly as its RIFF twin, and 8-bit input gives 8-bit output
// unless asked otherwise.
#include <gtest/gtest.h>

#include "tools/tk42host/tests/test_files.h"
#include "tools/tk42host/wav_reader.h"
#include "tools/tk42host/wav_writer.h"

TEST(RenderFormats, AnRf64InputRendersExactlyAsItsRiffTwin) {
    TempDir dir;
    WavData in;
    in.format = {96000, 2, SampleFormat::Float32, true};
    in.samples = testSignal(3000, 2, 1.4);
    writeWav(dir.file("riff.wav"), in);
    WavWriter writer(1000);  // far below the data's size: RF64
    std::string error;
    ASSERT_TRUE(writer.open(dir.file("rf64.wav"), in.format, in.frames(), error));
    ASSERT_TRUE(writer.write(in.samples.data(), in.frames(), error));
    ASSERT_TRUE(writer.finish(error));
    ASSERT_TRUE(writer.isRf64());
    for (const char* name : {"riff", "rf64"}) {
        const HostRun run =
            runHost({"render", TK42_TEST_MODULE, dir.file(name + std::string(".wav")),
                     dir.file(name + std::string("-out.wav")), "--quiet", "--gain-db", "6"});
        ASSERT_EQ(run.code, 0) << run.err;
    }
    const WavData a = readWav(dir.file("riff-out.wav"));
    const WavData b = readWav(dir.file("rf64-out.wav"));
    ASSERT_EQ(a.frames(), 3000u);
    EXPECT_EQ(a.samples, b.samples);
    EXPECT_TRUE(b.format.extensible);
}

TEST(RenderFormats, EightBitInputGivesEightBitOutputOrWhatFormatSays) {
    TempDir dir;
    WavData in;
    in.format = {22050, 1, SampleFormat::Pcm8, false};
    in.samples = testSignal(2000, 1, 0.6);
    writeWav(dir.file("in.wav"), in);
    HostRun run = runHost({"render", TK42_TEST_MODULE, dir.file("in.wav"), dir.file("out.wav"),
                           "--quiet", "--seed", "3"});
    ASSERT_EQ(run.code, 0) << run.err;
    const WavData source = readWav(dir.file("in.wav"));
    const WavData out = readWav(dir.file("out.wav"));
    EXPECT_EQ(out.format.sample, SampleFormat::Pcm8);
    ASSERT_EQ(out.frames(), 2000u);
    // Below the ceiling the limiter passes the signal: dithered 8-bit stays
    // within two steps of the input.
    for (size_t i = 0; i < out.samples.size(); ++i) {
        ASSERT_NEAR(out.samples[i], source.samples[i], 2.0 / 128) << i;
    }
    run = runHost({"render", TK42_TEST_MODULE, dir.file("in.wav"), dir.file("f.wav"), "--quiet",
                   "--format", "float32"});
    ASSERT_EQ(run.code, 0) << run.err;
    const WavData wide = readWav(dir.file("f.wav"));
    EXPECT_EQ(wide.format.sample, SampleFormat::Float32);
    for (size_t i = 0; i < wide.samples.size(); ++i) {
        ASSERT_NEAR(wide.samples[i], source.samples[i], 1e-6) << i;
    }
}
