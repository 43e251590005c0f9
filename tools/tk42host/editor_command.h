// tk42host editor: opens the plug-in's editor in a window of the host, lets
// it paint, and saves its pixels as a PNG file.
#pragma once

#include <ostream>
#include <string>

#include "tools/plughost/plugin_instance.h"
#include "tools/tk42host/command_line.h"

int runEditor(const EditorOptions& options, std::ostream& out, std::ostream& err);

// Per platform: opens the editor, captures it into pngPath and closes it.
bool captureEditor(const PluginInstance& fx, const std::string& pngPath, std::string& error);
