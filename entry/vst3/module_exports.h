// The VST3 module's exported functions. GetPluginFactory is the same on
// every system; the load and unload calls are named per system (ModuleEntry
// and ModuleExit on Linux, InitDll and ExitDll on Windows).
#pragma once

#include "formats/vst3/vst3_factory.h"

#if defined(_WIN32)
#define TK42_VST3_EXPORT
#else
#define TK42_VST3_EXPORT __attribute__((visibility("default")))
#endif

extern "C" {
TK42_VST3_EXPORT vst3::IPluginFactory* GetPluginFactory();
#if defined(_WIN32)
TK42_VST3_EXPORT bool InitDll();
TK42_VST3_EXPORT bool ExitDll();
#else
TK42_VST3_EXPORT bool ModuleEntry(void* sharedLibraryHandle);
TK42_VST3_EXPORT bool ModuleExit();
#endif
}
