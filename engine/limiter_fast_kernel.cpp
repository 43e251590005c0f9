// The fast kernel. It computes exactly what the reference kernel computes, in
// stretches of up to kChunk frames and in separate passes, so that the exp and
// log10 calls (independent of the recursions around them) run over arrays in
// vectorised loops, while each recursion runs in a scalar pass of its own:
//
//   1. input gain, limit stage and look-ahead (scalar recursion);
//   2. log10 of the peaks that may overshoot, and of the limit gain for the
//      meter (vectorised);
//   3. clip envelope and meter (scalar recursions);
//   4. exp of the clip reduction (vectorised), and the output.
// Pass 3 of one stretch runs in the same loop as pass 1 of the next, so that
// the processor overlaps their recursions.
//
// It skips only work whose result is known beforehand:
// - log10 in the clip stage when the peak is below 0.999 of the ceiling: the
//   overshoot 20 log10(peak) - threshDb is then at most about -0.0087 dB,
//   far beyond any rounding error, so it is clamped to exactly 0;
// - exp where its argument is above -2^-54: e^x then rounds to exactly 1
//   (at rest, and in the long tail where clipEnvDb sits one unit in the last
//   place above kTiny);
// - the target division when limitEnv <= threshLin: the correctly rounded
//   quotient is then at least 1 and clamped to exactly 1;
// - the delay-line shift, replaced by a ring buffer with the same contents.
#include <algorithm>
#include <cmath>

#include "engine/dsp_math.h"
#include "engine/dsp_math_arrays.h"
#include "engine/limiter_kernel.h"
#include "engine/parameters.h"

namespace {

constexpr double kSafeBelowCeiling = 0.999;
// e^x rounds to 1 for |x| < 2^-54.
constexpr double kExpIsOneAbove = -0x1p-54;
// Long enough for the vector loops, short enough for the stack.
constexpr int kChunk = 128;

// Indices and arguments gathered for one vectorised call.
struct Gathered {
    int at[kChunk];
    double value[kChunk];
    int count = 0;
    void add(int i, double v) {
        at[count] = i;
        value[count] = v;
        ++count;
    }
};

// What the meter reads, if it is attached.
enum class Meter { detached, clipStage, limitStage };

template <typename T, bool kLimit, Meter kMeterSource>
void run(LimiterState& st, const LimiterCoefficients& c, const BlockSettings& b,
         MeterReading& meter, T** inputs, T** outputs, int32_t sampleFrames) {
    // Legend of the locals, loaded once and stored back after the loop:
    //   env, gain   limit-stage envelope and gain (linear)
    //   clipEnv     clip-stage reduction in dB plus kTiny
    //   ringL/R     look-ahead line; ringX[pos] is the oldest sample
    //   grMeter     the meter reading in dB
    double env = st.limitEnv;
    double gain = st.limitGain;
    double clipEnv = st.clipEnvDb;
    double grMeter = meter.valueDb;
    double ringL[kLookAhead];
    double ringR[kLookAhead];
    for (int j = 0; j < kLookAhead; ++j) {
        ringL[j] = st.delayL[kLookAhead - 1 - j];
        ringR[j] = st.delayR[kLookAhead - 1 - j];
    }
    int pos = 0;

    const double gainLin = b.gainLin;
    const double atk = c.limitAttack, rel = c.limitRelease;
    const double keepAtk = 1.0 - atk, keepRel = 1.0 - rel;
    const double clipAtk = c.clipAttack, clipRel = c.clipRelease;
    const double threshLin = b.threshLin, threshDb = b.threshDb;
    const double safeLevel = threshLin * kSafeBelowCeiling;
    const double fall = meter.fallCoef, keepFall = 1.0 - fall;
    constexpr bool kMeter = kMeterSource != Meter::detached;
    constexpr bool kMeterOnLimit = kLimit && kMeterSource == Meter::limitStage;

    // Two sets of per-chunk arrays: while the limit stage fills one chunk's,
    // the clip stage consumes the previous chunk's in the same loop, so that
    // the two recursions overlap in the processor.
    struct Chunk {
        double yL[kChunk], yR[kChunk];  // limit stage output
        double over[kChunk];            // overshoot in dB, clamped at 0
        double meterDb[kChunk];         // -20 log10(limit gain), for the meter
        int32_t start = 0;
        int len = 0;
    };
    Chunk chunks[2];
    Gathered hot, moving;
    double g[kChunk];

    // Limit stage (or plain gain) for frame n of chunk k.
    auto limitStep = [&](Chunk& k, int n) {
        const double xL = gainedSample(static_cast<double>(inputs[0][k.start + n]), gainLin);
        const double xR = gainedSample(static_cast<double>(inputs[1][k.start + n]), gainLin);
        double vL = xL;
        double vR = xR;
        if (kLimit) {
            const double p = std::max(std::fabs(xL), std::fabs(xR)) + kTiny;
            if (p > env) {
                env = keepAtk * env + atk * p;
            } else {
                env = keepRel * env + rel * p;
            }
            double t = 1.0;
            if (env > threshLin) {
                t = threshLin / env;
                if (!(t < 1.0)) t = 1.0;
            }
            if (gain > t) {
                gain = keepAtk * gain + atk * t;
            } else {
                gain = keepRel * gain + rel * t;
            }
            vL = gain * ringL[pos];
            vR = gain * ringR[pos];
            ringL[pos] = xL;
            ringR[pos] = xR;
            if (++pos == kLookAhead) pos = 0;
            if constexpr (kMeterOnLimit) k.meterDb[n] = gain;
        }
        k.yL[n] = vL;
        k.yR[n] = vR;
        const double peak = std::max(std::fabs(vL), std::fabs(vR));
        k.over[n] = 0.0;
        if (!(peak < safeLevel)) hot.add(n, peak + kTiny);
    };
    // Clip envelope and meter for frame n of chunk k.
    auto clipStep = [&](const Chunk& k, int n) {
        const double o = k.over[n] + kTiny;
        if (o > clipEnv) {
            clipEnv = o + (clipEnv - o) * clipAtk;
        } else {
            clipEnv = o + (clipEnv - o) * clipRel;
        }
        const double grDb = clipEnv - kTiny;
        const double arg = -grDb * kDbToLinear;
        g[n] = 1.0;
        if (arg < kExpIsOneAbove) moving.add(n, arg);
        if constexpr (kMeter) {
            const double m = kMeterOnLimit ? k.meterDb[n] : grDb;
            grMeter = m > grMeter ? m : keepFall * m + fall * grMeter;
        }
    };
    // The clip stage's gain for chunk k, and its output.
    auto output = [&](const Chunk& k) {
        dsp::expOf(moving.value, moving.value, moving.count);
        for (int i = 0; i < moving.count; ++i) g[moving.at[i]] = moving.value[i];
        T* outL = outputs[0] + k.start;
        T* outR = outputs[1] + k.start;
        for (int n = 0; n < k.len; ++n) {
            outL[n] = static_cast<T>(g[n] * k.yL[n]);
            outR[n] = static_cast<T>(g[n] * k.yR[n]);
        }
        moving.count = 0;
    };

    Chunk* prev = nullptr;
    for (int32_t start = 0, index = 0; start < sampleFrames; start += kChunk, ++index) {
        Chunk& cur = chunks[index & 1];
        cur.start = start;
        cur.len = static_cast<int>(std::min<int32_t>(kChunk, sampleFrames - start));
        hot.count = 0;
        const int both = prev ? std::min(cur.len, prev->len) : 0;
        for (int n = 0; n < both; ++n) {
            limitStep(cur, n);
            clipStep(*prev, n);
        }
        for (int n = both; n < cur.len; ++n) limitStep(cur, n);
        if (prev) {
            for (int n = both; n < prev->len; ++n) clipStep(*prev, n);
            output(*prev);
        }
        // The overshoot in dB where it may be above zero. A peak plus kTiny
        // is a normal finite number.
        dsp::log10NormalOf(hot.value, hot.value, hot.count);
        for (int i = 0; i < hot.count; ++i) {
            const double o = 20.0 * hot.value[i] - threshDb;
            cur.over[hot.at[i]] = o < 0 ? 0.0 : o;
        }
        // The limit gain as the meter reads it, in dB of reduction.
        if constexpr (kMeterOnLimit) dsp::reductionDbOf(cur.meterDb, cur.meterDb, cur.len);
        prev = &cur;
    }
    for (int n = 0; n < prev->len; ++n) clipStep(*prev, n);
    output(*prev);

    st.limitEnv = env;
    st.limitGain = gain;
    st.clipEnvDb = clipEnv;
    meter.valueDb = grMeter;
    for (int k = 0; k < kLookAhead; ++k) {
        st.delayL[k] = ringL[(pos + kLookAhead - 1 - k) % kLookAhead];
        st.delayR[k] = ringR[(pos + kLookAhead - 1 - k) % kLookAhead];
    }
}

}  // namespace

template <typename T>
void processFast(LimiterState& st, const LimiterCoefficients& c, const BlockSettings& b,
                 MeterReading& meter, T** inputs, T** outputs, int32_t sampleFrames) {
    if (sampleFrames <= 0) return;
    if (b.limitMode) {
        if (!meter.active) {
            run<T, true, Meter::detached>(st, c, b, meter, inputs, outputs, sampleFrames);
        } else if (b.meterShowsLimit) {
            run<T, true, Meter::limitStage>(st, c, b, meter, inputs, outputs, sampleFrames);
        } else {
            run<T, true, Meter::clipStage>(st, c, b, meter, inputs, outputs, sampleFrames);
        }
    } else if (meter.active) {
        run<T, false, Meter::clipStage>(st, c, b, meter, inputs, outputs, sampleFrames);
    } else {
        run<T, false, Meter::detached>(st, c, b, meter, inputs, outputs, sampleFrames);
    }
}

template void processFast<float>(LimiterState&, const LimiterCoefficients&, const BlockSettings&,
                                 MeterReading&, float**, float**, int32_t);
template void processFast<double>(LimiterState&, const LimiterCoefficients&, const BlockSettings&,
                                  MeterReading&, double**, double**, int32_t);
