// The limiter's panel as an LV2 X11 UI: EditorHost over the LV2 UI calls.
// The UI holds the seven control ports' values in real units, as the host
// sends them (port_event) and as the user sets them (the write function);
// the panel sees them normalised through the table's laws, in the mode the
// UI shows. The meter reads a MeterFeed of the UI's own, fed from the gain
// reduction port with the VST 2.4 meter's fall.
//
// Threads: everything, port events included, runs on the host's UI thread.
#pragma once

#include <lv2/ui/ui.h>

#include <cstdint>

#include "editor/editor_host.h"
#include "editor/limiter_panel.h"
#include "engine/meter_feed.h"
#include "formats/lv2/lv2_ports.h"

class Lv2LimiterUi final : public EditorHost {
  public:
    struct HostCalls {
        LV2UI_Write_Function write = nullptr;
        LV2UI_Controller controller = nullptr;
        const LV2UI_Touch* touch = nullptr;  // null where the host has no ui:touch
    };
    explicit Lv2LimiterUi(const HostCalls& calls);
    ~Lv2LimiterUi();

    // Opens the panel in the host's X window (its id as a platform handle);
    // false when no window could be made.
    bool open(TKGUI::platform::Window* parent);
    // The panel's own X window id, for the host.
    uintptr_t windowId() const;

    // A port's value from the host. Control ports move their controls; the
    // gain reduction port feeds the meter. Anything else (another format, a
    // wrong size, a NaN) is ignored.
    void portEvent(uint32_t port, uint32_t size, uint32_t format, const void* buffer);
    // The host's idle: the meter's fall, the window's events and the redraw.
    // 0 while the panel is open, 1 when it is gone.
    int idle();

    // EditorHost.
    float parameterValue(int32_t index) override;
    void beginEdit(int32_t index) override { touch(index, true); }
    void performEdit(int32_t index, float value) override { writeValue(index, value); }
    void endEdit(int32_t index) override { touch(index, false); }
    void setTypedValue(int32_t index, float value) override { writeValue(index, value); }
    MeterFeed& meterFeed() override { return feed; }
    double meterFallCoef() override;
    float sampleRate() override { return kMeterRate; }
    bool setKnobMode(int32_t mode) override;
    void pumpIdle() override;

  private:
    // The meter's fall does not depend on the rate; the panel's meter wants
    // one all the same.
    static constexpr float kMeterRate = 48000.0f;

    bool limitMode() const;
    void touch(int32_t index, bool grabbed);
    void writeValue(int32_t index, float normalised);
    // The value moved (by the host or the user): its controls follow, and
    // after a new mode Release's too (the same milliseconds are another
    // position in CLIP mode's range).
    void showChanged(int32_t index, bool wasLimit);
    void updateMeter();

    HostCalls host;
    float values[kNumParams];  // real units, as on the ports
    float reductionDb = 0.0f;  // the port's last value
    double meterDb = 0.0;      // what the meter shows, falling towards it
    uint32_t meterTick = 0;
    uint32_t nextPumpTick = 0;
    MeterFeed feed;
    LimiterPanel panel{*this};
};
