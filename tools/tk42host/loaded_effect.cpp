#include "tools/tk42host/loaded_effect.h"

bool LoadedEffect::open(const std::string& path, std::string& error) {
    if (!plugin.load(path, error)) return false;
    AEffect* record = callbacks.create(plugin.entry());
    if (!record) {
        error = "the entry point of " + path + " returned no effect";
        return false;
    }
    // A record without the magic is not an effect; calling through it could
    // jump anywhere, so it is left alone.
    if (record->magic != kEffectMagic || !record->dispatcher || record->numParams < 0 ||
        record->numParams > 4096) {
        error = path + " is not a VST 2.4 plug-in (its entry point returned no effect record)";
        return false;
    }
    fx = std::make_unique<PluginInstance>(record);
    return true;
}
