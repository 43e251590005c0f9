// A module loaded by path and one effect created through its entry point,
// checked to be a VST 2.4 effect record before anything else is called.
#pragma once

#include <memory>
#include <string>

#include "tools/plughost/plugin_instance.h"
#include "tools/plughost/plugin_module.h"
#include "tools/plughost/recording_host.h"

class LoadedEffect {
  public:
    // False with a message when the file is no loadable plug-in.
    bool open(const std::string& path, std::string& error);

    PluginModule& module() { return plugin; }
    RecordingHost& host() { return callbacks; }
    const PluginInstance& effect() const { return *fx; }

  private:
    // Declared in this order so the effect closes before the module unloads.
    PluginModule plugin;
    RecordingHost callbacks;
    std::unique_ptr<PluginInstance> fx;
};
