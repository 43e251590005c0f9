// The options of the render and editor commands, parsed and checked before
// anything is loaded: a bad command line fails fast, with the option named.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/tk42host/effect_settings.h"
#include "tools/tk42host/target_search.h"
#include "tools/tk42host/wav_format.h"

struct RenderOptions {
    std::string module;
    std::string input;  // empty with --demo
    std::string output;
    // With --out-dir: every input, each written under its own name in outDir.
    std::vector<std::string> inputs;
    std::string outDir;
    bool album = false;  // one search for all the inputs
    bool demo = false;
    double demoSeconds = 6.0;
    int32_t blockSize = 512;
    bool doublePrecision = false;
    bool compensateDelay = true;
    EffectSettings effect;
    std::string saveState;
    std::string report;
    std::string plot;  // SVG
    // --plot without a file: each output's picture beside it, named after it.
    bool plotAll = false;
    // Files of a batch rendered at once; the number of cores by default.
    int jobs = 1;
    bool haveFormat = false;
    SampleFormat format = SampleFormat::Float32;
    bool dither = true;
    bool haveSeed = false;
    uint64_t seed = 0;
    bool quiet = false;
    SearchTargets targets;
};

// The delivery presets: targets from public recommendations.
struct DeliveryPreset {
    const char* name;
    double lufs;
    double truePeakMax;
    const char* source;
};
extern const DeliveryPreset kDeliveryPresets[3];

struct EditorOptions {
    std::string module;
    std::string screenshot;
    EffectSettings effect;
};

struct DemoOptions {
    std::string output;
    double seconds = 6.0;
};

// The arguments after the command word. False with a message on any error.
bool parseRenderOptions(const std::vector<std::string>& args, RenderOptions& options,
                        std::string& error);
bool parseEditorOptions(const std::vector<std::string>& args, EditorOptions& options,
                        std::string& error);
bool parseDemoOptions(const std::vector<std::string>& args, DemoOptions& options,
                      std::string& error);

// Strict number parsing: the whole text must be the number.
bool parseNumber(const std::string& text, double& value);
bool parseWhole(const std::string& text, uint64_t& value);
