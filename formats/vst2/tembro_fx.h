// The maker's general effect base: a table of parameters (name and label)
// and every parameter request, the state chunk, the program name and the
// vendor string built on it. Concrete effects keep the values (the limiter
// in its engine) and react to changes through the two hooks instead of
// overriding the host operations.
#pragma once

#include <cstdint>
#include <memory>

#include "engine/limiter_engine.h"
#include "formats/vst2/audio_effect_x.h"

struct ParameterEntry {
    const char* name = nullptr;
    const char* label = nullptr;
};

class TembroFX : public AudioEffectX {
  public:
    TembroFX(audioMasterCallback audioMaster, uint16_t numParams);
    ~TembroFX() override;

    // Rates outside this range are ignored like non-finite ones.
    static constexpr float kMinSampleRate = LimiterEngine::kMinSampleRate;
    static constexpr float kMaxSampleRate = LimiterEngine::kMaxSampleRate;

    void setSampleRate(float rate) override;
    // Any thread. An invalid index or a NaN value is ignored.
    void setParameter(int32_t index, float value) override;
    float getParameter(int32_t index) override;
    // Any thread; 0 for an invalid index.
    float getParameterValue(int32_t index) const;
    void getProgramName(char* name) override;
    void getParameterLabel(int32_t index, char* label) override;
    void getParameterDisplay(int32_t index, char* text) override;
    void getParameterName(int32_t index, char* text) override;
    int32_t getChunk(void** data, bool isPreset) override;
    int32_t setChunk(void* data, int32_t byteSize, bool isPreset) override;
    bool getVendorString(char* text) override;
    int32_t canDo(char* text) override;

    virtual void onSampleRateChanged(float /*sampleRate*/) {}
    virtual void onParameterChanged(int32_t /*index*/, float /*value*/) {}

    int32_t chunkSize() const { return static_cast<int32_t>(paramCount) * 4; }

  protected:
    bool isValidIndex(int32_t index) const { return index >= 0 && index < paramCount; }
    // Limits, stores and notifies hook and editor; the value must not be NaN.
    void storeParameter(int32_t index, float value, float reported);
    // Where the values live: any thread, index valid, value within 0 to 1.
    virtual float loadValue(int32_t index) const = 0;
    virtual void saveValue(int32_t index, float value) = 0;

    const char* const* canDoList = nullptr;
    std::unique_ptr<ParameterEntry[]> paramTable;
    uint16_t paramCount;
    uint16_t canDoCount = 0;

  private:
    // The getChunk block: one buffer per effect, valid until the next call.
    std::unique_ptr<uint8_t[]> chunkBuffer;
};
