// clap_entry without the editor, for tests, the fuzzer and benchmarks that
// link neither the toolkit nor the images: the same plug-in, no gui.
#include <cstring>

#include "formats/clap/clap_extensions.h"

namespace {

const ClapFactory kFactory = makeClapFactory(nullptr);

bool init(const char*) {
    return true;
}
void deinit() {}
const void* factory(const char* id) {
    return id && std::strcmp(id, clap::kPluginFactoryId) == 0 ? &kFactory.record : nullptr;
}

}  // namespace

extern "C" const clap::PluginEntry clap_entry = {clap::kVersion, init, deinit, factory};
