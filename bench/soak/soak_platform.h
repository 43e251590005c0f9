// What the soak needs from the machine it runs on: the effect (linked in on
// the software platform, loaded from the DLL on Windows), a host window for
// the editor, a turn of the user-interface thread, and the process's
// resident memory. One implementation per platform, chosen by CMake.
#pragma once

#include <cstdint>
#include <string>

#include "formats/vst2/aeffect.h"

class RecordingHost;

class SoakPlatform {
  public:
    // modulePath: the module to load where the platform loads one.
    SoakPlatform(const std::string& modulePath);
    ~SoakPlatform();
    SoakPlatform(const SoakPlatform&) = delete;
    SoakPlatform& operator=(const SoakPlatform&) = delete;

    // A new effect from the module, or null with a message.
    AEffect* createEffect(RecordingHost& host, std::string& error);
    // The window the host gives effEditOpen.
    void* parentWindow();
    // What the host's user-interface thread does between two editor idles:
    // deliver window messages (and paints) and let about milliseconds pass.
    void uiTurn(int milliseconds);
    // Resident memory of the process, in KiB (0 when unknown).
    uint64_t residentKiB() const;

  private:
    struct Impl;
    Impl* impl;
};
