#include "tools/tk42host/effect_settings.h"

#include <fstream>

#include "engine/parameters.h"
#include "tools/tk42host/exit_codes.h"

namespace {

int32_t resolveParameter(const PluginInstance& fx, const std::string& name) {
    int32_t index = fx.findParameter(name);
    if (index >= 0) return index;
    // A plain index is accepted too.
    if (name.empty() || name.size() > 9 ||
        name.find_first_not_of("0123456789") != std::string::npos)
        return -1;
    index = std::stoi(name);
    return index < fx.record()->numParams ? index : -1;
}

std::string parameterList(const PluginInstance& fx) {
    std::string list;
    for (int32_t i = 0; i < fx.record()->numParams; ++i) {
        list += (i ? ", " : "") + fx.parameterName(i);
    }
    return list;
}

bool loadState(const PluginInstance& fx, const std::string& path, std::string& error) {
    const std::vector<uint8_t> current = fx.chunk();
    if (!(fx.record()->flags & effFlagsProgramChunks) || current.empty()) {
        error = "the module does not save its state as a block; --state cannot be used";
        return false;
    }
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) {
        error = "cannot read the state file " + path;
        return false;
    }
    // The effect's own state tells the expected size: a file of another size
    // is not a state of this plug-in (and is not read into memory).
    const auto size = static_cast<uint64_t>(in.tellg());
    if (size != current.size()) {
        error = "the state file " + path + " holds " + std::to_string(size) +
                " bytes; the module's state is " + std::to_string(current.size()) + " bytes";
        return false;
    }
    std::vector<uint8_t> bytes(current.size());
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(bytes.data()),
                 static_cast<std::streamsize>(bytes.size()))) {
        error = "cannot read the state file " + path;
        return false;
    }
    fx.setChunk(bytes);
    return true;
}

}  // namespace

bool isTk42Limiter(const PluginInstance& fx) {
    return fx.record()->uniqueID == fourCharCode('T', 'K', '4', '2') &&
           fx.record()->numParams == kNumParams;
}

int applySettings(const PluginInstance& fx, const EffectSettings& settings, std::string& error) {
    if (!settings.stateFile.empty() && !loadState(fx, settings.stateFile, error)) return kExitInput;
    for (const ParameterSetting& p : settings.parameters) {
        const int32_t index = resolveParameter(fx, p.name);
        if (index < 0) {
            error = "unknown parameter '" + p.name + "'; the module has: " + parameterList(fx);
            return kExitUsage;
        }
        fx.setParameter(index, p.value);
    }
    if (!settings.usesUnits()) return kExitOk;
    if (!isTk42Limiter(fx)) {
        error = "--mode and the unit options work only with the TK42-R limiter; use --param";
        return kExitUsage;
    }
    if (settings.mode >= 0) fx.setParameter(kMode, settings.mode ? 1.0f : 0.0f);
    // The clip release range depends on the mode, which may come from any of
    // the settings above: resolve the units against the effect's final mode.
    const bool limitMode = isLimitMode(fx.getParameter(kMode));
    for (const UnitSetting& u : settings.units) {
        float v = 0.0f;
        if (!unitToNormalised(u.option, u.value, limitMode, v, error)) return kExitUsage;
        fx.setParameter(unitOptionInfo(u.option).parameter, v);
    }
    return kExitOk;
}
