// Files for the tk42host tests: a private temporary folder per test and
// helpers to write and read WAV files and raw bytes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "tools/tk42host/wav_format.h"

class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string file(const std::string& name) const { return (root / name).string(); }
    // Every file in the folder, to prove that no temporary file was left.
    std::vector<std::string> names() const;

  private:
    std::filesystem::path root;
};

struct WavData {
    WavFormat format;
    std::vector<double> samples;  // interleaved

    size_t frames() const { return format.channels ? samples.size() / format.channels : 0; }
};

// Writes through the codec under test, undithered.
void writeWav(const std::string& path, const WavData& data);
// Reads through the codec under test; fails the test on an error.
WavData readWav(const std::string& path);
// The reader's error for a file it must refuse; fails the test if it opens.
std::string openError(const std::string& path);

void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> readBytes(const std::string& path);
// A JSON file, parsed; a discarded value when it is missing or not JSON.
nlohmann::json readJson(const std::string& path);

// A deterministic test signal: noise plus a sine, interleaved.
std::vector<double> testSignal(size_t frames, int channels, double level, uint32_t seed = 1);

struct HostRun {
    int code;
    std::string out;
    std::string err;
};

// The whole tk42host command line, in-process.
HostRun runHost(const std::vector<std::string>& args);
