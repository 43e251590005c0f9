// The module's entry point: the limiter with its panel.
#include "editor/limiter_editor_factory.h"
#include "host/plugin_entry.h"

extern "C" AEffect* VSTPluginMain(audioMasterCallback audioMaster) {
    return createLimiterEffect(audioMaster, &createLimiterEditor);
}
