// The limiter's per-sample algorithm written step by step as it reads, over
// a choice of exp and log10 (Math::exp, Math::log10): the reference kernel
// instantiates it with the project's own functions, and a test with
// correctly rounded ones to bound how far those functions move the output.
#pragma once

#include <algorithm>
#include <cmath>

#include "engine/limiter_kernel.h"
#include "engine/parameters.h"

template <typename Math, typename T>
void processReferenceWith(LimiterState& st, const LimiterCoefficients& c, const BlockSettings& b,
                          MeterReading& meter, T** inputs, T** outputs, int32_t sampleFrames) {
    for (int32_t n = 0; n < sampleFrames; ++n) {
        const double xL = gainedSample(static_cast<double>(inputs[0][n]), b.gainLin);
        const double xR = gainedSample(static_cast<double>(inputs[1][n]), b.gainLin);
        double yL = xL;
        double yR = xR;
        if (b.limitMode) {
            const double p = std::max(std::fabs(xL), std::fabs(xR)) + kTiny;
            double k = p > st.limitEnv ? c.limitAttack : c.limitRelease;
            st.limitEnv = (1.0 - k) * st.limitEnv + k * p;
            double t = b.threshLin / st.limitEnv;
            if (!(t < 1.0)) t = 1.0;
            k = st.limitGain > t ? c.limitAttack : c.limitRelease;
            st.limitGain = (1.0 - k) * st.limitGain + k * t;
            yL = st.limitGain * st.delayL[4];
            yR = st.limitGain * st.delayR[4];
            for (int i = kLookAhead - 1; i > 0; --i) {
                st.delayL[i] = st.delayL[i - 1];
                st.delayR[i] = st.delayR[i - 1];
            }
            st.delayL[0] = xL;
            st.delayR[0] = xR;
        }
        double over =
            20.0 * Math::log10(std::max(std::fabs(yL), std::fabs(yR)) + kTiny) - b.threshDb;
        if (over < 0) over = 0;
        over = over + kTiny;
        if (over > st.clipEnvDb) {
            st.clipEnvDb = over + (st.clipEnvDb - over) * c.clipAttack;
        } else {
            st.clipEnvDb = over + (st.clipEnvDb - over) * c.clipRelease;
        }
        const double grDb = st.clipEnvDb - kTiny;
        const double g = Math::exp(-grDb * kDbToLinear);
        outputs[0][n] = static_cast<T>(g * yL);
        outputs[1][n] = static_cast<T>(g * yR);
        if (meter.active) {
            const double m = b.meterShowsLimit ? -(20.0 * Math::log10(st.limitGain)) : grDb;
            if (m > meter.valueDb) {
                meter.valueDb = m;
            } else {
                meter.valueDb = (1.0 - meter.fallCoef) * m + meter.fallCoef * meter.valueDb;
            }
        }
    }
}
