// The two classes the factory makes. The component plays both roles for
// hosts that ask it for the controller; the controller alone serves hosts
// that create it apart. Each counts its own references and answers for the
// interfaces it offers.
#pragma once

#include <atomic>

#include "formats/vst3/limiter_controller.h"
#include "formats/vst3/limiter_processor.h"

namespace vst3 {

class LimiterComponent final : public LimiterProcessor,
                               public LimiterController,
                               public IEngineLink {
  public:
    tresult queryInterface(const char* iid, void** object) override;
    uint32_t addRef() override;
    uint32_t release() override;
    LimiterEngine* linkedEngine() override { return &engine(); }

    // Both roles have their own start and end; one object answers for both.
    tresult initialize(FUnknown* context) override;
    tresult terminate() override;

  protected:
    FUnknown* counted() override { return static_cast<IComponent*>(this); }
    LimiterEngine* ownEngine() override { return &engine(); }
    void stateLoaded() override;

  private:
    std::atomic<uint32_t> references{1};
};

class StandaloneController final : public LimiterController {
  public:
    tresult queryInterface(const char* iid, void** object) override;
    uint32_t addRef() override;
    uint32_t release() override;

  protected:
    FUnknown* counted() override { return static_cast<IEditController*>(this); }

  private:
    std::atomic<uint32_t> references{1};
};

}  // namespace vst3
