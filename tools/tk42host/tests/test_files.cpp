#include "tools/tk42host/tests/test_files.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

#include "tools/tk42host/tk42host_app.h"
#include "tools/tk42host/wav_reader.h"
#include "tools/tk42host/wav_writer.h"

TempDir::TempDir() {
    std::random_device device;
    root = std::filesystem::temp_directory_path() /
           ("tk42host-test-" + std::to_string(device()) + "-" + std::to_string(device()));
    std::filesystem::create_directories(root);
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);
}

std::vector<std::string> TempDir::names() const {
    std::vector<std::string> out;
    for (const auto& entry : std::filesystem::directory_iterator(root)) {
        out.push_back(entry.path().filename().string());
    }
    std::sort(out.begin(), out.end());
    return out;
}

void writeWav(const std::string& path, const WavData& data) {
    WavWriter writer;
    std::string error;
    ASSERT_TRUE(writer.open(path, data.format, data.frames(), error)) << error;
    ASSERT_TRUE(writer.write(data.samples.data(), data.frames(), error)) << error;
    ASSERT_TRUE(writer.finish(error)) << error;
}

WavData readWav(const std::string& path) {
    WavReader reader;
    std::string error;
    WavData data;
    EXPECT_TRUE(reader.open(path, error)) << error;
    data.format = reader.format();
    data.samples.resize(static_cast<size_t>(reader.frames()) * data.format.channels);
    if (!data.samples.empty()) {
        EXPECT_EQ(reader.read(data.samples.data(), static_cast<size_t>(reader.frames())),
                  reader.frames());
    }
    EXPECT_FALSE(reader.failed()) << reader.error();
    return data;
}

std::string openError(const std::string& path) {
    WavReader reader;
    std::string error;
    EXPECT_FALSE(reader.open(path, error)) << path << " was accepted";
    return error;
}

void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

std::vector<uint8_t> readBytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(f)),
                                std::istreambuf_iterator<char>());
}

nlohmann::json readJson(const std::string& path) {
    std::ifstream f(path);
    return nlohmann::json::parse(f, nullptr, false);
}

std::vector<double> testSignal(size_t frames, int channels, double level, uint32_t seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> noise(-1.0, 1.0);
    std::vector<double> out(frames * channels);
    for (size_t i = 0; i < frames; ++i) {
        for (int c = 0; c < channels; ++c) {
            const double tone = std::sin(0.031 * static_cast<double>(i) * (c + 1));
            out[i * channels + c] = level * (0.7 * tone + 0.3 * noise(random));
        }
    }
    return out;
}

HostRun runHost(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int code = runTk42host(args, out, err);
    return {code, out.str(), err.str()};
}
