#include "tools/tk42host/editor_command.h"

#include "tools/tk42host/exit_codes.h"
#include "tools/tk42host/loaded_effect.h"
#include "tools/tk42host/pending_file.h"

int runEditor(const EditorOptions& o, std::ostream& out, std::ostream& err) {
    LoadedEffect loaded;
    std::string error;
    if (!loaded.open(o.module, error)) {
        err << "tk42host: " << error << "\n";
        return kExitModule;
    }
    const PluginInstance& fx = loaded.effect();
    if (int code = applySettings(fx, o.effect, error)) {
        err << "tk42host: " << error << "\n";
        return code;
    }
    if (!(fx.record()->flags & effFlagsHasEditor)) {
        err << "tk42host: this module has no editor\n";
        return kExitModule;
    }
    PendingFile png(o.screenshot);
    if (!captureEditor(fx, png.path(), error)) {
        err << "tk42host: " << error << "\n";
        return kExitModule;
    }
    if (!png.commit(error)) {
        err << "tk42host: " << error << "\n";
        return kExitOutput;
    }
    out << "editor screenshot written to " << o.screenshot << "\n";
    return kExitOk;
}
