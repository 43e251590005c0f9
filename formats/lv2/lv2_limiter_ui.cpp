#include "formats/lv2/lv2_limiter_ui.h"

#include <cmath>
#include <cstring>

#include "toolkit/frame.h"
#include "toolkit/knob_mode.h"
#include "toolkit/platform/platform.h"

namespace platform = TKGUI::platform;

Lv2LimiterUi::Lv2LimiterUi(const HostCalls& calls) : host(calls) {
    // Until the host says otherwise, the ports hold their defaults.
    for (int32_t i = 0; i < kNumParams; ++i) {
        values[i] = static_cast<float>(toReal(i, kParameterInfo[i].defaultValue, true));
    }
    meterTick = nextPumpTick = platform::tickCount();
}

Lv2LimiterUi::~Lv2LimiterUi() {
    panel.close();
}

bool Lv2LimiterUi::open(TKGUI::platform::Window* parent) {
    return parent && panel.open(parent);
}

uintptr_t Lv2LimiterUi::windowId() const {
    return panel.isOpen() ? platform::nativeWindowId(panel.getFrame()->getWindow()) : 0;
}

bool Lv2LimiterUi::limitMode() const {
    return isLimitMode(fromReal(kMode, values[kMode], true));
}

float Lv2LimiterUi::parameterValue(int32_t index) {
    if (!isParameterIndex(index)) return 0.0f;
    return fromReal(index, values[index], limitMode());
}

void Lv2LimiterUi::portEvent(uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
    if (format != 0 || size != sizeof(float) || !buffer) return;
    float value;
    std::memcpy(&value, buffer, sizeof value);
    if (std::isnan(value)) return;
    if (port == lv2port::kReduction) {
        reductionDb = value > 0.0f ? value : 0.0f;
        return;
    }
    if (!lv2port::isControlPort(port)) return;
    const int32_t index = lv2port::parameterOf(port);
    // The host echoes what the UI wrote: nothing to show then.
    if (value == values[index]) return;
    const bool wasLimit = limitMode();
    values[index] = value;
    showChanged(index, wasLimit);
}

void Lv2LimiterUi::showChanged(int32_t index, bool wasLimit) {
    panel.parameterChanged(index);
    if (index == kMode && limitMode() != wasLimit) panel.parameterChanged(kRelease);
}

void Lv2LimiterUi::writeValue(int32_t index, float normalised) {
    if (!isParameterIndex(index) || std::isnan(normalised)) return;
    const bool wasLimit = limitMode();
    const float real = static_cast<float>(toReal(index, normalised, wasLimit));
    values[index] = real;
    if (host.write) host.write(host.controller, lv2port::portOf(index), sizeof real, 0, &real);
    // The panel shows the control's own value already; Release moves with a
    // new mode.
    if (index == kMode && limitMode() != wasLimit) panel.parameterChanged(kRelease);
}

void Lv2LimiterUi::touch(int32_t index, bool grabbed) {
    if (host.touch && host.touch->touch && isParameterIndex(index))
        host.touch->touch(host.touch->handle, lv2port::portOf(index), grabbed);
}

double Lv2LimiterUi::meterFallCoef() {
    return meterFallCoefficient(kMeterRate);
}

bool Lv2LimiterUi::setKnobMode(int32_t mode) {
    TKGUI::setHostKnobMode(mode);
    return true;
}

void Lv2LimiterUi::updateMeter() {
    const uint32_t now = platform::tickCount();
    const double elapsed = static_cast<double>(now - meterTick);
    meterTick = now;
    if (reductionDb >= meterDb) {
        meterDb = reductionDb;
    } else {
        // The VST 2.4 meter's fall, by the millisecond: its per-sample
        // factor at a rate of 1 kHz.
        meterDb =
            reductionDb + (meterDb - reductionDb) * std::pow(meterFallCoefficient(1000.0), elapsed);
    }
    MeterReading reading = feed.beginBlock();
    reading.valueDb = meterDb;
    feed.endBlock(reading);
}

int Lv2LimiterUi::idle() {
    if (!panel.isOpen()) return 1;
    updateMeter();
    panel.idle();
    return panel.isOpen() ? 0 : 1;
}

void Lv2LimiterUi::pumpIdle() {
    // A control's mouse loop calls this on every turn while it holds the
    // host's UI thread: keep the panel redrawn about every 50 ms, and sleep
    // a little between turns instead of spinning.
    uint32_t now = platform::tickCount();
    if (static_cast<int32_t>(now - nextPumpTick) < 0) {
        platform::sleepMilliseconds(4);
        now += 4;
        if (static_cast<int32_t>(now - (nextPumpTick - 50)) < 0) return;
    }
    nextPumpTick = now + 100;
    updateMeter();
    panel.idle();
    platform::dispatchOnePendingPaint();
}
