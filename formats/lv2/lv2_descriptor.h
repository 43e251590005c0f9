// The LV2 descriptors of the DSP binary and of the UI binary: the records
// whose functions hosts call. The entry points in entry/lv2 hand them out.
#pragma once

#include <lv2/core/lv2.h>
#include <lv2/ui/ui.h>

const LV2_Descriptor& limiterDescriptor();
const LV2UI_Descriptor& limiterUiDescriptor();
