#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "tests/native/test_effect.h"

namespace {

std::vector<uint8_t> chunkOf(const HostedEffect& fx) {
    return fx.plugin->chunk();
}

std::vector<uint8_t> floatsLE(std::initializer_list<float> values) {
    std::vector<uint8_t> out;
    for (float v : values) {
        uint32_t bits;
        std::memcpy(&bits, &v, 4);
        for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(bits >> (8 * i)));
    }
    return out;
}

}  // namespace

TEST(Parameters, NamesLabelsAndDisplays) {
    HostedEffect fx;
    const char* names[] = {"Gain", "Thresh", "Atk H", "Rel H", "Release", "Mode", "Show"};
    const char* labels[] = {"dB", "dB", "ms", "ms", "ms", "", ""};
    const char* displays[] = {"0.000000", "1.000000", "0.250000", "0.250000",
                              "1.000000", "0.000000", "0.000000"};
    for (int32_t i = 0; i < kNumParams; ++i) {
        EXPECT_EQ(fx.plugin->parameterName(i), names[i]);
        EXPECT_EQ(fx.plugin->parameterLabel(i), labels[i]);
        EXPECT_EQ(fx.plugin->parameterDisplay(i), displays[i]);
    }
    fx.plugin->setParameter(kGain, 0.7f);
    EXPECT_EQ(fx.plugin->parameterDisplay(kGain), "0.699999");
}

TEST(Parameters, TextsAreTerminatedAtTheLimitAndInvalidIndicesLeaveThemAlone) {
    HostedEffect fx;
    char text[32];
    std::memset(text, 'x', sizeof text);
    fx.dispatch(effGetParamName, kRelease, 0, text);
    EXPECT_STREQ(text, "Release");
    std::memset(text, 'x', sizeof text);
    fx.dispatch(effGetParamName, 7, 0, text);
    fx.dispatch(effGetParamLabel, -1, 0, text);
    fx.dispatch(effGetParamDisplay, 7, 0, text);
    EXPECT_EQ(text[0], 'x');
    std::memset(text, 'x', sizeof text);
    fx.dispatch(effGetProgramName, 0, 0, text);
    EXPECT_STREQ(text, "Default");
}

TEST(Parameters, IdentityStrings) {
    HostedEffect fx;
    EXPECT_EQ(fx.plugin->effectName(), "TK42-R Limiter");
    EXPECT_EQ(fx.plugin->productString(), "TK42-R Limiter");
    EXPECT_EQ(fx.plugin->vendorString(), "Falden Murex");
    char text[80];
    EXPECT_EQ(fx.dispatch(effGetEffectName, 0, 0, text), 1);
    EXPECT_EQ(fx.dispatch(effGetVendorString, 0, 0, text), 1);
    EXPECT_EQ(fx.dispatch(effGetProductString, 0, 0, text), 1);
}

TEST(Parameters, ValuesAreClampedAndInvalidIndicesIgnored) {
    HostedEffect fx;
    fx.plugin->setParameter(kGain, 1.5f);
    EXPECT_EQ(fx.plugin->getParameter(kGain), 1.0f);
    fx.plugin->setParameter(kThresh, -3.0f);
    EXPECT_EQ(fx.plugin->getParameter(kThresh), 0.0f);
    fx.plugin->setParameter(kGain, std::numeric_limits<float>::infinity());
    EXPECT_EQ(fx.plugin->getParameter(kGain), 1.0f);
    const auto before = chunkOf(fx);
    fx.plugin->setParameter(7, 0.5f);
    fx.plugin->setParameter(-1, 0.5f);
    EXPECT_EQ(chunkOf(fx), before);
    EXPECT_EQ(fx.plugin->getParameter(7), 0.0f);
    EXPECT_EQ(fx.plugin->getParameter(-1), 0.0f);
}

TEST(Parameters, NaNIsIgnoredAndTheStoredValueStays) {
    HostedEffect fx;
    fx.plugin->setParameter(kAtkH, 0.5f);
    const LimiterCoefficients before = fx.limiter().coefficients();
    fx.plugin->setParameter(kAtkH, std::nanf(""));
    EXPECT_EQ(fx.plugin->getParameter(kAtkH), 0.5f);
    EXPECT_EQ(fx.limiter().coefficients().limitAttack, before.limitAttack);
}

TEST(Chunk, FreshEffectSavesItsDefaults) {
    HostedEffect fx;
    void* data = nullptr;
    EXPECT_EQ(fx.dispatch(effGetChunk, 0, 0, &data), 28);
    const std::vector<uint8_t> expected = {
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0x3F, 0x00, 0x00, 0x80, 0x3E, 0x00, 0x00,
        0x80, 0x3E, 0x00, 0x00, 0x80, 0x3F, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
    EXPECT_EQ(chunkOf(fx), expected);
    // Bank and program requests give the same block.
    void* preset = nullptr;
    EXPECT_EQ(fx.dispatch(effGetChunk, 1, 0, &preset), 28);
    EXPECT_EQ(std::memcmp(preset, expected.data(), 28), 0);
}

TEST(Chunk, BufferIsReusedNotAllocatedPerCall) {
    HostedEffect fx;
    void* a = nullptr;
    void* b = nullptr;
    fx.dispatch(effGetChunk, 0, 0, &a);
    fx.plugin->setParameter(kGain, 0.5f);
    fx.dispatch(effGetChunk, 0, 0, &b);
    EXPECT_EQ(a, b);
    EXPECT_EQ(chunkOf(fx), floatsLE({0.5f, 1.0f, 0.25f, 0.25f, 1.0f, 0.0f, 0.0f}));
}

TEST(Chunk, RoundTripRestoresEveryValue) {
    HostedEffect a, b;
    const float values[] = {0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 1.0f, 1.0f};
    for (int32_t i = 0; i < kNumParams; ++i) a.plugin->setParameter(i, values[i]);
    EXPECT_EQ(b.plugin->setChunk(chunkOf(a)), 0);
    for (int32_t i = 0; i < kNumParams; ++i) EXPECT_EQ(b.plugin->getParameter(i), values[i]);
}

TEST(Chunk, OutOfRangeValuesAreClampedAndModeRecomputesTheCoefficients) {
    HostedEffect fx;
    fx.dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
    EXPECT_EQ(fx.plugin->setChunk(floatsLE({-1.0f, 1.0f, 0.25f, 0.25f, 1.0f, 2.0f, 0.0f})), 0);
    EXPECT_EQ(fx.plugin->getParameter(kGain), 0.0f);
    EXPECT_EQ(fx.plugin->getParameter(kMode), 1.0f);
    // CLIP mode: the clip release spans 0.1 to 20 ms.
    EXPECT_NEAR(fx.limiter().coefficients().clipRelease, std::exp(-1000.0 / (44100.0 * 20.0)),
                1e-15);
}

TEST(Chunk, ShortNullOrNaNBlocksChangeNothing) {
    HostedEffect fx;
    fx.plugin->setParameter(kGain, 0.5f);
    const auto before = chunkOf(fx);
    std::vector<uint8_t> full = floatsLE({0.9f, 0.9f, 0.9f, 0.9f, 0.9f, 0.9f, 0.9f});
    // Exactly the bytes given, on the heap, so the sanitizer sees any overread.
    std::vector<uint8_t> shortBlock(full.begin(), full.begin() + 27);
    EXPECT_EQ(fx.plugin->setChunk(shortBlock), 0);
    EXPECT_EQ(fx.dispatch(effSetChunk, 0, 28, nullptr), 0);
    EXPECT_EQ(fx.dispatch(effSetChunk, 0, -5, full.data()), 0);
    EXPECT_EQ(chunkOf(fx), before);

    std::vector<uint8_t> withNaN = floatsLE({std::nanf(""), 0.9f, 0.9f, 0.9f, 0.9f, 0.9f, 0.9f});
    fx.plugin->setChunk(withNaN);
    EXPECT_EQ(fx.plugin->getParameter(kGain), 0.5f);
    EXPECT_EQ(fx.plugin->getParameter(kThresh), 0.9f);
}

TEST(Parameters, OnlyTimeAndModeParametersChangeCoefficients) {
    HostedEffect fx;
    fx.dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
    const LimiterCoefficients before = fx.limiter().coefficients();
    for (int32_t i : {kGain, kThresh, kShow}) {
        fx.plugin->setParameter(i, 0.9f);
        const LimiterCoefficients now = fx.limiter().coefficients();
        EXPECT_EQ(now.limitAttack, before.limitAttack) << i;
        EXPECT_EQ(now.limitRelease, before.limitRelease) << i;
        EXPECT_EQ(now.clipRelease, before.clipRelease) << i;
    }
    for (int32_t i : {kAtkH, kRelH, kRelease, kMode}) {
        HostedEffect other;
        other.dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
        other.plugin->setParameter(i, 0.9f);
        const LimiterCoefficients now = other.limiter().coefficients();
        EXPECT_TRUE(now.limitAttack != before.limitAttack ||
                    now.limitRelease != before.limitRelease ||
                    now.clipRelease != before.clipRelease)
            << i;
    }
}
