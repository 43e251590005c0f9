// On Win32 the platform handles are the GDI and user32 handles themselves.
#pragma once

#include <windows.h>

#include "toolkit/platform/platform.h"

namespace TKGUI {
namespace platform {

inline HDC toHdc(Device* device) {
    return reinterpret_cast<HDC>(device);
}
inline Device* toDevice(HDC dc) {
    return reinterpret_cast<Device*>(dc);
}
inline HWND toHwnd(Window* window) {
    return reinterpret_cast<HWND>(window);
}
inline HBITMAP toHbitmap(Image* image) {
    return reinterpret_cast<HBITMAP>(image);
}
inline Image* toImage(HGDIOBJ bitmap) {
    return reinterpret_cast<Image*>(bitmap);
}
// The module's instance handle; null stands for the program itself.
inline HINSTANCE moduleInstance() {
    return static_cast<HINSTANCE>(moduleHandle());
}
inline COLORREF toColorref(CColor c) {
    return RGB(c.red, c.green, c.blue);
}

}  // namespace platform
}  // namespace TKGUI
