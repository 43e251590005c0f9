#include "formats/vst3/limiter_controller.h"

#include <cmath>
#include <cstring>
#include <new>

#include "formats/vst3/limiter_view.h"
#include "formats/vst3/state_stream.h"
#include "formats/vst3/utf16_text.h"

namespace vst3 {

namespace {

bool isParameter(ParamId id) {
    return id < static_cast<ParamId>(kNumParams);
}

float clampNormalised(ParamValue v) {
    return static_cast<float>(v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v));
}

}  // namespace

LimiterController::LimiterController() {
    for (int32_t i = 0; i < kNumParams; ++i) values[i].store(kParameterInfo[i].defaultValue);
}

LimiterController::~LimiterController() {
    dropLink();
    if (handler) handler->release();
}

tresult LimiterController::initialize(FUnknown* /*context*/) {
    return kResultOk;
}

tresult LimiterController::terminate() {
    dropLink();
    if (handler) handler->release();
    handler = nullptr;
    return kResultOk;
}

float LimiterController::value(int32_t index) const {
    return isParameterIndex(index) ? values[index].load(std::memory_order_relaxed) : 0.0f;
}

void LimiterController::storeValue(int32_t index, float normalised) {
    const bool limitBefore = isLimitMode(value(kMode));
    values[index].store(normalised, std::memory_order_relaxed);
    showInView(index);
    if (index != kMode || isLimitMode(normalised) == limitBefore) return;
    // The host reads the latency as soon as it is asked to restart, before
    // the change reaches the processor with the audio: where the processor
    // is at hand it takes the mode now (the engine takes values from any
    // thread; the change arriving later with the audio changes nothing).
    if (LimiterEngine* processing = processorEngine()) processing->setParameter(kMode, normalised);
    announceLatency();
}

void LimiterController::announceLatency() {
    LimiterEngine* processing = processorEngine();
    const int32_t now =
        processing ? processing->latencySamples() : (isLimitMode(value(kMode)) ? kLookAhead : 0);
    if (announcedLatency.exchange(now) != now && handler) {
        handler->restartComponent(kRestartLatencyChanged);
    }
}

LimiterEngine* LimiterController::processorEngine() {
    if (LimiterEngine* own = ownEngine()) return own;
    return link ? link->linkedEngine() : nullptr;
}

void LimiterController::takeValues(const float newValues[kNumParams], bool announce) {
    for (int32_t i = 0; i < kNumParams; ++i) {
        values[i].store(newValues[i]);
        showInView(i);
    }
    if (announce && handler) handler->restartComponent(kRestartParamValuesChanged);
    announceLatency();
}

tresult LimiterController::setComponentState(IBStream* state) {
    float newValues[kNumParams];
    if (!readStateBlock(state, newValues)) return kResultFalse;
    takeValues(newValues, false);
    return kResultOk;
}

// The controller keeps nothing of its own: everything is in the component's state.
tresult LimiterController::setState(IBStream* /*state*/) {
    return kResultOk;
}

tresult LimiterController::getState(IBStream* /*state*/) {
    return kResultOk;
}

int32_t LimiterController::getParameterCount() {
    return kNumParams;
}

tresult LimiterController::getParameterInfo(int32_t index, ParameterInfo& info) {
    if (!isParameterIndex(index)) return kInvalidArgument;
    const ParameterInfo empty{};
    info = empty;
    const ::ParameterInfo& facts = kParameterInfo[index];
    info.id = static_cast<ParamId>(index);
    copyToUtf16(facts.longName, info.title, 128);
    copyToUtf16(facts.name, info.shortTitle, 128);
    copyToUtf16(facts.unit, info.units, 128);
    const bool stepped = facts.law == ParameterLaw::stepped;
    info.stepCount = stepped ? 1 : 0;
    info.defaultNormalizedValue = facts.defaultValue;
    info.unitId = 0;
    info.flags = ParameterInfo::kCanAutomate | (stepped ? ParameterInfo::kIsList : 0);
    return kResultOk;
}

tresult LimiterController::getParamStringByValue(ParamId id, ParamValue normalised,
                                                 String128 text) {
    if (!isParameter(id) || !text || std::isnan(normalised)) return kInvalidArgument;
    char buffer[64];
    const int32_t index = static_cast<int32_t>(id);
    formatReal(index, clampNormalised(normalised), isLimitMode(value(kMode)), buffer,
               sizeof buffer);
    copyToUtf16(buffer, text, 128);
    return kResultOk;
}

tresult LimiterController::getParamValueByString(ParamId id, char16* text, ParamValue& normalised) {
    if (!isParameter(id) || !text) return kInvalidArgument;
    char buffer[128];
    if (!copyFromUtf16(text, 128, buffer, sizeof buffer)) return kResultFalse;
    const int32_t index = static_cast<int32_t>(id);
    double real = 0.0;
    if (!parseReal(index, buffer, real)) return kResultFalse;
    const float v = fromReal(index, real, isLimitMode(value(kMode)));
    if (std::isnan(v)) return kResultFalse;
    normalised = v;
    return kResultOk;
}

ParamValue LimiterController::normalizedParamToPlain(ParamId id, ParamValue normalised) {
    if (!isParameter(id) || std::isnan(normalised)) return 0.0;
    const int32_t index = static_cast<int32_t>(id);
    return toReal(index, clampNormalised(normalised), isLimitMode(value(kMode)));
}

ParamValue LimiterController::plainParamToNormalized(ParamId id, ParamValue plain) {
    if (!isParameter(id) || std::isnan(plain)) return 0.0;
    const int32_t index = static_cast<int32_t>(id);
    return fromReal(index, plain, isLimitMode(value(kMode)));
}

ParamValue LimiterController::getParamNormalized(ParamId id) {
    return isParameter(id) ? value(static_cast<int32_t>(id)) : 0.0;
}

tresult LimiterController::setParamNormalized(ParamId id, ParamValue normalised) {
    if (!isParameter(id) || std::isnan(normalised)) return kInvalidArgument;
    storeValue(static_cast<int32_t>(id), clampNormalised(normalised));
    return kResultOk;
}

tresult LimiterController::setComponentHandler(IComponentHandler* newHandler) {
    if (newHandler == handler) return kResultOk;
    if (newHandler) newHandler->addRef();
    if (handler) handler->release();
    handler = newHandler;
    return kResultOk;
}

IPlugView* LimiterController::createView(const char* name) {
    // Only the editor, and one at a time.
    if (name && std::strcmp(name, "editor") != 0) return nullptr;
    if (view.load()) return nullptr;
    LimiterView* made = new (std::nothrow) LimiterView(*this, counted());
    view.store(made);
    return made;
}

void LimiterController::viewClosed(LimiterView* closing) {
    LimiterView* expected = closing;
    view.compare_exchange_strong(expected, nullptr);
}

void LimiterController::showInView(int32_t index) {
    if (LimiterView* open = view.load()) open->parameterChanged(index);
}

void LimiterController::beginEdit(int32_t index) {
    if (handler && isParameterIndex(index)) handler->beginEdit(static_cast<ParamId>(index));
}

void LimiterController::performEdit(int32_t index, float normalised) {
    if (!isParameterIndex(index) || std::isnan(normalised)) return;
    const float v = clampNormalised(normalised);
    storeValue(index, v);
    if (handler) handler->performEdit(static_cast<ParamId>(index), v);
}

void LimiterController::endEdit(int32_t index) {
    if (handler && isParameterIndex(index)) handler->endEdit(static_cast<ParamId>(index));
}

tresult LimiterController::connect(IConnectionPoint* other) {
    if (!other) return kInvalidArgument;
    if (ownEngine()) return kResultOk;
    void* found = nullptr;
    if (other->queryInterface(reinterpret_cast<const char*>(kIEngineLinkIid.bytes), &found) ==
            kResultOk &&
        found) {
        dropLink();
        link = static_cast<IEngineLink*>(found);
    }
    return kResultOk;
}

tresult LimiterController::disconnect(IConnectionPoint* /*other*/) {
    dropLink();
    return kResultOk;
}

tresult LimiterController::notify(IMessage* /*message*/) {
    return kResultOk;
}

void LimiterController::dropLink() {
    if (link) link->release();
    link = nullptr;
}

LimiterEngine& LimiterController::meterEngine() {
    LimiterEngine* processing = processorEngine();
    return processing ? *processing : restingEngine;
}

}  // namespace vst3
