// ns per stereo frame of the real DLL, driven through its record like a host.
// Google Benchmark is not available for the Windows toolchain, so this times
// whole passes over the benchmark signal with the platform's steady clock and
// reports the best of several.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/music_signal.h"
#include "effect/parameters.h"
#include "tools/plughost/plugin_instance.h"
#include "tools/plughost/plugin_module.h"
#include "tools/plughost/recording_host.h"

namespace {

constexpr int32_t kBlock = 512;

template <typename T>
double nsPerFrame(const PluginInstance& fx, const BenchSignal& sig) {
    std::vector<T> inL(sig.left.begin(), sig.left.end()), inR(sig.right.begin(), sig.right.end());
    std::vector<T> outL(kBlock), outR(kBlock);
    const size_t blocks = sig.left.size() / kBlock;
    double best = 1e30;
    for (int pass = 0; pass < 5; ++pass) {
        const auto start = std::chrono::steady_clock::now();
        for (size_t b = 0; b < blocks; ++b) {
            T* ins[2] = {inL.data() + b * kBlock, inR.data() + b * kBlock};
            T* outs[2] = {outL.data(), outR.data()};
            fx.process(ins, outs, kBlock);
        }
        const std::chrono::duration<double, std::nano> took =
            std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count() / static_cast<double>(blocks * kBlock));
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string path = argc > 1 ? argv[1] : "TK42R_x64.dll";
    PluginModule module;
    std::string error;
    if (!module.load(path, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    const BenchSignal sig = musicSignal(10.0);
    std::printf("%s: %s, 48 kHz, block %d, +6 dB into 0 dBFS\n", path.c_str(), sig.source.c_str(),
                kBlock);
    for (float mode : {0.0f, 1.0f}) {
        RecordingHost host;
        PluginInstance fx(host.create(module.entry()));
        if (!fx.isOpen()) {
            std::fprintf(stderr, "the module refused to create an effect\n");
            return 1;
        }
        fx.start(48000.0f, kBlock);
        fx.setParameter(kGain, 0.25f);
        fx.setParameter(kMode, mode);
        const double f = nsPerFrame<float>(fx, sig);
        const double d = nsPerFrame<double>(fx, sig);
        std::printf(
            "%s mode: processReplacing %.1f ns/frame, processDoubleReplacing %.1f ns/frame\n",
            mode < 0.5f ? "LIMIT" : "CLIP ", f, d);
    }
    return 0;
}
