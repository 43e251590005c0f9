// The host's way into the module. Every call makes a factory of its own,
// which the caller releases; null only when memory ran out.
#include "entry/vst3/module_exports.h"
#include "formats/vst3/limiter_factory.h"

extern "C" vst3::IPluginFactory* GetPluginFactory() {
    return vst3::createLimiterFactory();
}
