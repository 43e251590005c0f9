#include "formats/vst3/plugin_objects.h"

namespace vst3 {

namespace {

template <typename Interface>
tresult hand(Interface* interface, FUnknown* counted, void** object) {
    counted->addRef();
    *object = interface;
    return kResultOk;
}

}  // namespace

tresult LimiterComponent::queryInterface(const char* iid, void** object) {
    if (!object) return kInvalidArgument;
    *object = nullptr;
    if (!iid) return kNoInterface;
    IComponent* component = this;
    if (kFUnknownIid.matches(iid) || kIPluginBaseIid.matches(iid) || kIComponentIid.matches(iid)) {
        return hand(component, component, object);
    }
    if (kIAudioProcessorIid.matches(iid)) {
        return hand(static_cast<IAudioProcessor*>(this), component, object);
    }
    if (kIEditControllerIid.matches(iid)) {
        return hand(static_cast<IEditController*>(this), component, object);
    }
    if (kIConnectionPointIid.matches(iid)) {
        return hand(static_cast<IConnectionPoint*>(this), component, object);
    }
    if (kIEngineLinkIid.matches(iid)) {
        return hand(static_cast<IEngineLink*>(this), component, object);
    }
    return kNoInterface;
}

uint32_t LimiterComponent::addRef() {
    return references.fetch_add(1, std::memory_order_relaxed) + 1;
}

uint32_t LimiterComponent::release() {
    const uint32_t left = references.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (left == 0) delete this;
    return left;
}

tresult LimiterComponent::initialize(FUnknown* context) {
    LimiterProcessor::initialize(context);
    return LimiterController::initialize(context);
}

tresult LimiterComponent::terminate() {
    LimiterProcessor::terminate();
    return LimiterController::terminate();
}

void LimiterComponent::stateLoaded() {
    float values[kNumParams];
    for (int32_t i = 0; i < kNumParams; ++i) values[i] = engine().parameter(i);
    takeValues(values, true);
}

tresult StandaloneController::queryInterface(const char* iid, void** object) {
    if (!object) return kInvalidArgument;
    *object = nullptr;
    if (!iid) return kNoInterface;
    IEditController* controller = this;
    if (kFUnknownIid.matches(iid) || kIPluginBaseIid.matches(iid) ||
        kIEditControllerIid.matches(iid)) {
        return hand(controller, controller, object);
    }
    if (kIConnectionPointIid.matches(iid)) {
        return hand(static_cast<IConnectionPoint*>(this), controller, object);
    }
    return kNoInterface;
}

uint32_t StandaloneController::addRef() {
    return references.fetch_add(1, std::memory_order_relaxed) + 1;
}

uint32_t StandaloneController::release() {
    const uint32_t left = references.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (left == 0) delete this;
    return left;
}

}  // namespace vst3
