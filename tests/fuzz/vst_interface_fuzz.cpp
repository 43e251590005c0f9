// Random host calls through the effect record, as a careless or hostile host
// makes them: any opcode with any index, value and option, pointers to
// buffers of random size (never smaller than the call's record or text
// limit, which a host must honour), any float for setParameter, random state
// blocks, and process calls in both precisions with random sizes and
// samples. Every output must be finite; at the end, a steady signal at a real
// sample rate must stay under the ceiling within the tolerance at that rate.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <limits>
#include <memory>
#include <random>
#include <vector>

#include "engine/parameters.h"
#include "entry/vst2/plugin_entry.h"
#include "tests/common/ceiling_tolerance.h"
#include "toolkit/platform/software/software_frame_window.h"
#include "toolkit/platform/software/software_script.h"

namespace {

constexpr int32_t kMaxFrames = 4096;

intptr_t quietHost(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

void check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

// How a call uses ptr (and, for two opcodes, value) on the interface.
enum class Use { nothing, output, text, record, window, chunk, pointers };

struct Call {
    Use use;
    size_t bytes;  // the least a host may pass
};

Call callOf(int32_t opcode) {
    switch (opcode) {
        case effGetProgramName:
        case effGetProgramNameIndexed:
            return {Use::output, kVstMaxProgNameLen + 1};
        case effGetParamLabel:
        case effGetParamDisplay:
        case effGetParamName:
            return {Use::output, kVstMaxParamStrLen + 1};
        case effGetEffectName:
            return {Use::output, kVstMaxEffectNameLen + 1};
        case effGetVendorString:
        case effGetProductString:
        case effShellGetNextPlugin:
        case effGetErrorText:
            return {Use::output, kVstMaxVendorStrLen + 1};
        case effSetProgramName:
        case effCanDo:
        case effString2Parameter:
            return {Use::text, 1};
        case effEditGetRect:
        case effGetChunk:
            return {Use::output, sizeof(void*)};
        case effEditOpen:
            return {Use::window, 0};
        case effSetChunk:
            return {Use::chunk, 0};
        case effSetSpeakerArrangement:
        case effGetSpeakerArrangement:
            return {Use::pointers, 1024};
        case effProcessEvents:
        case effGetInputProperties:
        case effGetOutputProperties:
        case effOfflineNotify:
        case effOfflinePrepare:
        case effOfflineRun:
        case effProcessVarIo:
        case effGetParameterProperties:
        case effGetMidiProgramName:
        case effGetCurrentMidiProgram:
        case effGetMidiProgramCategory:
        case effGetMidiKeyName:
        case effBeginLoadBank:
        case effBeginLoadProgram:
        case effGetIcon:
        case effVendorSpecific:
            return {Use::record, 1024};
        default:
            return {Use::nothing, 0};
    }
}

// Values where rules change: the ends of the parameter range, the two-state
// switch point, the ends of the accepted rates and just past them, rates far
// above audio, the largest and smallest floats.
constexpr float kEdges[] = {0.0f,
                            -0.0f,
                            0.5f,
                            1.0f,
                            1.0000001f,
                            -1e-45f,
                            1e-45f,
                            1.17549435e-38f,
                            3.40282347e38f,
                            -3.40282347e38f,
                            std::numeric_limits<float>::infinity(),
                            -std::numeric_limits<float>::infinity(),
                            std::numeric_limits<float>::quiet_NaN(),
                            7999.999f,
                            8000.0f,
                            44100.0f,
                            768000.0f,
                            768000.06f,
                            1e12f,
                            1e30f};

float anyFloat(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange(0, 4)) {
        case 0:
            return in.ConsumeFloatingPointInRange(-0.5f, 1.5f);
        case 4:
            return kEdges[in.ConsumeIntegralInRange<size_t>(0, std::size(kEdges) - 1)];
        case 1: {
            // Any bit pattern: NaNs, infinities, subnormals.
            const uint32_t bits = in.ConsumeIntegral<uint32_t>();
            float f;
            std::memcpy(&f, &bits, 4);
            return f;
        }
        default:
            return in.ConsumeProbability<float>();
    }
}

class Session {
  public:
    explicit Session(TKGUI::platform::Window* parent) : parent(parent) { create(); }
    ~Session() { destroy(); }

    void create() { fx = VSTPluginMain(&quietHost); }
    void destroy() {
        if (fx) fx->dispatcher(fx, effClose, 0, 0, nullptr, 0.f);
        fx = nullptr;
        TKGUI::software::destroyChildren(parent);
    }

    void dispatch(FuzzedDataProvider& in) {
        int32_t opcode = in.ConsumeBool() ? in.ConsumeIntegralInRange<int32_t>(0, 79)
                                          : in.ConsumeIntegral<int32_t>();
        const auto index = in.ConsumeIntegral<int32_t>();
        auto value = in.ConsumeIntegral<intptr_t>();
        const float opt = anyFloat(in);
        if (opcode == effClose) {
            // The record is gone after a close: a host that goes on makes a new one.
            destroy();
            create();
            return;
        }
        const Call call = callOf(opcode);
        std::unique_ptr<uint8_t[]> buffer, second;
        void* ptr = nullptr;
        const bool null = in.ConsumeIntegralInRange(0, 7) == 0;
        switch (call.use) {
            case Use::nothing:
                break;
            case Use::output:
            case Use::record:
            case Use::pointers: {
                const size_t n = call.bytes + in.ConsumeIntegralInRange<size_t>(0, 64);
                buffer = filled(in, n);
                if (!null) ptr = buffer.get();
                if (call.use == Use::pointers) {
                    second = filled(in, call.bytes);
                    value = null ? 0 : reinterpret_cast<intptr_t>(second.get());
                }
                break;
            }
            case Use::text: {
                const std::string s = in.ConsumeRandomLengthString(300);
                buffer = filled(in, s.size() + 1);
                std::memcpy(buffer.get(), s.c_str(), s.size() + 1);
                if (!null) ptr = buffer.get();
                break;
            }
            case Use::window:
                if (!null) ptr = parent;
                break;
            case Use::chunk: {
                const size_t n = in.ConsumeIntegralInRange<size_t>(0, 64);
                buffer = filled(in, n);
                value = static_cast<intptr_t>(n);
                if (!null) ptr = buffer.get();
                break;
            }
        }
        fx->dispatcher(fx, opcode, index, value, ptr, opt);
    }

    void process(FuzzedDataProvider& in) {
        const int32_t frames = in.ConsumeIntegralInRange<int32_t>(-2, kMaxFrames);
        const bool inPlace = in.ConsumeBool();
        if (in.ConsumeBool()) {
            run<double>(in, frames, inPlace, fx->processDoubleReplacing, true);
        } else if (in.ConsumeBool()) {
            run<float>(in, frames, inPlace, fx->processReplacing, true);
        } else {
            // The old accumulating call: nothing to check but that it survives.
            run<float>(in, frames, inPlace, fx->process, false);
        }
    }

    void parameter(FuzzedDataProvider& in) {
        const int32_t index = in.ConsumeBool() ? in.ConsumeIntegralInRange<int32_t>(-1, kNumParams)
                                               : in.ConsumeIntegral<int32_t>();
        if (in.ConsumeBool()) fx->setParameter(fx, index, anyFloat(in));
        const float v = fx->getParameter(fx, index);
        check(v >= 0.0f && v <= 1.0f, "a parameter value outside 0 to 1");
    }

    // A steady sine at a real rate after whatever came before: once settled,
    // no sample above the ceiling beyond the tolerance at that rate.
    void steadyProbe(FuzzedDataProvider& in) {
        const float rate = kRealRates[in.ConsumeIntegralInRange<size_t>(0, kRealRateCount - 1)];
        // Up to full scale: the level the README's bounds are stated for.
        const double amplitude = std::pow(10.0, in.ConsumeFloatingPointInRange(-3.0, 0.0));
        fx->dispatcher(fx, effMainsChanged, 0, 0, nullptr, 0.f);
        fx->dispatcher(fx, effSetSampleRate, 0, 0, nullptr, rate);
        fx->dispatcher(fx, effMainsChanged, 0, 1, nullptr, 0.f);
        const double ceiling = std::exp(ceilingDb(fx->getParameter(fx, kThresh)) * kDbToLinear);
        const double limit = ceiling * (1.0 + ceilingTolerance(rate));
        std::vector<double> L(kMaxFrames), R(kMaxFrames);
        for (int pass = 0; pass < 4; ++pass) {
            for (int32_t i = 0; i < kMaxFrames; ++i) {
                L[i] = amplitude * std::sin(0.05 * (pass * kMaxFrames + i));
                R[i] = -L[i];
            }
            double* io[2] = {L.data(), R.data()};
            fx->processDoubleReplacing(fx, io, io, kMaxFrames);
            if (pass < 2) continue;
            for (int32_t i = 0; i < kMaxFrames; ++i) {
                check(std::isfinite(L[i]) && std::isfinite(R[i]), "a non-finite output sample");
                check(std::fabs(L[i]) <= limit && std::fabs(R[i]) <= limit,
                      "a steady output above the ceiling");
            }
        }
    }

  private:
    static std::unique_ptr<uint8_t[]> filled(FuzzedDataProvider& in, size_t n) {
        std::unique_ptr<uint8_t[]> b(new uint8_t[n == 0 ? 1 : n]);
        const std::vector<uint8_t> bytes = in.ConsumeBytes<uint8_t>(n);
        std::memset(b.get(), 0, n);
        if (!bytes.empty()) std::memcpy(b.get(), bytes.data(), bytes.size());
        return b;
    }

    template <typename T, typename Fn>
    void run(FuzzedDataProvider& in, int32_t frames, bool inPlace, Fn fn, bool replacing) {
        const size_t n = frames > 0 ? static_cast<size_t>(frames) : 1;
        std::vector<T> inL(n), inR(n), outL(n), outR(n);
        // The samples come from a few input bytes, so that an input holds
        // many calls: a level (any float, its size taken), noise or a tone at
        // that level from a seeded generator, and a few samples set to any
        // float at chosen places.
        const double level = std::fabs(static_cast<double>(anyFloat(in)));
        const bool tone = in.ConsumeBool();
        std::minstd_rand noise(in.ConsumeIntegral<uint32_t>());
        std::uniform_real_distribution<double> bipolar(-1.0, 1.0);
        for (size_t i = 0; i < n; ++i) {
            const double x = tone ? std::sin(0.01 * static_cast<double>(i)) : bipolar(noise);
            inL[i] = static_cast<T>(level * x);
            inR[i] = static_cast<T>(tone ? -level * x : level * bipolar(noise));
        }
        for (int k = in.ConsumeIntegralInRange(0, 4); k > 0; --k) {
            const size_t at = in.ConsumeIntegralInRange<size_t>(0, n - 1);
            (in.ConsumeBool() ? inL : inR)[at] = static_cast<T>(anyFloat(in));
        }
        T* ins[2] = {inL.data(), inR.data()};
        T* outs[2] = {outL.data(), outR.data()};
        fn(fx, ins, inPlace ? ins : outs, frames);
        if (!replacing) return;
        const std::vector<T>& l = inPlace ? inL : outL;
        const std::vector<T>& r = inPlace ? inR : outR;
        for (int32_t i = 0; i < frames; ++i)
            check(std::isfinite(l[i]) && std::isfinite(r[i]), "a non-finite output sample");
    }

    static constexpr float kRealRates[] = {8000.f,  22050.f,  44100.f,  48000.f,  88200.f,
                                           96000.f, 176400.f, 192000.f, 384000.f, 768000.f};
    static constexpr size_t kRealRateCount = sizeof kRealRates / sizeof kRealRates[0];

    TKGUI::platform::Window* parent;
    AEffect* fx = nullptr;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static TKGUI::platform::Window* parent =
        TKGUI::software::createWindow(500, 300, TKGUI::CPoint(0, 0));
    FuzzedDataProvider in(data, size);
    Session session(parent);
    int calls = 0;
    while (in.remaining_bytes() > 0 && ++calls < 200) {
        switch (in.ConsumeIntegralInRange(0, 3)) {
            case 0:
                session.dispatch(in);
                break;
            case 1:
                session.parameter(in);
                break;
            default:
                session.process(in);
                break;
        }
    }
    session.steadyProbe(in);
    return 0;
}
