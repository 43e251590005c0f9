// One CLAP instance of the limiter: the plug-in record the host holds, the
// engine, what the instance knows of its host, and the editor when open.
//
// Threads as CLAP defines them. The main thread creates, activates, saves
// and loads, and drives the editor; the audio thread runs process (and
// flush and reset while active). Parameter values live in the engine's
// atomics, so either side reads them; what only one side may do (ask for a
// restart, rescan the host's values) the audio thread leaves as a flag and
// a request_callback for the main thread.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "engine/limiter_engine.h"
#include "formats/clap/clap_abi.h"
#include "formats/clap/clap_editor.h"
#include "formats/clap/gesture_queue.h"

struct ClapEditorSupport;

class ClapLimiter {
  public:
    ClapLimiter(const clap::Host* host, const ClapEditorSupport* editorSupport);
    ~ClapLimiter();
    ClapLimiter(const ClapLimiter&) = delete;
    ClapLimiter& operator=(const ClapLimiter&) = delete;

    const clap::Plugin* record() const { return &plugin; }
    // The instance behind a record the host hands back; null for a record
    // that is not one of ours.
    static ClapLimiter* from(const clap::Plugin* plugin);

    // Plug-in calls (clap::Plugin).
    bool init();
    bool activate(double sampleRate);
    void deactivate();
    bool startProcessing();
    void stopProcessing();
    void reset();
    int32_t process(const clap::Process& process);
    void onMainThread();

    // Parameters (clap::PluginParams) in real units; id = parameter index.
    bool value(clap::Id id, double& real) const;
    void flush(const clap::InputEvents* in, const clap::OutputEvents* out);

    // State (clap::PluginState).
    bool save(const clap::OutputStream* stream) const;
    bool load(const clap::InputStream* stream);

    uint32_t latency() const;

    // The editor, its glue reaching the instance (main thread).
    LimiterEngine& limiter() { return engine; }
    const clap::Host* hostRecord() const { return host; }
    // A gesture of the editor: a value goes to the engine at once, and the
    // host learns of the gesture at the next process or flush.
    void editorGesture(const Gesture& gesture);
    std::unique_ptr<ClapEditor>& editorSlot() { return editor; }
    // The parameters the host or a loaded state changed since the last
    // call, one bit each (main thread: the editor shows them).
    uint32_t takeChanged() { return changed.exchange(0); }
    bool onMainThreadNow() const;
    const ClapEditorSupport* editorTables() const { return editorSupport; }

  private:
    // A host event that sets a parameter to a new value: which, and the
    // normalised value (in the mode the engine has now). False for any
    // other event, a bad one, or one that changes nothing.
    bool decodeEvent(const clap::EventHeader* event, int32_t& index, float& normalised) const;
    void applyValue(int32_t index, float normalised);
    void applyAll(const clap::InputEvents* in);
    void sendGestures(const clap::OutputEvents* out);
    // After Mode changed: Release's real value changed with it, and while
    // active the latency needs a restart.
    void modeChanged();
    template <typename T>
    void run(T** in, T** out, uint32_t from, uint32_t to);

    clap::Plugin plugin;
    const clap::Host* host;
    const ClapEditorSupport* editorSupport;
    const clap::HostParams* hostParams = nullptr;
    const clap::HostLatency* hostLatency = nullptr;
    const clap::HostState* hostState = nullptr;
    const clap::HostThreadCheck* threadCheck = nullptr;

    LimiterEngine engine;
    bool initialised = false;
    std::atomic<bool> active{false};
    bool processing = false;       // audio thread
    int64_t reportedLatency = -1;  // main thread: what the host was last told
    int32_t activeLatency = 0;     // the latency of the current activation

    // Audio thread → main thread.
    std::atomic<bool> restartWanted{false};
    std::atomic<bool> valuesChanged{false};
    std::atomic<uint32_t> changed{0};

    GestureQueue gestures;
    std::unique_ptr<ClapEditor> editor;
};
