// The module's one plug-in: its descriptor, its factory and its extensions.
#include <cstring>
#include <new>

#include "formats/clap/clap_extensions.h"
#include "formats/clap/clap_limiter.h"

namespace {

const char* const kFeatures[] = {"audio-effect", "limiter", "stereo", nullptr};

uint32_t pluginCount(const clap::PluginFactory*) {
    return 1;
}

const clap::PluginDescriptor* descriptor(const clap::PluginFactory*, uint32_t index) {
    return index == 0 ? &kClapLimiterDescriptor : nullptr;
}

const clap::Plugin* create(const clap::PluginFactory* f, const clap::Host* host, const char* id) {
    if (!f || !id || std::strcmp(id, kClapLimiterDescriptor.id) != 0) return nullptr;
    return createClapLimiter(host, reinterpret_cast<const ClapFactory*>(f)->editor);
}

}  // namespace

const clap::PluginDescriptor kClapLimiterDescriptor = {
    clap::kVersion,
    "com.faldenmurex.tk42r",
    "TK42-R Limiter",
    "Falden Murex",
    "",
    "",
    "",
    "1.0.0",
    "Stereo brickwall limiter with a clipper behind it",
    kFeatures,
};

const clap::Plugin* createClapLimiter(const clap::Host* host, const ClapEditorSupport* editor) {
    if (!host || !clap::isCompatible(host->version)) return nullptr;
    // No exception may cross into the host.
    ClapLimiter* self = new (std::nothrow) ClapLimiter(host, editor);
    return self ? self->record() : nullptr;
}

const void* clapLimiterExtension(const char* id, const ClapEditorSupport* editor) {
    if (!id) return nullptr;
    if (!std::strcmp(id, clap::kExtAudioPorts)) return &kClapAudioPorts;
    if (!std::strcmp(id, clap::kExtParams)) return &kClapParams;
    if (!std::strcmp(id, clap::kExtState)) return &kClapState;
    if (!std::strcmp(id, clap::kExtLatency)) return &kClapLatency;
    if (!editor) return nullptr;
    if (!std::strcmp(id, clap::kExtGui)) return editor->gui;
    if (!std::strcmp(id, clap::kExtTimerSupport)) return editor->timer;
    if (!std::strcmp(id, clap::kExtPosixFdSupport)) return editor->fd;
    return nullptr;
}

ClapFactory makeClapFactory(const ClapEditorSupport* editor) {
    return ClapFactory{{pluginCount, descriptor, create}, editor};
}
