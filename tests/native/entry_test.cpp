#include <gtest/gtest.h>

#include <cstring>

#include "tests/native/test_effect.h"

namespace {

intptr_t refusingHost(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
    return opcode == audioMasterVersion ? 0 : 1;
}

}  // namespace

TEST(Entry, HostAnsweringVersionZeroGetsNoEffect) {
    EXPECT_EQ(VSTPluginMain(&refusingHost), nullptr);
}

TEST(Entry, NullHostCallbackGetsNoEffectInsteadOfACrash) {
    EXPECT_EQ(VSTPluginMain(nullptr), nullptr);
}

TEST(Entry, EntryAsksTheHostForItsVersionFirst) {
    HostedEffect fx;
    ASSERT_NE(fx.record(), nullptr);
    auto calls = fx.host.calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls[0].opcode, audioMasterVersion);
    EXPECT_EQ(calls[0].effect, nullptr);
    EXPECT_EQ(calls[0].index, 0);
    EXPECT_EQ(calls[0].value, 0);
    EXPECT_EQ(calls[0].ptr, nullptr);
    EXPECT_EQ(calls[0].opt, 0.0f);
}

TEST(Entry, FreshRecordCarriesTheIdentity) {
    HostedEffect fx;
    const AEffect* e = fx.record();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->magic, 0x56737450);
    EXPECT_EQ(e->numPrograms, 0);
    EXPECT_EQ(e->numParams, 7);
    EXPECT_EQ(e->numInputs, 2);
    EXPECT_EQ(e->numOutputs, 2);
    // No editor yet: everything but effFlagsHasEditor.
    EXPECT_EQ(e->flags, 0x1030);
    EXPECT_EQ(e->initialDelay, 0);
    EXPECT_EQ(e->realQualities, 0);
    EXPECT_EQ(e->offQualities, 0);
    EXPECT_EQ(e->ioRatio, 1.0f);
    EXPECT_EQ(e->uniqueID, 0x544B3432);
    EXPECT_EQ(e->version, 1);
    EXPECT_EQ(e->resvd1, 0);
    EXPECT_EQ(e->resvd2, 0);
    char zeros[56] = {};
    EXPECT_EQ(std::memcmp(e->future, zeros, sizeof zeros), 0);
    EXPECT_EQ(fx.limiter().getAeffect(), e);
    EXPECT_NE(e->dispatcher, nullptr);
    EXPECT_NE(e->process, nullptr);
    EXPECT_NE(e->processReplacing, nullptr);
    EXPECT_NE(e->processDoubleReplacing, nullptr);
}

TEST(Entry, TwoCallsGiveTwoIndependentEffects) {
    HostedEffect a, b;
    ASSERT_NE(a.record(), b.record());
    EXPECT_NE(a.record()->object, b.record()->object);
    a.plugin->setParameter(kGain, 0.5f);
    EXPECT_EQ(b.plugin->getParameter(kGain), 0.0f);
}

TEST(Entry, FourCharacterCodesPutTheFirstCharacterHigh) {
    EXPECT_EQ(fourCharCode('T', 'K', '4', '2'), 0x544B3432);
    EXPECT_EQ(fourCharCode('N', 'v', 'E', 'f'), 0x4E764566);
}
