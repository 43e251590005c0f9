// The exported entry point: the host calls it with its callback and receives
// the effect record, or null.
#pragma once

#include "host/aeffect.h"

#if defined(_WIN32)
#define TK42_EXPORT
#else
#define TK42_EXPORT __attribute__((visibility("default")))
#endif

extern "C" TK42_EXPORT AEffect* VSTPluginMain(audioMasterCallback audioMaster);
