#include "tools/plughost/clap_bridge.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <vector>

#include "engine/parameters.h"
#include "formats/clap/clap_abi.h"

namespace {

constexpr const char kLimiterId[] = "com.faldenmurex.tk42r";

const clap::PluginEntry* boundEntry = nullptr;

void copyText(void* ptr, const char* text, size_t capacity) {
    if (ptr) std::snprintf(static_cast<char*>(ptr), capacity, "%s", text ? text : "");
}

// The most a text opcode writes: what tk42host's buffers hold.
constexpr size_t kTextCapacity = 64;

// A list of param events handed to the plug-in.
struct EventList {
    clap::InputEvents record{};
    std::vector<clap::ParamValueEvent> events;

    EventList() {
        record.context = this;
        record.size = [](const clap::InputEvents* l) {
            return static_cast<uint32_t>(static_cast<EventList*>(l->context)->events.size());
        };
        record.get = [](const clap::InputEvents* l, uint32_t i) -> const clap::EventHeader* {
            auto& e = static_cast<EventList*>(l->context)->events;
            return i < e.size() ? &e[i].header : nullptr;
        };
    }
};

// The plug-in's outgoing events: values are taken as they come (the
// record has no automation to write them to).
struct Discard {
    clap::OutputEvents record{nullptr, [](const clap::OutputEvents*, const clap::EventHeader* e) {
                                  return e != nullptr;
                              }};
};

class Bridge {
  public:
    Bridge() {
        std::memset(&effect, 0, sizeof effect);
        effect.magic = kEffectMagic;
        effect.object = this;
        effect.dispatcher = &Bridge::dispatchThunk;
        effect.setParameter = [](AEffect* e, int32_t i, float v) { of(e)->setParameter(i, v); };
        effect.getParameter = [](AEffect* e, int32_t i) { return of(e)->getParameter(i); };
        effect.processReplacing = [](AEffect* e, float** in, float** out, int32_t n) {
            of(e)->process(in, out, n);
        };
        effect.processDoubleReplacing = [](AEffect* e, double** in, double** out, int32_t n) {
            of(e)->process(in, out, n);
        };
    }

    // The host record the plug-in is created with.
    static clap::Host hostRecord(Bridge* self) {
        clap::Host h{};
        h.version = clap::kVersion;
        h.hostData = self;
        h.name = "tk42host";
        h.vendor = "Tembro";
        h.url = "";
        h.versionText = "1.0";
        h.getExtension = &Bridge::hostExtension;
        h.requestRestart = [](const clap::Host* h) { bridgeOf(h)->restartWanted = true; };
        h.requestProcess = [](const clap::Host*) {};
        h.requestCallback = [](const clap::Host* h) { bridgeOf(h)->callbackWanted = true; };
        return h;
    }

    // Takes the plug-in made with this bridge's host record.
    bool setUp(const clap::Plugin* made) {
        plugin = made;
        if (!plugin->descriptor || !plugin->descriptor->id || !plugin->init(plugin)) return false;
        params = extension<clap::PluginParams>(clap::kExtParams);
        state = extension<clap::PluginState>(clap::kExtState);
        ports = extension<clap::PluginAudioPorts>(clap::kExtAudioPorts);
        latency = extension<clap::PluginLatency>(clap::kExtLatency);
        gui = extension<clap::PluginGui>(clap::kExtGui);
        timer = extension<clap::PluginTimerSupport>(clap::kExtTimerSupport);
        limiter = std::strcmp(plugin->descriptor->id, kLimiterId) == 0;

        const uint32_t count = params ? params->count(plugin) : 0;
        for (uint32_t i = 0; i < count && i < 4096; ++i) {
            clap::ParamInfo info{};
            if (params->getInfo(plugin, i, &info)) infos.push_back(info);
        }
        effect.numParams = static_cast<int32_t>(infos.size());
        effect.numInputs = mainChannels(true);
        effect.numOutputs = mainChannels(false);
        effect.flags = effFlagsCanReplacing | effFlagsCanDoubleReplacing;
        if (state) effect.flags |= effFlagsProgramChunks;
        if (gui && !windowApi().empty()) effect.flags |= effFlagsHasEditor;
        effect.uniqueID =
            limiter ? fourCharCode('T', 'K', '4', '2') : hashOf(plugin->descriptor->id);
        effect.version = 1;
        return true;
    }

    ~Bridge() {
        if (!plugin) return;
        if (editorOpen) gui->destroy(plugin);
        setActive(false);
        plugin->destroy(plugin);
    }

    AEffect effect;

  private:
    struct Timer {
        clap::Id id;
        uint32_t periodMs;
        std::chrono::steady_clock::time_point due;
    };

    static Bridge* of(AEffect* e) { return static_cast<Bridge*>(e->object); }
    static Bridge* bridgeOf(const clap::Host* h) { return static_cast<Bridge*>(h->hostData); }

    template <typename T>
    const T* extension(const char* id) const {
        return static_cast<const T*>(plugin->getExtension(plugin, id));
    }

    static int32_t hashOf(const char* id) {
        uint32_t h = 2166136261u;
        for (; *id; ++id) h = (h ^ static_cast<uint8_t>(*id)) * 16777619u;
        return static_cast<int32_t>(h);
    }

    int32_t mainChannels(bool input) const {
        clap::AudioPortInfo info{};
        if (!ports || ports->count(plugin, input) < 1 || !ports->get(plugin, 0, input, &info))
            return 0;
        return static_cast<int32_t>(info.channelCount);
    }

    std::string windowApi() const {
        for (const char* api : {clap::kWindowApiX11, clap::kWindowApiWin32}) {
            if (gui->isApiSupported(plugin, api, false)) return api;
        }
        return "";
    }

    // ---- The host's extensions -------------------------------------------

    static const void* hostExtension(const clap::Host*, const char* id) {
        static const clap::HostParams params = {[](const clap::Host*, uint32_t) {},
                                                [](const clap::Host*, clap::Id, uint32_t) {},
                                                [](const clap::Host*) {}};
        // initialDelay is read after every activation anyway.
        static const clap::HostLatency latency = {[](const clap::Host*) {}};
        static const clap::HostState state = {[](const clap::Host*) {}};
        static const clap::HostThreadCheck threads = {
            [](const clap::Host* h) { return !bridgeOf(h)->inProcess; },
            [](const clap::Host* h) { return bridgeOf(h)->inProcess; }};
        static const clap::HostTimerSupport timers = {
            [](const clap::Host* h, uint32_t ms, clap::Id* id) {
                return bridgeOf(h)->registerTimer(ms, id);
            },
            [](const clap::Host* h, clap::Id id) { return bridgeOf(h)->unregisterTimer(id); }};
        if (!id) return nullptr;
        if (!std::strcmp(id, clap::kExtParams)) return &params;
        if (!std::strcmp(id, clap::kExtLatency)) return &latency;
        if (!std::strcmp(id, clap::kExtState)) return &state;
        if (!std::strcmp(id, clap::kExtThreadCheck)) return &threads;
        if (!std::strcmp(id, clap::kExtTimerSupport)) return &timers;
        return nullptr;
    }

    bool registerTimer(uint32_t ms, clap::Id* id) {
        if (!id) return false;
        *id = nextTimer++;
        timers.push_back({*id, std::max<uint32_t>(ms, 1), std::chrono::steady_clock::now()});
        return true;
    }
    bool unregisterTimer(clap::Id id) {
        const auto before = timers.size();
        timers.erase(std::remove_if(timers.begin(), timers.end(),
                                    [&](const Timer& t) { return t.id == id; }),
                     timers.end());
        return timers.size() != before;
    }

    // Main-thread work the plug-in asked for.
    void serve() {
        if (callbackWanted) {
            callbackWanted = false;
            plugin->onMainThread(plugin);
        }
        if (restartWanted && active) {
            restartWanted = false;
            setActive(false);
            setActive(true);
        }
    }

    // ---- Parameters ------------------------------------------------------

    // The plug-in's value for a normalised one, and back. The limiter's
    // laws are its own (Release in the current mode); others are linear.
    double realOf(int32_t i, float v) {
        const clap::ParamInfo& p = infos[i];
        if (limiter && isParameterIndex(i)) return toReal(i, v, limitMode());
        double real = p.minValue + (p.maxValue - p.minValue) * v;
        if (p.flags & clap::kParamIsStepped) real = std::round(real);
        return real;
    }
    float normalisedOf(int32_t i, double real) {
        const clap::ParamInfo& p = infos[i];
        if (limiter && isParameterIndex(i)) return fromReal(i, real, limitMode());
        if (!(p.maxValue > p.minValue)) return 0.0f;
        return static_cast<float>(
            std::clamp((real - p.minValue) / (p.maxValue - p.minValue), 0.0, 1.0));
    }

    // The limiter's mode as its next block will have it (Mode's real value
    // is the step: 0 LIMIT, 1 CLIP).
    bool limitMode() const {
        double real = 0;
        for (auto e = pending.events.rbegin(); e != pending.events.rend(); ++e) {
            if (e->paramId == static_cast<clap::Id>(kMode)) return e->value < 0.5;
        }
        return !params->getValue(plugin, kMode, &real) || real < 0.5;
    }

    void setParameter(int32_t i, float v) {
        if (i < 0 || i >= effect.numParams || !std::isfinite(v)) return;
        clap::ParamValueEvent e{};
        e.header = {sizeof e, 0, clap::kCoreEventSpace, clap::kEventParamValue, 0};
        e.paramId = infos[i].id;
        e.cookie = infos[i].cookie;
        e.noteId = -1;
        e.portIndex = e.channel = e.key = -1;
        e.value = realOf(i, std::clamp(v, 0.0f, 1.0f));
        pending.events.push_back(e);
        // While inactive the plug-in takes the change at once through
        // flush; while active it comes with the next block.
        if (!active) flushPending();
    }

    float getParameter(int32_t i) {
        if (i < 0 || i >= effect.numParams) return 0.0f;
        for (auto e = pending.events.rbegin(); e != pending.events.rend(); ++e) {
            if (e->paramId == infos[i].id) return normalisedOf(i, e->value);
        }
        double real = 0;
        if (!params->getValue(plugin, infos[i].id, &real)) return 0.0f;
        return normalisedOf(i, real);
    }

    void flushPending() {
        Discard out;
        if (params) params->flush(plugin, &pending.record, &out.record);
        pending.events.clear();
        serve();
    }

    std::string text(int32_t i, bool display) {
        if (i < 0 || i >= effect.numParams) return "";
        if (!display)
            return limiter && isParameterIndex(i) ? kParameterInfo[i].name : infos[i].name;
        char out[kTextCapacity] = {};
        double real = 0;
        if (!params->getValue(plugin, infos[i].id, &real)) return "";
        if (!pending.events.empty()) real = realOf(i, getParameter(i));
        if (!params->valueToText(plugin, infos[i].id, real, out, sizeof out)) return "";
        return out;
    }

    // ---- State -----------------------------------------------------------

    intptr_t getChunk(void** out) {
        if (!state || !out) return 0;
        chunk.clear();
        clap::OutputStream s{&chunk, [](const clap::OutputStream* s, const void* b, uint64_t n) {
                                 auto* v = static_cast<std::vector<uint8_t>*>(s->context);
                                 const auto* p = static_cast<const uint8_t*>(b);
                                 v->insert(v->end(), p, p + n);
                                 return static_cast<int64_t>(n);
                             }};
        if (active) flushPendingInProcess();
        if (!state->save(plugin, &s)) return 0;
        *out = chunk.data();
        return static_cast<intptr_t>(chunk.size());
    }

    intptr_t setChunk(const void* data, intptr_t size) {
        if (!state || !data || size < 0) return 0;
        struct Reader {
            const uint8_t* p;
            size_t left;
        } reader{static_cast<const uint8_t*>(data), static_cast<size_t>(size)};
        clap::InputStream s{&reader, [](const clap::InputStream* s, void* b, uint64_t n) {
                                auto* r = static_cast<Reader*>(s->context);
                                const size_t k =
                                    static_cast<size_t>(std::min<uint64_t>(n, r->left));
                                std::memcpy(b, r->p, k);
                                r->p += k, r->left -= k;
                                return static_cast<int64_t>(k);
                            }};
        pending.events.clear();
        const bool loaded = state->load(plugin, &s);
        serve();
        return loaded ? 1 : 0;
    }

    // ---- Processing ------------------------------------------------------

    void setActive(bool on) {
        if (on == active) return;
        if (on) {
            if (!plugin->activate(plugin, rate, 1, static_cast<uint32_t>(std::max(blockSize, 1))))
                return;
            active = true;
            plugin->startProcessing(plugin);
            if (latency) effect.initialDelay = static_cast<int32_t>(latency->get(plugin));
        } else {
            plugin->stopProcessing(plugin);
            plugin->deactivate(plugin);
            active = false;
        }
    }

    // Hands queued values to an active plug-in with an empty block.
    void flushPendingInProcess() {
        if (pending.events.empty()) return;
        float* none[2] = {nullptr, nullptr};
        process(none, none, 0);
    }

    template <typename T>
    void process(T** in, T** out, int32_t frames) {
        if (!active || frames < 0) return;
        serve();
        clap::AudioBuffer input{}, output{};
        input.channelCount = static_cast<uint32_t>(effect.numInputs);
        output.channelCount = static_cast<uint32_t>(effect.numOutputs);
        if constexpr (sizeof(T) == 4) {
            input.data32 = in, output.data32 = out;
        } else {
            input.data64 = in, output.data64 = out;
        }
        Discard sent;
        clap::Process p{};
        p.steadyTime = steadyTime;
        p.framesCount = static_cast<uint32_t>(frames);
        p.audioInputs = &input;
        p.audioOutputs = &output;
        p.audioInputsCount = p.audioOutputsCount = frames > 0 ? 1 : 0;
        p.inEvents = &pending.record;
        p.outEvents = &sent.record;
        inProcess = true;
        plugin->process(plugin, &p);
        inProcess = false;
        steadyTime += frames;
        pending.events.clear();
        serve();
    }

    // ---- Editor ----------------------------------------------------------

    intptr_t editOpen(void* parent) {
        if (!gui || editorOpen) return 0;
        const std::string api = windowApi();
        if (api.empty() || !gui->create(plugin, api.c_str(), false)) return 0;
        clap::Window w{};
        w.api = api == clap::kWindowApiX11 ? clap::kWindowApiX11 : clap::kWindowApiWin32;
        if (api == clap::kWindowApiX11)
            w.x11 = static_cast<unsigned long>(reinterpret_cast<uintptr_t>(parent));
        else
            w.win32 = parent;
        if (!gui->setParent(plugin, &w)) {
            gui->destroy(plugin);
            return 0;
        }
        gui->show(plugin);
        editorOpen = true;
        return 1;
    }

    void editIdle() {
        serve();
        const auto now = std::chrono::steady_clock::now();
        // A copy: a timer's callback may register or remove timers.
        const std::vector<Timer> due = timers;
        for (const Timer& t : due) {
            if (now < t.due || !timer) continue;
            for (Timer& live : timers) {
                if (live.id == t.id) live.due = now + std::chrono::milliseconds(t.periodMs);
            }
            timer->onTimer(plugin, t.id);
        }
    }

    static intptr_t dispatchThunk(AEffect* e, int32_t opcode, int32_t index, intptr_t value,
                                  void* ptr, float opt) {
        Bridge* self = of(e);
        if (opcode == effClose) {
            delete self;
            return 1;
        }
        return self->dispatch(opcode, index, value, ptr, opt);
    }

    intptr_t dispatch(int32_t opcode, int32_t index, intptr_t value, void* ptr, float opt) {
        switch (opcode) {
            case effOpen:
                return 0;
            case effSetSampleRate:
                rate = opt;
                return 0;
            case effSetBlockSize:
                blockSize = static_cast<int32_t>(value);
                return 0;
            case effMainsChanged:
                setActive(value != 0);
                return 0;
            case effGetParamName:
            case effGetParamDisplay:
                copyText(ptr, text(index, opcode == effGetParamDisplay).c_str(), kTextCapacity);
                return 0;
            case effGetParamLabel:
                copyText(ptr, "", kTextCapacity);  // the display carries the unit
                return 0;
            case effGetEffectName:
            case effGetProductString:
                copyText(ptr, plugin->descriptor->name, kTextCapacity);
                return 1;
            case effGetVendorString:
                copyText(ptr, plugin->descriptor->vendor, kTextCapacity);
                return 1;
            case effGetVendorVersion:
                return 1;
            case effGetVstVersion:
                return 2400;
            case effGetPlugCategory:
                return kPlugCategEffect;
            case effGetChunk:
                return getChunk(static_cast<void**>(ptr));
            case effSetChunk:
                return setChunk(ptr, value);
            case effEditGetRect: {
                uint32_t w = 0, h = 0;
                if (!gui || !ptr || !gui->getSize(plugin, &w, &h)) return 0;
                editorRect = {0, 0, static_cast<int16_t>(h), static_cast<int16_t>(w)};
                *static_cast<ERect**>(ptr) = &editorRect;
                return 1;
            }
            case effEditOpen:
                return editOpen(ptr);
            case effEditIdle:
                editIdle();
                return 0;
            case effEditClose:
                if (editorOpen) gui->destroy(plugin);
                editorOpen = false;
                timers.clear();
                return 0;
            default:
                return 0;
        }
    }

    const clap::Plugin* plugin = nullptr;
    const clap::PluginParams* params = nullptr;
    const clap::PluginState* state = nullptr;
    const clap::PluginAudioPorts* ports = nullptr;
    const clap::PluginLatency* latency = nullptr;
    const clap::PluginGui* gui = nullptr;
    const clap::PluginTimerSupport* timer = nullptr;
    bool limiter = false;
    std::vector<clap::ParamInfo> infos;
    EventList pending;
    std::vector<uint8_t> chunk;
    ERect editorRect{};
    std::vector<Timer> timers;
    clap::Id nextTimer = 1;

    double rate = 44100.0;
    int32_t blockSize = 1024;
    bool active = false;
    bool inProcess = false;
    bool editorOpen = false;
    bool restartWanted = false;
    bool callbackWanted = false;
    int64_t steadyTime = 0;

  public:
    clap::Host host{};
};

}  // namespace

bool bindClapModule(const void* symbol, const std::string& path, std::string& error) {
    const auto* entry = static_cast<const clap::PluginEntry*>(symbol);
    if (boundEntry) {
        error = "another CLAP module is loaded";
        return false;
    }
    if (!entry || !clap::isCompatible(entry->version) || !entry->init || !entry->getFactory) {
        error = path + " exports clap_entry of a CLAP version this host does not know";
        return false;
    }
    if (!entry->init(path.c_str())) {
        error = path + " refused to initialise (clap_entry init)";
        return false;
    }
    boundEntry = entry;
    return true;
}

void unbindClapModule() {
    if (boundEntry && boundEntry->deinit) boundEntry->deinit();
    boundEntry = nullptr;
}

AEffect* clapBridgeMain(audioMasterCallback) {
    if (!boundEntry) return nullptr;
    const auto* factory =
        static_cast<const clap::PluginFactory*>(boundEntry->getFactory(clap::kPluginFactoryId));
    if (!factory || factory->getPluginCount(factory) < 1) return nullptr;
    const clap::PluginDescriptor* d = factory->getPluginDescriptor(factory, 0);
    if (!d || !d->id) return nullptr;
    // The bridge owns the host record the plug-in keeps; it is made first,
    // then the plug-in with it.
    auto* bridge = new Bridge;
    bridge->host = Bridge::hostRecord(bridge);
    const clap::Plugin* plugin = factory->createPlugin(factory, &bridge->host, d->id);
    if (!plugin) {
        delete bridge;
        return nullptr;
    }
    if (!bridge->setUp(plugin)) {
        delete bridge;
        return nullptr;
    }
    return &bridge->effect;
}
