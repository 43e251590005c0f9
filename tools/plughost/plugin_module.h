// Loads a plug-in module by path and finds its entry point, like a host does:
// a VST 2.4 one, or a CLAP one through tools/plughost/clap_bridge.h.
#pragma once

#include <string>

#include "formats/vst2/aeffect.h"

using PluginEntry = AEffect* (*)(audioMasterCallback);

class PluginModule {
  public:
    PluginModule() = default;
    ~PluginModule() { unload(); }
    PluginModule(const PluginModule&) = delete;
    PluginModule& operator=(const PluginModule&) = delete;

    // False with a message in error when the file cannot be loaded or has no
    // entry point.
    bool load(const std::string& path, std::string& error);
    // Loads the file whatever it exports (a VST3 module's binary).
    bool loadLibrary(const std::string& path, std::string& error);
    void unload();
    bool isLoaded() const { return handle != nullptr; }

    // The address of an exported function, or null.
    void* symbol(const char* name) const;
    // VSTPluginMain, or "main" for modules that export only that; for a CLAP
    // module the bridge that presents its plug-in as an effect record.
    PluginEntry entry() const;

  private:
    void* handle = nullptr;
    bool boundClap = false;
};
