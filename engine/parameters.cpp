#include "engine/parameters.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

bool sameWord(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b) {
        if (std::tolower(static_cast<unsigned char>(*a)) !=
            std::tolower(static_cast<unsigned char>(*b)))
            return false;
    }
    return *a == *b;
}

const char* skipSpace(const char* s) {
    while (*s && std::isspace(static_cast<unsigned char>(*s))) ++s;
    return s;
}

}  // namespace

int32_t parameterIndexOf(const char* id) {
    if (!id) return -1;
    for (int32_t i = 0; i < kNumParams; ++i) {
        if (std::strcmp(kParameterInfo[i].id, id) == 0) return i;
    }
    return -1;
}

void parameterRange(int32_t index, bool limitMode, double& low, double& high) {
    if (!isParameterIndex(index)) {
        low = high = 0.0;
        return;
    }
    // From the laws themselves, so that a range's ends map exactly to 0 and 1
    // (9.98 + 0.02 is not exactly 10 in binary).
    low = toReal(index, 0.0f, limitMode);
    high = toReal(index, 1.0f, limitMode);
}

double toReal(int32_t index, float v, bool limitMode) {
    switch (index) {
        case kGain:
            return gainDb(v);
        case kThresh:
            return ceilingDb(v);
        case kAtkH:
            return limitAttackMs(v);
        case kRelH:
            return limitReleaseMs(v);
        case kRelease:
            return clipReleaseMs(v, limitMode);
        case kMode:
            return isLimitMode(v) ? 0.0 : 1.0;
        case kShow:
            return showsClipStage(v) ? 1.0 : 0.0;
        default:
            return 0.0;
    }
}

float fromReal(int32_t index, double real, bool limitMode) {
    if (!isParameterIndex(index) || std::isnan(real)) return NAN;
    const ParameterInfo& p = kParameterInfo[index];
    if (p.law == ParameterLaw::stepped) return real < 0.5 ? 0.0f : 1.0f;
    double low = 0, high = 0;
    parameterRange(index, limitMode, low, high);
    // Where the value lies between the law's ends: the level laws are linear
    // in v and the time laws linear in v cubed.
    double f = (real - low) / (high - low);
    if (!(f > 0.0)) f = 0.0;
    if (f > 1.0) f = 1.0;
    return static_cast<float>(p.law == ParameterLaw::cubic ? std::cbrt(f) : f);
}

void formatReal(int32_t index, float normalised, bool limitMode, char* text, size_t size) {
    if (!text || size == 0) return;
    if (!isParameterIndex(index)) {
        text[0] = '\0';
        return;
    }
    const ParameterInfo& p = kParameterInfo[index];
    // The ceiling's top is (1 - 1) * -24, a negative zero: shown as "0.00",
    // not "-0.00".
    const double real = toReal(index, normalised, limitMode) + 0.0;
    if (p.law == ParameterLaw::stepped) {
        std::snprintf(text, size, "%s", p.stepNames[real < 0.5 ? 0 : 1]);
    } else {
        // Two decimals show every step a knob or a typed value can make
        // below a hundred; above it the time controls need no more.
        std::snprintf(text, size, real < 100.0 ? "%.2f" : "%.1f", real);
    }
}

bool parseReal(int32_t index, const char* text, double& real) {
    if (!isParameterIndex(index) || !text) return false;
    const ParameterInfo& p = kParameterInfo[index];
    text = skipSpace(text);
    if (p.law == ParameterLaw::stepped) {
        for (int k = 0; k < 2; ++k) {
            if (sameWord(text, p.stepNames[k])) {
                real = k;
                return true;
            }
        }
    }
    char* end = nullptr;
    const double x = std::strtod(text, &end);
    if (end == text || !std::isfinite(x)) return false;
    const char* rest = skipSpace(end);
    // The unit may follow the number; "dB" is taken for "dBFS" as well.
    if (*rest) {
        const char* unit = p.unit;
        char word[8] = {};
        size_t n = 0;
        while (rest[n] && !std::isspace(static_cast<unsigned char>(rest[n])) && n < sizeof word - 1)
            word[n] = rest[n], ++n;
        if (*skipSpace(rest + n)) return false;
        if (!sameWord(word, unit) && !(unit[0] && sameWord(word, "dB") && sameWord(unit, "dBFS")))
            return false;
    }
    real = x;
    return true;
}
