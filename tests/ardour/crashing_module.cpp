// A module whose entry point crashes, for the crash classification test.
#include <signal.h>

extern "C" __attribute__((visibility("default"))) void* VSTPluginMain(void*) {
    raise(SIGSEGV);
    return nullptr;
}
