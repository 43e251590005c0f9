#include "bench/soak/soak_session.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <mutex>
#include <random>
#include <thread>
#include <vector>

#include "bench/soak/soak_platform.h"
#include "bench/soak/soak_signal.h"
#include "engine/parameters.h"
#include "tests/common/ceiling_tolerance.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int32_t kMaxBlock = 4096;
// Every rate the effect accepts is used by some interface, from 8 kHz to 768 kHz.
constexpr float kRates[] = {8000.f,  22050.f,  44100.f,  48000.f,  88200.f,
                            96000.f, 176400.f, 192000.f, 384000.f, 768000.f};
constexpr size_t kMaxFailures = 20;

double ceilingLinear(float thresh) {
    return std::exp(ceilingDb(thresh) * kDbToLinear);
}

// A parameter value as hosts send them: mostly anywhere in range, sometimes
// exactly at an end or at the two-state switch point, sometimes outside the
// range (the effect clamps).
float randomValue(std::mt19937_64& rng) {
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    switch (rng() % 16) {
        case 0:
            return 0.0f;
        case 1:
            return 1.0f;
        case 2:
            return 0.5f;
        case 3:
            return unit(rng) * 3.0f - 1.0f;
        default:
            return unit(rng);
    }
}

// Block sizes from 1 to 4096, spread evenly over the octaves so that tiny
// blocks are as common as large ones.
int32_t randomBlockSize(std::mt19937_64& rng) {
    std::uniform_real_distribution<double> octaves(0.0, 12.0);
    const auto n = static_cast<int32_t>(std::exp2(octaves(rng)));
    return std::clamp(n, 1, kMaxBlock);
}

// The second thread's ceiling changes, for the audio thread to learn which
// ceilings a block may have run with. Each change writes its value to the log
// first, then makes the generation odd, stores the parameter and makes the
// generation even again.
class CeilingLog {
  public:
    static constexpr uint64_t kSize = 64;

    void set(AEffect* e, float value) {
        const uint64_t k = changes.load();
        values[k % kSize].store(std::clamp(value, 0.0f, 1.0f));  // as the effect stores it
        generation.fetch_add(1);
        e->setParameter(e, kThresh, value);
        generation.fetch_add(1);
        changes.store(k + 1);
    }
    uint64_t now() const { return generation.load(); }

    // The highest value any change that could overlap the span between the
    // generations g0 and g1 stored; false when the log no longer holds them.
    bool highest(uint64_t g0, uint64_t g1, float& high) const {
        const uint64_t first = g0 / 2, last = (g1 + 1) / 2;  // changes first .. last-1
        high = 0.0f;
        for (uint64_t k = first; k < last; ++k) high = std::max(high, values[k % kSize].load());
        // A change overwrites its slot before it counts itself as done.
        return changes.load() + 1 < first + kSize;
    }

  private:
    std::atomic<uint64_t> generation{0};
    std::atomic<uint64_t> changes{0};
    std::atomic<float> values[kSize]{};
};

class Session {
  public:
    Session(AEffect* e, SoakPlatform& p, const SoakOptions& o) : fx(e), platform(p), options(o) {}

    SoakFigures run() {
        fig.rssStartKiB = platform.residentKiB();
        const auto start = Clock::now();
        const auto after = [start](double seconds) {
            return start + std::chrono::duration_cast<Clock::duration>(
                               std::chrono::duration<double>(seconds));
        };
        const Clock::time_point end = after(options.seconds);
        const Clock::time_point warm = after(std::min(10.0, options.seconds / 6));

        dispatch(effSetSampleRate, 0, 0, nullptr, 44100.f);
        dispatch(effSetBlockSize, 0, kMaxBlock);
        dispatch(effMainsChanged, 0, 1);
        rate = 44100.f;

        std::thread audio([this] { audioThread(); });
        std::thread automation([this] { automationThread(); });
        uiThread(end, warm);
        stop.store(true);
        audio.join();
        automation.join();
        dispatch(effMainsChanged, 0, 0);

        fig.rssEndKiB = platform.residentKiB();
        fig.rssMaxKiB = std::max(fig.rssMaxKiB, fig.rssEndKiB);
        if (options.checkMemory && fig.rssWarmKiB &&
            fig.rssEndKiB > fig.rssWarmKiB + options.allowedGrowthKiB) {
            fail("resident memory grew from " + std::to_string(fig.rssWarmKiB) + " KiB to " +
                 std::to_string(fig.rssEndKiB) + " KiB");
        }
        return fig;
    }

  private:
    intptr_t dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                      float opt = 0.f) {
        return fx->dispatcher(fx, opcode, index, value, ptr, opt);
    }

    void fail(const std::string& what) {
        std::lock_guard<std::mutex> lock(failureMutex);
        ++fig.failureCount;
        if (fig.failures.size() < kMaxFailures) fig.failures.push_back(what);
    }

    // --- The audio thread -------------------------------------------------------
    void audioThread() {
        std::mt19937_64 rng(options.seed);
        SoakSignal signal(options.seed * 7919 + 1);
        std::vector<double> inL(kMaxBlock), inR(kMaxBlock), outL(kMaxBlock), outR(kMaxBlock);
        std::vector<float> finL(kMaxBlock), finR(kMaxBlock), foutL(kMaxBlock), foutR(kMaxBlock);
        uint64_t blocksAtRate = 0;
        while (!stop.load(std::memory_order_relaxed)) {
            if (blocksAtRate > 2000 && rng() % 4000 == 0) {
                changeRate(rng);
                blocksAtRate = 0;
            }
            // Automation recorded in the host's track: a few parameters change
            // right before the block.
            if (rng() % 4 == 0) {
                for (uint64_t i = 0, n = 1 + rng() % 3; i < n; ++i) {
                    fx->setParameter(fx, static_cast<int32_t>(rng() % kNumParams),
                                     randomValue(rng));
                    ++fig.audioAutomation;
                }
            }
            const int32_t n = randomBlockSize(rng);
            signal.fill(inL.data(), inR.data(), n, rate);
            const bool inPlace = rng() % 2 == 0;
            const bool doublePrecision = rng() % 2 == 0;

            const uint64_t g0 = ceilings.now();
            const float c0 = fx->getParameter(fx, kThresh);
            if (doublePrecision) {
                double* in[2] = {inL.data(), inR.data()};
                double* out[2] = {outL.data(), outR.data()};
                fx->processDoubleReplacing(fx, in, inPlace ? in : out, n);
                if (inPlace) std::copy(inL.begin(), inL.begin() + n, outL.begin());
                if (inPlace) std::copy(inR.begin(), inR.begin() + n, outR.begin());
            } else {
                std::copy(inL.begin(), inL.begin() + n, finL.begin());
                std::copy(inR.begin(), inR.begin() + n, finR.begin());
                float* in[2] = {finL.data(), finR.data()};
                float* out[2] = {foutL.data(), foutR.data()};
                fx->processReplacing(fx, in, inPlace ? in : out, n);
                const std::vector<float>& l = inPlace ? finL : foutL;
                const std::vector<float>& r = inPlace ? finR : foutR;
                std::copy(l.begin(), l.begin() + n, outL.begin());
                std::copy(r.begin(), r.begin() + n, outR.begin());
            }
            const uint64_t g1 = ceilings.now();
            float thresh = c0;
            bool knownCeiling = true;
            if (g1 != g0 || (g0 & 1)) {
                ++fig.movedCeilingBlocks;
                float high = 0;
                knownCeiling = ceilings.highest(g0, g1, high);
                thresh = std::max({c0, fx->getParameter(fx, kThresh), high});
            }
            check(outL.data(), outR.data(), n, knownCeiling ? thresh : 1.0f, doublePrecision);
            fig.unknownCeilingBlocks += knownCeiling ? 0 : 1;
            ++blocksAtRate;
        }
        fig.nonFiniteInputs = signal.nonFiniteSamples();
    }

    // Between a suspend and a resume, as a host does when the project's rate changes.
    void changeRate(std::mt19937_64& rng) {
        dispatch(effMainsChanged, 0, 0);
        rate = kRates[rng() % (sizeof kRates / sizeof kRates[0])];
        dispatch(effSetSampleRate, 0, 0, nullptr, rate);
        dispatch(effSetBlockSize, 0, kMaxBlock);
        dispatch(effMainsChanged, 0, 1);
        ++fig.rateChanges;
    }

    void check(const double* L, const double* R, int32_t n, float thresh, bool doublePrecision) {
        const double ceiling = ceilingLinear(thresh);
        const double limit = ceiling * (1.0 + ceilingTolerance(rate));
        RateFigures& r = fig.byRate[static_cast<int>(rate)];
        double peak = 0;
        bool finite = true;
        for (int32_t i = 0; i < n; ++i) {
            finite = finite && std::isfinite(L[i]) && std::isfinite(R[i]);
            peak = std::max({peak, std::fabs(L[i]), std::fabs(R[i])});
        }
        ++fig.blocks;
        fig.doubleBlocks += doublePrecision ? 1 : 0;
        fig.samples += 2 * static_cast<uint64_t>(n);
        ++r.blocks;
        r.samples += 2 * static_cast<uint64_t>(n);
        if (!finite) {
            fail("a non-finite output sample in block " + std::to_string(fig.blocks));
            return;
        }
        r.worstOvershoot = std::max(r.worstOvershoot, peak / ceiling - 1.0);
        if (peak > limit) {
            char text[200];
            std::snprintf(text, sizeof text,
                          "block %llu at %.0f Hz: peak %.9g over the ceiling %.9g (%s)",
                          static_cast<unsigned long long>(fig.blocks), static_cast<double>(rate),
                          peak, ceiling, doublePrecision ? "double" : "float");
            fail(text);
        }
    }

    // --- The second thread: a control surface or the editor's thread ------------
    void automationThread() {
        std::mt19937_64 rng(options.seed ^ 0x9E3779B97F4A7C15ull);
        while (!stop.load(std::memory_order_relaxed)) {
            std::this_thread::sleep_for(std::chrono::microseconds(rng() % 2000));
            const auto index = static_cast<int32_t>(rng() % kNumParams);
            const float v = randomValue(rng);
            if (index == kThresh) {
                ceilings.set(fx, v);
            } else {
                fx->setParameter(fx, index, v);
            }
            ++fig.threadAutomation;
        }
    }

    // --- The user-interface thread: the editor comes and goes ---------------------
    void uiThread(Clock::time_point end, Clock::time_point warm) {
        std::mt19937_64 rng(options.seed + 17);
        bool warmed = false;
        while (Clock::now() < end) {
            if (options.editor) {
                if (dispatch(effEditOpen, 0, 0, platform.parentWindow()) != 1)
                    fail("the editor did not open");
                ++fig.editorCycles;
            }
            const auto closeAt = Clock::now() + std::chrono::milliseconds(100 + rng() % 2000);
            while (Clock::now() < closeAt && Clock::now() < end) {
                platform.uiTurn(10 + static_cast<int>(rng() % 20));
                if (options.editor) {
                    dispatch(effEditIdle);
                    ++fig.editorIdles;
                }
                // The host's generic view reads the display texts; saving the
                // project reads the state.
                char text[64] = {};
                dispatch(effGetParamDisplay, static_cast<int32_t>(rng() % kNumParams), 0, text);
                void* chunk = nullptr;
                dispatch(effGetChunk, 0, 0, &chunk);
            }
            if (options.editor) dispatch(effEditClose);
            platform.uiTurn(static_cast<int>(rng() % 200));
            const uint64_t rss = platform.residentKiB();
            fig.rssMaxKiB = std::max(fig.rssMaxKiB, rss);
            if (!warmed && Clock::now() >= warm) {
                fig.rssWarmKiB = rss;
                warmed = true;
            }
        }
    }

    AEffect* fx;
    SoakPlatform& platform;
    SoakOptions options;
    SoakFigures fig;
    std::mutex failureMutex;
    std::atomic<bool> stop{false};
    // Written by the audio thread between a suspend and a resume only.
    float rate = 44100.f;
    CeilingLog ceilings;
};

}  // namespace

SoakFigures runSoak(AEffect* effect, SoakPlatform& platform, const SoakOptions& options) {
    return Session(effect, platform, options).run();
}
