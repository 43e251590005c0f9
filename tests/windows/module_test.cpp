// The real TK42R_x64.dll, loaded with LoadLibraryA and driven through its
// record only, as a Windows host does.
#include <gtest/gtest.h>
#include <windows.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "tools/plughost/plugin_instance.h"
#include "tools/plughost/plugin_module.h"
#include "tools/plughost/recording_host.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

struct ModuleTest : ::testing::Test {
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(module.load(TK42_MODULE_PATH, error)) << error;
    }
    PluginModule module;
};

template <typename T>
T fieldAt(const AEffect* e, size_t offset) {
    T v;
    std::memcpy(&v, reinterpret_cast<const uint8_t*>(e) + offset, sizeof v);
    return v;
}

template <typename T>
double limitSeconds(const PluginInstance& fx, double seconds, double amplitude, size_t* late) {
    const int32_t block = 441;
    std::vector<T> L(block), R(block);
    double peak = 0;
    *late = 0;
    const int32_t blocks = static_cast<int32_t>(seconds * 44100 / block);
    for (int32_t b = 0; b < blocks; ++b) {
        for (int32_t i = 0; i < block; ++i) {
            const double t = (b * block + i) / 44100.0;
            L[i] = static_cast<T>(amplitude * std::sin(2 * kPi * 220 * t));
            R[i] = static_cast<T>(amplitude * std::sin(2 * kPi * 331 * t));
        }
        T* io[2] = {L.data(), R.data()};
        fx.process(io, io, block);
        for (int32_t i = 0; i < block; ++i) {
            peak = std::max({peak, std::fabs(double(L[i])), std::fabs(double(R[i]))});
            if (!std::isfinite(double(L[i]))) ++*late;
        }
    }
    return peak;
}

}  // namespace

TEST_F(ModuleTest, BothExportNamesResolveToOneAddress) {
    void* a = module.symbol("VSTPluginMain");
    void* b = module.symbol("main");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a, b);
}

TEST_F(ModuleTest, HostAnsweringVersionZeroGetsNull) {
    RecordingHost host;
    host.versionAnswer = 0;
    EXPECT_EQ(host.create(module.entry()), nullptr);
    ASSERT_EQ(host.calls().size(), 1u);
    EXPECT_EQ(host.calls()[0].opcode, audioMasterVersion);
}

TEST_F(ModuleTest, RecordBytesSitAtTheirOffsets) {
    RecordingHost host;
    PluginInstance fx(host.create(module.entry()));
    const AEffect* e = fx.record();
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(fieldAt<int32_t>(e, 0), 0x56737450);
    EXPECT_EQ(fieldAt<int32_t>(e, 4), 0);
    EXPECT_NE(fieldAt<void*>(e, 8), nullptr);
    EXPECT_NE(fieldAt<void*>(e, 16), nullptr);
    EXPECT_NE(fieldAt<void*>(e, 24), nullptr);
    EXPECT_NE(fieldAt<void*>(e, 32), nullptr);
    EXPECT_EQ(fieldAt<int32_t>(e, 40), 0);
    EXPECT_EQ(fieldAt<int32_t>(e, 44), 7);
    EXPECT_EQ(fieldAt<int32_t>(e, 48), 2);
    EXPECT_EQ(fieldAt<int32_t>(e, 52), 2);
    EXPECT_EQ(fieldAt<int32_t>(e, 56), 0x1031);  // with the editor
    EXPECT_EQ(fieldAt<int32_t>(e, 60), 0);
    EXPECT_EQ(fieldAt<int64_t>(e, 64), 0);
    EXPECT_EQ(fieldAt<int64_t>(e, 72), 0);
    EXPECT_EQ(fieldAt<int32_t>(e, 80), 0);
    EXPECT_EQ(fieldAt<float>(e, 92), 1.0f);
    EXPECT_NE(fieldAt<void*>(e, 96), nullptr);
    EXPECT_EQ(fieldAt<void*>(e, 104), static_cast<void*>(&host));  // the host's own field
    EXPECT_EQ(fieldAt<int32_t>(e, 112), 0x544B3432);
    EXPECT_EQ(fieldAt<int32_t>(e, 116), 1);
    EXPECT_NE(fieldAt<void*>(e, 120), nullptr);
    EXPECT_NE(fieldAt<void*>(e, 128), nullptr);
    for (size_t i = 136; i < 192; ++i) EXPECT_EQ(fieldAt<uint8_t>(e, i), 0) << i;
    EXPECT_EQ(fx.close(), 1);
}

TEST_F(ModuleTest, DispatcherTextsAndChunk) {
    RecordingHost host;
    PluginInstance fx(host.create(module.entry()));
    ASSERT_TRUE(fx.isOpen());
    EXPECT_EQ(fx.dispatch(effGetVstVersion), 2400);
    EXPECT_EQ(fx.dispatch(effGetPlugCategory), 1);
    EXPECT_EQ(fx.dispatch(effIdentify), 0x4E764566);
    EXPECT_EQ(fx.dispatch(80), 0);
    char text[32] = "receiveVstMidiEvent";
    EXPECT_EQ(fx.dispatch(effCanDo, 0, 0, text), -1);
    EXPECT_EQ(fx.dispatch(effGetParamName, 0, 0, nullptr), 0);
    EXPECT_EQ(fx.effectName(), "TK42-R Limiter");
    EXPECT_EQ(fx.vendorString(), "Falden Murex");
    EXPECT_EQ(fx.parameterName(2), "Atk H");
    EXPECT_EQ(fx.parameterLabel(3), "ms");
    EXPECT_EQ(fx.parameterDisplay(2), "0.250000");
    fx.setParameter(0, 0.7f);
    EXPECT_EQ(fx.parameterDisplay(0), "0.699999");
    fx.setParameter(0, 0.0f);
    const std::vector<uint8_t> expected = {0,    0,    0, 0, 0,    0,    0x80, 0x3F, 0,    0,
                                           0x80, 0x3E, 0, 0, 0x80, 0x3E, 0,    0,    0x80, 0x3F,
                                           0,    0,    0, 0, 0,    0,    0,    0};
    EXPECT_EQ(fx.chunk(), expected);
    std::vector<uint8_t> tooShort(27, 0);
    EXPECT_EQ(fx.setChunk(tooShort), 0);
    EXPECT_EQ(fx.chunk(), expected);
}

TEST_F(ModuleTest, LimitsSecondsOfAudioInBothPrecisions) {
    RecordingHost host;
    PluginInstance fx(host.create(module.entry()));
    ASSERT_TRUE(fx.isOpen());
    fx.start(44100.0f, 441);
    fx.setParameter(0, 0.5f);        // +12 dB
    fx.setParameter(1, 21.0f / 24);  // -3 dBFS
    const double ceiling = std::pow(10.0, -3.0 / 20.0);
    size_t bad = 0;
    EXPECT_LE(limitSeconds<float>(fx, 3.0, 0.9, &bad), ceiling * (1 + 1e-6));
    EXPECT_EQ(bad, 0u);
    EXPECT_LE(limitSeconds<double>(fx, 3.0, 0.9, &bad), ceiling * (1 + 1e-6));
    EXPECT_EQ(bad, 0u);
    fx.setParameter(5, 1.0f);  // CLIP mode
    const double peak = limitSeconds<double>(fx, 1.0, 0.9, &bad);
    EXPECT_LE(peak, ceiling * (1 + 1e-6));
    EXPECT_GT(peak, ceiling * 0.99);
    fx.stop();
}

TEST_F(ModuleTest, LookAheadDelaysByFiveSamples) {
    RecordingHost host;
    PluginInstance fx(host.create(module.entry()));
    fx.start(48000.0f, 64);
    std::vector<double> L(64, 0.0), R(64, 0.0);
    L[0] = 0.5;
    double* io[2] = {L.data(), R.data()};
    fx.process(io, io, 64);
    for (int i = 0; i < 64; ++i) {
        if (i == 5) {
            EXPECT_NEAR(L[i], 0.5, 1e-12);
        } else {
            EXPECT_EQ(L[i], 0.0) << i;
        }
    }
}
