// The UI binary's one export: the limiter's X11 UI at index 0.
#include "formats/lv2/lv2_descriptor.h"

extern "C" __attribute__((visibility("default"))) const LV2UI_Descriptor* lv2ui_descriptor(
    uint32_t index) {
    return index == 0 ? &limiterUiDescriptor() : nullptr;
}
