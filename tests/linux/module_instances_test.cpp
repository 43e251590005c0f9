// The Linux module as a host process uses it: several instances at once, and
// the module unloaded and loaded again.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

#include "engine/parameters.h"
#include "tools/plughost/plugin_instance.h"
#include "tools/plughost/plugin_module.h"
#include "tools/plughost/recording_host.h"

namespace {

constexpr int kBlock = 256;
constexpr int kBlocks = 40;

struct Settings {
    float gain;
    float ceiling;
    float mode;
};

// A loud two-tone signal; the seed makes each instance's input its own.
std::vector<float> signal(int seed) {
    std::vector<float> s(kBlock * kBlocks);
    for (size_t i = 0; i < s.size(); ++i) {
        const float t = static_cast<float>(i);
        s[i] = 0.9f * std::sin(0.01f * t * static_cast<float>(seed + 1)) +
               0.5f * std::sin(0.173f * t + static_cast<float>(seed));
    }
    return s;
}

void configure(const PluginInstance& fx, const Settings& s) {
    fx.start(48000.0f, kBlock);
    fx.setParameter(kGain, s.gain);
    fx.setParameter(kThresh, s.ceiling);
    fx.setParameter(kMode, s.mode);
}

// Runs one block of the instance's own signal in place, both channels alike.
void runBlock(const PluginInstance& fx, const std::vector<float>& in, int block,
              std::vector<float>& out) {
    std::vector<float> L(in.begin() + block * kBlock, in.begin() + (block + 1) * kBlock);
    std::vector<float> R = L;
    float* io[2] = {L.data(), R.data()};
    fx.process(io, io, kBlock);
    out.insert(out.end(), L.begin(), L.end());
}

std::vector<float> runAlone(PluginEntry entry, const Settings& s, int seed) {
    RecordingHost host;
    PluginInstance fx(host.create(entry));
    configure(fx, s);
    const std::vector<float> in = signal(seed);
    std::vector<float> out;
    for (int b = 0; b < kBlocks; ++b) runBlock(fx, in, b, out);
    return out;
}

bool isResident(const char* path) {
    void* handle = dlopen(path, RTLD_NOW | RTLD_NOLOAD);
    if (!handle) return false;
    dlclose(handle);
    return true;
}

const Settings kSettings[] = {{0.5f, 0.75f, 0.0f}, {1.0f, 0.5f, 1.0f}, {0.25f, 1.0f, 0.0f}};

}  // namespace

// Instances that shared state (a static buffer, a module-wide coefficient)
// would make one instance's output depend on what the others process.
TEST(LinuxModule, InstancesInOneProcessDoNotHearEachOther) {
    PluginModule module;
    std::string error;
    ASSERT_TRUE(module.load(TK42_PRODUCT_MODULE, error)) << error;

    std::vector<std::vector<float>> alone;
    for (int i = 0; i < 3; ++i) alone.push_back(runAlone(module.entry(), kSettings[i], i));

    RecordingHost host;
    std::vector<std::unique_ptr<PluginInstance>> fx;
    std::vector<std::vector<float>> in, out(3);
    for (int i = 0; i < 3; ++i) {
        fx.push_back(std::make_unique<PluginInstance>(host.create(module.entry())));
        ASSERT_TRUE(fx.back()->isOpen());
        configure(*fx.back(), kSettings[i]);
        in.push_back(signal(i));
    }
    // Interleaved, block by block, as a host runs the tracks of one cycle.
    for (int b = 0; b < kBlocks; ++b) {
        for (int i = 0; i < 3; ++i) runBlock(*fx[i], in[i], b, out[i]);
    }
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(out[i], alone[i]) << "instance " << i;
        EXPECT_FLOAT_EQ(fx[i]->getParameter(kThresh), kSettings[i].ceiling);
    }
    // Closing one leaves the others working.
    EXPECT_EQ(fx[1]->close(), 1);
    std::vector<float> more;
    runBlock(*fx[0], in[0], 0, more);
    runBlock(*fx[2], in[2], 0, more);
    EXPECT_EQ(fx[0]->chunk().size(), 28u);
}

// A module that cannot be unloaded (a unique symbol, a nodelete flag) stays
// in the host's memory after dlclose, and one whose statics do not start
// again would behave differently on the second load.
TEST(LinuxModule, UnloadsCompletelyAndLoadsAgain) {
    std::vector<float> firstLoad;
    for (int round = 0; round < 3; ++round) {
        PluginModule module;
        std::string error;
        ASSERT_TRUE(module.load(TK42_PRODUCT_MODULE, error)) << error;
        ASSERT_TRUE(isResident(TK42_PRODUCT_MODULE));
        {
            RecordingHost host;
            PluginInstance fx(host.create(module.entry()));
            ASSERT_TRUE(fx.isOpen());
            EXPECT_EQ(fx.effectName(), "TK42-R Limiter");
        }
        const std::vector<float> out = runAlone(module.entry(), kSettings[1], 1);
        if (round == 0) firstLoad = out;
        EXPECT_EQ(out, firstLoad) << "round " << round;
        module.unload();
        EXPECT_FALSE(isResident(TK42_PRODUCT_MODULE))
            << "still mapped after dlclose, round " << round;
    }
}
