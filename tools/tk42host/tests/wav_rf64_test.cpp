// Files beyond the 4 GiB of a RIFF WAV: the writer switches to RF64 exactly
// when the announced length no longer fits, the reader follows the ds64
// sizes (also for chunks other than data), and a file that claims more than
// it holds is refused. The switch point is tested with a lowered limit and
// with the real one through small files; the >4 GiB read through a sparse
// file, which costs no disk.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "tools/tk42host/tests/test_files.h"
#include "tools/tk42host/wav_bytes.h"
#include "tools/tk42host/wav_reader.h"
#include "tools/tk42host/wav_writer.h"

namespace {

// Writes data through a writer with the given RIFF limit, announcing
// `announced` frames (the data's own count when 0).
std::string writeWith(uint64_t limit, const std::string& path, const WavData& data,
                      uint64_t announced = 0) {
    WavWriter writer(limit);
    std::string error;
    EXPECT_TRUE(writer.open(path, data.format, announced ? announced : data.frames(), error))
        << error;
    EXPECT_TRUE(writer.write(data.samples.data(), data.frames(), error)) << error;
    EXPECT_TRUE(writer.finish(error)) << error;
    const std::vector<uint8_t> b = readBytes(path);
    return b.size() >= 4 ? std::string(b.begin(), b.begin() + 4) : "";
}

WavData stereo(SampleFormat f, size_t frames) {
    WavData d;
    d.format = {48000, 2, f, false};
    d.samples = testSignal(frames, 2, 0.8);
    return d;
}

// An RF64 file by hand: ds64 with the given data size and table, fmt for
// 16-bit stereo, then the chunks given and a data chunk of `dataBytes` bytes
// (its 32-bit size all ones).
std::vector<uint8_t> rf64File(uint64_t ds64Data, const std::vector<uint8_t>& table,
                              uint32_t tableEntries, const std::vector<uint8_t>& chunks,
                              size_t dataBytes) {
    std::vector<uint8_t> b;
    auto put = [&b](const void* bytes, size_t n) {
        for (size_t i = 0; i < n; ++i) b.push_back(static_cast<const uint8_t*>(bytes)[i]);
    };
    uint8_t head[12 + 8 + 28] = {'R', 'F', '6', '4', 0xFF, 0xFF, 0xFF, 0xFF,
                                 'W', 'A', 'V', 'E', 'd',  's',  '6',  '4'};
    writeLe32(&head[16], static_cast<uint32_t>(28 + table.size()));
    writeLe64(&head[28], ds64Data);
    writeLe32(&head[44], tableEntries);
    put(head, sizeof head);
    put(table.data(), table.size());
    const uint8_t fmt[24] = {'f',  'm',  't', ' ', 16, 0,    0, 0, 1, 0, 2,  0,
                             0x80, 0xBB, 0,   0,   0,  0xEE, 2, 0, 4, 0, 16, 0};
    put(fmt, sizeof fmt);
    put(chunks.data(), chunks.size());
    put("data\xFF\xFF\xFF\xFF", 8);
    for (size_t i = 0; i < dataBytes; ++i) b.push_back(static_cast<uint8_t>(i * 37));
    return b;
}

}  // namespace

TEST(WavRf64, TheWriterSwitchesToRf64ExactlyWhenTheRiffSizeWouldOverflow) {
    TempDir dir;
    for (SampleFormat f : {SampleFormat::Pcm8, SampleFormat::Pcm24, SampleFormat::Float32}) {
        SCOPED_TRACE(formatName(f));
        WavData data = stereo(f, 501);  // odd: 8- and 24-bit data need a pad byte
        const std::string path = dir.file("a.wav");
        writeWith(WavWriter::kRiffLimit, path, data);
        const uint64_t riffSize = readLe32(&readBytes(path)[4]);
        ASSERT_EQ(riffSize, readBytes(path).size() - 8);

        EXPECT_EQ(writeWith(riffSize, path, data), "RIFF") << "a RIFF file of exactly the limit";
        EXPECT_EQ(writeWith(riffSize - 1, path, data), "RF64");
        const std::vector<uint8_t> b = readBytes(path);
        // The ds64 chunk comes first and carries the real sizes; the 32-bit
        // ones are all ones.
        ASSERT_EQ(std::string(reinterpret_cast<const char*>(&b[12]), 4), "ds64");
        EXPECT_EQ(readLe32(&b[4]), 0xFFFFFFFFu);
        EXPECT_EQ(readLe64(&b[20]), b.size() - 8);
        const uint64_t dataBytes = 501ull * 2 * bytesPerSample(f);
        EXPECT_EQ(readLe64(&b[28]), dataBytes);
        EXPECT_EQ(readLe64(&b[36]), 501u);
        WavReader reader;
        std::string error;
        ASSERT_TRUE(reader.open(path, error)) << error;
        EXPECT_TRUE(reader.isRf64());
        const WavData back = readWav(path);
        EXPECT_EQ(back.frames(), 501u);
        // Bit for bit what the RIFF file holds.
        writeWith(WavWriter::kRiffLimit, dir.file("riff.wav"), data);
        EXPECT_EQ(back.samples, readWav(dir.file("riff.wav")).samples);
    }
}

TEST(WavRf64, TheRealLimitIsFourGibibytes) {
    TempDir dir;
    // 16-bit stereo: 4 bytes a frame, 36 header bytes after the RIFF size.
    const WavData data = stereo(SampleFormat::Pcm16, 10);
    const uint64_t fits = (0xFFFFFFFFull - 36) / 4;
    EXPECT_EQ(writeWith(WavWriter::kRiffLimit, dir.file("a.wav"), data, fits), "RIFF");
    EXPECT_EQ(writeWith(WavWriter::kRiffLimit, dir.file("b.wav"), data, fits + 1), "RF64");
    // A 2-hour 96 kHz stereo float recording, the case this is for.
    WavData f = stereo(SampleFormat::Float32, 10);
    EXPECT_EQ(writeWith(WavWriter::kRiffLimit, dir.file("c.wav"), f, 7200ull * 96000), "RF64");
}

TEST(WavRf64, WritingPastWhatARiffFileHoldsIsAnErrorNotAWrappedSize) {
    TempDir dir;
    const WavData data = stereo(SampleFormat::Pcm16, 100);
    WavWriter writer(200);
    std::string error;
    ASSERT_TRUE(writer.open(dir.file("a.wav"), data.format, 10, error));  // announced: 10
    EXPECT_TRUE(writer.write(data.samples.data(), 10, error));
    EXPECT_FALSE(writer.write(data.samples.data(), 90, error));
    EXPECT_NE(error.find("4 GiB"), std::string::npos) << error;
}

TEST(WavRf64, TheReaderTakesChunkSizesFromTheDs64Table) {
    TempDir dir;
    // A LIST chunk whose size is only in the table, before the data.
    std::vector<uint8_t> table(12);
    std::memcpy(&table[0], "LIST", 4);
    writeLe64(&table[4], 6);
    const std::vector<uint8_t> list = {'L',  'I', 'S', 'T', 0xFF, 0xFF, 0xFF,
                                       0xFF, 'a', 'b', 'c', 'd',  'e',  'f'};
    writeBytes(dir.file("ok.wav"), rf64File(8, table, 1, list, 8));
    const WavData back = readWav(dir.file("ok.wav"));
    ASSERT_EQ(back.frames(), 2u);
    EXPECT_EQ(back.samples[0], static_cast<int16_t>(0 | (37 << 8)) / 32768.0);

    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        const char* reason;
    };
    std::vector<Case> cases;
    cases.push_back({"no-entry", rf64File(8, {}, 0, list, 8), "'LIST' chunk has no 64-bit size"});
    cases.push_back({"table-past-chunk", rf64File(8, table, 2, list, 8), "ds64 table runs past"});
    cases.push_back({"data-past-end", rf64File(16, table, 1, list, 8), "truncated"});
    cases.push_back({"huge-data", rf64File(~0ull, table, 1, list, 8), "truncated"});
    std::vector<uint8_t> huge = table;
    writeLe64(&huge[4], ~0ull - 3);
    cases.push_back({"huge-chunk", rf64File(8, huge, 1, list, 8), "truncated"});
    std::vector<uint8_t> noDs64 = rf64File(8, {}, 0, {}, 8);
    std::memcpy(&noDs64[12], "JUNK", 4);
    cases.push_back({"no-ds64", noDs64, "must begin with a ds64 chunk"});
    std::vector<uint8_t> shortDs64 = rf64File(8, {}, 0, {}, 8);
    writeLe32(&shortDs64[16], 20);
    cases.push_back({"short-ds64", shortDs64, "must begin with a ds64 chunk"});
    std::vector<uint8_t> cut = rf64File(8, {}, 0, {}, 8);
    cut.resize(30);
    cases.push_back({"cut", cut, "truncated"});
    for (const Case& c : cases) {
        const std::string path = dir.file(std::string(c.name) + ".wav");
        writeBytes(path, c.bytes);
        const std::string error = openError(path);
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.name << ": " << error;
    }
}

TEST(WavRf64, ASparseFileOfFiveGibibytesOpensWithAllItsFrames) {
    TempDir dir;
    const uint64_t dataBytes = 5ull << 30;
    const std::string path = dir.file("big.wav");
    std::vector<uint8_t> header = rf64File(dataBytes, {}, 0, {}, 0);
    writeBytes(path, header);
    std::error_code failed;
    std::filesystem::resize_file(path, header.size() + dataBytes, failed);
    if (failed) GTEST_SKIP() << "this file system cannot hold a sparse 5 GiB file: " << failed;
    WavReader reader;
    std::string error;
    ASSERT_TRUE(reader.open(path, error)) << error;
    EXPECT_EQ(reader.frames(), dataBytes / 4);
    std::vector<double> first(2 * 64, 1.0);
    ASSERT_EQ(reader.read(first.data(), 64), 64u);
    EXPECT_EQ(first, std::vector<double>(2 * 64, 0.0));
}

TEST(WavPcm8, EightBitSamplesAreUnsignedAroundOneHundredAndTwentyEight) {
    TempDir dir;
    WavData data;
    data.format = {8000, 1, SampleFormat::Pcm8, false};
    data.samples = {-1.0, 0.0, 0.5, -0.5, 1.0, -2.0, 127.0 / 128};
    writeWav(dir.file("8.wav"), data);
    const std::vector<uint8_t> b = readBytes(dir.file("8.wav"));
    ASSERT_EQ(b.size(), 44u + 7 + 1);  // and the pad byte
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 44, b.begin() + 51),
              (std::vector<uint8_t>{0, 128, 192, 64, 255, 0, 255}));
    const std::vector<double> back = readWav(dir.file("8.wav")).samples;
    EXPECT_EQ(back, (std::vector<double>{-1.0, 0.0, 0.5, -0.5, 127.0 / 128, -1.0, 127.0 / 128}));
}
