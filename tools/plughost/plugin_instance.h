// One effect as a host drives it: every call goes through the record only.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "formats/vst2/aeffect.h"

class PluginInstance {
  public:
    explicit PluginInstance(AEffect* effect) : effect(effect) {}
    ~PluginInstance() { close(); }
    PluginInstance(const PluginInstance&) = delete;
    PluginInstance& operator=(const PluginInstance&) = delete;

    AEffect* record() const { return effect; }
    bool isOpen() const { return effect != nullptr; }

    intptr_t dispatch(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                      float opt = 0.0f) const;
    // effClose; the record is gone afterwards.
    intptr_t close();

    void setParameter(int32_t index, float value) const;
    float getParameter(int32_t index) const;
    std::string parameterName(int32_t index) const;
    std::string parameterLabel(int32_t index) const;
    std::string parameterDisplay(int32_t index) const;
    // Index of the parameter with this name (case and spaces ignored) or -1.
    int32_t findParameter(const std::string& name) const;
    std::string effectName() const;
    std::string vendorString() const;
    std::string productString() const;

    std::vector<uint8_t> chunk() const;
    intptr_t setChunk(const std::vector<uint8_t>& bytes) const;

    // Sample rate, block size and resume, as a host does before processing.
    void start(float sampleRate, int32_t blockSize) const;
    void stop() const;
    void process(float** inputs, float** outputs, int32_t frames) const;
    void process(double** inputs, double** outputs, int32_t frames) const;

  private:
    std::string text(int32_t opcode, int32_t index, size_t capacity) const;

    AEffect* effect;
};
