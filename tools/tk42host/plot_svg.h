// A picture of a render as SVG: input and output level over time (peak and
// RMS per channel), the ceiling and the output's short-term loudness on one
// dB scale, and the gain reduction below it, time in minutes and seconds.
#pragma once

#include <string>
#include <vector>

#include "tools/tk42host/plot_recorder.h"

struct PlotData {
    std::string title;
    double sampleRate = 48000;
    int channels = 2;
    const PlotRecorder* envelopes = nullptr;
    // The output's short-term loudness every 100 ms from 3 s on, LUFS.
    std::vector<double> shortTerm;
    bool ceilingKnown = false;
    double ceilingDb = 0;
};

// The layout, in pixels, so that a reader of the picture can find the data.
namespace plot {
constexpr int kWidth = 1200;
constexpr int kHeight = 720;
constexpr int kLeft = 80;
constexpr int kRight = 1170;
constexpr int kLevelTop = 60;
constexpr int kLevelBottom = 450;
constexpr double kLevelMaxDb = 12;
constexpr double kLevelMinDb = -60;
constexpr int kReductionTop = 500;
constexpr int kReductionBottom = 660;

// The reduction scale: 0 dB at the top down to the first of 6, 12 or 24 dB
// (or more, in steps of 12) that holds the largest reduction.
double reductionScaleDb(double maxReductionDb);
}  // namespace plot

std::string plotSvg(const PlotData& data);
