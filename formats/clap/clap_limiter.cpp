#include "formats/clap/clap_limiter.h"

#include <cmath>
#include <cstring>

#include "formats/clap/clap_extensions.h"
#include "formats/clap/clap_state_format.h"

namespace {

// The record's functions: find the instance, then call it.
bool pluginInit(const clap::Plugin* p) {
    ClapLimiter* self = ClapLimiter::from(p);
    return self && self->init();
}
void pluginDestroy(const clap::Plugin* p) {
    delete ClapLimiter::from(p);
}
bool pluginActivate(const clap::Plugin* p, double rate, uint32_t, uint32_t) {
    ClapLimiter* self = ClapLimiter::from(p);
    return self && self->activate(rate);
}
void pluginDeactivate(const clap::Plugin* p) {
    if (ClapLimiter* self = ClapLimiter::from(p)) self->deactivate();
}
bool pluginStart(const clap::Plugin* p) {
    ClapLimiter* self = ClapLimiter::from(p);
    return self && self->startProcessing();
}
void pluginStop(const clap::Plugin* p) {
    if (ClapLimiter* self = ClapLimiter::from(p)) self->stopProcessing();
}
void pluginReset(const clap::Plugin* p) {
    if (ClapLimiter* self = ClapLimiter::from(p)) self->reset();
}
int32_t pluginProcess(const clap::Plugin* p, const clap::Process* process) {
    ClapLimiter* self = ClapLimiter::from(p);
    if (!self || !process) return clap::kProcessError;
    return self->process(*process);
}
const void* pluginExtension(const clap::Plugin* p, const char* id) {
    ClapLimiter* self = ClapLimiter::from(p);
    return self ? clapLimiterExtension(id, self->editorTables()) : nullptr;
}
void pluginOnMainThread(const clap::Plugin* p) {
    if (ClapLimiter* self = ClapLimiter::from(p)) self->onMainThread();
}

template <typename T>
const T* hostExtension(const clap::Host* host, const char* id) {
    return host->getExtension ? static_cast<const T*>(host->getExtension(host, id)) : nullptr;
}

// The two channels of a port, or false when the port cannot carry them.
template <typename T>
bool channels(const clap::AudioBuffer& b, T** data, T* pair[2]) {
    if (b.channelCount < 2 || !data || !data[0] || !data[1]) return false;
    pair[0] = data[0];
    pair[1] = data[1];
    return true;
}

template <typename T>
void silence(T** data, uint32_t count, uint32_t frames) {
    if (!data) return;
    for (uint32_t c = 0; c < count; ++c) {
        if (data[c]) std::memset(data[c], 0, sizeof(T) * frames);
    }
}

}  // namespace

ClapLimiter::ClapLimiter(const clap::Host* host, const ClapEditorSupport* editorSupport)
    : host(host), editorSupport(editorSupport) {
    plugin.descriptor = &kClapLimiterDescriptor;
    plugin.pluginData = this;
    plugin.init = pluginInit;
    plugin.destroy = pluginDestroy;
    plugin.activate = pluginActivate;
    plugin.deactivate = pluginDeactivate;
    plugin.startProcessing = pluginStart;
    plugin.stopProcessing = pluginStop;
    plugin.reset = pluginReset;
    plugin.process = pluginProcess;
    plugin.getExtension = pluginExtension;
    plugin.onMainThread = pluginOnMainThread;
}

ClapLimiter::~ClapLimiter() {
    // A host that destroys the instance with its editor open: close it
    // first, it reaches the engine.
    editor.reset();
}

ClapLimiter* ClapLimiter::from(const clap::Plugin* p) {
    if (!p || p->init != pluginInit) return nullptr;
    return static_cast<ClapLimiter*>(p->pluginData);
}

bool ClapLimiter::onMainThreadNow() const {
    return !threadCheck || !threadCheck->isMainThread || threadCheck->isMainThread(host);
}

bool ClapLimiter::init() {
    if (initialised) return true;
    // The host's extensions may be asked for from init on, not before.
    hostParams = hostExtension<clap::HostParams>(host, clap::kExtParams);
    hostLatency = hostExtension<clap::HostLatency>(host, clap::kExtLatency);
    hostState = hostExtension<clap::HostState>(host, clap::kExtState);
    threadCheck = hostExtension<clap::HostThreadCheck>(host, clap::kExtThreadCheck);
    initialised = true;
    return true;
}

bool ClapLimiter::activate(double sampleRate) {
    if (!initialised || active.load() || !onMainThreadNow()) return false;
    // The engine refuses rates it cannot run at; so does the activation.
    if (!(sampleRate > 0.0) || !engine.setSampleRate(static_cast<float>(sampleRate))) return false;
    engine.reset();
    activeLatency = engine.latencySamples();
    restartWanted.store(false);
    active.store(true);
    // The one moment CLAP lets a plug-in say its latency changed.
    if (reportedLatency != activeLatency && hostLatency && hostLatency->changed)
        hostLatency->changed(host);
    reportedLatency = activeLatency;
    return true;
}

void ClapLimiter::deactivate() {
    if (!active.load() || !onMainThreadNow()) return;
    active.store(false);
}

bool ClapLimiter::startProcessing() {
    if (!active.load()) return false;
    processing = true;
    return true;
}

void ClapLimiter::stopProcessing() {
    processing = false;
}

void ClapLimiter::reset() {
    if (active.load()) engine.reset();
}

uint32_t ClapLimiter::latency() const {
    return static_cast<uint32_t>(engine.latencySamples());
}

bool ClapLimiter::value(clap::Id id, double& real) const {
    if (!isParameterIndex(static_cast<int32_t>(id))) return false;
    real = engine.realValue(static_cast<int32_t>(id));
    return true;
}

bool ClapLimiter::decodeEvent(const clap::EventHeader* e, int32_t& index, float& normalised) const {
    if (!e || e->spaceId != clap::kCoreEventSpace || e->type != clap::kEventParamValue ||
        e->size < sizeof(clap::ParamValueEvent))
        return false;
    const auto* v = reinterpret_cast<const clap::ParamValueEvent*>(e);
    if (v->paramId >= static_cast<clap::Id>(kNumParams) || !std::isfinite(v->value)) return false;
    index = static_cast<int32_t>(v->paramId);
    normalised = fromReal(index, v->value, engine.limitMode());
    return !std::isnan(normalised) && normalised != engine.parameter(index);
}

void ClapLimiter::applyValue(int32_t index, float normalised) {
    const bool wasLimit = engine.limitMode();
    engine.setParameter(index, normalised);
    if (engine.limitMode() != wasLimit) modeChanged();
    changed.fetch_or(1u << index);
}

void ClapLimiter::applyAll(const clap::InputEvents* in) {
    if (!in || !in->size || !in->get) return;
    const uint32_t n = in->size(in);
    int32_t index = 0;
    float normalised = 0.0f;
    for (uint32_t i = 0; i < n; ++i) {
        if (decodeEvent(in->get(in, i), index, normalised)) applyValue(index, normalised);
    }
}

void ClapLimiter::modeChanged() {
    valuesChanged.store(true);
    if (active.load() && engine.latencySamples() != activeLatency) restartWanted.store(true);
    changed.fetch_or(1u << kRelease);
    if (host->requestCallback) host->requestCallback(host);
}

void ClapLimiter::sendGestures(const clap::OutputEvents* out) {
    Gesture g;
    while (gestures.pop(g)) {
        if (!out || !out->tryPush) continue;
        if (g.kind == Gesture::value || g.kind == Gesture::typed) {
            clap::ParamValueEvent e{};
            const uint32_t flags = g.kind == Gesture::typed ? uint32_t{clap::kEventDontRecord} : 0u;
            e.header = {sizeof e, 0, clap::kCoreEventSpace, clap::kEventParamValue, flags};
            e.paramId = static_cast<clap::Id>(g.index);
            e.noteId = -1;
            e.portIndex = e.channel = e.key = -1;
            e.value = toReal(g.index, g.normalised, engine.limitMode());
            out->tryPush(out, &e.header);
        } else {
            clap::ParamGestureEvent e{};
            const uint16_t type = g.kind == Gesture::begin ? clap::kEventParamGestureBegin
                                                           : clap::kEventParamGestureEnd;
            e.header = {sizeof e, 0, clap::kCoreEventSpace, type, 0};
            e.paramId = static_cast<clap::Id>(g.index);
            out->tryPush(out, &e.header);
        }
    }
}

void ClapLimiter::flush(const clap::InputEvents* in, const clap::OutputEvents* out) {
    if (!initialised) return;
    // While active, flush belongs to the audio thread, as process does: from
    // elsewhere it would take the editor's gestures beside a running process.
    if (active.load() && threadCheck && threadCheck->isAudioThread &&
        !threadCheck->isAudioThread(host))
        return;
    applyAll(in);
    sendGestures(out);
}

void ClapLimiter::editorGesture(const Gesture& g) {
    const bool wasLimit = engine.limitMode();
    if (!isParameterIndex(g.index)) return;
    if (g.kind == Gesture::value || g.kind == Gesture::typed)
        engine.setParameter(g.index, g.normalised);
    gestures.push(g);
    if (engine.limitMode() != wasLimit) modeChanged();
    if (hostParams && hostParams->requestFlush) hostParams->requestFlush(host);
}

template <typename T>
void ClapLimiter::run(T** in, T** out, uint32_t from, uint32_t to) {
    // A block longer than the engine's count is run in pieces; no host sends
    // one, but the count is unsigned.
    constexpr uint32_t kMost = 1u << 30;
    while (from < to) {
        const uint32_t n = to - from < kMost ? to - from : kMost;
        T* i[2] = {in[0] + from, in[1] + from};
        T* o[2] = {out[0] + from, out[1] + from};
        engine.process(i, o, static_cast<int32_t>(n));
        from += n;
    }
}

int32_t ClapLimiter::process(const clap::Process& p) {
    if (!active.load()) return clap::kProcessError;
    const uint32_t frames = p.framesCount;
    sendGestures(p.outEvents);

    // Which precision the host chose, and whether both ports can carry it;
    // a block that has neither gets its events and silence.
    float* in32[2] = {};
    float* out32[2] = {};
    double* in64[2] = {};
    double* out64[2] = {};
    bool single = false, dual = false;
    if (p.audioInputs && p.audioOutputs && p.audioInputsCount >= 1 && p.audioOutputsCount >= 1) {
        const clap::AudioBuffer& i = p.audioInputs[0];
        const clap::AudioBuffer& o = p.audioOutputs[0];
        single = channels(i, i.data32, in32) && channels(o, o.data32, out32);
        dual = !single && channels(i, i.data64, in64) && channels(o, o.data64, out64);
        if (single || dual) p.audioOutputs[0].constantMask = 0;
    }

    // Host events in order at their offsets: the engine reads its
    // parameters once per block, so the block is split where a value
    // changes, and only there.
    uint32_t done = 0;
    const clap::InputEvents* in = p.inEvents;
    const uint32_t count = in && in->size && in->get ? in->size(in) : 0;
    int32_t index = 0;
    float normalised = 0.0f;
    for (uint32_t k = 0; k < count; ++k) {
        const clap::EventHeader* e = in->get(in, k);
        if (!decodeEvent(e, index, normalised)) continue;
        // Offsets past the block (or out of order) apply at the end (or now).
        const uint32_t at = e->time < frames ? e->time : frames;
        if (at > done) {
            if (single) run(in32, out32, done, at);
            if (dual) run(in64, out64, done, at);
            done = at;
        }
        applyValue(index, normalised);
    }
    if (single) run(in32, out32, done, frames);
    if (dual) run(in64, out64, done, frames);
    if (!single && !dual && p.audioOutputs) {
        for (uint32_t k = 0; k < p.audioOutputsCount; ++k) {
            const clap::AudioBuffer& o = p.audioOutputs[k];
            silence(o.data32, o.channelCount, frames);
            silence(o.data64, o.channelCount, frames);
        }
    }
    return clap::kProcessContinue;
}

void ClapLimiter::onMainThread() {
    if (!initialised) return;
    if (restartWanted.exchange(false) && host->requestRestart) host->requestRestart(host);
    if (valuesChanged.exchange(false) && hostParams && hostParams->rescan)
        hostParams->rescan(host, clap::kParamRescanValues);
}

bool ClapLimiter::save(const clap::OutputStream* stream) const {
    if (!stream || !stream->write) return false;
    uint8_t values[kStateBytes];
    engine.saveState(values);
    uint8_t bytes[kClapStateBytes];
    encodeClapState(values, bytes);
    size_t written = 0;
    while (written < sizeof bytes) {
        const int64_t n = stream->write(stream, bytes + written, sizeof bytes - written);
        if (n <= 0 || static_cast<uint64_t>(n) > sizeof bytes - written) return false;
        written += static_cast<size_t>(n);
    }
    return true;
}

bool ClapLimiter::load(const clap::InputStream* stream) {
    if (!stream || !stream->read || !onMainThreadNow()) return false;
    // One byte more than a state holds, to tell a longer (unknown) stream
    // from a whole one.
    uint8_t bytes[kClapStateBytes + 1];
    size_t got = 0;
    while (got < sizeof bytes) {
        const int64_t n = stream->read(stream, bytes + got, sizeof bytes - got);
        if (n < 0 || static_cast<uint64_t>(n) > sizeof bytes - got) return false;
        if (n == 0) break;
        got += static_cast<size_t>(n);
    }
    float values[kNumParams];
    if (!decodeClapState(bytes, got, values)) return false;
    const bool wasLimit = engine.limitMode();
    engine.loadState(bytes + kClapStateHeaderBytes, kStateBytes);
    changed.fetch_or((1u << kNumParams) - 1);
    if (engine.limitMode() != wasLimit) modeChanged();
    // The host reads every value again; loading is no automation.
    valuesChanged.store(true);
    onMainThread();
    return true;
}
