#include "tools/plughost/recording_host.h"

#include <cstring>

namespace {

// The host that is inside an entry-point call on this thread: the version
// request arrives before there is a record to find the host through.
thread_local RecordingHost* creatingHost = nullptr;

void copyText(void* ptr, const char* text, size_t capacity) {
    if (!ptr) return;
    std::strncpy(static_cast<char*>(ptr), text, capacity - 1);
    static_cast<char*>(ptr)[capacity - 1] = 0;
}

}  // namespace

AEffect* RecordingHost::create(AEffect* (*entry)(audioMasterCallback)) {
    creatingHost = this;
    AEffect* effect = entry ? entry(&RecordingHost::callback) : nullptr;
    creatingHost = nullptr;
    if (effect) effect->user = this;
    return effect;
}

intptr_t RecordingHost::callback(AEffect* effect, int32_t opcode, int32_t index, intptr_t value,
                                 void* ptr, float opt) {
    RecordingHost* host = nullptr;
    if (effect && effect->user) host = static_cast<RecordingHost*>(effect->user);
    if (!host) host = creatingHost;
    if (!host) return opcode == audioMasterVersion ? 2400 : 0;
    return host->answer(effect, opcode, index, value, ptr, opt);
}

intptr_t RecordingHost::answer(AEffect* effect, int32_t opcode, int32_t index, intptr_t value,
                               void* ptr, float opt) {
    {
        std::lock_guard<std::mutex> lock(mutex);
        log.push_back({effect, opcode, index, value, ptr, opt});
    }
    switch (opcode) {
        case audioMasterVersion:
            return versionAnswer;
        case audioMasterGetSampleRate:
            return sampleRateAnswer;
        case audioMasterGetBlockSize:
            return blockSizeAnswer;
        case audioMasterGetVendorString:
            copyText(ptr, "Tembro", 64);
            return 1;
        case audioMasterGetProductString:
            copyText(ptr, "tk42host", 64);
            return 1;
        case audioMasterGetVendorVersion:
            return 1;
        case audioMasterAutomate:
        case audioMasterIdle:
        case audioMasterBeginEdit:
        case audioMasterEndEdit:
            return 1;
        default:
            return 0;
    }
}

std::vector<HostCall> RecordingHost::calls() const {
    std::lock_guard<std::mutex> lock(mutex);
    return log;
}

std::vector<HostCall> RecordingHost::callsWith(int32_t opcode) const {
    std::lock_guard<std::mutex> lock(mutex);
    std::vector<HostCall> out;
    for (const HostCall& c : log) {
        if (c.opcode == opcode) out.push_back(c);
    }
    return out;
}

void RecordingHost::clearLog() {
    std::lock_guard<std::mutex> lock(mutex);
    log.clear();
}
