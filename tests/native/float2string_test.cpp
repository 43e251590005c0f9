#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "formats/vst2/text_helpers.h"

namespace {

std::string f2s(float v, int32_t maxLen = 8) {
    char text[64];
    std::memset(text, 'x', sizeof text);
    float2string(v, text, maxLen);
    return text;
}

}  // namespace

TEST(Float2String, DigitsAreTruncatedToEightCharacters) {
    EXPECT_EQ(f2s(0.0f), "0.000000");
    EXPECT_EQ(f2s(0.5f), "0.500000");
    EXPECT_EQ(f2s(1.0f), "1.000000");
    EXPECT_EQ(f2s(0.25f), "0.250000");
    EXPECT_EQ(f2s(0.7f), "0.699999");
    EXPECT_EQ(f2s(123.456f), "123.4560");
    EXPECT_EQ(f2s(-2.5f), "-2.50000");
    EXPECT_EQ(f2s(1234567.0f), "1234567.");
}

TEST(Float2String, HugeValuesSayHuge) {
    EXPECT_EQ(f2s(100000000.0f), "Huge!");
    EXPECT_EQ(f2s(-10000000.0f), "Huge!");
    EXPECT_EQ(f2s(1e30f), "Huge!");
    EXPECT_EQ(f2s(100000000.0f, 3), "Hug");
}

TEST(Float2String, ShortBuffersAreCutAndTerminated) {
    EXPECT_EQ(f2s(0.25f, 4), "0.25");
    EXPECT_EQ(f2s(123.456f, 2), "12");
    EXPECT_EQ(f2s(0.5f, 0), "");
}

TEST(TextHelpers, CopyAlwaysTerminatesAtTheLimit) {
    char text[16];
    std::memset(text, 'x', sizeof text);
    vst_strncpy(text, "Release time", 8);
    EXPECT_STREQ(text, "Release ");
    vst_strncpy(text, "ab", 8);
    vst_strncat(text, "cdefghijk", 8);
    EXPECT_STREQ(text, "abcdefgh");
}

TEST(TextHelpers, OtherFormatters) {
    char text[16];
    int2string(-1234.0f, text, 8);
    EXPECT_STREQ(text, "-1234");
    int2string(100000000.0f, text, 8);
    EXPECT_STREQ(text, "Huge!");
    dB2string(0.0f, text, 8);
    EXPECT_STREQ(text, "-oo");
    dB2string(1.0f, text, 8);
    EXPECT_STREQ(text, "0.000000");
    Hz2string(0.0f, text, 8, 44100.0f);
    EXPECT_STREQ(text, "0.000000");
    ms2string(441.0f, text, 8, 44100.0f);
    EXPECT_STREQ(text, "10.00000");
}
