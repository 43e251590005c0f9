// Random calls through the CLAP records, as a careless or hostile host makes
// them: lifecycle calls in any order, activation at any rate, process with
// odd block sizes, channel counts, precisions and event lists (any type,
// size, id, value bits and offset, in any order), parameter queries with
// any index, value, text and capacity, flushes, state loads from random
// streams that read in random pieces or fail, and the editor's gestures.
// Every output sample must be finite and every value the plug-in reports
// within its parameter's range.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "formats/clap/clap_abi.h"
#include "formats/clap/clap_limiter.h"

extern "C" const clap::PluginEntry clap_entry;

namespace {

constexpr uint32_t kMaxFrames = 4096;

void check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

struct Host {
    clap::Host record{};
    bool main = true;
    Host() {
        record.version = clap::kVersion;
        record.hostData = this;
        record.name = record.vendor = record.url = record.versionText = "fuzz";
        record.getExtension = [](const clap::Host*, const char* id) -> const void* {
            static const clap::HostThreadCheck threads = {
                [](const clap::Host* h) { return static_cast<Host*>(h->hostData)->main; },
                [](const clap::Host* h) { return !static_cast<Host*>(h->hostData)->main; }};
            return std::strcmp(id, clap::kExtThreadCheck) == 0 ? &threads : nullptr;
        };
        record.requestRestart = record.requestProcess =
            record.requestCallback = [](const clap::Host*) {};
    }
};

// Events as raw bytes: whatever header the fuzzer writes, in a slot large
// enough for the size the header claims up to the largest event we know.
struct RawEvents {
    std::vector<std::vector<uint8_t>> slots;
    clap::InputEvents in{
        this,
        [](const clap::InputEvents* l) {
            return static_cast<uint32_t>(static_cast<RawEvents*>(l->context)->slots.size());
        },
        [](const clap::InputEvents* l, uint32_t i) -> const clap::EventHeader* {
            auto& s = static_cast<RawEvents*>(l->context)->slots;
            return i < s.size() ? reinterpret_cast<const clap::EventHeader*>(s[i].data()) : nullptr;
        }};
    clap::OutputEvents out{this, [](const clap::OutputEvents*, const clap::EventHeader* e) {
                               check(e && e->size >= sizeof(clap::ParamGestureEvent), "sent event");
                               return true;
                           }};

    void fill(FuzzedDataProvider& f, uint32_t frames) {
        slots.clear();
        const int n = f.ConsumeIntegralInRange(0, 12);
        for (int i = 0; i < n; ++i) {
            clap::ParamValueEvent e{};
            e.header.size =
                f.ConsumeBool() ? sizeof e : f.ConsumeIntegralInRange<uint32_t>(0, sizeof e);
            e.header.time = f.ConsumeBool() ? f.ConsumeIntegralInRange<uint32_t>(0, frames)
                                            : f.ConsumeIntegral<uint32_t>();
            e.header.spaceId = f.ConsumeBool() ? 0 : f.ConsumeIntegral<uint16_t>();
            e.header.type = f.ConsumeIntegralInRange<uint16_t>(0, 12);
            e.paramId = f.ConsumeBool() ? f.ConsumeIntegralInRange<uint32_t>(0, 7)
                                        : f.ConsumeIntegral<uint32_t>();
            e.value = f.ConsumeBool() ? f.ConsumeFloatingPointInRange<double>(-600.0, 600.0)
                                      : f.ConsumeFloatingPoint<double>();
            const auto* bytes = reinterpret_cast<const uint8_t*>(&e);
            slots.emplace_back(bytes, bytes + sizeof e);
        }
    }
};

struct Stream {
    std::vector<uint8_t> bytes;
    size_t at = 0, piece = 1;
    bool fail = false;
    clap::InputStream in{
        this, [](const clap::InputStream* s, void* b, uint64_t n) -> int64_t {
            auto* self = static_cast<Stream*>(s->context);
            if (self->fail) return -1;
            n = std::min<uint64_t>({n, self->piece, self->bytes.size() - self->at});
            if (n > 0) std::memcpy(b, self->bytes.data() + self->at, n);
            self->at += n;
            return static_cast<int64_t>(n);
        }};
    clap::OutputStream out{
        this, [](const clap::OutputStream* s, const void*, uint64_t n) -> int64_t {
            auto* self = static_cast<Stream*>(s->context);
            return self->fail ? -1 : static_cast<int64_t>(std::min<uint64_t>(n, self->piece));
        }};
};

template <typename T>
void processBlock(const clap::Plugin* p, FuzzedDataProvider& f, RawEvents& events) {
    const uint32_t frames = f.ConsumeIntegralInRange<uint32_t>(0, kMaxFrames);
    const uint32_t inChannels = f.ConsumeIntegralInRange<uint32_t>(0, 3);
    const uint32_t outChannels = f.ConsumeIntegralInRange<uint32_t>(0, 3);
    std::vector<std::vector<T>> in(inChannels, std::vector<T>(frames)),
        out(outChannels, std::vector<T>(frames));
    const float level = f.ConsumeFloatingPointInRange<float>(0.0f, 4.0f);
    for (auto& c : in) {
        for (uint32_t i = 0; i < frames; ++i)
            c[i] = static_cast<T>(level * std::sin(0.01 * i + c.size()));
    }
    std::vector<T*> inPtr, outPtr;
    for (auto& c : in) inPtr.push_back(c.data());
    for (auto& c : out) outPtr.push_back(c.data());
    const bool inPlace = f.ConsumeBool() && inChannels == outChannels;
    clap::AudioBuffer ib{}, ob{};
    ib.channelCount = inChannels, ob.channelCount = outChannels;
    T** ip = inPtr.empty() ? nullptr : inPtr.data();
    T** op = inPlace ? ip : (outPtr.empty() ? nullptr : outPtr.data());
    if constexpr (sizeof(T) == 4) {
        ib.data32 = ip, ob.data32 = op;
    } else {
        ib.data64 = ip, ob.data64 = op;
    }
    events.fill(f, frames);
    clap::Process proc{};
    proc.framesCount = frames;
    proc.audioInputs = f.ConsumeBool() ? &ib : nullptr;
    proc.audioOutputs = &ob;
    proc.audioInputsCount = proc.audioInputs ? 1 : 0;
    proc.audioOutputsCount = f.ConsumeIntegralInRange<uint32_t>(0, 1);
    proc.inEvents = f.ConsumeBool() ? &events.in : nullptr;
    proc.outEvents = &events.out;
    const int32_t status = p->process(p, &proc);
    if (status == clap::kProcessError || proc.audioOutputsCount == 0) return;
    for (uint32_t c = 0; c < outChannels; ++c) {
        const T* o = inPlace ? inPtr[c] : outPtr[c];
        for (uint32_t i = 0; i < frames; ++i) check(std::isfinite(o[i]), "finite output");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider f(data, size);
    clap_entry.init("");
    const auto* factory =
        static_cast<const clap::PluginFactory*>(clap_entry.getFactory(clap::kPluginFactoryId));
    Host host;
    const clap::Plugin* p = factory->createPlugin(factory, &host.record, "com.faldenmurex.tk42r");
    check(p != nullptr, "plugin made");
    const auto* params =
        static_cast<const clap::PluginParams*>(p->getExtension(p, clap::kExtParams));
    const auto* state = static_cast<const clap::PluginState*>(p->getExtension(p, clap::kExtState));
    const auto* latency =
        static_cast<const clap::PluginLatency*>(p->getExtension(p, clap::kExtLatency));
    if (f.ConsumeBool()) p->init(p);
    RawEvents events;

    while (f.remaining_bytes() > 0) {
        host.main = f.ConsumeIntegralInRange(0, 7) != 0;
        switch (f.ConsumeIntegralInRange(0, 13)) {
            case 0:
                p->activate(p,
                            f.ConsumeBool()
                                ? f.ConsumeFloatingPointInRange<double>(4000.0, 800000.0)
                                : f.ConsumeFloatingPoint<double>(),
                            1, kMaxFrames);
                break;
            case 1:
                p->deactivate(p);
                break;
            case 2:
                p->startProcessing(p);
                break;
            case 3:
                p->stopProcessing(p), p->reset(p);
                break;
            case 4:
                processBlock<float>(p, f, events);
                break;
            case 5:
                processBlock<double>(p, f, events);
                break;
            case 6: {
                events.fill(f, 0);
                params->flush(p, &events.in, &events.out);
                break;
            }
            case 7: {
                const uint32_t id = f.ConsumeIntegralInRange<uint32_t>(0, 8);
                clap::ParamInfo info{};
                double v = 0;
                if (params->getInfo(p, id, &info) && params->getValue(p, id, &v))
                    check(v >= info.minValue && v <= info.maxValue, "value in range");
                char text[64];
                const uint32_t capacity = f.ConsumeIntegralInRange<uint32_t>(0, sizeof text);
                params->valueToText(p, id, f.ConsumeFloatingPoint<double>(), text, capacity);
                const std::string typed = f.ConsumeRandomLengthString(24);
                if (params->textToValue(p, id, typed.c_str(), &v))
                    check(v >= info.minValue && v <= info.maxValue, "parsed value in range");
                break;
            }
            case 8: {
                Stream s;
                s.bytes = f.ConsumeBytes<uint8_t>(f.ConsumeIntegralInRange(0, 48));
                s.piece = f.ConsumeIntegralInRange<size_t>(1, 40);
                s.fail = f.ConsumeIntegralInRange(0, 9) == 0;
                state->load(p, &s.in);
                break;
            }
            case 9: {
                Stream s;
                s.piece = f.ConsumeIntegralInRange<size_t>(1, 40);
                s.fail = f.ConsumeIntegralInRange(0, 9) == 0;
                state->save(p, &s.out);
                break;
            }
            case 10:
                p->onMainThread(p);
                latency->get(p);
                break;
            case 11: {
                // The editor's calls, as the panel makes them.
                Gesture g{static_cast<Gesture::Kind>(f.ConsumeIntegralInRange(0, 3)),
                          f.ConsumeIntegralInRange<int32_t>(-1, 8),
                          f.ConsumeFloatingPoint<float>()};
                if (ClapLimiter* self = ClapLimiter::from(p)) self->editorGesture(g);
                break;
            }
            case 12:
                p->getExtension(p, f.ConsumeRandomLengthString(20).c_str());
                break;
            default: {
                const auto* gui =
                    static_cast<const clap::PluginGui*>(p->getExtension(p, clap::kExtGui));
                check(gui == nullptr, "no gui without the editor");
                break;
            }
        }
    }
    p->destroy(p);
    clap_entry.deinit();
    return 0;
}
