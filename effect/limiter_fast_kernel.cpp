// The fast kernel. It computes exactly what the reference kernel computes and
// skips only work whose result is known beforehand:
//
// - log10 in the clip stage when the peak is below 0.999 of the ceiling: the
//   overshoot 20 log10(peak) - threshDb is then at most about -0.0087 dB,
//   far beyond any rounding error, so it is clamped to exactly 0;
// - exp when the clip reduction equals the previous sample's: at rest, and
//   in the long tail where clipEnvDb sits one unit in the last place above
//   kTiny (the release factor is above 0.5, so rounding never takes it lower);
// - the target division when limitEnv <= threshLin: the correctly rounded
//   quotient is then at least 1 and clamped to exactly 1;
// - log10 in the meter feed when limitGain equals the previous sample's;
// - the delay-line shift, replaced by a ring buffer with the same contents.
#include <algorithm>
#include <cmath>

#include "effect/dsp_math.h"
#include "effect/limiter_kernel.h"
#include "effect/parameters.h"

namespace {

constexpr double kSafeBelowCeiling = 0.999;

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
    // exp and log10 are pure: an argument equal to the last one gives the last
    // result, so these caches change no bit of the output.
    double lastGrDb = 0.0;
    double lastGain = dsp::exp(-0.0 * kDbToLinear);
    double lastLimitGain = 1.0;
    double lastLimitDb = -(20.0 * dsp::log10(1.0));

    const double atk = c.limitAttack, rel = c.limitRelease;
    const double keepAtk = 1.0 - atk, keepRel = 1.0 - rel;
    const double clipAtk = c.clipAttack, clipRel = c.clipRelease;
    const double threshLin = b.threshLin, threshDb = b.threshDb;
    const double safeLevel = threshLin * kSafeBelowCeiling;
    const double fall = meter.fallCoef, keepFall = 1.0 - fall;
    const T* inL = inputs[0];
    const T* inR = inputs[1];
    T* outL = outputs[0];
    T* outR = outputs[1];

    for (int32_t n = 0; n < sampleFrames; ++n) {
        const double xL = gainedSample(static_cast<double>(inL[n]), b.gainLin);
        const double xR = gainedSample(static_cast<double>(inR[n]), b.gainLin);
        double yL = xL;
        double yR = xR;
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
            yL = gain * ringL[pos];
            yR = gain * ringR[pos];
            ringL[pos] = xL;
            ringR[pos] = xR;
            if (++pos == kLookAhead) pos = 0;
        }
        const double peak = std::max(std::fabs(yL), std::fabs(yR));
        double over = 0;
        if (!(peak < safeLevel)) {
            over = 20.0 * dsp::log10(peak + kTiny) - threshDb;
            if (over < 0) over = 0;
        }
        over = over + kTiny;
        if (over > clipEnv) {
            clipEnv = over + (clipEnv - over) * clipAtk;
        } else {
            clipEnv = over + (clipEnv - over) * clipRel;
        }
        const double grDb = clipEnv - kTiny;
        if (grDb != lastGrDb) {
            lastGrDb = grDb;
            lastGain = dsp::exp(-grDb * kDbToLinear);
        }
        outL[n] = static_cast<T>(lastGain * yL);
        outR[n] = static_cast<T>(lastGain * yR);
        if (kMeter) {
            double m = grDb;
            if (kLimit && b.meterShowsLimit) {
                if (gain != lastLimitGain) {
                    lastLimitGain = gain;
                    lastLimitDb = -(20.0 * dsp::log10(gain));
                }
                m = lastLimitDb;
            }
            grMeter = m > grMeter ? m : keepFall * m + fall * grMeter;
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
