// The cases only the native build times: the peers, and the effect with its
// meter attached and detached (as with the editor open and closed).
#include <cmath>
#include <cstdio>

#include "bench/bench_case.h"
#include "engine/parameters.h"
#include "formats/vst2/tembro_limiter.h"

namespace {

void addEffect(std::vector<BenchCase>& cases, const BenchSignal& sig, const Workload& w,
               bool meter) {
    auto fx = std::make_shared<TembroLimiter>(nullptr);
    fx->setSampleRate(static_cast<float>(kBenchRate));
    fx->setParameter(kGain, fromReal(kGain, w.gainDb, true));
    fx->setParameter(kThresh, fromReal(kThresh, w.ceilingDb, true));
    fx->setParameter(kRelease, fromReal(kRelease, kReleaseMs, true));
    if (meter) fx->meterFeed().attach(fx->meterFallCoef());
    auto audio = std::make_shared<StereoAudio>(sig);
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
    addPeerCases(cases, sig);
    for (const Workload& w : kWorkloads) {
        addEffect(cases, sig, w, false);
        addEffect(cases, sig, w, true);
    }
}
