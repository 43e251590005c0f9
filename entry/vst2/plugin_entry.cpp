#include "entry/vst2/plugin_entry.h"

#include <new>

#include "formats/vst2/tembro_limiter.h"

AEffect* createLimiterEffect(audioMasterCallback audioMaster, LimiterEditorFactory createEditor) {
    // Without a callback there is no host to ask for its version.
    if (!audioMaster) return nullptr;
    if (audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) return nullptr;
    // No exception may cross into the host: any failure to build the effect
    // is answered with null.
    try {
        AudioEffect* effect = new TembroLimiter(audioMaster, createEditor);
        return effect->getAeffect();
    } catch (...) {
        return nullptr;
    }
}
