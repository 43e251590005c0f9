// The fast kernel. It computes exactly what the reference kernel computes, in
// stretches of up to kChunk frames and in separate passes, so that the exp and
// log10 calls (independent of the recursions around them) run over arrays in
// vectorised loops, while each recursion runs in a scalar pass of its own:
//
//   1. input gain, limit stage and look-ahead (scalar recursion);
//   2. log10 of the peaks that may overshoot (vectorised);
//   3. clip envelope, and the meter when it shows the clip stage (scalar);
//   4. exp of the clip reduction (vectorised), and the output;
//   5. with the meter on the limit stage: log10 of the limit gain
//      (vectorised) and the meter's recursion (scalar).
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
// - log10 in the meter feed where the limit gain is exactly 1;
// - the delay-line shift, replaced by a ring buffer with the same contents.
#include <algorithm>
#include <cmath>

#include "effect/dsp_math.h"
#include "effect/dsp_math_arrays.h"
#include "effect/limiter_kernel.h"
#include "effect/parameters.h"

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

template <typename T, bool kLimit, bool kMeter>
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

    const double atk = c.limitAttack, rel = c.limitRelease;
    const double keepAtk = 1.0 - atk, keepRel = 1.0 - rel;
    const double clipAtk = c.clipAttack, clipRel = c.clipRelease;
    const double threshLin = b.threshLin, threshDb = b.threshDb;
    const double safeLevel = threshLin * kSafeBelowCeiling;
    const double fall = meter.fallCoef, keepFall = 1.0 - fall;
    const bool meterOnLimit = kMeter && kLimit && b.meterShowsLimit;
    const double unityGainDb = -(20.0 * dsp::log10(1.0));

    // Per-chunk arrays: the stage outputs and the clip stage's factors.
    double yL[kChunk], yR[kChunk], over[kChunk], g[kChunk], limitGain[kChunk];
    Gathered hot, moving;

    for (int32_t start = 0; start < sampleFrames; start += kChunk) {
        const int len = static_cast<int>(std::min<int32_t>(kChunk, sampleFrames - start));
        const T* inL = inputs[0] + start;
        const T* inR = inputs[1] + start;
        T* outL = outputs[0] + start;
        T* outR = outputs[1] + start;

        // 1. Input gain and the limit stage.
        hot.count = 0;
        for (int n = 0; n < len; ++n) {
            const double xL = gainedSample(static_cast<double>(inL[n]), b.gainLin);
            const double xR = gainedSample(static_cast<double>(inR[n]), b.gainLin);
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
                if (meterOnLimit) limitGain[n] = gain;
            }
            yL[n] = vL;
            yR[n] = vR;
            const double peak = std::max(std::fabs(vL), std::fabs(vR));
            over[n] = 0.0;
            if (!(peak < safeLevel)) hot.add(n, peak + kTiny);
        }

        // 2. The overshoot in dB where it may be above zero.
        dsp::log10Of(hot.value, hot.value, hot.count);
        for (int i = 0; i < hot.count; ++i) {
            const double o = 20.0 * hot.value[i] - threshDb;
            over[hot.at[i]] = o < 0 ? 0.0 : o;
        }

        // 3. The clip envelope.
        moving.count = 0;
        for (int n = 0; n < len; ++n) {
            const double o = over[n] + kTiny;
            if (o > clipEnv) {
                clipEnv = o + (clipEnv - o) * clipAtk;
            } else {
                clipEnv = o + (clipEnv - o) * clipRel;
            }
            const double grDb = clipEnv - kTiny;
            const double arg = -grDb * kDbToLinear;
            g[n] = 1.0;
            if (arg < kExpIsOneAbove) moving.add(n, arg);
            if (kMeter && !meterOnLimit) {
                grMeter = grDb > grMeter ? grDb : keepFall * grDb + fall * grMeter;
            }
        }

        // 4. The clip stage's gain, and the output.
        dsp::expOf(moving.value, moving.value, moving.count);
        for (int i = 0; i < moving.count; ++i) g[moving.at[i]] = moving.value[i];
        for (int n = 0; n < len; ++n) {
            outL[n] = static_cast<T>(g[n] * yL[n]);
            outR[n] = static_cast<T>(g[n] * yR[n]);
        }

        // 5. The meter on the limit stage: -20 log10(gain).
        if (meterOnLimit) {
            Gathered& reduced = hot;
            reduced.count = 0;
            for (int n = 0; n < len; ++n) {
                if (limitGain[n] != 1.0) reduced.add(n, limitGain[n]);
            }
            dsp::log10Of(reduced.value, reduced.value, reduced.count);
            for (int n = 0; n < len; ++n) limitGain[n] = unityGainDb;
            for (int i = 0; i < reduced.count; ++i) {
                limitGain[reduced.at[i]] = -(20.0 * reduced.value[i]);
            }
            for (int n = 0; n < len; ++n) {
                const double m = limitGain[n];
                grMeter = m > grMeter ? m : keepFall * m + fall * grMeter;
            }
        }
    }

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
        if (meter.active) {
            run<T, true, true>(st, c, b, meter, inputs, outputs, sampleFrames);
        } else {
            run<T, true, false>(st, c, b, meter, inputs, outputs, sampleFrames);
        }
    } else if (meter.active) {
        run<T, false, true>(st, c, b, meter, inputs, outputs, sampleFrames);
    } else {
        run<T, false, false>(st, c, b, meter, inputs, outputs, sampleFrames);
    }
}

template void processFast<float>(LimiterState&, const LimiterCoefficients&, const BlockSettings&,
                                 MeterReading&, float**, float**, int32_t);
template void processFast<double>(LimiterState&, const LimiterCoefficients&, const BlockSettings&,
                                  MeterReading&, double**, double**, int32_t);
