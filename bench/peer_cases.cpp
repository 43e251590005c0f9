// x42-dpl, the fastest free peer, timed in the same run as the modules with
// equivalent settings: input gain, threshold, release, no true-peak mode.
// And this limiter's own LV2 bundle, in the same settings as the VST 2.4
// module, through the same small LV2 host.
#include <cstdio>
#include <map>

#include "bench/bench_case.h"
#include "bench/lv2_peer.h"
#include "engine/parameters.h"
#include "formats/lv2/lv2_ports.h"

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

void addLv2(std::vector<BenchCase>& cases, const BenchSignal& sig, const Workload& w, bool clip) {
#ifdef TK42_LV2_BUNDLE
    // The VST 2.4 cases set Release to 50 ms in LIMIT mode's range and keep
    // its normalised value in CLIP mode: the same value in milliseconds.
    const float release = fromReal(kRelease, kReleaseMs, true);
    const std::map<std::string, float> controls = {
        {kParameterInfo[kGain].id, static_cast<float>(w.gainDb)},
        {kParameterInfo[kThresh].id, static_cast<float>(w.ceilingDb)},
        {kParameterInfo[kRelease].id, static_cast<float>(toReal(kRelease, release, !clip))},
        {kParameterInfo[kMode].id, clip ? 1.0f : 0.0f}};
    auto lv2 = std::make_shared<Lv2Peer>();
    std::string error;
    if (!lv2->open(lv2port::kPluginUri, kBenchRate, controls, error, TK42_LV2_BUNDLE)) {
        std::printf("# the LV2 bundle not timed: %s\n", error.c_str());
        return;
    }
    auto audio = std::make_shared<StereoAudio>(sig);
    cases.push_back({std::string("lv2/") + w.name + (clip ? "/CLIP/32" : "/LIMIT/32"),
                     [lv2, audio](size_t first, size_t count) {
                         for (size_t b = first; b < first + count; ++b) {
                             const size_t at = b * kBenchBlock;
                             lv2->run(audio->inL.data() + at, audio->inR.data() + at,
                                      audio->outL.data(), audio->outR.data(), kBenchBlock);
                         }
                     }});
#else
    (void)cases, (void)sig, (void)w, (void)clip;
#endif
}

}  // namespace

void addPeerCases(std::vector<BenchCase>& cases, const BenchSignal& sig) {
    for (const Workload& w : kWorkloads) {
        addPeer(cases, sig, w);
        addLv2(cases, sig, w, false);
        addLv2(cases, sig, w, true);
    }
}
