#include "tools/tk42host/wav_format.h"

namespace {

struct NamedFormat {
    const char* name;
    SampleFormat format;
};

constexpr NamedFormat kNames[] = {
    {"pcm8", SampleFormat::Pcm8},       {"pcm16", SampleFormat::Pcm16},
    {"pcm24", SampleFormat::Pcm24},     {"pcm32", SampleFormat::Pcm32},
    {"float32", SampleFormat::Float32}, {"float64", SampleFormat::Float64},
};

}  // namespace

std::string formatName(SampleFormat f) {
    for (const NamedFormat& n : kNames) {
        if (n.format == f) return n.name;
    }
    return "?";
}

bool parseFormatName(const std::string& name, SampleFormat& f) {
    for (const NamedFormat& n : kNames) {
        if (name == n.name) {
            f = n.format;
            return true;
        }
    }
    return false;
}
