// The sample layouts tk42host reads and writes, and their names on the
// command line.
#pragma once

#include <cstdint>
#include <string>

enum class SampleFormat { Pcm8, Pcm16, Pcm24, Pcm32, Float32, Float64 };

struct WavFormat {
    uint32_t sampleRate = 0;
    uint16_t channels = 0;
    SampleFormat sample = SampleFormat::Float32;
    // The header uses WAVE_FORMAT_EXTENSIBLE instead of the plain tag.
    bool extensible = false;
};

constexpr int bytesPerSample(SampleFormat f) {
    switch (f) {
        case SampleFormat::Pcm8:
            return 1;
        case SampleFormat::Pcm16:
            return 2;
        case SampleFormat::Pcm24:
            return 3;
        case SampleFormat::Pcm32:
        case SampleFormat::Float32:
            return 4;
        case SampleFormat::Float64:
            return 8;
    }
    return 0;
}

constexpr bool isInteger(SampleFormat f) {
    return f == SampleFormat::Pcm8 || f == SampleFormat::Pcm16 || f == SampleFormat::Pcm24 ||
           f == SampleFormat::Pcm32;
}

// "pcm8", "pcm16", "pcm24", "pcm32", "float32", "float64".
std::string formatName(SampleFormat f);
// False for a name that is none of those.
bool parseFormatName(const std::string& name, SampleFormat& f);
