#include "tools/tk42host/info_command.h"

#include <algorithm>
#include <cstdio>

#include "tools/tk42host/exit_codes.h"
#include "tools/tk42host/loaded_effect.h"

namespace {

std::string fourCharText(int32_t id) {
    std::string s;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = static_cast<char>((static_cast<uint32_t>(id) >> shift) & 0xFF);
        s += (c >= 32 && c < 127) ? c : '?';
    }
    return s;
}

std::string flagNames(int32_t flags) {
    static const struct {
        int32_t bit;
        const char* name;
    } kFlags[] = {
        {effFlagsHasEditor, "editor"},
        {effFlagsHasClip, "clip"},
        {effFlagsHasVu, "vu"},
        {effFlagsCanMono, "mono"},
        {effFlagsCanReplacing, "replacing"},
        {effFlagsProgramChunks, "chunks"},
        {effFlagsIsSynth, "synth"},
        {effFlagsNoSoundInStop, "no-sound-in-stop"},
        {effFlagsCanDoubleReplacing, "double"},
    };
    std::string s;
    for (const auto& f : kFlags) {
        if (flags & f.bit) s += (s.empty() ? "" : ", ") + std::string(f.name);
    }
    return s;
}

std::string categoryName(intptr_t category) {
    static const char* kNames[] = {"unknown",     "effect",          "synth",   "analysis",
                                   "mastering",   "spacializer",     "room fx", "surround fx",
                                   "restoration", "offline process", "shell",   "generator"};
    if (category >= 0 && category < static_cast<intptr_t>(sizeof kNames / sizeof kNames[0]))
        return kNames[category];
    return "?";
}

}  // namespace

int runInfo(const std::string& modulePath, std::ostream& out, std::ostream& err) {
    LoadedEffect loaded;
    std::string error;
    if (!loaded.open(modulePath, error)) {
        err << "tk42host: " << error << "\n";
        return kExitModule;
    }
    const PluginInstance& fx = loaded.effect();
    const AEffect* e = fx.record();
    char hex[16];
    std::snprintf(hex, sizeof hex, "0x%08X", static_cast<uint32_t>(e->uniqueID));
    char flags[16];
    std::snprintf(flags, sizeof flags, "0x%X", static_cast<uint32_t>(e->flags));
    const intptr_t category = fx.dispatch(effGetPlugCategory);

    out << "module        " << modulePath << "\n"
        << "name          " << fx.effectName() << "\n"
        << "vendor        " << fx.vendorString() << "\n"
        << "product       " << fx.productString() << "\n"
        << "unique id     '" << fourCharText(e->uniqueID) << "' (" << hex << ")\n"
        << "version       " << fx.dispatch(effGetVendorVersion) << " (record version " << e->version
        << ", VST " << fx.dispatch(effGetVstVersion) << ")\n"
        << "flags         " << flags << " (" << flagNames(e->flags) << ")\n"
        << "inputs        " << e->numInputs << "\n"
        << "outputs       " << e->numOutputs << "\n"
        << "programs      " << e->numPrograms << "\n"
        << "category      " << categoryName(category) << " (" << category << ")\n"
        << "delay         " << e->initialDelay << " samples reported\n"
        << "parameters    " << e->numParams << "\n";
    for (int32_t i = 0; i < e->numParams; ++i) {
        char value[32];
        std::snprintf(value, sizeof value, "%.6f", fx.getParameter(i));
        std::string name = fx.parameterName(i);
        std::string display = fx.parameterDisplay(i) + " " + fx.parameterLabel(i);
        name.resize(std::max<size_t>(name.size(), 8), ' ');
        out << "  " << i << "  " << name << "  " << value << "  " << display << "\n";
    }
    return kExitOk;
}
