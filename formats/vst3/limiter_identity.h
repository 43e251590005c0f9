// Who the plug-in is to a VST3 host. The class ids are the project's own and
// never change: hosts file saved sessions under them.
#pragma once

#include "formats/vst3/vst3_base.h"

namespace vst3 {

constexpr const char* kPluginName = "TK42-R Limiter";
constexpr const char* kVendorName = "Falden Murex";
constexpr const char* kVendorUrl = "";
constexpr const char* kVendorEmail = "";
constexpr const char* kPluginVersion = "2.0.0";
// The interface version the plug-in was written against.
constexpr const char* kInterfaceVersion = "VST 3.7.14";
constexpr const char* kProcessorCategory = "Audio Module Class";
constexpr const char* kControllerCategory = "Component Controller Class";
constexpr const char* kSubCategories = "Fx|Dynamics";

// Written down in the README; the words are the same on every system, the
// bytes follow the system's id order.
constexpr Uid kProcessorClassId = makeUid(0x7D3A1C52, 0x9E4B4F06, 0xA1C82E75, 0x3B9F6D14);
constexpr Uid kControllerClassId = makeUid(0x7D3A1C52, 0x9E4B4F06, 0xA1C82E75, 0x3B9F6D15);

}  // namespace vst3
