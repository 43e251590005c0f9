#include "formats/lv2/lv2_limiter.h"

#include <climits>
#include <cmath>
#include <new>

Lv2Limiter* Lv2Limiter::create(double sampleRate) {
    if (!(sampleRate >= LimiterEngine::kMinSampleRate &&
          sampleRate <= LimiterEngine::kMaxSampleRate))
        return nullptr;
    return new (std::nothrow) Lv2Limiter(static_cast<float>(sampleRate));
}

Lv2Limiter::Lv2Limiter(float rate) {
    engine.setSampleRate(rate);
    for (float& v : seen) v = NAN;
}

void Lv2Limiter::connect(uint32_t port, void* data) {
    float* buffer = static_cast<float*>(data);
    if (port < 4) {
        audio[port] = buffer;
    } else if (lv2port::isControlPort(port)) {
        controls[lv2port::parameterOf(port)] = buffer;
    } else if (port == lv2port::kReduction) {
        reduction = buffer;
    } else if (port == lv2port::kLatency) {
        latency = buffer;
    }
}

void Lv2Limiter::readControls() {
    // The mode first: Release's range depends on it (up to 500 ms in LIMIT
    // mode, 20 ms in CLIP mode), so a new mode maps the Release port's
    // value again, as the VST 2.4 host tk42host resolves units against the
    // final mode.
    static constexpr int32_t kOrder[kNumParams] = {kMode, kGain,    kThresh, kAtkH,
                                                   kRelH, kRelease, kShow};
    bool modeMoved = false;
    for (int32_t index : kOrder) {
        if (!controls[index]) continue;
        float value = *controls[index];
        if (std::isnan(value)) value = seen[index];
        if (std::isnan(value)) continue;
        const bool remap = index == kRelease && modeMoved;
        if (value == seen[index] && !remap) continue;
        seen[index] = value;
        const bool wasLimit = engine.limitMode();
        engine.setParameter(index, fromReal(index, value, wasLimit));
        if (index == kMode && engine.limitMode() != wasLimit) modeMoved = true;
    }
}

void Lv2Limiter::run(uint32_t frames) {
    readControls();
    if (audio[0] && audio[1] && audio[2] && audio[3]) {
        float* ins[2] = {audio[0], audio[1]};
        float* outs[2] = {audio[2], audio[3]};
        // The engine counts frames in 32 bits.
        while (frames > 0) {
            const uint32_t n = frames < uint32_t(INT32_MAX) ? frames : uint32_t(INT32_MAX);
            engine.process(ins, outs, static_cast<int32_t>(n));
            for (float*& p : ins) p += n;
            for (float*& p : outs) p += n;
            frames -= n;
        }
    }
    if (reduction) *reduction = static_cast<float>(engine.currentReductionDb());
    if (latency) *latency = static_cast<float>(engine.latencySamples());
}
