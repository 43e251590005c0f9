// Finds the drive and ceiling that bring a render to a loudness target and
// under a true-peak limit. The drive is one number for the whole level
// range: below 0 dB it is a trim the host applies ahead of the plug-in (the
// plug-in's own gain stays at 0 dB), above 0 dB it is the plug-in's input
// gain. Each pass is one whole render, measured; the search is told how to
// make one and never sees audio.
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

// Where the search may go, in dB.
struct SearchLimits {
    double minTrimDb = -60;                            // the deepest trim the host applies
    double maxGainDb = kParameterInfo[kGain].maximum;  // the plug-in's largest input gain
    double minCeilingDb = kParameterInfo[kThresh].minimum;
    double ceilingCapDb = 0;  // the ceiling set; the search only lowers it
};

// What the search starts from: the input's own figures (the first pass is
// aimed with them) and, without a loudness target, the drive to keep.
struct SearchStart {
    double inputLufs = 0;        // -infinity when the input has none
    double inputTruePeakDb = 0;  // -infinity for silence
    double driveDb = 0;
};

struct SearchPoint {
    double driveDb = 0;
    double ceilingDb = 0;
    double lufs = 0;        // -infinity when the output has no integrated loudness
    double truePeakDb = 0;  // -infinity for silence

    double trimDb() const { return driveDb < 0 ? driveDb : 0.0; }
    double gainDb() const { return driveDb > 0 ? driveDb : 0.0; }
};

struct SearchResult {
    bool reached = false;
    SearchPoint chosen;  // the settings found
    int passes = 0;
    std::string error;  // why the target cannot be reached, with the reachable range
    // When the loudness is out of reach: the quietest and loudest the whole
    // range of drive gives under the true-peak limit. They come from passes
    // at fixed points, so they are the same whatever target was asked.
    bool haveRange = false;
    double quietestLufs = 0, loudestLufs = 0;
};

using MeasurePass = std::function<SearchPoint(double driveDb, double ceilingDb)>;

// The loudness is reached within kLoudnessTolerance and the true peak kept
// at or under its limit.
SearchResult searchTargets(const SearchTargets& targets, const SearchLimits& limits,
                           const SearchStart& start, const MeasurePass& measure);

constexpr double kLoudnessTolerance = 0.1;
