// The LV2 plug-in's identity and ports, shared by its DSP binary, its UI
// binary and the generator of its description, so that the three can never
// disagree. The URIs belong to this project and never change: hosts store
// them in every saved session.
#pragma once

#include <cstdint>

#include "engine/parameters.h"

namespace lv2port {

constexpr const char* kPluginUri = "urn:faldenmurex:tk42r";
constexpr const char* kUiUri = "urn:faldenmurex:tk42r#ui";

// Stereo audio in and out, the seven controls in the table's order (in
// real units), the gain reduction in dB, and the delay in samples.
enum : uint32_t {
    kInLeft = 0,
    kInRight,
    kOutLeft,
    kOutRight,
    kFirstControl,
    kReduction = kFirstControl + kNumParams,
    kLatency,
    kCount
};

constexpr bool isControlPort(uint32_t port) {
    return port >= kFirstControl && port < kFirstControl + kNumParams;
}
constexpr int32_t parameterOf(uint32_t port) {
    return static_cast<int32_t>(port - kFirstControl);
}
constexpr uint32_t portOf(int32_t parameter) {
    return kFirstControl + static_cast<uint32_t>(parameter);
}

}  // namespace lv2port
