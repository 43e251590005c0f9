// The end-of-render summary, as text for people and as JSON for scripts;
// both show the same figures.
#pragma once

#include <nlohmann/json.hpp>
#include <ostream>
#include <string>

#include "tools/tk42host/render_stats.h"
#include "tools/tk42host/target_search.h"
#include "tools/tk42host/wav_format.h"

struct RenderSummary {
    std::string input;  // file name, or "demo"
    std::string output;
    WavFormat inputFormat;
    SampleFormat outputFormat = SampleFormat::Float32;
    bool dithered = false;
    int32_t blockSize = 0;
    bool doublePrecision = false;
    int32_t delay = 0;
    bool delayReported = false;
    bool delayCompensated = false;
    RenderStats stats;
    bool searched = false;  // --target-lufs or --true-peak-max
    SearchTargets targets;
    SearchResult search;
};

void printSummary(std::ostream& out, const RenderSummary& s);
std::string summaryJson(const RenderSummary& s);
// The same as a JSON object, for reports that gather several renders.
nlohmann::ordered_json summaryObject(const RenderSummary& s);

// The figures of several renders as one programme (an album): loudness in
// and out, the output's true peak, and the shared search.
void printAlbum(std::ostream& out, const RenderSummary& album, size_t files);
nlohmann::ordered_json albumObject(const RenderSummary& album);

// 20 log10 of a linear level, -infinity for silence.
double toDb(double linear);
