// The effect's delay in samples. A plug-in that reports its latency in the
// record's initialDelay is taken at its word; one that reports 0 (as this
// limiter does, although LIMIT mode delays by five samples) is measured: a
// low-level impulse goes through a scratch instance in the same settings,
// and the delay is where the largest output sample comes out.
#pragma once

#include <cstdint>
#include <string>

#include "tools/plughost/plugin_instance.h"
#include "tools/plughost/plugin_module.h"
#include "tools/plughost/recording_host.h"

struct DelayMeasurement {
    int32_t frames = 0;
    bool reported = false;  // from initialDelay rather than measured
};

// False with a message when the scratch instance cannot be made.
bool findDelay(const PluginModule& module, RecordingHost& host, const PluginInstance& fx,
               float sampleRate, int32_t blockSize, bool doublePrecision, DelayMeasurement& delay,
               std::string& error);
