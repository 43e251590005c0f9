// The TK42-R limiter as a VST 2.4 effect: identity, channels and flags for
// the host, the parameter table's names and labels, and everything else
// handed to the format-free engine that holds the values and the signal path.
#pragma once

#include "engine/limiter_engine.h"
#include "formats/vst2/editor_factory.h"
#include "formats/vst2/tembro_fx.h"

class TembroLimiter : public TembroFX {
  public:
    // With a factory, the limiter has the editor it makes; without, none.
    explicit TembroLimiter(audioMasterCallback audioMaster,
                           LimiterEditorFactory createEditor = nullptr);
    // Closes an open editor while the limiter is still whole: closing may
    // commit a typed value and detaches the meter feed.
    ~TembroLimiter() override;

    // Audio thread. Parameters are read once per block; inputs and outputs may
    // be the same buffers. No allocation, lock, wait or host call.
    void processReplacing(float** inputs, float** outputs, int32_t sampleFrames) override;
    void processDoubleReplacing(double** inputs, double** outputs, int32_t sampleFrames) override;

    bool getEffectName(char* name) override;
    bool getProductString(char* text) override;
    int32_t getVendorVersion() override { return 2000; }
    int32_t getPlugCategory() override { return kPlugCategEffect; }

    void onSampleRateChanged(float sampleRate) override;
    // Any thread: the rate the limiter runs at. The editor asks for it when it
    // opens, while the host may be setting a new rate on another thread.
    float getSampleRate() override { return engine.sampleRate(); }

    // Any thread: see LimiterEngine.
    void computeCoefficients() { engine.computeCoefficients(); }
    MeterFeed& meterFeed() { return engine.meterFeed(); }
    double meterFallCoef() const { return engine.meterFallCoef(); }
    LimiterCoefficients coefficients() const { return engine.coefficients(); }
    const LimiterState& processingState() const { return engine.processingState(); }
    LimiterEngine& limiterEngine() { return engine; }

  protected:
    float loadValue(int32_t index) const override { return engine.parameter(index); }
    void saveValue(int32_t index, float value) override { engine.setParameter(index, value); }

  private:
    LimiterEngine engine;
};
