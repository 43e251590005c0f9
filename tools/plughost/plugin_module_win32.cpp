#include <windows.h>

#include <algorithm>

#include "tools/plughost/clap_bridge.h"
#include "tools/plughost/plugin_module.h"

bool PluginModule::loadLibrary(const std::string& path, std::string& error) {
    unload();
    // A bare name would be searched for in the system folders first, and
    // LoadLibrary wants backslashes: a host loads the file it was given.
    std::string file = path;
    std::replace(file.begin(), file.end(), '/', '\\');
    if (file.find('\\') == std::string::npos && file.find(':') == std::string::npos) {
        file = ".\\" + file;
    }
    HMODULE module = LoadLibraryA(file.c_str());
    if (!module) {
        error = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    handle = module;
    return true;
}

void PluginModule::unload() {
    if (boundClap) unbindClapModule();
    boundClap = false;
    if (handle) FreeLibrary(static_cast<HMODULE>(handle));
    handle = nullptr;
}

void* PluginModule::symbol(const char* name) const {
    if (!handle) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}

PluginEntry PluginModule::entry() const {
    if (boundClap) return &clapBridgeMain;
    void* f = symbol("VSTPluginMain");
    if (!f) f = symbol("main");
    return reinterpret_cast<PluginEntry>(f);
}
