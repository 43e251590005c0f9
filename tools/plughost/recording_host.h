// The host side of the callback: answers the requests a plug-in sends and
// keeps a log of them, for tests and for the command-line host.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "formats/vst2/aeffect.h"

struct HostCall {
    AEffect* effect;
    int32_t opcode;
    int32_t index;
    intptr_t value;
    void* ptr;
    float opt;
};

class RecordingHost {
  public:
    RecordingHost() = default;
    RecordingHost(const RecordingHost&) = delete;
    RecordingHost& operator=(const RecordingHost&) = delete;

    // What the host answers to audioMasterVersion; 0 makes the plug-in refuse.
    intptr_t versionAnswer = 2400;
    intptr_t sampleRateAnswer = 0;
    intptr_t blockSizeAnswer = 0;

    // Creates an effect through the entry point with this host's callback;
    // null when the plug-in refuses.
    AEffect* create(AEffect* (*entry)(audioMasterCallback));

    std::vector<HostCall> calls() const;
    std::vector<HostCall> callsWith(int32_t opcode) const;
    void clearLog();

    // The callback handed to plug-ins. It finds its host through the record's
    // user field, or, during creation, through the host that is creating.
    static intptr_t callback(AEffect* effect, int32_t opcode, int32_t index, intptr_t value,
                             void* ptr, float opt);

  private:
    intptr_t answer(AEffect* effect, int32_t opcode, int32_t index, intptr_t value, void* ptr,
                    float opt);

    mutable std::mutex mutex;
    std::vector<HostCall> log;
};
