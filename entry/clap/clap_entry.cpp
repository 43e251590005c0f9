// The CLAP module's entry: clap_entry, the one symbol a CLAP host looks
// for, with the limiter's factory and its editor on this build's window
// system.
#include <cstring>

#include "formats/clap/clap_extensions.h"
#include "formats/clap/clap_gui.h"

#if defined(_WIN32)
#define TK42_CLAP_EXPORT __declspec(dllexport)
constexpr const char* kWindowApi = clap::kWindowApiWin32;
#else
#define TK42_CLAP_EXPORT __attribute__((visibility("default")))
constexpr const char* kWindowApi = clap::kWindowApiX11;
#endif

namespace {

const ClapEditorSupport kEditor = {kWindowApi, &kClapGui, &kClapTimerSupport, &kClapPosixFdSupport};
const ClapFactory kFactory = makeClapFactory(&kEditor);

// Nothing to set up or tear down: every instance owns all it uses.
bool init(const char*) {
    return true;
}
void deinit() {}

const void* factory(const char* id) {
    return id && std::strcmp(id, clap::kPluginFactoryId) == 0 ? &kFactory.record : nullptr;
}

}  // namespace

extern "C" TK42_CLAP_EXPORT const clap::PluginEntry clap_entry = {clap::kVersion, init, deinit,
                                                                  factory};
