// tk42host's command line on any arguments (the input, split at newlines):
// the numeric parsing of every option and the range checks behind it. Parsed
// numbers must be finite; an accepted command line must hold only values in
// the ranges the options state, and every unit value must map to a
// normalised value from 0 to 1.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tools/tk42host/command_line.h"
#include "tools/tk42host/parameter_units.h"

namespace {

void check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

std::vector<std::string> split(const uint8_t* data, size_t size) {
    std::vector<std::string> args(1);
    for (size_t i = 0; i < size; ++i) {
        if (data[i] == '\n') {
            args.emplace_back();
        } else {
            args.back() += static_cast<char>(data[i]);
        }
    }
    return args;
}

void checkUnits(const EffectSettings& effect) {
    for (const UnitSetting& u : effect.units) {
        for (const bool limitMode : {true, false}) {
            float normalised = -1.0f;
            std::string error;
            if (unitToNormalised(u.option, u.value, limitMode, normalised, error)) {
                check(normalised >= 0.0f && normalised <= 1.0f, "a unit value outside 0 to 1");
            } else {
                check(!error.empty(), "a refused unit value without a message");
            }
        }
    }
    for (const ParameterSetting& p : effect.parameters)
        check(p.value >= 0.0f && p.value <= 1.0f, "a --param value outside 0 to 1");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<std::string> args = split(data, size);
    for (const std::string& a : args) {
        double v = 0;
        if (parseNumber(a, v)) check(std::isfinite(v), "a non-finite number accepted");
        uint64_t w = 0;
        parseWhole(a, w);
    }
    std::string error;
    RenderOptions render;
    if (parseRenderOptions(args, render, error)) {
        check(render.blockSize >= 1 && render.blockSize <= 65536, "a block size out of range");
        check(render.demoSeconds >= 0.1 && render.demoSeconds <= 3600, "demo length out of range");
        check(render.jobs >= 1 && render.jobs <= 64, "a job count out of range");
        // Targets, given or from a preset, within the options' ranges.
        const SearchTargets& t = render.targets;
        check(!t.loudness || (t.lufs >= -70 && t.lufs <= 0), "a loudness target out of range");
        check(!t.truePeak || (t.truePeakMax >= -30 && t.truePeakMax <= 0),
              "a true-peak limit out of range");
        checkUnits(render.effect);
    } else {
        check(!error.empty(), "a refused render command line without a message");
    }
    EditorOptions editor;
    error.clear();
    if (parseEditorOptions(args, editor, error)) {
        checkUnits(editor.effect);
    } else {
        check(!error.empty(), "a refused editor command line without a message");
    }
    DemoOptions demo;
    error.clear();
    if (parseDemoOptions(args, demo, error)) {
        check(demo.seconds >= 0.1 && demo.seconds <= 3600, "demo length out of range");
    } else {
        check(!error.empty(), "a refused demo command line without a message");
    }
    return 0;
}
