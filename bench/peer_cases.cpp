// x42-dpl, the fastest free peer, timed in the same run as the modules with
// equivalent settings: input gain, threshold, release, no true-peak mode.
#include <cstdio>
#include <map>

#include "bench/bench_case.h"
#include "bench/lv2_peer.h"

namespace {

constexpr const char* kPeerUri = "http://gareus.org/oss/lv2/dpl#stereo";

void addPeer(std::vector<BenchCase>& cases, const BenchSignal& sig, const Workload& w) {
    auto peer = std::make_shared<Lv2Peer>();
    std::string error;
    const std::map<std::string, float> controls = {
        {"enable", 1.0f},
        {"gain", static_cast<float>(w.gainDb)},
        {"threshold", static_cast<float>(w.ceilingDb)},
        {"release", static_cast<float>(kReleaseMs / 1000.0)},
        {"truepeak", 0.0f}};
    if (!peer->open(kPeerUri, kBenchRate, controls, error)) {
        std::printf("# x42-dpl not timed: %s\n", error.c_str());
        return;
    }
    auto audio = std::make_shared<StereoAudio>(sig);
    cases.push_back(
        {std::string("x42-dpl/") + w.name + "/LIMIT/32", [peer, audio](size_t first, size_t count) {
             for (size_t b = first; b < first + count; ++b) {
                 const size_t at = b * kBenchBlock;
                 peer->run(audio->inL.data() + at, audio->inR.data() + at, audio->outL.data(),
                           audio->outR.data(), kBenchBlock);
             }
         }});
}

}  // namespace

void addPeerCases(std::vector<BenchCase>& cases, const BenchSignal& sig) {
    for (const Workload& w : kWorkloads) addPeer(cases, sig, w);
}
