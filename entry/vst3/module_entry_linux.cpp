// Linux hosts call these once after loading the module and once before
// unloading it. The module keeps no global state, so there is nothing to set
// up or tear down.
#include "entry/vst3/module_exports.h"

extern "C" bool ModuleEntry(void* /*sharedLibraryHandle*/) {
    return true;
}

extern "C" bool ModuleExit() {
    return true;
}
