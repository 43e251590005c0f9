#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "pixel_reader.h"
#include "toolkit/platform/platform.h"

namespace tk42test {

void preparePlatform() {
    TKGUI::platform::setModuleHandle(GetModuleHandleA(nullptr));
}

Pixels readPixels(TKGUI::COffscreenContext* context) {
    Pixels out;
    out.width = context->getWidth();
    out.height = context->getHeight();
    out.rgb.assign(size_t(out.width) * out.height, 0);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = out.width;
    info.bmiHeader.biHeight = -out.height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    // GetDIBits wants the bitmap out of any device: put a stand-in into the
    // context's device while reading, then the bitmap back.
    HDC device = reinterpret_cast<HDC>(context->getDevice());
    HBITMAP image = reinterpret_cast<HBITMAP>(context->getImage());
    HBITMAP standIn = CreateCompatibleBitmap(device, 1, 1);
    SelectObject(device, standIn);
    HDC screen = GetDC(nullptr);
    std::vector<uint32_t> bits(out.rgb.size());
    int rows = GetDIBits(screen, image, 0, out.height, bits.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    SelectObject(device, image);
    DeleteObject(standIn);
    if (rows != out.height) ADD_FAILURE() << "GetDIBits read " << rows << " rows";
    for (size_t i = 0; i < bits.size(); ++i) out.rgb[i] = bits[i] & 0xFFFFFF;
    return out;
}

}  // namespace tk42test
