// The WAV codec against sox, an independent implementation: sox must read
// what we write, and we must read what sox writes, sample for sample.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "tools/tk42host/tests/test_files.h"
#include "tools/tk42host/wav_format.h"
#include "tools/tk42host/wav_writer.h"

namespace {

struct SoxFormat {
    SampleFormat format;
    const char* encoding;
    int bits;
};

const SoxFormat kSoxFormats[] = {
    {SampleFormat::Pcm8, "unsigned-integer", 8},   {SampleFormat::Pcm16, "signed-integer", 16},
    {SampleFormat::Pcm24, "signed-integer", 24},   {SampleFormat::Pcm32, "signed-integer", 32},
    {SampleFormat::Float32, "floating-point", 32}, {SampleFormat::Float64, "floating-point", 64},
};

void run(const std::string& command) {
    ASSERT_EQ(std::system((command + " 2>/dev/null").c_str()), 0) << command;
}

// sox's reading of a file, as raw 64-bit floats.
std::vector<double> soxSamples(const std::string& wav, const std::string& raw) {
    run(std::string(TK42_SOX) + " " + wav + " -t f64 " + raw);
    const std::vector<uint8_t> bytes = readBytes(raw);
    std::vector<double> out(bytes.size() / 8);
    if (!out.empty()) std::memcpy(out.data(), bytes.data(), out.size() * 8);
    return out;
}

// sox carries samples as 32-bit integers inside, so it reads float files to
// about 2^-31; integer files come through exactly.
double tolerance(SampleFormat f) {
    return isInteger(f) ? 0.0 : 1e-9;
}

}  // namespace

TEST(WavAgainstSox, SoxReadsEveryFormatWeWriteWithTheSameSamples) {
    TempDir dir;
    for (const SoxFormat& s : kSoxFormats) {
        for (bool extensible : {false, true}) {
            for (int channels : {1, 2}) {
                SCOPED_TRACE(formatName(s.format) + (extensible ? " extensible " : " plain ") +
                             std::to_string(channels));
                WavData data;
                data.format = {96000, static_cast<uint16_t>(channels), s.format, extensible};
                data.samples = testSignal(777, channels, 0.95);
                writeWav(dir.file("ours.wav"), data);
                const WavData ours = readWav(dir.file("ours.wav"));
                const std::vector<double> sox = soxSamples(dir.file("ours.wav"), dir.file("o.f64"));
                ASSERT_EQ(sox.size(), ours.samples.size());
                for (size_t i = 0; i < sox.size(); ++i) {
                    ASSERT_NEAR(sox[i], ours.samples[i], tolerance(s.format)) << "sample " << i;
                }
                run(std::string(TK42_SOX) + " --i -r " + dir.file("ours.wav") + " > " +
                    dir.file("rate.txt"));
                EXPECT_EQ(std::atoi(reinterpret_cast<const char*>(
                              readBytes(dir.file("rate.txt")).data())),
                          96000);
            }
        }
    }
}

TEST(WavAgainstSox, WeReadEveryFormatSoxWritesWithTheSameSamples) {
    TempDir dir;
    for (const SoxFormat& s : kSoxFormats) {
        // sox writes WAVE_FORMAT_EXTENSIBLE by itself above 16 bits; the
        // wavpcm type forces the plain header.
        for (const char* type : {"wav", "wavpcm"}) {
            for (int channels : {1, 2}) {
                SCOPED_TRACE(formatName(s.format) + " " + type + " " + std::to_string(channels));
                const std::string wav = dir.file("sox.wav");
                run(std::string(TK42_SOX) + " -n -r 22050 -c " + std::to_string(channels) + " -e " +
                    s.encoding + " -b " + std::to_string(s.bits) + " -t " + type + " " + wav +
                    " synth 0.05 sine 440 sine 1234 vol 0.8");
                const WavData ours = readWav(wav);
                EXPECT_EQ(ours.format.sample, s.format);
                EXPECT_EQ(ours.format.channels, channels);
                EXPECT_EQ(ours.format.sampleRate, 22050u);
                const std::vector<double> sox = soxSamples(wav, dir.file("s.f64"));
                ASSERT_EQ(sox.size(), ours.samples.size());
                ASSERT_GT(sox.size(), 1000u);
                for (size_t i = 0; i < sox.size(); ++i) {
                    ASSERT_NEAR(sox[i], ours.samples[i], tolerance(s.format)) << "sample " << i;
                }
            }
        }
    }
}

TEST(WavAgainstSox, Rf64FilesReadTheSameHereAndInSoxAndFfmpeg) {
    TempDir dir;
    // Ours, made RF64 by a lowered limit, read by sox.
    WavData data;
    data.format = {96000, 2, SampleFormat::Float32, false};
    data.samples = testSignal(1000, 2, 0.9);
    WavWriter writer(1000);
    std::string error;
    ASSERT_TRUE(writer.open(dir.file("ours.wav"), data.format, data.frames(), error)) << error;
    ASSERT_TRUE(writer.write(data.samples.data(), data.frames(), error)) << error;
    ASSERT_TRUE(writer.finish(error)) << error;
    ASSERT_TRUE(writer.isRf64());
    const WavData ours = readWav(dir.file("ours.wav"));
    const std::vector<double> sox = soxSamples(dir.file("ours.wav"), dir.file("o.f64"));
    ASSERT_EQ(sox.size(), ours.samples.size());
    for (size_t i = 0; i < sox.size(); ++i) ASSERT_NEAR(sox[i], ours.samples[i], 1e-9) << i;

    // ffmpeg's, with its extensible header, fact and LIST chunks, read here.
    if (std::system("ffmpeg -version >/dev/null 2>&1") != 0) GTEST_SKIP() << "no ffmpeg";
    const std::string theirs = dir.file("ffmpeg.wav");
    run("ffmpeg -v error -y -f lavfi -i sine=f=440:d=0.05 -ac 2 -c:a pcm_s24le -rf64 always " +
        theirs);
    const std::vector<uint8_t> bytes = readBytes(theirs);
    ASSERT_GT(bytes.size(), 4u);
    ASSERT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "RF64");
    const WavData read = readWav(theirs);
    EXPECT_EQ(read.format.sample, SampleFormat::Pcm24);
    const std::vector<double> soxRead = soxSamples(theirs, dir.file("t.f64"));
    ASSERT_GT(soxRead.size(), 1000u);
    EXPECT_EQ(read.samples, soxRead);
}
