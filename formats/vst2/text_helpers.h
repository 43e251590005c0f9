// The base class's text helpers. Every helper takes a buffer of at least
// maxLen + 1 bytes and leaves a zero-terminated text of at most maxLen characters.
#pragma once

#include <cstdint>

// Copies at most maxLen characters and always terminates at text[maxLen].
void vst_strncpy(char* dst, const char* src, int32_t maxLen);
// Appends so that the whole text stays within maxLen characters.
void vst_strncat(char* dst, const char* src, int32_t maxLen);

// Eight characters in all: sign, integer digits, point and truncated fraction digits.
void float2string(float value, char* text, int32_t maxLen);
void int2string(float value, char* text, int32_t maxLen);
void dB2string(float value, char* text, int32_t maxLen);
void Hz2string(float samples, char* text, int32_t maxLen, float sampleRate);
void ms2string(float samples, char* text, int32_t maxLen, float sampleRate);
