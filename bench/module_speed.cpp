// ns per stereo frame of a real module (TK42R.so natively, TK42R_x64.dll
// under Wine), driven through its record like a host, on the benchmark
// workloads; natively also the peers. Google Benchmark is not available for
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
#include "tools/plughost/plugin_instance.h"
#include "tools/plughost/plugin_module.h"
#include "tools/plughost/recording_host.h"

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

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s MODULE LABEL [PASSES]\n", argv[0]);
        return 2;
    }
    const std::string label = argv[2];
    const int passes = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
    PluginModule module;
    std::string error;
    if (!module.load(argv[1], error)) {
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
                label + "/" + w.name + "/" + (mode < 0.5f ? "LIMIT" : "CLIP") + "/";
            cases.push_back(moduleCase<float>(key + "32", host, module, sig, w, mode));
            cases.push_back(moduleCase<double>(key + "64", host, module, sig, w, mode));
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
