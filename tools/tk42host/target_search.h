// Finds the input gain and ceiling that bring a render to a loudness target
// and under a true-peak limit. Each pass is one whole render, measured; the
// search is told how to make one and never sees audio.
#pragma once

#include <functional>
#include <string>

#include "engine/parameters.h"

struct SearchTargets {
    bool loudness = false;
    double lufs = 0;  // integrated loudness of the output
    bool truePeak = false;
    double truePeakMax = 0;  // dBTP
};

struct SearchPoint {
    double gainDb = 0;
    double ceilingDb = 0;
    double lufs = 0;        // -infinity when the output has no integrated loudness
    double truePeakDb = 0;  // -infinity for silence
};

struct SearchResult {
    bool reached = false;
    SearchPoint chosen;  // the settings found, or the nearest reachable ones
    int passes = 0;
    std::string error;  // why the target cannot be reached, with the nearest figure
};

using MeasurePass = std::function<SearchPoint(double gainDb, double ceilingDb)>;

// The loudness is reached within kLoudnessTolerance; the ceiling only goes
// down from ceilingDb, the gain stays within the limiter's 0 to 24 dB.
SearchResult searchTargets(const SearchTargets& targets, double gainDb, double ceilingDb,
                           const MeasurePass& measure);

constexpr double kLoudnessTolerance = 0.1;
constexpr double kMaxGainDb = kParameterInfo[kGain].maximum;
constexpr double kMinCeilingDb = kParameterInfo[kThresh].minimum;
