// Random host calls through the LV2 descriptors, as a careless or hostile
// host makes them: instantiate at any rate, connect any port index to a
// control value, an audio buffer (shared for in-place runs) or nothing, any
// float on the control ports, run with random block sizes (never longer
// than the buffers, which a host must honour), activate and deactivate in
// any order; and the UI, open in a software window, given port events of
// any port, size, format and value between idles. Every output sample and
// output port must be finite, the latency 0 or the look-ahead; at the end a
// steady signal at the instance's rate must stay under the ceiling within
// the tolerance at that rate.
#include <fuzzer/FuzzedDataProvider.h>
#include <lv2/ui/ui.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "engine/limiter_state.h"
#include "formats/lv2/lv2_descriptor.h"
#include "formats/lv2/lv2_limiter.h"
#include "tests/common/ceiling_tolerance.h"
#include "toolkit/platform/software/software_frame_window.h"
#include "toolkit/platform/software/software_script.h"

namespace {

constexpr uint32_t kMaxFrames = 4096;

void check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

// Values where rules change: the ends of ranges in real units, the two-state
// switch point, the accepted rates' ends and just past them, the largest and
// smallest floats, infinities and NaN.
constexpr float kEdges[] = {0.0f,
                            -0.0f,
                            0.5f,
                            1.0f,
                            24.0f,
                            -24.0f,
                            0.02f,
                            10.0f,
                            5000.0f,
                            500.0f,
                            20.0f,
                            0.1f,
                            1e-45f,
                            3.4e38f,
                            -3.4e38f,
                            7999.999f,
                            768000.f,
                            768000.06f,
                            std::numeric_limits<float>::infinity(),
                            -std::numeric_limits<float>::infinity(),
                            std::numeric_limits<float>::quiet_NaN()};

float anyFloat(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange(0, 3)) {
        case 0:
            return in.ConsumeFloatingPointInRange(-30.0f, 600.0f);
        case 1: {
            const uint32_t bits = in.ConsumeIntegral<uint32_t>();
            float f;
            std::memcpy(&f, &bits, 4);
            return f;
        }
        default:
            return kEdges[in.ConsumeIntegralInRange<size_t>(0, std::size(kEdges) - 1)];
    }
}

struct Ports {
    float controls[lv2port::kCount] = {};
    std::vector<float> audio[4] = {std::vector<float>(kMaxFrames), std::vector<float>(kMaxFrames),
                                   std::vector<float>(kMaxFrames), std::vector<float>(kMaxFrames)};
};

void uiWrite(LV2UI_Controller, uint32_t, uint32_t, uint32_t, const void*) {}

class Session {
  public:
    Session(FuzzedDataProvider& in, TKGUI::platform::Window* parent) : in(in) {
        const double rate = in.ConsumeBool() ? static_cast<double>(anyFloat(in))
                                             : in.ConsumeFloatingPointInRange(8000.0, 768000.0);
        handle = dsp.instantiate(&dsp, rate, "/", nullptr);
        if (!handle) {
            check(!(rate >= 8000.0 && rate <= 768000.0), "a rate in range refused");
            handle = dsp.instantiate(&dsp, 48000.0, "/", nullptr);
        }
        check(handle != nullptr, "no instance at 48 kHz");
        const LV2_Feature parentFeature{LV2_UI__parent, parent};
        const LV2_Feature* features[] = {&parentFeature, nullptr};
        LV2UI_Widget widget = nullptr;
        if (in.ConsumeBool())
            uiHandle =
                ui.instantiate(&ui, lv2port::kPluginUri, "/", &uiWrite, nullptr, &widget, features);
    }
    ~Session() {
        if (uiHandle) ui.cleanup(uiHandle);
        dsp.cleanup(handle);
    }

    void connect() {
        const uint32_t port = in.ConsumeIntegralInRange<uint32_t>(0, lv2port::kCount + 2);
        void* data = nullptr;
        switch (in.ConsumeIntegralInRange(0, 3)) {
            case 0:
                break;  // disconnected
            case 1:
                // A control's one float; an audio port always gets a whole
                // buffer, as a host must give it (a single float would be
                // the host's own overflow, not the plug-in's).
                if (port >= lv2port::kFirstControl) {
                    data = &ports.controls[port % lv2port::kCount];
                    break;
                }
                [[fallthrough]];
            default:
                data = ports.audio[in.ConsumeIntegralInRange(0, 3)].data();
                break;
        }
        dsp.connect_port(handle, port, data);
        if (port < lv2port::kCount) connected[port] = data;
    }

    void activate() {
        if (in.ConsumeBool())
            dsp.activate(handle);
        else
            dsp.deactivate(handle);
    }

    void setControl() {
        ports.controls[in.ConsumeIntegralInRange<uint32_t>(0, lv2port::kCount - 1)] = anyFloat(in);
    }

    void run() {
        // Mostly short blocks: an input then holds many calls.
        const uint32_t frames =
            in.ConsumeIntegralInRange<uint32_t>(0, in.ConsumeBool() ? 64 : kMaxFrames);
        const double level = std::fabs(static_cast<double>(anyFloat(in)));
        for (int c = 0; c < 4; ++c) {
            for (uint32_t i = 0; i < frames; ++i)
                ports.audio[c][i] = static_cast<float>(level * std::sin(0.01 * (i + 7 * c)));
        }
        if (frames > 0 && in.ConsumeBool())
            ports.audio[in.ConsumeIntegralInRange(0, 3)]
                       [in.ConsumeIntegralInRange<uint32_t>(0, frames - 1)] = anyFloat(in);
        dsp.run(handle, frames);
        // What the run wrote must be finite (a buffer that is only an input
        // keeps what the host put in it).
        if (connected[0] && connected[1] && connected[2] && connected[3]) {
            for (uint32_t port : {lv2port::kOutLeft, lv2port::kOutRight}) {
                const float* out = static_cast<const float*>(connected[port]);
                for (uint32_t i = 0; i < frames; ++i)
                    check(std::isfinite(out[i]), "a non-finite output sample");
            }
        }
        const auto* latency = static_cast<const float*>(connected[lv2port::kLatency]);
        const auto* reduction = static_cast<const float*>(connected[lv2port::kReduction]);
        if (latency)
            check(*latency == 0.0f || *latency == float(kLookAhead),
                  "a latency other than 0 or the look-ahead");
        // Written before the latency: only where the two are not one float.
        if (reduction && reduction != latency)
            check(*reduction >= 0.0f && std::isfinite(*reduction),
                  "a gain reduction that is no reduction");
    }

    // The outputs of a fully connected run.
    void checkedRun(uint32_t frames, double amplitude, double& peak) {
        for (uint32_t i = 0; i < frames; ++i) {
            ports.audio[0][i] = static_cast<float>(amplitude * std::sin(0.05 * (phase + i)));
            ports.audio[1][i] = -ports.audio[0][i];
        }
        phase += frames;
        ports.controls[lv2port::kLatency] = -1.0f;
        dsp.run(handle, frames);
        for (uint32_t i = 0; i < frames; ++i) {
            check(std::isfinite(ports.audio[2][i]) && std::isfinite(ports.audio[3][i]),
                  "a non-finite output sample");
            peak = std::max(
                {peak, std::fabs(double(ports.audio[2][i])), std::fabs(double(ports.audio[3][i]))});
        }
        check(std::isfinite(ports.controls[lv2port::kReduction]) &&
                  ports.controls[lv2port::kReduction] >= 0.0f,
              "a gain reduction that is no reduction");
        const float latency = ports.controls[lv2port::kLatency];
        check(latency == 0.0f || latency == float(kLookAhead), "a latency other than 0 or 5");
    }

    void uiEvent() {
        if (!uiHandle) return;
        const uint32_t port = in.ConsumeIntegralInRange<uint32_t>(0, lv2port::kCount + 2);
        const uint32_t size = in.ConsumeBool() ? 4 : in.ConsumeIntegralInRange<uint32_t>(0, 16);
        const uint32_t format =
            in.ConsumeIntegralInRange(0, 7) == 0 ? in.ConsumeIntegral<uint32_t>() : 0;
        float value[4] = {anyFloat(in), 0, 0, 0};
        ui.port_event(uiHandle, port, size, format,
                      in.ConsumeIntegralInRange(0, 15) ? value : nullptr);
        if (in.ConsumeBool()) uiIdle->idle(uiHandle);
    }

    // Every port connected, a steady sine at the instance's rate after
    // whatever came before: once settled, nothing above the ceiling beyond
    // the tolerance at that rate.
    void steadyProbe() {
        for (uint32_t p = 0; p < 4; ++p) dsp.connect_port(handle, p, ports.audio[p].data());
        for (uint32_t p = lv2port::kFirstControl; p < lv2port::kCount; ++p)
            dsp.connect_port(handle, p, &ports.controls[p]);
        if (in.ConsumeBool()) dsp.activate(handle);
        const double amplitude = std::pow(10.0, in.ConsumeFloatingPointInRange(-3.0, 0.0));
        double peak = 0;
        checkedRun(kMaxFrames, amplitude, peak);
        const LimiterEngine& engine = static_cast<Lv2Limiter*>(handle)->limiter();
        const double ceiling = std::exp(ceilingDb(engine.parameter(kThresh)) * kDbToLinear);
        for (int pass = 0; pass < 3; ++pass) {
            peak = 0;
            checkedRun(kMaxFrames, amplitude, peak);
            check(peak <= ceiling * (1.0 + ceilingTolerance(engine.sampleRate())),
                  "a steady output above the ceiling");
        }
    }

    const LV2_Descriptor& dsp = limiterDescriptor();
    const LV2UI_Descriptor& ui = limiterUiDescriptor();
    const LV2UI_Idle_Interface* uiIdle =
        static_cast<const LV2UI_Idle_Interface*>(ui.extension_data(LV2_UI__idleInterface));

  private:
    FuzzedDataProvider& in;
    LV2_Handle handle = nullptr;
    LV2UI_Handle uiHandle = nullptr;
    Ports ports;
    const void* connected[lv2port::kCount] = {};
    uint64_t phase = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static TKGUI::platform::Window* parent =
        TKGUI::software::createWindow(500, 300, TKGUI::CPoint(0, 0));
    FuzzedDataProvider in(data, size);
    {
        Session session(in, parent);
        int calls = 0;
        while (in.remaining_bytes() > 0 && ++calls < 200) {
            switch (in.ConsumeIntegralInRange(0, 6)) {
                case 0:
                    session.connect();
                    break;
                case 1:
                case 2:
                    session.setControl();
                    break;
                case 3:
                    session.activate();
                    break;
                case 4:
                    session.uiEvent();
                    break;
                default:
                    session.run();
                    break;
            }
        }
        session.steadyProbe();
    }
    TKGUI::software::destroyChildren(parent);
    return 0;
}
