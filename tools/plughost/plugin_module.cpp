// What loading a module means on every platform: the library, then a CLAP
// entry bound behind the effect-record bridge if there is one, then the
// VST 2.4 entry point (the platform files supply the library calls).
#include "tools/plughost/plugin_module.h"

#include "tools/plughost/clap_bridge.h"

bool PluginModule::load(const std::string& path, std::string& error) {
    if (!loadLibrary(path, error)) return false;
    if (void* clap = symbol("clap_entry")) {
        if (!bindClapModule(clap, path, error)) {
            unload();
            return false;
        }
        boundClap = true;
    }
    if (!entry()) {
        error = path + " exports neither VSTPluginMain nor main (nor clap_entry)";
        unload();
        return false;
    }
    return true;
}
