// What the command line sets on the effect before it runs: a saved state,
// parameters by normalised value, and the limiter's parameters in the user's
// units. Applied in that order, so that a single option can adjust a state.
#pragma once

#include <string>
#include <vector>

#include "tools/plughost/plugin_instance.h"
#include "tools/tk42host/parameter_units.h"

struct ParameterSetting {
    std::string name;  // as the plug-in reports it, or an index
    float value;       // normalised, checked to be 0 to 1
};

struct UnitSetting {
    UnitOption option;
    double value;
};

struct EffectSettings {
    std::string stateFile;
    std::vector<ParameterSetting> parameters;
    int mode = -1;  // -1 unchanged, 0 LIMIT, 1 CLIP
    std::vector<UnitSetting> units;

    bool usesUnits() const { return mode >= 0 || !units.empty(); }
};

// Applies the settings; on failure answers the exit code and a message.
int applySettings(const PluginInstance& fx, const EffectSettings& settings, std::string& error);

// True when the effect is the TK42-R limiter, whose parameter table the unit
// options and the summary's ceiling rely on.
bool isTk42Limiter(const PluginInstance& fx);
