// ns per stereo frame of the limiter's process routines at 48 kHz, with
// several dB of gain reduction on a music signal.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "bench/music_signal.h"
#include "engine/limiter_kernel.h"
#include "formats/vst2/tembro_limiter.h"

namespace {

constexpr int32_t kBlock = 512;

const BenchSignal& music() {
    static const BenchSignal s = musicSignal(10.0);
    return s;
}
const BenchSignal& generated() {
    static const BenchSignal s = generatedSignal(10.0);
    return s;
}

// Seconds per stereo frame, printed with an SI prefix (8.9n is 8.9 ns).
void perFrame(benchmark::State& state) {
    state.counters["per_frame"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kBlock,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

enum class Meter { closed, open };

template <typename T>
void runEffect(benchmark::State& state, const BenchSignal& sig, float mode, Meter meter) {
    TembroLimiter fx(nullptr);
    fx.setSampleRate(48000.0f);
    fx.setParameter(kGain, 0.25f);  // +6 dB into a 0 dBFS ceiling
    fx.setParameter(kMode, mode);
    if (meter == Meter::open) fx.meterFeed().attach(fx.meterFallCoef());
    const size_t frames = sig.left.size();
    std::vector<T> inL(sig.left.begin(), sig.left.end()), inR(sig.right.begin(), sig.right.end());
    std::vector<T> outL(kBlock), outR(kBlock);
    size_t pos = 0;
    for (auto _ : state) {
        T* ins[2] = {inL.data() + pos, inR.data() + pos};
        T* outs[2] = {outL.data(), outR.data()};
        if constexpr (sizeof(T) == 4) {
            fx.processReplacing(ins, outs, kBlock);
        } else {
            fx.processDoubleReplacing(ins, outs, kBlock);
        }
        benchmark::DoNotOptimize(outL.data());
        pos += kBlock;
        if (pos + kBlock > frames) pos = 0;
    }
    perFrame(state);
    state.SetLabel(sig.source);
}

// The plain per-sample algorithm, for comparison.
void runReference(benchmark::State& state, const BenchSignal& sig) {
    const LimiterCoefficients c = limiterCoefficients(48000.0, 0.25f, 0.25f, 1.0f, 0.0f);
    const BlockSettings b = blockSettings(0.25f, 1.0f, 0.0f, 0.0f);
    LimiterState st;
    MeterReading m;
    std::vector<float> inL(sig.left), inR(sig.right), outL(kBlock), outR(kBlock);
    size_t pos = 0;
    for (auto _ : state) {
        float* ins[2] = {inL.data() + pos, inR.data() + pos};
        float* outs[2] = {outL.data(), outR.data()};
        processReference(st, c, b, m, ins, outs, kBlock);
        benchmark::DoNotOptimize(outL.data());
        pos += kBlock;
        if (pos + kBlock > sig.left.size()) pos = 0;
    }
    perFrame(state);
}

void BM_ProcessFloat_Limit(benchmark::State& s) {
    runEffect<float>(s, music(), 0.0f, Meter::closed);
}
void BM_ProcessDouble_Limit(benchmark::State& s) {
    runEffect<double>(s, music(), 0.0f, Meter::closed);
}
void BM_ProcessFloat_Clip(benchmark::State& s) {
    runEffect<float>(s, music(), 1.0f, Meter::closed);
}
void BM_ProcessDouble_Clip(benchmark::State& s) {
    runEffect<double>(s, music(), 1.0f, Meter::closed);
}
void BM_ProcessFloat_Limit_MeterOpen(benchmark::State& s) {
    runEffect<float>(s, music(), 0.0f, Meter::open);
}
void BM_ProcessFloat_Clip_MeterOpen(benchmark::State& s) {
    runEffect<float>(s, music(), 1.0f, Meter::open);
}
void BM_ProcessFloat_Limit_Generated(benchmark::State& s) {
    runEffect<float>(s, generated(), 0.0f, Meter::closed);
}
void BM_Reference_Limit(benchmark::State& s) {
    runReference(s, music());
}

}  // namespace

BENCHMARK(BM_ProcessFloat_Limit);
BENCHMARK(BM_ProcessDouble_Limit);
BENCHMARK(BM_ProcessFloat_Clip);
BENCHMARK(BM_ProcessDouble_Clip);
BENCHMARK(BM_ProcessFloat_Limit_MeterOpen);
BENCHMARK(BM_ProcessFloat_Clip_MeterOpen);
BENCHMARK(BM_ProcessFloat_Limit_Generated);
BENCHMARK(BM_Reference_Limit);

BENCHMARK_MAIN();
