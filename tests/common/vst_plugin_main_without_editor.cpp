// The entry point of the limiter without its panel, for tests and tools that
// need neither the toolkit nor the images.
#include "entry/vst2/plugin_entry.h"

extern "C" AEffect* VSTPluginMain(audioMasterCallback audioMaster) {
    return createLimiterEffect(audioMaster, nullptr);
}
