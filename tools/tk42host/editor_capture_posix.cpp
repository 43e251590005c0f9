#include "tools/tk42host/editor_command.h"

bool captureEditor(const PluginInstance&, const std::string&, std::string& error) {
    // The native build has no window to host an editor in yet.
    error =
        "editor screenshots need the Windows build of tk42host (this build has no window system)";
    return false;
}
