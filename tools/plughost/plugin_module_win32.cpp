#include <windows.h>

#include "tools/plughost/plugin_module.h"

bool PluginModule::load(const std::string& path, std::string& error) {
    unload();
    HMODULE module = LoadLibraryA(path.c_str());
    if (!module) {
        error = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    handle = module;
    if (!entry()) {
        error = path + " exports neither VSTPluginMain nor main";
        unload();
        return false;
    }
    return true;
}

void PluginModule::unload() {
    if (handle) FreeLibrary(static_cast<HMODULE>(handle));
    handle = nullptr;
}

void* PluginModule::symbol(const char* name) const {
    if (!handle) return nullptr;
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle), name));
}

PluginEntry PluginModule::entry() const {
    void* f = symbol("VSTPluginMain");
    if (!f) f = symbol("main");
    return reinterpret_cast<PluginEntry>(f);
}
