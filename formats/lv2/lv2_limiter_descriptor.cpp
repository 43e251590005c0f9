// The DSP descriptor: C functions over Lv2Limiter. The limiter needs no
// host feature and offers no extension data, so that the simplest hosts
// (lv2apply, lv2proc, lv2file, ffmpeg) run it.
#include <cstring>

#include "formats/lv2/lv2_descriptor.h"
#include "formats/lv2/lv2_limiter.h"

namespace {

Lv2Limiter* limiterOf(LV2_Handle handle) {
    return static_cast<Lv2Limiter*>(handle);
}

LV2_Handle instantiate(const LV2_Descriptor*, double rate, const char*, const LV2_Feature* const*) {
    return Lv2Limiter::create(rate);
}

// Hosts must not call these with a null handle; one that does gets nothing
// done rather than a crash.
void connectPort(LV2_Handle handle, uint32_t port, void* data) {
    if (handle) limiterOf(handle)->connect(port, data);
}

void activate(LV2_Handle handle) {
    if (handle) limiterOf(handle)->activate();
}

void run(LV2_Handle handle, uint32_t frames) {
    if (handle) limiterOf(handle)->run(frames);
}

void deactivate(LV2_Handle) {}

void cleanup(LV2_Handle handle) {
    delete limiterOf(handle);
}

const void* extensionData(const char*) {
    return nullptr;
}

const LV2_Descriptor kDescriptor = {lv2port::kPluginUri, instantiate, connectPort,  activate, run,
                                    deactivate,          cleanup,     extensionData};

}  // namespace

const LV2_Descriptor& limiterDescriptor() {
    return kDescriptor;
}
