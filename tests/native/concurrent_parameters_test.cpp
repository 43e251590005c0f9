// Hosts set parameters from several threads at once: automation on the audio
// thread, a knob on the editor's thread, a control surface on a third. Once
// those calls have returned, the next block must run with the coefficients
// of the stored values, exactly as a fresh instance given the same values.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

#include "formats/vst2/tembro_limiter.h"

namespace {

constexpr float kRate = 48000.0f;
constexpr int kFrames = 256;

// Loud enough for both stages to work, so that every coefficient shapes the
// output: a burst, then a quieter stretch for the releases.
std::vector<float> testSignal() {
    std::vector<float> s(kFrames);
    for (int i = 0; i < kFrames; ++i) {
        const float level = i < kFrames / 2 ? 3.0f : 0.3f;
        s[i] = level * static_cast<float>((i * 37) % 200 - 100) / 100.0f;
    }
    return s;
}

std::vector<float> render(TembroLimiter& fx, const std::vector<float>& in) {
    std::vector<float> l(in), r(in);
    float* io[2] = {l.data(), r.data()};
    fx.processReplacing(io, io, kFrames);
    return l;
}

// Three threads each set one time parameter at the same moment.
void setTogether(TembroLimiter& fx, const std::array<float, 3>& values) {
    constexpr std::array<int32_t, 3> indices = {kAtkH, kRelH, kRelease};
    std::atomic<int> ready{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 3; ++t) {
        threads.emplace_back([&, t] {
            ready.fetch_add(1);
            while (ready.load() < 3) std::this_thread::yield();
            fx.setParameter(indices[t], values[t]);
        });
    }
    for (auto& th : threads) th.join();
}

// Holds the first thread to read all four time and mode values inside its own
// setParameter until another thread's whole setParameter has run: the
// interleaving in which a recomputation from older values lands last.
class InterleavingLimiter : public TembroLimiter {
  public:
    InterleavingLimiter() : TembroLimiter(nullptr) {}
    float getParameter(int32_t index) override {
        const float v = TembroLimiter::getParameter(index);
        if (std::this_thread::get_id() == heldThread && ++readsOnHeldThread == 4) {
            paused = true;
            waitFor(otherDone);
        }
        return v;
    }
    static void waitFor(const std::atomic<bool>& flag) {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (!flag && std::chrono::steady_clock::now() < until) std::this_thread::yield();
    }
    std::thread::id heldThread;
    int readsOnHeldThread = 0;
    std::atomic<bool> paused{false};
    std::atomic<bool> otherDone{false};
};

}  // namespace

TEST(ConcurrentParameters, ARecomputationFromOlderValuesNeverLandsLast) {
    const std::vector<float> in = testSignal();
    InterleavingLimiter shared;
    shared.setSampleRate(kRate);
    shared.setParameter(kGain, 0.25f);
    std::atomic<bool> firstDone{false};
    std::thread first([&] {
        shared.heldThread = std::this_thread::get_id();
        shared.setParameter(kAtkH, 0.1f);
        firstDone = true;
    });
    std::thread second([&] {
        while (!shared.paused && !firstDone) std::this_thread::yield();
        shared.setParameter(kRelH, 0.9f);
        shared.otherDone = true;
    });
    first.join();
    second.join();

    TembroLimiter fresh(nullptr);
    fresh.setSampleRate(kRate);
    for (int32_t i = 0; i < kNumParams; ++i) fresh.setParameter(i, shared.getParameter(i));
    EXPECT_EQ(render(shared, in), render(fresh, in));
}

TEST(ConcurrentParameters, SimultaneousTimeChangesNeverLeaveStaleCoefficients) {
    const std::vector<float> in = testSignal();
    std::mt19937 random(42);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    int mismatches = 0;
    for (int trial = 0; trial < 1000; ++trial) {
        TembroLimiter shared(nullptr);
        shared.setSampleRate(kRate);
        shared.setParameter(kGain, 0.25f);
        setTogether(shared, {unit(random), unit(random), unit(random)});

        TembroLimiter fresh(nullptr);
        fresh.setSampleRate(kRate);
        for (int32_t i = 0; i < kNumParams; ++i) fresh.setParameter(i, shared.getParameter(i));

        if (render(shared, in) != render(fresh, in)) ++mismatches;
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(ConcurrentParameters, RateAndParameterChangesTogetherEndConsistent) {
    const std::vector<float> in = testSignal();
    int mismatches = 0;
    for (int trial = 0; trial < 200; ++trial) {
        TembroLimiter shared(nullptr);
        shared.setSampleRate(44100.0f);
        std::atomic<int> ready{0};
        const float atk = static_cast<float>(trial % 10) / 10.0f;
        std::thread rate([&] {
            ready.fetch_add(1);
            while (ready.load() < 2) std::this_thread::yield();
            shared.setSampleRate(kRate);
        });
        ready.fetch_add(1);
        while (ready.load() < 2) std::this_thread::yield();
        shared.setParameter(kAtkH, atk);
        rate.join();

        TembroLimiter fresh(nullptr);
        fresh.setSampleRate(kRate);
        fresh.setParameter(kAtkH, atk);
        if (render(shared, in) != render(fresh, in)) ++mismatches;
    }
    EXPECT_EQ(mismatches, 0);
}

TEST(ConcurrentParameters, CoefficientsStayZeroUntilTheFirstRateOrTimeChange) {
    TembroLimiter fx(nullptr);
    const LimiterCoefficients c = fx.coefficients();
    EXPECT_EQ(c.limitAttack, 0.0);
    EXPECT_EQ(c.clipRelease, 0.0);
    fx.setParameter(kGain, 0.5f);
    EXPECT_EQ(fx.coefficients().clipRelease, 0.0);
    fx.setParameter(kRelease, 0.5f);
    EXPECT_GT(fx.coefficients().clipRelease, 0.0);
}
