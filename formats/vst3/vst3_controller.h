// The editing side of a VST3 plug-in: parameter descriptions, the edit
// controller, the host's handler for edits, and the connection between a
// processor and a controller created apart.
#pragma once

#include "formats/vst3/vst3_base.h"
#include "formats/vst3/vst3_processor.h"

namespace vst3 {

class IPlugView;

struct ParameterInfo {
    static constexpr int32_t kCanAutomate = 1 << 0;
    static constexpr int32_t kIsList = 1 << 3;
    ParamId id;
    String128 title;
    String128 shortTitle;
    String128 units;
    int32_t stepCount;  // 0: continuous
    ParamValue defaultNormalizedValue;
    int32_t unitId;
    int32_t flags;
};

// What restartComponent tells the host to read again.
constexpr int32_t kRestartParamValuesChanged = 1 << 2;
constexpr int32_t kRestartLatencyChanged = 1 << 3;

class IComponentHandler : public FUnknown {
  public:
    virtual tresult beginEdit(ParamId id) = 0;
    virtual tresult performEdit(ParamId id, ParamValue normalised) = 0;
    virtual tresult endEdit(ParamId id) = 0;
    virtual tresult restartComponent(int32_t flags) = 0;
};
constexpr Uid kIComponentHandlerIid = makeUid(0x93A0BEA3, 0x0BD045DB, 0x8E890B0C, 0xC1E46AC6);

class IEditController : public IPluginBase {
  public:
    virtual tresult setComponentState(IBStream* state) = 0;
    virtual tresult setState(IBStream* state) = 0;
    virtual tresult getState(IBStream* state) = 0;
    virtual int32_t getParameterCount() = 0;
    virtual tresult getParameterInfo(int32_t index, ParameterInfo& info) = 0;
    virtual tresult getParamStringByValue(ParamId id, ParamValue normalised, String128 text) = 0;
    virtual tresult getParamValueByString(ParamId id, char16* text, ParamValue& normalised) = 0;
    virtual ParamValue normalizedParamToPlain(ParamId id, ParamValue normalised) = 0;
    virtual ParamValue plainParamToNormalized(ParamId id, ParamValue plain) = 0;
    virtual ParamValue getParamNormalized(ParamId id) = 0;
    virtual tresult setParamNormalized(ParamId id, ParamValue normalised) = 0;
    virtual tresult setComponentHandler(IComponentHandler* handler) = 0;
    virtual IPlugView* createView(const char* name) = 0;
};
constexpr Uid kIEditControllerIid = makeUid(0xDCD7BBE3, 0x7742448D, 0xA874AACC, 0x979C759E);

class IMessage;

class IConnectionPoint : public FUnknown {
  public:
    virtual tresult connect(IConnectionPoint* other) = 0;
    virtual tresult disconnect(IConnectionPoint* other) = 0;
    virtual tresult notify(IMessage* message) = 0;
};
constexpr Uid kIConnectionPointIid = makeUid(0x70A4156F, 0x6E6E4026, 0x989148BF, 0xAA60D8D1);

static_assert(sizeof(ParameterInfo) == 792, "parameter record");

}  // namespace vst3
