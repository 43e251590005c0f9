// The one table of parameter facts: index, name, unit label, default, and the
// mapping from the normalised value to the user's units. The effect, the editor
// and the tools all read it from here.
#pragma once

#include <cstdint>

enum TembroParameter : int32_t {
    kGain = 0,
    kThresh,
    kAtkH,
    kRelH,
    kRelease,
    kMode,
    kShow,
    kNumParams
};

struct ParameterInfo {
    const char* name;
    const char* label;
    float defaultValue;
};

constexpr ParameterInfo kParameterInfo[kNumParams] = {
    {"Gain", "dB", 0.0f},    {"Thresh", "dB", 1.0f}, {"Atk H", "ms", 0.25f}, {"Rel H", "ms", 0.25f},
    {"Release", "ms", 1.0f}, {"Mode", "", 0.0f},     {"Show", "", 0.0f},
};

// ln(10) / 20: exp(dB * kDbToLinear) is the linear factor of a level in dB.
constexpr double kDbToLinear = 0.11512925464970228;

// Both two-state parameters switch at exactly 0.5; 0.5 itself is the second state.
constexpr bool isLimitMode(float mode) {
    return mode < 0.5f;
}
constexpr bool showsClipStage(float show) {
    return !(show < 0.5f);
}

// User units of the normalised values, as the effect computes them.
constexpr double gainDb(float v) {
    return static_cast<double>(v) * 24.0;
}
constexpr double ceilingDb(float v) {
    return static_cast<double>(1.0f - v) * -24.0;
}
constexpr double limitAttackMs(float v) {
    return static_cast<double>(v) * v * v * 9.98 + 0.02;
}
constexpr double limitReleaseMs(float v) {
    return static_cast<double>(v) * v * v * 4999.0 + 1.0;
}
constexpr double clipReleaseFactor(bool limitMode) {
    return limitMode ? 499.9 : 19.9;
}
constexpr double clipReleaseMs(float v, bool limitMode) {
    return static_cast<double>(v) * v * v * clipReleaseFactor(limitMode) + 0.1;
}
