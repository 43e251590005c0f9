// The figures a render measures, for the summary and the JSON report.
#pragma once

#include <cstdint>

#include "tools/tk42host/loudness_meter.h"

struct RenderStats {
    uint64_t frames = 0;
    double inputSamplePeak = 0;  // linear
    double inputTruePeak = 0;
    double outputSamplePeak = 0;
    double outputTruePeak = 0;
    double maxReductionDb = 0;
    double averageReductionDb = 0;  // over frames that carry signal
    bool ceilingKnown = false;
    double ceilingLinear = 0;
    uint64_t aboveCeiling = 0;    // output samples above the ceiling, before quantisation
    uint64_t nonFiniteInput = 0;  // replaced by silence before processing
    LoudnessFigures inputLoudness;
    LoudnessFigures outputLoudness;
    double pluginSeconds = 0;    // time spent inside the process calls
    double totalSeconds = 0;     // the whole render loop, reading and writing included
    double meteringSeconds = 0;  // true peak and loudness, part of the whole
};
