// The module's factory: describes the component and the controller class
// and makes them. Each GetPluginFactory call gets a factory of its own, so
// the module keeps no global state.
#pragma once

#include <atomic>

#include "formats/vst3/vst3_factory.h"

namespace vst3 {

class LimiterFactory final : public IPluginFactory3 {
  public:
    tresult queryInterface(const char* iid, void** object) override;
    uint32_t addRef() override;
    uint32_t release() override;

    tresult getFactoryInfo(FactoryInfo* info) override;
    int32_t countClasses() override;
    tresult getClassInfo(int32_t index, ClassInfo* info) override;
    tresult createInstance(const char* cid, const char* iid, void** object) override;
    tresult getClassInfo2(int32_t index, ClassInfo2* info) override;
    tresult getClassInfoUnicode(int32_t index, ClassInfoW* info) override;
    tresult setHostContext(FUnknown* context) override;

  private:
    std::atomic<uint32_t> references{1};
};

// A new factory (one reference, the caller's), or null when out of memory.
IPluginFactory* createLimiterFactory();

}  // namespace vst3
