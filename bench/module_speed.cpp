// ns per stereo frame of a real module (TK42R.so natively, TK42R_x64.dll
// under Wine), driven through its record like a host, on the benchmark
// workloads; natively also the peers. A second module (the CLAP, through
// tk42host's bridge) may run beside it in the same stretches, and so may the
// same build's VST3 binary, driven through its interfaces (--vst3 BINARY,
// keys LABEL-vst3/...). Google Benchmark is not available for
// the Windows toolchain, so both builds time whole passes with the steady
// clock, interleaving the cases stretch by stretch, and print each case's
// median as
//   ns <key> <value>
// for bench.sh, which runs this program in alternating rounds.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_case.h"
#include "engine/parameters.h"
#include "engine/state_block.h"
#include "tools/plughost/plugin_instance.h"
#include "tools/plughost/plugin_module.h"
#include "tools/plughost/recording_host.h"
#include "tools/plughost/vst3_plugin.h"

namespace {

// The normalised parameter values of a workload.
float gainValue(const Workload& w) {
    return fromReal(kGain, w.gainDb, true);
}
float threshValue(const Workload& w) {
    return fromReal(kThresh, w.ceilingDb, true);
}
float releaseValue() {
    return fromReal(kRelease, kReleaseMs, true);
}

template <typename T>
BenchCase moduleCase(const std::string& key, std::shared_ptr<RecordingHost> host,
                     const PluginModule& module, const BenchSignal& sig, const Workload& w,
                     float mode) {
    auto fx = std::make_shared<PluginInstance>(host->create(module.entry()));
    if (!fx->isOpen()) {
        std::fprintf(stderr, "the module refused to create an effect\n");
        std::exit(1);
    }
    fx->start(static_cast<float>(kBenchRate), kBenchBlock);
    fx->setParameter(kGain, gainValue(w));
    fx->setParameter(kThresh, threshValue(w));
    fx->setParameter(kRelease, releaseValue());
    fx->setParameter(kMode, mode);
    struct Buffers {
        std::vector<T> inL, inR, outL, outR;
    };
    auto buf = std::make_shared<Buffers>();
    buf->inL.assign(sig.left.begin(), sig.left.end());
    buf->inR.assign(sig.right.begin(), sig.right.end());
    buf->outL.resize(kBenchBlock);
    buf->outR.resize(kBenchBlock);
    return {
        key, [host, fx, buf](size_t first, size_t count) {
            for (size_t b = first; b < first + count; ++b) {
                T* ins[2] = {buf->inL.data() + b * kBenchBlock, buf->inR.data() + b * kBenchBlock};
                T* outs[2] = {buf->outL.data(), buf->outR.data()};
                fx->process(ins, outs, kBenchBlock);
            }
        }};
}

// The VST3 binary on the same workload: the settings through its state, and
// each block with an empty list of parameter changes, as hosts pass one.
template <typename T>
BenchCase vst3Case(const std::string& key, const PluginModule& module, const BenchSignal& sig,
                   const Workload& w, float mode) {
    auto plugin = std::make_shared<plughost::Vst3Plugin>();
    std::string error;
    if (!plugin->open(module, error) ||
        !plugin->start(kBenchRate, kBenchBlock, sizeof(T) == sizeof(double))) {
        std::fprintf(stderr, "the VST3 module refused: %s\n", error.c_str());
        std::exit(1);
    }
    float values[kNumParams];
    for (int32_t i = 0; i < kNumParams; ++i) values[i] = kParameterInfo[i].defaultValue;
    values[kGain] = gainValue(w);
    values[kThresh] = threshValue(w);
    values[kRelease] = releaseValue();
    values[kMode] = mode;
    std::vector<uint8_t> state(kStateBytes);
    encodeFloatsLE(values, kNumParams, state.data());
    plugin->setState(state);
    struct Buffers {
        std::vector<T> inL, inR, outL, outR;
    };
    auto buf = std::make_shared<Buffers>();
    buf->inL.assign(sig.left.begin(), sig.left.end());
    buf->inR.assign(sig.right.begin(), sig.right.end());
    buf->outL.resize(kBenchBlock);
    buf->outR.resize(kBenchBlock);
    std::shared_ptr<plughost::ParamChanges> changes(
        new plughost::ParamChanges(), [](plughost::ParamChanges* c) { c->release(); });
    return {
        key, [plugin, buf, changes](size_t first, size_t count) {
            for (size_t b = first; b < first + count; ++b) {
                T* ins[2] = {buf->inL.data() + b * kBenchBlock, buf->inR.data() + b * kBenchBlock};
                T* outs[2] = {buf->outL.data(), buf->outR.data()};
                plugin->process(ins, outs, kBenchBlock, changes.get());
            }
        }};
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    // --vst3 BINARY, anywhere; the rest are the positional arguments.
    const char* vst3Binary = nullptr;
    int n = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--vst3" && i + 1 < argc) {
            vst3Binary = argv[++i];
        } else {
            argv[n++] = argv[i];
        }
    }
    argc = n;
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s MODULE LABEL [PASSES [MODULE2 LABEL2]] [--vst3 BINARY]\n",
                     argv[0]);
        return 2;
    }
    const std::string label = argv[2];
    const int passes = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
    PluginModule module, second;
    std::string error;
    PluginModule vst3;
    if (!module.load(argv[1], error) || (argc > 5 && !second.load(argv[4], error)) ||
        (vst3Binary && !vst3.loadLibrary(vst3Binary, error))) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    const BenchSignal sig = musicSignal(10.0);
    std::printf("# %s: %s, 48 kHz, block %d\n", argv[1], sig.source.c_str(), kBenchBlock);
    auto host = std::make_shared<RecordingHost>();
    std::vector<BenchCase> cases;
    for (const Workload& w : kWorkloads) {
        for (float mode : {0.0f, 1.0f}) {
            const std::string key =
                std::string("/") + w.name + "/" + (mode < 0.5f ? "LIMIT" : "CLIP") + "/";
            cases.push_back(moduleCase<float>(label + key + "32", host, module, sig, w, mode));
            cases.push_back(moduleCase<double>(label + key + "64", host, module, sig, w, mode));
            if (vst3.isLoaded()) {
                cases.push_back(vst3Case<float>(label + "-vst3" + key + "32", vst3, sig, w, mode));
                cases.push_back(vst3Case<double>(label + "-vst3" + key + "64", vst3, sig, w, mode));
            }
            if (!second.isLoaded()) continue;
            cases.push_back(moduleCase<float>(argv[5] + key + "32", host, second, sig, w, mode));
            cases.push_back(moduleCase<double>(argv[5] + key + "64", host, second, sig, w, mode));
        }
    }
    addNativeOnlyCases(cases, sig);

    // The signal in stretches of 16 blocks (about 0.17 s of audio, a few
    // hundred microseconds of work): each stretch is timed for every case in
    // turn, so that a busy moment of a shared machine touches all cases
    // alike and the medians leave it out.
    constexpr size_t kStretch = 16;
    const size_t blocks = sig.left.size() / kBenchBlock;
    std::vector<std::vector<double>> ns(cases.size());
    for (auto& c : cases) c.run(0, blocks);  // warm caches and envelopes
    for (int p = 0; p < passes; ++p) {
        for (size_t first = 0; first + kStretch <= blocks; first += kStretch) {
            for (size_t i = 0; i < cases.size(); ++i) {
                const auto start = std::chrono::steady_clock::now();
                cases[i].run(first, kStretch);
                const std::chrono::duration<double, std::nano> took =
                    std::chrono::steady_clock::now() - start;
                ns[i].push_back(took.count() / (kStretch * kBenchBlock));
            }
        }
    }
    for (size_t i = 0; i < cases.size(); ++i) {
        std::printf("ns %s %.3f\n", cases[i].key.c_str(), median(ns[i]));
    }
    return 0;
}
