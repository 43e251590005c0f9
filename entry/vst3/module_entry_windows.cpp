// Windows hosts call InitDll after loading the module and ExitDll before
// unloading it; there is nothing to set up beyond what DllMain does: the
// toolkit learns the module's instance handle, whose resources (the panel's
// images), window class and windows belong to it.
#include <windows.h>

#include "entry/vst3/module_exports.h"
#include "toolkit/platform/platform.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD /*reason*/, LPVOID /*reserved*/) {
    TKGUI::platform::setModuleHandle(instance);
    return TRUE;
}

extern "C" bool InitDll() {
    return true;
}

extern "C" bool ExitDll() {
    return true;
}
