// The extension tables the limiter offers, and the factory that makes
// instances. The editor's tables come from whoever links the editor (the
// module's entry), so tests and the fuzzer can do without the toolkit.
#pragma once

#include "formats/clap/clap_abi.h"

extern const clap::PluginAudioPorts kClapAudioPorts;
extern const clap::PluginParams kClapParams;
extern const clap::PluginState kClapState;
extern const clap::PluginLatency kClapLatency;

struct ClapEditorSupport {
    const char* windowApi;  // the one window system of this build
    const clap::PluginGui* gui;
    const clap::PluginTimerSupport* timer;
    const clap::PluginPosixFdSupport* fd;
};

// The one plug-in of the module.
extern const clap::PluginDescriptor kClapLimiterDescriptor;
// A new instance for this host, or null (no host, an incompatible version,
// or no memory). editor may be null: an instance without an editor.
const clap::Plugin* createClapLimiter(const clap::Host* host, const ClapEditorSupport* editor);

// The plug-in's extension by id, or null.
const void* clapLimiterExtension(const char* id, const ClapEditorSupport* editor);

// The factory behind clap_entry's getFactory: the record the host calls,
// and the editor support its instances get.
struct ClapFactory {
    clap::PluginFactory record;
    const ClapEditorSupport* editor;
};
ClapFactory makeClapFactory(const ClapEditorSupport* editor);
