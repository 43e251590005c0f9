// The records of the CLAP plug-in interface (version 1.x) that the limiter and
// tk42host use, declared here from the published layouts: the same member
// types in the same order, so that the C ABI matches, under this project's
// own names. Every function is a plain C call (cdecl on Windows, which is
// the only convention x64 has).
#pragma once

#include <cstdint>

namespace clap {

struct Version {
    uint32_t major;
    uint32_t minor;
    uint32_t revision;
};
// The interface version this project was written against.
constexpr Version kVersion{1, 2, 10};
// Any 1.x host or plug-in understands these records.
constexpr bool isCompatible(const Version& v) {
    return v.major >= 1;
}

using Id = uint32_t;
constexpr Id kInvalidId = 0xFFFFFFFFu;
constexpr uint32_t kNameSize = 256;
constexpr uint32_t kPathSize = 1024;

struct Host;
struct Plugin;

// ---- Events -----------------------------------------------------------

struct EventHeader {
    uint32_t size;  // of the whole event, header included
    uint32_t time;  // frame offset in the block
    uint16_t spaceId;
    uint16_t type;
    uint32_t flags;
};
constexpr uint16_t kCoreEventSpace = 0;
enum EventFlags : uint32_t { kEventIsLive = 1u << 0, kEventDontRecord = 1u << 1 };
enum EventType : uint16_t {
    kEventParamValue = 5,
    kEventParamMod = 6,
    kEventParamGestureBegin = 7,
    kEventParamGestureEnd = 8,
};

struct ParamValueEvent {
    EventHeader header;
    Id paramId;
    void* cookie;
    int32_t noteId;  // -1: all notes (the only choice for an effect)
    int16_t portIndex;
    int16_t channel;
    int16_t key;
    double value;  // in the parameter's own units
};

struct ParamGestureEvent {
    EventHeader header;
    Id paramId;
};

struct InputEvents {
    void* context;
    uint32_t (*size)(const InputEvents* list);
    const EventHeader* (*get)(const InputEvents* list, uint32_t index);
};

struct OutputEvents {
    void* context;
    bool (*tryPush)(const OutputEvents* list, const EventHeader* event);
};

// ---- Processing ---------------------------------------------------------

struct AudioBuffer {
    float** data32;
    double** data64;
    uint32_t channelCount;
    uint32_t latency;
    uint64_t constantMask;  // bit n: channel n holds one value throughout
};

enum ProcessStatus : int32_t {
    kProcessError = 0,
    kProcessContinue = 1,
    kProcessContinueIfNotQuiet = 2,
    kProcessTail = 3,
    kProcessSleep = 4,
};

struct Process {
    int64_t steadyTime;
    uint32_t framesCount;
    const void* transport;  // a transport event, unused here
    const AudioBuffer* audioInputs;
    AudioBuffer* audioOutputs;
    uint32_t audioInputsCount;
    uint32_t audioOutputsCount;
    const InputEvents* inEvents;
    const OutputEvents* outEvents;
};

// ---- Host and plug-in ------------------------------------------------

struct Host {
    Version version;
    void* hostData;
    const char* name;
    const char* vendor;
    const char* url;
    const char* versionText;
    const void* (*getExtension)(const Host* host, const char* id);
    void (*requestRestart)(const Host* host);
    void (*requestProcess)(const Host* host);
    void (*requestCallback)(const Host* host);
};

struct PluginDescriptor {
    Version version;
    const char* id;
    const char* name;
    const char* vendor;
    const char* url;
    const char* manualUrl;
    const char* supportUrl;
    const char* versionText;
    const char* description;
    const char* const* features;  // ends with a null
};

struct Plugin {
    const PluginDescriptor* descriptor;
    void* pluginData;
    bool (*init)(const Plugin* plugin);
    void (*destroy)(const Plugin* plugin);
    bool (*activate)(const Plugin* plugin, double sampleRate, uint32_t minFrames,
                     uint32_t maxFrames);
    void (*deactivate)(const Plugin* plugin);
    bool (*startProcessing)(const Plugin* plugin);
    void (*stopProcessing)(const Plugin* plugin);
    void (*reset)(const Plugin* plugin);
    int32_t (*process)(const Plugin* plugin, const Process* process);
    const void* (*getExtension)(const Plugin* plugin, const char* id);
    void (*onMainThread)(const Plugin* plugin);
};

constexpr const char kPluginFactoryId[] = "clap.plugin-factory";
struct PluginFactory {
    uint32_t (*getPluginCount)(const PluginFactory* factory);
    const PluginDescriptor* (*getPluginDescriptor)(const PluginFactory* factory, uint32_t index);
    const Plugin* (*createPlugin)(const PluginFactory* factory, const Host* host,
                                  const char* pluginId);
};

// What a module exports under the name clap_entry.
struct PluginEntry {
    Version version;
    bool (*init)(const char* modulePath);
    void (*deinit)();
    const void* (*getFactory)(const char* factoryId);
};

// ---- Audio ports -------------------------------------------------------

constexpr const char kExtAudioPorts[] = "clap.audio-ports";
constexpr const char kPortStereo[] = "stereo";
enum AudioPortFlags : uint32_t {
    kPortIsMain = 1u << 0,
    kPortSupports64Bits = 1u << 1,
    kPortPrefers64Bits = 1u << 2,
    kPortRequiresCommonSampleSize = 1u << 3,
};
struct AudioPortInfo {
    Id id;
    char name[kNameSize];
    uint32_t flags;
    uint32_t channelCount;
    const char* portType;
    Id inPlacePair;
};
struct PluginAudioPorts {
    uint32_t (*count)(const Plugin* plugin, bool isInput);
    bool (*get)(const Plugin* plugin, uint32_t index, bool isInput, AudioPortInfo* info);
};

// ---- Parameters ------------------------------------------------------

constexpr const char kExtParams[] = "clap.params";
enum ParamFlags : uint32_t {
    kParamIsStepped = 1u << 0,
    kParamIsAutomatable = 1u << 5,
    kParamIsEnum = 1u << 16,
};
struct ParamInfo {
    Id id;
    uint32_t flags;
    void* cookie;
    char name[kNameSize];
    char module[kPathSize];
    double minValue;
    double maxValue;
    double defaultValue;
};
struct PluginParams {
    uint32_t (*count)(const Plugin* plugin);
    bool (*getInfo)(const Plugin* plugin, uint32_t index, ParamInfo* info);
    bool (*getValue)(const Plugin* plugin, Id id, double* value);
    bool (*valueToText)(const Plugin* plugin, Id id, double value, char* text, uint32_t capacity);
    bool (*textToValue)(const Plugin* plugin, Id id, const char* text, double* value);
    void (*flush)(const Plugin* plugin, const InputEvents* in, const OutputEvents* out);
};
enum ParamRescanFlags : uint32_t {
    kParamRescanValues = 1u << 0,
    kParamRescanText = 1u << 1,
    kParamRescanInfo = 1u << 2,
    kParamRescanAll = 1u << 3,
};
struct HostParams {
    void (*rescan)(const Host* host, uint32_t flags);
    void (*clear)(const Host* host, Id id, uint32_t flags);
    void (*requestFlush)(const Host* host);
};

// ---- State -----------------------------------------------------------

// read and write answer the bytes moved, 0 at the end, negative on error.
struct InputStream {
    void* context;
    int64_t (*read)(const InputStream* stream, void* buffer, uint64_t size);
};
struct OutputStream {
    void* context;
    int64_t (*write)(const OutputStream* stream, const void* buffer, uint64_t size);
};

constexpr const char kExtState[] = "clap.state";
struct PluginState {
    bool (*save)(const Plugin* plugin, const OutputStream* stream);
    bool (*load)(const Plugin* plugin, const InputStream* stream);
};
struct HostState {
    void (*markDirty)(const Host* host);
};

// ---- Latency ---------------------------------------------------------

constexpr const char kExtLatency[] = "clap.latency";
struct PluginLatency {
    uint32_t (*get)(const Plugin* plugin);
};
struct HostLatency {
    void (*changed)(const Host* host);
};

// ---- Editor window ---------------------------------------------------

constexpr const char kExtGui[] = "clap.gui";
constexpr const char kWindowApiWin32[] = "win32";
constexpr const char kWindowApiX11[] = "x11";
struct Window {
    const char* api;
    union {
        void* win32;        // HWND
        unsigned long x11;  // X window id
        void* pointer;
    };
};
struct GuiResizeHints {
    bool canResizeHorizontally;
    bool canResizeVertically;
    bool preserveAspectRatio;
    uint32_t aspectRatioWidth;
    uint32_t aspectRatioHeight;
};
struct PluginGui {
    bool (*isApiSupported)(const Plugin* plugin, const char* api, bool isFloating);
    bool (*getPreferredApi)(const Plugin* plugin, const char** api, bool* isFloating);
    bool (*create)(const Plugin* plugin, const char* api, bool isFloating);
    void (*destroy)(const Plugin* plugin);
    bool (*setScale)(const Plugin* plugin, double scale);
    bool (*getSize)(const Plugin* plugin, uint32_t* width, uint32_t* height);
    bool (*canResize)(const Plugin* plugin);
    bool (*getResizeHints)(const Plugin* plugin, GuiResizeHints* hints);
    bool (*adjustSize)(const Plugin* plugin, uint32_t* width, uint32_t* height);
    bool (*setSize)(const Plugin* plugin, uint32_t width, uint32_t height);
    bool (*setParent)(const Plugin* plugin, const Window* window);
    bool (*setTransient)(const Plugin* plugin, const Window* window);
    void (*suggestTitle)(const Plugin* plugin, const char* title);
    bool (*show)(const Plugin* plugin);
    bool (*hide)(const Plugin* plugin);
};
struct HostGui {
    void (*resizeHintsChanged)(const Host* host);
    bool (*requestResize)(const Host* host, uint32_t width, uint32_t height);
    bool (*requestShow)(const Host* host);
    bool (*requestHide)(const Host* host);
    void (*closed)(const Host* host, bool wasDestroyed);
};

// ---- Main-thread services of the host --------------------------------

constexpr const char kExtTimerSupport[] = "clap.timer-support";
struct PluginTimerSupport {
    void (*onTimer)(const Plugin* plugin, Id timerId);
};
struct HostTimerSupport {
    bool (*registerTimer)(const Host* host, uint32_t periodMs, Id* timerId);
    bool (*unregisterTimer)(const Host* host, Id timerId);
};

constexpr const char kExtPosixFdSupport[] = "clap.posix-fd-support";
enum PosixFdFlags : uint32_t { kFdRead = 1u << 0, kFdWrite = 1u << 1, kFdError = 1u << 2 };
struct PluginPosixFdSupport {
    void (*onFd)(const Plugin* plugin, int fd, uint32_t flags);
};
struct HostPosixFdSupport {
    bool (*registerFd)(const Host* host, int fd, uint32_t flags);
    bool (*modifyFd)(const Host* host, int fd, uint32_t flags);
    bool (*unregisterFd)(const Host* host, int fd);
};

constexpr const char kExtThreadCheck[] = "clap.thread-check";
struct HostThreadCheck {
    bool (*isMainThread)(const Host* host);
    bool (*isAudioThread)(const Host* host);
};

}  // namespace clap

// The layouts as the C compilers of both targets lay them out (x86-64).
static_assert(sizeof(void*) != 8 || sizeof(clap::ParamValueEvent) == 56, "event layout");
static_assert(sizeof(clap::ParamGestureEvent) == 20, "event layout");
static_assert(sizeof(void*) != 8 || sizeof(clap::Process) == 64, "process layout");
static_assert(sizeof(void*) != 8 || sizeof(clap::AudioPortInfo) == 288, "port layout");
static_assert(sizeof(void*) != 8 || sizeof(clap::ParamInfo) == 1320, "parameter layout");
