#include "formats/vst2/text_helpers.h"

#include <cmath>
#include <cstring>

void vst_strncpy(char* dst, const char* src, int32_t maxLen) {
    if (maxLen < 0) maxLen = 0;
    std::strncpy(dst, src, static_cast<size_t>(maxLen));
    dst[maxLen] = 0;
}

void vst_strncat(char* dst, const char* src, int32_t maxLen) {
    if (maxLen < 0) maxLen = 0;
    size_t used = std::strlen(dst);
    size_t limit = static_cast<size_t>(maxLen);
    if (used >= limit) {
        dst[limit] = 0;
        return;
    }
    std::strncat(dst, src, limit - used);
    dst[limit] = 0;
}

namespace {

char digitOf(double d) {
    return static_cast<char>('0' + static_cast<int32_t>(d));
}

}  // namespace

void float2string(float value, char* text, int32_t maxLen) {
    // The digits are truncated, never rounded: the host shows what is stored.
    double v = static_cast<double>(value);
    int32_t c = 0;
    bool negative = false;
    if (v < 0) {
        negative = true;
        v = -v;
        c = 1;
        if (v > 9999999.0) {
            vst_strncpy(text, "Huge!", maxLen);
            return;
        }
    } else if (v > 99999999.0) {
        vst_strncpy(text, "Huge!", maxLen);
        return;
    }

    char scratch[32];
    char* s = scratch + 31;
    *s-- = 0;
    *s-- = '.';
    c++;
    double integ = std::floor(v);
    *s-- = digitOf(std::fmod(integ, 10.0));
    integ /= 10.0;
    c++;
    while (integ >= 1.0 && c < 8) {
        *s-- = digitOf(std::fmod(integ, 10.0));
        integ /= 10.0;
        c++;
    }
    if (negative) *s-- = '-';
    vst_strncpy(text, s + 1, maxLen);
    if (c >= 8) return;

    s = scratch + 31;
    *s-- = 0;
    double m = std::fmod(v, 1.0) * std::pow(10.0, static_cast<double>(8 - c));
    while (c < 8) {
        if (m <= 0) {
            *s-- = '0';
        } else {
            *s-- = digitOf(std::fmod(m, 10.0));
            m /= 10.0;
        }
        c++;
    }
    vst_strncat(text, s + 1, maxLen);
}

void int2string(float value, char* text, int32_t maxLen) {
    // Below -1e8 (and for NaN) the digits would not fit the conversion either.
    if (!(value < 100000000.f) || !(value > -100000000.f)) {
        vst_strncpy(text, "Huge!", maxLen);
        return;
    }
    char scratch[16];
    int32_t n = 0;
    long magnitude = static_cast<long>(value);
    if (magnitude < 0) {
        scratch[n++] = '-';
        magnitude = -magnitude;
    }
    bool started = false;
    for (long div = 100000000; div > 0; div /= 10) {
        long digit = (magnitude / div) % 10;
        if (digit != 0 || started || div == 1) {
            scratch[n++] = static_cast<char>('0' + digit);
            started = true;
        }
    }
    scratch[n] = 0;
    vst_strncpy(text, scratch, maxLen);
}

void dB2string(float value, char* text, int32_t maxLen) {
    if (value <= 0) {
        vst_strncpy(text, "-oo", maxLen);
        return;
    }
    float2string(static_cast<float>(20.0 * std::log10(value)), text, maxLen);
}

void Hz2string(float samples, char* text, int32_t maxLen, float sampleRate) {
    float hz = samples != 0 ? sampleRate / samples : 0.f;
    float2string(hz, text, maxLen);
}

void ms2string(float samples, char* text, int32_t maxLen, float sampleRate) {
    float2string(static_cast<float>(samples * 1000.0 / sampleRate), text, maxLen);
}
