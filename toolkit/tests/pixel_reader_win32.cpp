#include <windows.h>

#include "host/module_instance.h"
#include "pixel_reader.h"

namespace tk42test {

void preparePlatform() {
    moduleInstance = GetModuleHandleA(nullptr);
}

Pixels readPixels(TKGUI::COffscreenContext* context) {
    Pixels out;
    out.width = context->getWidth();
    out.height = context->getHeight();
    out.rgb.assign(size_t(out.width) * out.height, 0);
    // Copy into a top-down DIB section of our own: the context's bitmap stays
    // selected into its device, where it cannot be read directly.
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = out.width;
    info.bmiHeader.biHeight = -out.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, dib);
    HDC source = reinterpret_cast<HDC>(context->getDevice());
    BitBlt(dc, 0, 0, out.width, out.height, source, 0, 0, SRCCOPY);
    GdiFlush();
    const uint32_t* p = static_cast<const uint32_t*>(bits);
    for (size_t i = 0; i < out.rgb.size(); ++i) out.rgb[i] = p[i] & 0xFFFFFF;
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(dib);
    return out;
}

}  // namespace tk42test
