// The TK42-R limiter as an LV2 plug-in instance: a LimiterEngine, the
// host's port buffers, and the translation of the control ports (real
// units) into the engine's normalised values.
//
// Threads, as LV2 has them: connect and run belong to the audio thread
// (connect may also come while the instance is inactive); activate and
// deactivate never overlap run. Nothing here allocates, locks or waits after
// construction.
#pragma once

#include <cstdint>

#include "engine/limiter_engine.h"
#include "formats/lv2/lv2_ports.h"

class Lv2Limiter {
  public:
    // Null for a rate the engine refuses (outside 8 kHz to 768 kHz, or not a
    // number): running at a rate it does not have would limit wrongly, so
    // the host hears of it at once. Never throws.
    static Lv2Limiter* create(double sampleRate);

    // Any port index and any pointer: an unknown index is ignored, a null
    // pointer disconnects the port.
    void connect(uint32_t port, void* data);
    // The look-ahead and envelopes back at rest.
    void activate() { engine.reset(); }
    // One block. A control port that is not connected keeps the value the
    // engine has (its default at first); a NaN on a port is ignored and the
    // last value stays. Without all four audio buffers nothing is processed,
    // but the output control ports are still written.
    void run(uint32_t frames);

    const LimiterEngine& limiter() const { return engine; }

  private:
    explicit Lv2Limiter(float rate);
    // The control ports' values that changed since the last block, into the
    // engine, through the table's laws.
    void readControls();

    LimiterEngine engine;
    const float* controls[kNumParams] = {};
    // The port values last turned into the engine's; NaN until then.
    float seen[kNumParams];
    float* audio[4] = {};
    float* reduction = nullptr;
    float* latency = nullptr;
};
