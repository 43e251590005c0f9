#include <dlfcn.h>

#include "tools/plughost/clap_bridge.h"
#include "tools/plughost/plugin_module.h"

bool PluginModule::loadLibrary(const std::string& path, std::string& error) {
    unload();
    // A bare name would be searched on the library path; a host loads files.
    std::string file = path.find('/') == std::string::npos ? "./" + path : path;
    handle = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        error = "cannot load " + path + (why ? std::string(": ") + why : std::string());
        return false;
    }
    return true;
}

void PluginModule::unload() {
    if (boundClap) unbindClapModule();
    boundClap = false;
    if (handle) dlclose(handle);
    handle = nullptr;
}

void* PluginModule::symbol(const char* name) const {
    if (!handle) return nullptr;
    return dlsym(handle, name);
}

PluginEntry PluginModule::entry() const {
    if (boundClap) return &clapBridgeMain;
    void* f = symbol("VSTPluginMain");
    if (!f) f = symbol("main");
    return reinterpret_cast<PluginEntry>(f);
}
