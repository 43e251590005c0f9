// The limiter's per-sample algorithm, in two forms that must give bit-identical
// results: the reference kernel, written step by step as the algorithm reads,
// and the fast kernel that the effect runs. The fast kernel only skips work
// whose result is known exactly (see limiter_fast_kernel.cpp).
//
// Both run on the audio thread: no allocation, no lock, no call that can wait.
// Inputs and outputs may be the same buffers; each frame is read whole before
// it is written.
#pragma once

#include <cmath>
#include <cstdint>

#include "engine/limiter_state.h"

// A non-finite sample would poison every envelope for the life of the
// instance, so it is processed as silence. The test is on the gained value:
// a huge finite input can overflow the gain.
inline double gainedSample(double x, double gainLin) {
    const double y = x * gainLin;
    return std::isfinite(y) ? y : 0.0;
}

template <typename T>
void processReference(LimiterState& state, const LimiterCoefficients& coefs,
                      const BlockSettings& block, MeterReading& meter, T** inputs, T** outputs,
                      int32_t sampleFrames);

template <typename T>
void processFast(LimiterState& state, const LimiterCoefficients& coefs, const BlockSettings& block,
                 MeterReading& meter, T** inputs, T** outputs, int32_t sampleFrames);
