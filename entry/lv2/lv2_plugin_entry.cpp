// The DSP binary's one export: the limiter's descriptor at index 0.
#include "formats/lv2/lv2_descriptor.h"

extern "C" __attribute__((visibility("default"))) const LV2_Descriptor* lv2_descriptor(
    uint32_t index) {
    return index == 0 ? &limiterDescriptor() : nullptr;
}
