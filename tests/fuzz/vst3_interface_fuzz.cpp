// Random host calls through the VST3 interfaces, as a careless or hostile
// host makes them: the factory with any class and interface ids; the
// component alone or with a controller created apart, connected or not;
// bus arrangements, set-ups and process calls with any sizes, rates, sample
// sizes, missing buses and parameter changes at any id, offset and value;
// state streams of any bytes handed out in any pieces; every controller call
// with any id, value and text; the view opened in a software window, driven,
// removed and released in any order; objects released in any order. Every
// output sample of a processed block must be finite.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/parameters.h"
#include "engine/state_block.h"
#include "formats/vst3/limiter_factory.h"
#include "formats/vst3/vst3_view.h"
#include "toolkit/platform/software/software_frame_window.h"
#include "toolkit/platform/software/software_script.h"
#include "tools/plughost/vst3_host_objects.h"
#include "tools/plughost/vst3_plug_frame.h"

namespace {

constexpr int32_t kMaxFrames = 4096;

void check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

const char* iidOf(const vst3::Uid& uid) {
    return reinterpret_cast<const char*>(uid.bytes);
}

template <typename I>
I* query(vst3::FUnknown* object, const vst3::Uid& iid) {
    void* found = nullptr;
    if (!object || object->queryInterface(iidOf(iid), &found) != vst3::kResultOk) return nullptr;
    return static_cast<I*>(found);
}

double anyDouble(FuzzedDataProvider& in) {
    switch (in.ConsumeIntegralInRange(0, 5)) {
        case 0:
            return std::nan("");
        case 1:
            return in.ConsumeBool() ? INFINITY : -INFINITY;
        case 2:
            return in.ConsumeFloatingPoint<double>();
        default:
            return in.ConsumeFloatingPointInRange(-0.5, 1.5);
    }
}

vst3::ParamId anyId(FuzzedDataProvider& in) {
    return in.ConsumeBool() ? in.ConsumeIntegralInRange<vst3::ParamId>(0, kNumParams)
                            : in.ConsumeIntegral<vst3::ParamId>();
}

class Session {
  public:
    Session(FuzzedDataProvider& in, TKGUI::platform::Window* parent) : in(in), parent(parent) {
        factory = vst3::createLimiterFactory();
        // Mostly the component's class, now and then the controller's or
        // any bytes.
        vst3::ClassInfo info{};
        factory->getClassInfo(in.ConsumeIntegralInRange(0, 7) == 0 ? 1 : 0, &info);
        vst3::Uid cid{};
        for (auto& b : cid.bytes) b = in.ConsumeIntegral<uint8_t>();
        const char* asked = in.ConsumeIntegralInRange(0, 7) == 0
                                ? iidOf(cid)
                                : reinterpret_cast<const char*>(info.cid);
        void* made = nullptr;
        if (factory->createInstance(asked, iidOf(vst3::kIComponentIid), &made) == vst3::kResultOk) {
            component = static_cast<vst3::IComponent*>(made);
        }
        if (!component) return;
        component->initialize(handler);
        processor = query<vst3::IAudioProcessor>(component, vst3::kIAudioProcessorIid);
        if (in.ConsumeBool()) {
            controller = query<vst3::IEditController>(component, vst3::kIEditControllerIid);
        } else {
            char cidOfController[16];
            component->getControllerClassId(cidOfController);
            if (factory->createInstance(cidOfController, iidOf(vst3::kIEditControllerIid), &made) ==
                vst3::kResultOk) {
                controller = static_cast<vst3::IEditController*>(made);
                controller->initialize(handler);
            }
        }
        if (controller) controller->setComponentHandler(in.ConsumeBool() ? handler : nullptr);
        if (controller && in.ConsumeBool()) connect();
    }

    ~Session() {
        // Any order: each object keeps what it needs alive.
        while (view || controller || processor || component || factory) {
            // The first object still held, from a chosen place on.
            int pick = in.ConsumeIntegralInRange(0, 4);
            const bool held[5] = {view != nullptr, controller != nullptr, processor != nullptr,
                                  component != nullptr, factory != nullptr};
            while (!held[pick]) pick = (pick + 1) % 5;
            switch (pick) {
                case 0:
                    view->release();
                    view = nullptr;
                    break;
                case 1:
                    if (in.ConsumeBool()) controller->terminate();
                    controller->release();
                    controller = nullptr;
                    break;
                case 2:
                    processor->release();
                    processor = nullptr;
                    break;
                case 3:
                    if (in.ConsumeBool()) component->terminate();
                    component->release();
                    component = nullptr;
                    break;
                default:
                    factory->release();
                    factory = nullptr;
                    break;
            }
        }
        frame->release();
        handler->release();
    }

    bool alive() const { return component != nullptr; }

    void step() {
        switch (in.ConsumeIntegralInRange(0, 9)) {
            case 0:
                setUp();
                break;
            case 1:
            case 2:
                if (in.ConsumeBool()) {
                    process<float>(vst3::kSample32);
                } else {
                    process<double>(vst3::kSample64);
                }
                break;
            case 3:
                state();
                break;
            case 4:
            case 5:
                controllerCall();
                break;
            case 6:
                viewCall();
                break;
            case 7:
                busCall();
                break;
            default:
                if (processor) {
                    processor->getLatencySamples();
                    processor->getTailSamples();
                }
                break;
        }
    }

  private:
    void connect() {
        auto* a = query<vst3::IConnectionPoint>(component, vst3::kIConnectionPointIid);
        auto* b = query<vst3::IConnectionPoint>(controller, vst3::kIConnectionPointIid);
        if (a && b) {
            a->connect(b);
            b->connect(a);
            if (in.ConsumeBool()) b->disconnect(a);
        }
        if (a) a->release();
        if (b) b->release();
    }

    void setUp() {
        if (!processor) return;
        vst3::ProcessSetup setup{in.ConsumeIntegral<int32_t>() & 3,
                                 in.ConsumeIntegralInRange(-1, 2),
                                 in.ConsumeIntegralInRange(-1, kMaxFrames), anyDouble(in)};
        if (in.ConsumeBool()) setup.sampleRate = in.ConsumeFloatingPointInRange(8000.0, 768000.0);
        processor->setupProcessing(setup);
        component->setActive(in.ConsumeBool());
        processor->setProcessing(in.ConsumeBool());
    }

    template <typename T>
    void process(int32_t sampleSize) {
        if (!processor) return;
        const int32_t frames = in.ConsumeIntegralInRange(0, kMaxFrames);
        std::vector<T> l(kMaxFrames), r(kMaxFrames), ol(kMaxFrames), or_(kMaxFrames);
        const float level = in.ConsumeFloatingPointInRange(0.0f, 8.0f);
        uint32_t x = in.ConsumeIntegral<uint32_t>() | 1;
        for (int32_t i = 0; i < frames; ++i) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            l[i] = static_cast<T>(level * (static_cast<float>(x >> 8) / 8388608.0f - 1.0f));
            r[i] = -l[i];
        }
        for (int k = in.ConsumeIntegralInRange(0, 3); k > 0 && frames > 0; --k) {
            (in.ConsumeBool() ? l : r)[in.ConsumeIntegralInRange(0, frames - 1)] =
                static_cast<T>(anyDouble(in));
        }
        const bool inPlace = in.ConsumeBool();
        T* ins[2] = {l.data(), r.data()};
        T* outs[2] = {inPlace ? l.data() : ol.data(), inPlace ? r.data() : or_.data()};
        vst3::AudioBusBuffers inBus{}, outBus{};
        inBus.numChannels = in.ConsumeIntegralInRange(0, 7) == 0 ? 1 : 2;
        outBus.numChannels = in.ConsumeIntegralInRange(0, 7) == 0 ? 0 : 2;
        T** inPointers = ins;
        std::memcpy(&inBus.channels32, &inPointers, sizeof inPointers);
        T** outPointers = outs;
        std::memcpy(&outBus.channels32, &outPointers, sizeof outPointers);
        plughost::ParamChanges* changes = new plughost::ParamChanges();
        for (int k = in.ConsumeIntegralInRange(0, 12); k > 0; --k) {
            changes->add(anyId(in), in.ConsumeIntegralInRange(-10, kMaxFrames + 10), anyDouble(in));
        }
        vst3::ProcessData data{};
        data.sampleSize = in.ConsumeIntegralInRange(0, 15) == 0 ? 7 : sampleSize;
        data.numSamples = in.ConsumeIntegralInRange(0, 15) == 0 ? -frames : frames;
        data.numInputs = in.ConsumeIntegralInRange(0, 7) == 0 ? 0 : 1;
        data.numOutputs = in.ConsumeIntegralInRange(0, 7) == 0 ? 0 : 1;
        data.inputs = in.ConsumeIntegralInRange(0, 7) == 0 ? nullptr : &inBus;
        data.outputs = in.ConsumeIntegralInRange(0, 7) == 0 ? nullptr : &outBus;
        data.inputParameterChanges = in.ConsumeBool() ? changes : nullptr;
        const vst3::tresult result = processor->process(data);
        changes->release();
        const bool wrote = result == vst3::kResultOk && data.sampleSize == sampleSize &&
                           data.numSamples > 0 && data.outputs && data.numOutputs > 0 &&
                           outBus.numChannels == 2;
        if (!wrote) return;
        for (int32_t i = 0; i < frames; ++i) {
            check(std::isfinite(outs[0][i]) && std::isfinite(outs[1][i]),
                  "a non-finite output sample");
        }
    }

    void state() {
        std::vector<uint8_t> bytes;
        if (in.ConsumeBool() && component) {
            auto* saved = new plughost::MemoryStream();
            component->getState(saved);
            check(saved->data.size() == kStateBytes, "a saved state of another size");
            bytes = saved->data;
            saved->release();
            if (!bytes.empty() && in.ConsumeBool()) {
                bytes[in.ConsumeIntegralInRange<size_t>(0, bytes.size() - 1)] =
                    in.ConsumeIntegral<uint8_t>();
            }
        } else {
            bytes = in.ConsumeBytes<uint8_t>(in.ConsumeIntegralInRange(0, 40));
        }
        auto* stream = new plughost::MemoryStream(bytes);
        stream->readLimit = in.ConsumeIntegralInRange(1, 40);
        if (component && in.ConsumeBool()) component->setState(in.ConsumeBool() ? stream : nullptr);
        stream->cursor = 0;
        if (controller) controller->setComponentState(in.ConsumeBool() ? stream : nullptr);
        if (controller && in.ConsumeBool()) controller->setState(stream);
        stream->release();
    }

    void controllerCall() {
        if (!controller) return;
        const vst3::ParamId id = anyId(in);
        switch (in.ConsumeIntegralInRange(0, 6)) {
            case 0: {
                vst3::ParameterInfo info{};
                controller->getParameterInfo(in.ConsumeIntegralInRange(-2, kNumParams + 1), info);
                break;
            }
            case 1: {
                vst3::String128 text;
                if (controller->getParamStringByValue(id, anyDouble(in), text) == vst3::kResultOk) {
                    double back = 0.0;
                    controller->getParamValueByString(id, text, back);
                }
                break;
            }
            case 2: {
                std::vector<vst3::char16> text;
                for (int n = in.ConsumeIntegralInRange(0, 140); n > 0; --n) {
                    text.push_back(in.ConsumeBool() ? static_cast<vst3::char16>(
                                                          in.ConsumeIntegralInRange(32, 126))
                                                    : in.ConsumeIntegral<vst3::char16>());
                }
                text.push_back(0);
                double value = 0.0;
                if (controller->getParamValueByString(id, text.data(), value) == vst3::kResultOk) {
                    check(value >= 0.0 && value <= 1.0, "a parsed value out of range");
                }
                break;
            }
            case 3:
                controller->normalizedParamToPlain(id, anyDouble(in));
                controller->plainParamToNormalized(id, anyDouble(in));
                break;
            case 4:
                controller->setParamNormalized(id, anyDouble(in));
                break;
            case 5: {
                const double v = controller->getParamNormalized(id);
                check(v >= 0.0 && v <= 1.0, "a stored value out of range");
                break;
            }
            default:
                controller->setComponentHandler(in.ConsumeBool() ? handler : nullptr);
                break;
        }
    }

    void viewCall() {
        if (!view) {
            if (controller) view = controller->createView(in.ConsumeBool() ? "editor" : "other");
            if (view) view->setFrame(frame);
            return;
        }
        switch (in.ConsumeIntegralInRange(0, 4)) {
            case 0:
                view->attached(in.ConsumeBool() ? static_cast<void*>(parent) : nullptr,
                               in.ConsumeBool() ? vst3::kPlatformX11 : vst3::kPlatformHwnd);
                break;
            case 1:
                frame->fireTimers();
                break;
            case 2:
                view->removed();
                break;
            case 3: {
                vst3::ViewRect rect{0, 0, in.ConsumeIntegral<int32_t>() & 0xFFFF,
                                    in.ConsumeIntegral<int32_t>() & 0xFFFF};
                view->onSize(&rect);
                view->checkSizeConstraint(&rect);
                view->getSize(&rect);
                break;
            }
            default:
                view->release();
                view = nullptr;
                break;
        }
    }

    void busCall() {
        if (!component || !processor) return;
        vst3::BusInfo bus{};
        component->getBusInfo(in.ConsumeIntegralInRange(-1, 2), in.ConsumeIntegralInRange(-1, 2),
                              in.ConsumeIntegralInRange(-1, 2), bus);
        component->activateBus(in.ConsumeIntegralInRange(-1, 2), in.ConsumeIntegralInRange(-1, 2),
                               in.ConsumeIntegralInRange(-1, 2), in.ConsumeBool());
        vst3::SpeakerArrangement ins[3], outs[3];
        for (auto& a : ins)
            a = in.ConsumeBool() ? vst3::kSpeakersStereo : in.ConsumeIntegral<uint64_t>();
        for (auto& a : outs)
            a = in.ConsumeBool() ? vst3::kSpeakersStereo : in.ConsumeIntegral<uint64_t>();
        processor->setBusArrangements(
            in.ConsumeBool() ? ins : nullptr, in.ConsumeIntegralInRange(-1, 3),
            in.ConsumeBool() ? outs : nullptr, in.ConsumeIntegralInRange(-1, 3));
        vst3::SpeakerArrangement now = 0;
        if (processor->getBusArrangement(vst3::kDirectionOutput, 0, now) == vst3::kResultOk) {
            check(now == vst3::kSpeakersStereo, "a bus that is no longer stereo");
        }
    }

    FuzzedDataProvider& in;
    TKGUI::platform::Window* parent;
    plughost::RecordingHandler* handler = new plughost::RecordingHandler();
    plughost::PlugFrame* frame = new plughost::PlugFrame(true);
    vst3::IPluginFactory* factory = nullptr;
    vst3::IComponent* component = nullptr;
    vst3::IAudioProcessor* processor = nullptr;
    vst3::IEditController* controller = nullptr;
    vst3::IPlugView* view = nullptr;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static TKGUI::platform::Window* parent =
        TKGUI::software::createWindow(500, 300, TKGUI::CPoint(0, 0));
    FuzzedDataProvider in(data, size);
    Session session(in, parent);
    for (int calls = 0; session.alive() && in.remaining_bytes() > 0 && calls < 200; ++calls) {
        session.step();
    }
    return 0;
}
