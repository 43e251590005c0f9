// The Windows module entry: gives the instance handle to the toolkit, whose
// resources, window class and windows belong to it.
#include <windows.h>

#include "toolkit/platform/platform.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD /*reason*/, LPVOID /*reserved*/) {
    TKGUI::platform::setModuleHandle(instance);
    return TRUE;
}
