// The WAV codec on its own: exact round trips in every format and layout,
// and a clear refusal of every malformed header instead of garbage audio.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "tools/tk42host/tests/test_files.h"
#include "tools/tk42host/wav_bytes.h"
#include "tools/tk42host/wav_reader.h"
#include "tools/tk42host/wav_writer.h"

namespace {

const SampleFormat kAllFormats[] = {SampleFormat::Pcm8,    SampleFormat::Pcm16,
                                    SampleFormat::Pcm24,   SampleFormat::Pcm32,
                                    SampleFormat::Float32, SampleFormat::Float64};

double quantised(double x, SampleFormat f) {
    switch (f) {
        case SampleFormat::Pcm8:
            return std::floor(x * 128.0 + 0.5) / 128.0;
        case SampleFormat::Pcm16:
            return std::floor(x * 32768.0 + 0.5) / 32768.0;
        case SampleFormat::Pcm24:
            return std::floor(x * 8388608.0 + 0.5) / 8388608.0;
        case SampleFormat::Pcm32:
            return std::floor(x * 2147483648.0 + 0.5) / 2147483648.0;
        case SampleFormat::Float32:
            return static_cast<float>(x);
        case SampleFormat::Float64:
            return x;
    }
    return 0;
}

// A minimal WAV file with a 16-byte fmt chunk, for building broken ones.
std::vector<uint8_t> rawWav(uint16_t tag, uint16_t channels, uint16_t bits, size_t dataBytes,
                            int blockAlign = -1) {
    std::vector<uint8_t> b(44 + dataBytes, 0);
    std::memcpy(&b[0], "RIFF", 4);
    writeLe32(&b[4], static_cast<uint32_t>(36 + dataBytes));
    std::memcpy(&b[8], "WAVEfmt ", 8);
    writeLe32(&b[16], 16);
    writeLe16(&b[20], tag);
    writeLe16(&b[22], channels);
    writeLe32(&b[24], 44100);
    writeLe32(&b[28], 44100u * channels * bits / 8);
    writeLe16(&b[32], static_cast<uint16_t>(blockAlign >= 0 ? blockAlign : channels * bits / 8));
    writeLe16(&b[34], bits);
    std::memcpy(&b[36], "data", 4);
    writeLe32(&b[40], static_cast<uint32_t>(dataBytes));
    return b;
}

}  // namespace

TEST(WavCodec, EveryFormatAndLayoutRoundTripsToTheQuantisedSamples) {
    TempDir dir;
    for (SampleFormat f : kAllFormats) {
        for (bool extensible : {false, true}) {
            for (int channels : {1, 2}) {
                WavData data;
                data.format = {44100, static_cast<uint16_t>(channels), f, extensible};
                // An odd frame count: mono 24-bit data then needs a pad byte.
                data.samples = testSignal(1001, channels, 0.9);
                data.samples[0] = -1.0;  // the most negative code of every format
                const std::string path = dir.file("rt.wav");
                writeWav(path, data);
                const WavData back = readWav(path);
                SCOPED_TRACE(formatName(f) + (extensible ? " extensible " : " plain ") +
                             std::to_string(channels));
                EXPECT_EQ(back.format.sample, f);
                EXPECT_EQ(back.format.extensible, extensible);
                EXPECT_EQ(back.format.channels, channels);
                EXPECT_EQ(back.format.sampleRate, 44100u);
                ASSERT_EQ(back.samples.size(), data.samples.size());
                for (size_t i = 0; i < data.samples.size(); ++i) {
                    ASSERT_EQ(back.samples[i], quantised(data.samples[i], f)) << "sample " << i;
                }
            }
        }
    }
}

TEST(WavCodec, IntegerOutputIsLimitedToItsRangeAndCountsWhatItLimited) {
    TempDir dir;
    WavData data;
    data.format = {48000, 1, SampleFormat::Pcm16, false};
    data.samples = {1.5, -1.5, 1.0, 0.25, NAN, INFINITY};
    WavWriter writer;
    std::string error;
    ASSERT_TRUE(writer.open(dir.file("c.wav"), data.format, data.frames(), error));
    ASSERT_TRUE(writer.write(data.samples.data(), data.frames(), error));
    ASSERT_TRUE(writer.finish(error));
    EXPECT_EQ(writer.clippedSamples(), 3u);  // 1.5, -1.5 and exactly +1.0
    const WavData back = readWav(dir.file("c.wav"));
    const std::vector<double> expected = {32767 / 32768.0, -1.0, 32767 / 32768.0, 0.25, 0.0, 0.0};
    EXPECT_EQ(back.samples, expected);
}

TEST(WavCodec, TpdfDitherStaysWithinOneLsbAndRepeatsWithItsSeed) {
    TpdfDither a(42), b(42), c(43);
    double sum = 0, sumAbove = 0;
    bool differs = false;
    for (int i = 0; i < 100000; ++i) {
        const double d = a.next();
        ASSERT_GT(d, -1.0);
        ASSERT_LT(d, 1.0);
        ASSERT_EQ(d, b.next());
        differs |= d != c.next();
        sum += d;
        sumAbove += std::fabs(d) > 0.5;
    }
    EXPECT_TRUE(differs);
    EXPECT_NEAR(sum / 100000, 0.0, 0.01);
    // Triangular: a quarter of the values lie beyond half an LSB (uniform: half).
    EXPECT_NEAR(sumAbove / 100000, 0.25, 0.01);
}

TEST(WavCodec, ChunksBeforeTheDataAreSkippedWithTheirPadByte) {
    TempDir dir;
    std::vector<uint8_t> b = rawWav(1, 1, 16, 4);
    writeLe16(&b[44], 0x4000);
    writeLe16(&b[46], 0xC000);
    // An odd-sized LIST chunk between fmt and data, followed by its pad byte.
    const uint8_t list[] = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
    b.insert(b.begin() + 36, list, list + sizeof list);
    writeBytes(dir.file("list.wav"), b);
    const WavData back = readWav(dir.file("list.wav"));
    EXPECT_EQ(back.samples, (std::vector<double>{0.5, -0.5}));
}

TEST(WavCodec, MalformedTruncatedAndUnsupportedFilesAreRefusedWithAReason) {
    TempDir dir;
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        const char* reason;
    };
    std::vector<Case> cases;
    cases.push_back({"empty", {}, "too short"});
    cases.push_back({"text", std::vector<uint8_t>(100, 'x'), "not a WAV file"});
    std::vector<uint8_t> truncated = rawWav(1, 2, 16, 400);
    truncated.resize(300);
    cases.push_back({"truncated", truncated, "truncated"});
    std::vector<uint8_t> header = rawWav(1, 2, 16, 0);
    header.resize(30);
    cases.push_back({"cut-header", header, "truncated"});
    std::vector<uint8_t> noData = rawWav(1, 2, 16, 0);
    noData.resize(36);
    cases.push_back({"no-data", noData, "no data chunk"});
    std::vector<uint8_t> rf64 = rawWav(1, 2, 16, 4);
    std::memcpy(&rf64[0], "RF64", 4);
    cases.push_back({"rf64", rf64, "RF64"});
    cases.push_back({"adpcm", rawWav(2, 2, 4, 16), "format tag 0x0002"});
    cases.push_back({"12-bit", rawWav(1, 1, 12, 16, 2), "12-bit PCM is not supported"});
    cases.push_back({"float16", rawWav(3, 1, 16, 16), "16-bit float is not supported"});
    cases.push_back({"block-align", rawWav(1, 2, 16, 16, 3), "block size"});
    cases.push_back({"no-channels", rawWav(1, 0, 16, 16, 0), "0 channels"});
    cases.push_back({"partial-frame", rawWav(1, 2, 16, 6), "whole number of frames"});
    std::vector<uint8_t> dataFirst = rawWav(1, 1, 16, 2);
    std::memcpy(&dataFirst[12], "data", 4);  // the fmt chunk renamed: data comes first
    writeLe32(&dataFirst[16], 0);
    cases.push_back({"data-first", dataFirst, "before the fmt chunk"});
    std::vector<uint8_t> shortFmt = rawWav(1, 1, 16, 2);
    writeLe32(&shortFmt[16], 14);
    cases.push_back({"short-fmt", shortFmt, "fmt chunk is too short"});

    for (const Case& c : cases) {
        const std::string path = dir.file(std::string(c.name) + ".wav");
        writeBytes(path, c.bytes);
        const std::string error = openError(path);
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.name << ": " << error;
        EXPECT_NE(error.find(path), std::string::npos) << c.name << " names no file: " << error;
    }
    EXPECT_NE(openError(dir.file("missing.wav")).find("cannot read"), std::string::npos);
    EXPECT_NE(openError(dir.file("")).find("cannot read"), std::string::npos);
}

TEST(WavCodec, ExtensibleHeadersWithAForeignSubFormatAreRefused) {
    TempDir dir;
    WavData data;
    data.format = {44100, 2, SampleFormat::Pcm24, true};
    data.samples = testSignal(10, 2, 0.5);
    writeWav(dir.file("ext.wav"), data);
    std::vector<uint8_t> b = readBytes(dir.file("ext.wav"));
    b[20 + 24] = 0x55;  // sub-format tag: MPEG layer 3
    writeBytes(dir.file("mp3.wav"), b);
    EXPECT_NE(openError(dir.file("mp3.wav")).find("format tag 0x0055"), std::string::npos);
    b = readBytes(dir.file("ext.wav"));
    b[20 + 30] = 0x77;  // a GUID that is no WAV sub-format at all
    writeBytes(dir.file("guid.wav"), b);
    EXPECT_NE(openError(dir.file("guid.wav")).find("sub-format"), std::string::npos);
    b = readBytes(dir.file("ext.wav"));
    writeLe16(&b[20 + 18], 25);  // 25 valid bits in a 24-bit container
    writeBytes(dir.file("bits.wav"), b);
    EXPECT_NE(openError(dir.file("bits.wav")).find("valid bits"), std::string::npos);
}
