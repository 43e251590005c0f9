// The cases only the native build times: x42-dpl, the fastest free peer, in
// the same run as the modules and with equivalent settings; and the effect
// with its meter attached and detached (as with the editor open and closed).
#include <cmath>
#include <cstdio>
#include <map>

#include "bench/bench_case.h"
#include "bench/lv2_peer.h"
#include "effect/parameters.h"
#include "effect/tembro_limiter.h"

namespace {

constexpr const char* kPeerUri = "http://gareus.org/oss/lv2/dpl#stereo";

struct Audio {
    std::vector<float> inL, inR, outL, outR;
    explicit Audio(const BenchSignal& sig)
        : inL(sig.left), inR(sig.right), outL(kBenchBlock), outR(kBenchBlock) {}
};

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
        std::fprintf(stderr, "# x42-dpl not timed: %s\n", error.c_str());
        return;
    }
    auto audio = std::make_shared<Audio>(sig);
    cases.push_back(
        {std::string("x42-dpl/") + w.name + "/LIMIT/32", [peer, audio](size_t first, size_t count) {
             for (size_t b = first; b < first + count; ++b) {
                 const size_t at = b * kBenchBlock;
                 peer->run(audio->inL.data() + at, audio->inR.data() + at, audio->outL.data(),
                           audio->outR.data(), kBenchBlock);
             }
         }});
}

void addEffect(std::vector<BenchCase>& cases, const BenchSignal& sig, const Workload& w,
               bool meter) {
    auto fx = std::make_shared<TembroLimiter>(nullptr);
    fx->setSampleRate(static_cast<float>(kBenchRate));
    fx->setParameter(kGain, static_cast<float>(w.gainDb / 24.0));
    fx->setParameter(kThresh, static_cast<float>(1.0 + w.ceilingDb / 24.0));
    fx->setParameter(kRelease,
                     static_cast<float>(std::cbrt((kReleaseMs - 0.1) / clipReleaseFactor(true))));
    if (meter) fx->meterFeed().attach(fx->meterFallCoef());
    auto audio = std::make_shared<Audio>(sig);
    cases.push_back(
        {std::string("meter-") + (meter ? "attached/" : "detached/") + w.name + "/LIMIT/32",
         [fx, audio](size_t first, size_t count) {
             for (size_t b = first; b < first + count; ++b) {
                 float* ins[2] = {audio->inL.data() + b * kBenchBlock,
                                  audio->inR.data() + b * kBenchBlock};
                 float* outs[2] = {audio->outL.data(), audio->outR.data()};
                 fx->processReplacing(ins, outs, kBenchBlock);
             }
         }});
}

}  // namespace

void addNativeOnlyCases(std::vector<BenchCase>& cases, const BenchSignal& sig) {
    for (const Workload& w : kWorkloads) {
        addPeer(cases, sig, w);
        addEffect(cases, sig, w, false);
        addEffect(cases, sig, w, true);
    }
}
