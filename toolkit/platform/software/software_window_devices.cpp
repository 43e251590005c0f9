// The devices of the software platform's windows, which are images only.
#include "toolkit/platform/software/software_types.h"

namespace TKGUI {
namespace platform {

Device* getWindowDevice(Window* window) {
    if (!window) return nullptr;  // there is no screen to draw on
    Device* device = new Device;
    device->window = window;
    ++window->openDevices;
    return device;
}

void releaseWindowDevice(Window* window, Device* device) {
    if (window && device && device->window == window) --window->openDevices;
    delete device;
}

CPoint windowScreenOrigin(Window* window) {
    return window ? window->screenOrigin : CPoint();
}

}  // namespace platform
}  // namespace TKGUI
