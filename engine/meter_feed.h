// The hand-off of the gain-reduction reading from the audio thread to the
// editor's meter. It lives as long as the effect, so the audio thread never
// reaches a control that the editor may be destroying on its own thread.
//
// The audio thread only calls beginBlock/endBlock; the editor's thread calls
// attach, detach, restart and reads reading().
#pragma once

#include <atomic>

#include "engine/dsp_math.h"
#include "engine/limiter_state.h"

// The meter's per-sample retention while its reading falls: the reading in
// dB shrinks by a factor e every 0.15 s, whatever the rate.
inline double meterFallCoefficient(double sampleRate) {
    return dsp::exp(-2000.0 / (sampleRate * 300.0));
}

class MeterFeed {
  public:
    // Editor thread: a meter appears (editor open) or goes (editor closed).
    void attach(double fallCoef) {
        fall.store(fallCoef, std::memory_order_relaxed);
        value.store(kTiny, std::memory_order_relaxed);
        resetRequested.store(true, std::memory_order_relaxed);
        attached.store(true, std::memory_order_release);
    }
    void detach() { attached.store(false, std::memory_order_release); }
    // A new sample rate: new fall factor, and the reading starts again from rest.
    void restart(double fallCoef) {
        fall.store(fallCoef, std::memory_order_relaxed);
        value.store(kTiny, std::memory_order_relaxed);
        resetRequested.store(true, std::memory_order_release);
    }
    bool isAttached() const { return attached.load(std::memory_order_acquire); }
    double reading() const { return value.load(std::memory_order_relaxed); }
    double fallCoef() const { return fall.load(std::memory_order_relaxed); }

    // Audio thread, once per block.
    MeterReading beginBlock() {
        MeterReading r;
        r.active = attached.load(std::memory_order_acquire);
        if (!r.active) return r;
        if (resetRequested.exchange(false, std::memory_order_acq_rel)) {
            value.store(kTiny, std::memory_order_relaxed);
        }
        r.valueDb = value.load(std::memory_order_relaxed);
        r.fallCoef = fall.load(std::memory_order_relaxed);
        return r;
    }
    void endBlock(const MeterReading& r) {
        if (r.active) value.store(r.valueDb, std::memory_order_relaxed);
    }

  private:
    std::atomic<bool> attached{false};
    std::atomic<bool> resetRequested{false};
    std::atomic<double> value{kTiny};
    std::atomic<double> fall{0.0};
};

static_assert(std::atomic<double>::is_always_lock_free, "the audio thread must not lock");
