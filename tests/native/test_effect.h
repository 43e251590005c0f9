// Helpers for tests that drive a limiter directly or through its record.
#pragma once

#include <memory>

#include "entry/vst2/plugin_entry.h"
#include "formats/vst2/tembro_limiter.h"
#include "tools/plughost/plugin_instance.h"
#include "tools/plughost/recording_host.h"

// An effect created through the entry point by a recording host, as a host would.
struct HostedEffect {
    RecordingHost host;
    std::unique_ptr<PluginInstance> plugin;

    HostedEffect() { plugin = std::make_unique<PluginInstance>(host.create(&VSTPluginMain)); }
    AEffect* record() const { return plugin->record(); }
    TembroLimiter& limiter() const { return *static_cast<TembroLimiter*>(record()->object); }
    intptr_t dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                      float opt = 0.0f) const {
        return plugin->dispatch(opcode, index, value, ptr, opt);
    }
};
