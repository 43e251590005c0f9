// The exported entry point: the host calls it with its callback and receives
// the effect record, or null. Each module defines it once, with or without
// the limiter's panel.
#pragma once

#include "formats/vst2/aeffect.h"
#include "formats/vst2/editor_factory.h"

#if defined(_WIN32)
#define TK42_EXPORT
#else
#define TK42_EXPORT __attribute__((visibility("default")))
#endif

extern "C" TK42_EXPORT AEffect* VSTPluginMain(audioMasterCallback audioMaster);

// What every entry point does: asks the host for its version, then builds a
// limiter whose editor (if any) comes from createEditor. Null when the host
// gives no callback or answers version 0, or when the effect cannot be built.
AEffect* createLimiterEffect(audioMasterCallback audioMaster, LimiterEditorFactory createEditor);
