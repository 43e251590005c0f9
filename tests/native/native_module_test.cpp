// The native build of the module, loaded by path like a host loads it.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "engine/parameters.h"
#include "tools/plughost/plugin_instance.h"
#include "tools/plughost/plugin_module.h"
#include "tools/plughost/recording_host.h"

TEST(NativeModule, LoadsCreatesLimitsAndCloses) {
    PluginModule module;
    std::string error;
    ASSERT_TRUE(module.load(TK42_NATIVE_MODULE, error)) << error;
    RecordingHost host;
    PluginInstance fx(host.create(module.entry()));
    ASSERT_TRUE(fx.isOpen());
    EXPECT_EQ(fx.record()->uniqueID, 0x544B3432);
    EXPECT_EQ(fx.parameterName(kRelH), "Rel H");

    fx.start(48000.0f, 256);
    fx.setParameter(kGain, 0.5f);
    std::vector<float> L(256), R(256);
    float peak = 0;
    for (int block = 0; block < 100; ++block) {
        for (int i = 0; i < 256; ++i) {
            L[i] = R[i] = std::sin(0.05f * static_cast<float>(block * 256 + i));
        }
        float* io[2] = {L.data(), R.data()};
        fx.process(io, io, 256);
        for (float v : L) peak = std::max(peak, std::fabs(v));
    }
    EXPECT_LE(peak, 1.0f + 1e-6f);
    EXPECT_GT(peak, 0.99f);
    fx.stop();
    EXPECT_EQ(fx.close(), 1);
}

TEST(NativeModule, RefusingHostGetsNoEffect) {
    PluginModule module;
    std::string error;
    ASSERT_TRUE(module.load(TK42_NATIVE_MODULE, error)) << error;
    RecordingHost host;
    host.versionAnswer = 0;
    EXPECT_EQ(host.create(module.entry()), nullptr);
}

TEST(NativeModule, MissingFileIsAClearError) {
    PluginModule module;
    std::string error;
    EXPECT_FALSE(module.load("/nonexistent/TK42R.so", error));
    EXPECT_NE(error.find("cannot load"), std::string::npos);
    EXPECT_FALSE(module.isLoaded());
}
