// One thing a speed run times: stretches of the benchmark signal in 512-frame
// blocks, through a module's binary interface or a peer's.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bench/music_signal.h"

constexpr int kBenchBlock = 512;
constexpr double kBenchRate = 48000.0;

// The two workloads, the same for every module and peer: the music signal
// at +6 dB into a -1 dBFS ceiling, and at +12 dB into -6 dBFS for heavier
// reduction; release 50 ms.
struct Workload {
    const char* name;
    double gainDb;
    double ceilingDb;
};
constexpr Workload kWorkloads[] = {{"music", 6.0, -1.0}, {"heavy", 12.0, -6.0}};
constexpr double kReleaseMs = 50.0;

// 32-bit copies of the signal, and one block of output.
struct StereoAudio {
    std::vector<float> inL, inR, outL, outR;
    explicit StereoAudio(const BenchSignal& sig)
        : inL(sig.left), inR(sig.right), outL(kBenchBlock), outR(kBenchBlock) {}
};

struct BenchCase {
    std::string key;  // e.g. "native/music/LIMIT/32"
    // Processes blocks [first, first + count) of the signal.
    std::function<void(size_t first, size_t count)> run;
};

// Cases that only the native build can time (a peer plug-in, the effect with
// its meter attached); none under the Windows toolchain.
void addNativeOnlyCases(std::vector<BenchCase>& cases, const BenchSignal& signal);
// The peer plug-ins, where the build has an LV2 host library.
void addPeerCases(std::vector<BenchCase>& cases, const BenchSignal& signal);
