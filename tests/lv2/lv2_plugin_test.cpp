// The LV2 adapter through its descriptor, as a host calls it: ports in real
// units against the engine's normalised values, and what a careless host
// does (ports left unconnected, NaN and out-of-range values, run before
// activate, absurd rates).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "engine/limiter_engine.h"
#include "formats/lv2/lv2_descriptor.h"
#include "formats/lv2/lv2_limiter.h"

namespace {

using namespace lv2port;

// One instance with every port connected to buffers of its own.
struct Instance {
    explicit Instance(double rate = 48000.0) {
        const LV2_Descriptor& d = limiterDescriptor();
        handle = d.instantiate(&d, rate, "/nowhere/", nullptr);
        for (int i = 0; i < 4; ++i) audio[i].assign(512, 0.0f);
        for (int32_t i = 0; i < kNumParams; ++i)
            controls[i] = static_cast<float>(toReal(i, kParameterInfo[i].defaultValue, true));
    }
    ~Instance() { limiterDescriptor().cleanup(handle); }
    void connectAll() {
        const LV2_Descriptor& d = limiterDescriptor();
        for (uint32_t i = 0; i < 4; ++i) d.connect_port(handle, i, audio[i].data());
        for (int32_t i = 0; i < kNumParams; ++i) d.connect_port(handle, portOf(i), &controls[i]);
        d.connect_port(handle, kReduction, &reduction);
        d.connect_port(handle, kLatency, &latency);
    }
    void run(uint32_t frames) { limiterDescriptor().run(handle, frames); }
    const LimiterEngine& engine() const { return static_cast<Lv2Limiter*>(handle)->limiter(); }

    LV2_Handle handle = nullptr;
    std::vector<float> audio[4];
    float controls[kNumParams];
    float reduction = -1.0f, latency = -1.0f;
};

TEST(Lv2Plugin, RefusesRatesTheEngineCannotRunAt) {
    for (double rate : {0.0, 7999.0, 768001.0, -48000.0, std::nan(""), 1e300}) {
        const LV2_Descriptor& d = limiterDescriptor();
        EXPECT_EQ(d.instantiate(&d, rate, "", nullptr), nullptr) << rate;
    }
    Instance low(8000.0), high(768000.0);
    EXPECT_NE(low.handle, nullptr);
    EXPECT_NE(high.handle, nullptr);
    EXPECT_EQ(high.engine().sampleRate(), 768000.0f);
}

TEST(Lv2Plugin, PortsInRealUnitsGiveTheNormalisedValuesOfFromReal) {
    Instance p;
    p.connectAll();
    p.controls[kGain] = 9.0f;
    p.controls[kThresh] = -3.0f;
    p.controls[kAtkH] = 2.5f;
    p.controls[kRelH] = 300.0f;
    p.controls[kRelease] = 12.0f;
    p.controls[kMode] = 1.0f;  // CLIP: Release is mapped in CLIP mode's range
    p.controls[kShow] = 1.0f;
    p.run(64);
    for (int32_t i = 0; i < kNumParams; ++i) {
        EXPECT_EQ(p.engine().parameter(i), fromReal(i, p.controls[i], false)) << i;
    }
    EXPECT_EQ(p.latency, 0.0f);
    // Back to LIMIT: the same 12 ms is another position in the longer range.
    p.controls[kMode] = 0.0f;
    p.run(64);
    EXPECT_EQ(p.engine().parameter(kRelease), fromReal(kRelease, 12.0, true));
    EXPECT_EQ(p.latency, float(kLookAhead));
    // 400 ms is within LIMIT mode's range; CLIP mode's law clamps it to 20.
    p.controls[kRelease] = 400.0f;
    p.run(64);
    EXPECT_LT(p.engine().parameter(kRelease), 1.0f);
    p.controls[kMode] = 1.0f;
    p.run(64);
    EXPECT_EQ(p.engine().parameter(kRelease), 1.0f);
    EXPECT_EQ(p.engine().realValue(kRelease), 20.0);
}

TEST(Lv2Plugin, DefaultsOnThePortsAreTheTablesDefaults) {
    Instance p;
    p.connectAll();
    p.run(16);
    for (int32_t i = 0; i < kNumParams; ++i)
        EXPECT_EQ(p.engine().parameter(i), kParameterInfo[i].defaultValue) << i;
}

TEST(Lv2Plugin, NaNIsIgnoredAndOutOfRangeValuesAreClamped) {
    Instance p;
    p.connectAll();
    p.controls[kGain] = 12.0f;
    p.run(16);
    p.controls[kGain] = std::numeric_limits<float>::quiet_NaN();
    p.controls[kThresh] = -1000.0f;
    p.controls[kAtkH] = std::numeric_limits<float>::infinity();
    p.controls[kMode] = 7.0f;
    p.run(16);
    EXPECT_EQ(p.engine().parameter(kGain), 0.5f);
    EXPECT_EQ(p.engine().parameter(kThresh), 0.0f);
    EXPECT_EQ(p.engine().parameter(kAtkH), 1.0f);
    EXPECT_EQ(p.engine().parameter(kMode), 1.0f);
    for (const auto& channel : p.audio) {
        for (float s : channel) EXPECT_TRUE(std::isfinite(s));
    }
}

TEST(Lv2Plugin, UnconnectedPortsAndRunBeforeActivateDoNoHarm) {
    Instance bare;
    bare.run(256);  // nothing connected, never activated
    for (int32_t i = 0; i < kNumParams; ++i)
        EXPECT_EQ(bare.engine().parameter(i), kParameterInfo[i].defaultValue);

    // Audio without the outputs: nothing processed, outputs still reported.
    Instance half;
    const LV2_Descriptor& d = limiterDescriptor();
    d.connect_port(half.handle, kInLeft, half.audio[0].data());
    d.connect_port(half.handle, kInRight, half.audio[1].data());
    d.connect_port(half.handle, kLatency, &half.latency);
    d.connect_port(half.handle, 999, half.audio[2].data());  // no such port
    half.run(256);
    EXPECT_EQ(half.latency, float(kLookAhead));

    // Connected, run, disconnected again: the last value stays.
    Instance p;
    p.connectAll();
    p.controls[kGain] = 6.0f;
    p.run(8);
    d.connect_port(p.handle, portOf(kGain), nullptr);
    p.run(8);
    EXPECT_EQ(p.engine().parameter(kGain), fromReal(kGain, 6.0, true));
    // Null handles from a broken host.
    d.connect_port(nullptr, 0, nullptr);
    d.run(nullptr, 16);
    d.activate(nullptr);
    d.cleanup(nullptr);
}

TEST(Lv2Plugin, LimitsInPlaceUnderTheCeilingAndReportsTheReduction) {
    Instance p;
    p.connectAll();
    const LV2_Descriptor& d = limiterDescriptor();
    // In place, as hosts may connect them.
    d.connect_port(p.handle, kOutLeft, p.audio[0].data());
    d.connect_port(p.handle, kOutRight, p.audio[1].data());
    d.activate(p.handle);
    p.controls[kGain] = 12.0f;
    p.controls[kThresh] = -6.0f;
    const double ceiling = std::pow(10.0, -6.0 / 20.0);
    double peak = 0;
    for (int block = 0; block < 40; ++block) {
        for (int i = 0; i < 512; ++i) {
            const float s = 0.8f * std::sin(0.03f * float(block * 512 + i));
            p.audio[0][i] = s;
            p.audio[1][i] = -s;
        }
        p.run(512);
        for (int i = 0; i < 512; ++i)
            peak = std::max(
                {peak, std::fabs(double(p.audio[0][i])), std::fabs(double(p.audio[1][i]))});
    }
    EXPECT_LE(peak, ceiling * (1 + 1e-6));
    EXPECT_GT(peak, ceiling * 0.9);
    EXPECT_GT(p.reduction, 6.0f);  // 0.8 raised by 12 dB is about 10 dB over
}

}  // namespace
