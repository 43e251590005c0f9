// The module's own handle, given by the module entry before any other call
// of the module (null for a program that links the toolkit itself). The
// Win32 platform finds its resources and window class through it; the
// native platforms, whose resources are compiled in, only keep it.
#include "toolkit/platform/platform.h"

namespace TKGUI {
namespace platform {

namespace {
void* ownModule = nullptr;
}  // namespace

void setModuleHandle(void* handle) {
    ownModule = handle;
}

void* moduleHandle() {
    return ownModule;
}

}  // namespace platform
}  // namespace TKGUI
