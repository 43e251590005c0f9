// The module entry, linked into the test program so it can be called directly.
#include <gtest/gtest.h>
#include <windows.h>

#include "toolkit/platform/platform.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);

TEST(DllMain, EveryReasonReturnsTrueAndStoresTheInstance) {
    const DWORD reasons[] = {DLL_PROCESS_ATTACH, DLL_THREAD_ATTACH, DLL_THREAD_DETACH,
                             DLL_PROCESS_DETACH, 77};
    uintptr_t fake = 0x10000;
    for (DWORD reason : reasons) {
        fake += 0x1000;
        EXPECT_EQ(DllMain(reinterpret_cast<HINSTANCE>(fake), reason, nullptr), TRUE);
        EXPECT_EQ(TKGUI::platform::moduleHandle(), reinterpret_cast<void*>(fake));
    }
}
