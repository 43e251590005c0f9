// The one table of parameter facts: for each of the seven parameters its
// index, stable id, names, units, default, the law between the normalised
// value (0 to 1, what the limiter stores and the VST 2.4 host sees) and the
// value in real units, stepped values and their names, and text both ways.
// The engine, the editor, every format adapter and the tools read them here.
#pragma once

#include <cstddef>
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

// How the normalised value v maps to real units between minimum and maximum:
// linearly, along v cubed (the time controls), or onto the step names.
enum class ParameterLaw { linear, cubic, stepped };

struct ParameterInfo {
    const char* id;     // stable symbol for formats and tools ("gain", "ceiling", ...)
    const char* name;   // the VST 2.4 name, eight characters at most
    const char* label;  // the VST 2.4 unit label
    const char* longName;
    const char* unit;    // real unit: "dB", "dBFS", "ms", or "" for stepped parameters
    float defaultValue;  // normalised
    ParameterLaw law;
    double minimum;            // real value at v = 0
    double maximum;            // real value at v = 1 (for Release: in LIMIT mode)
    const char* stepNames[2];  // stepped parameters: the name of each state
};

constexpr ParameterInfo kParameterInfo[kNumParams] = {
    {"gain", "Gain", "dB", "Input gain", "dB", 0.0f, ParameterLaw::linear, 0.0, 24.0, {}},
    {"ceiling", "Thresh", "dB", "Ceiling", "dBFS", 1.0f, ParameterLaw::linear, -24.0, 0.0, {}},
    {"attack", "Atk H", "ms", "Limit attack", "ms", 0.25f, ParameterLaw::cubic, 0.02, 10.0, {}},
    {"release", "Rel H", "ms", "Limit release", "ms", 0.25f, ParameterLaw::cubic, 1.0, 5000.0, {}},
    {"clip_release",
     "Release",
     "ms",
     "Clip release",
     "ms",
     1.0f,
     ParameterLaw::cubic,
     0.1,
     500.0,
     {}},
    {"mode", "Mode", "", "Mode", "", 0.0f, ParameterLaw::stepped, 0.0, 1.0, {"LIMIT", "CLIP"}},
    {"meter",
     "Show",
     "",
     "Meter shows",
     "",
     0.0f,
     ParameterLaw::stepped,
     0.0,
     1.0,
     {"Limit", "Clip"}},
};

constexpr bool isParameterIndex(int32_t index) {
    return index >= 0 && index < kNumParams;
}
// The index of a stable id, or -1.
int32_t parameterIndexOf(const char* id);

// ln(10) / 20: exp(dB * kDbToLinear) is the linear factor of a level in dB.
constexpr double kDbToLinear = 0.11512925464970228;

// Both two-state parameters switch at exactly 0.5; 0.5 itself is the second state.
constexpr bool isLimitMode(float mode) {
    return mode < 0.5f;
}
constexpr bool showsClipStage(float show) {
    return !(show < 0.5f);
}

// User units of the normalised values, as the limiter computes them.
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

// The real range of a parameter; Release's top depends on the mode (500 ms
// in LIMIT mode, 20 ms in CLIP mode).
void parameterRange(int32_t index, bool limitMode, double& low, double& high);
// The value in real units (stepped: the state's number, 0 or 1).
double toReal(int32_t index, float normalised, bool limitMode);
// The normalised value that maps back to this real value, clamped to the
// range; a stepped parameter takes the nearer state. NaN gives NaN.
float fromReal(int32_t index, double real, bool limitMode);

// "6.00" or a step name, without the unit; at most size - 1 characters.
void formatReal(int32_t index, float normalised, bool limitMode, char* text, size_t size);
// A number, optionally followed by the unit, or a step name (any case);
// false when the text is neither.
bool parseReal(int32_t index, const char* text, double& real);
