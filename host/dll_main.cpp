// The Windows module entry: remembers the instance handle for the toolkit.
#include <windows.h>

#include "host/module_instance.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD /*reason*/, LPVOID /*reserved*/) {
    moduleInstance = instance;
    return TRUE;
}
