// The module's entry point: the limiter with its panel.
#include "entry/vst2/plugin_entry.h"
#include "formats/vst2/limiter_editor_factory.h"

extern "C" AEffect* VSTPluginMain(audioMasterCallback audioMaster) {
    return createLimiterEffect(audioMaster, &createLimiterEditor);
}
