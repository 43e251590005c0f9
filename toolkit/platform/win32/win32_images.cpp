// Images and their copies and blends on GDI. AlphaBlend and TransparentBlt
// come from msimg32.dll, loaded at run time by each frame.
#include <cstring>

#include "toolkit/platform/win32/win32_handles.h"

namespace TKGUI {
namespace platform {

namespace {

using AlphaBlendFunction = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int,
                                         BLENDFUNCTION);
using TransparentBltFunction = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int,
                                             UINT);

// Module-wide, written on the user-interface thread when frames come and go.
AlphaBlendFunction alphaBlendFunction = nullptr;
TransparentBltFunction transparentBltFunction = nullptr;
int libraryHolders = 0;

// A memory device with the image selected, for the length of one copy.
class ImageDevice {
  public:
    explicit ImageDevice(HBITMAP image) : dc(CreateCompatibleDC(nullptr)) {
        if (dc) old = SelectObject(dc, image);
    }
    ~ImageDevice() {
        if (!dc) return;
        SelectObject(dc, old);
        DeleteDC(dc);
    }
    ImageDevice(const ImageDevice&) = delete;
    ImageDevice& operator=(const ImageDevice&) = delete;
    HDC get() const { return dc; }

  private:
    HDC dc;
    HGDIOBJ old = nullptr;
};

// The classic masked copy: dest ^= src; dest &= mask; dest ^= src leaves dest
// where the mask is white and src elsewhere.
void maskedCopy(HDC dest, const CRect& r, HDC source, CPoint s, HDC mask) {
    BitBlt(dest, r.left, r.top, r.width(), r.height(), source, s.x, s.y, SRCINVERT);
    BitBlt(dest, r.left, r.top, r.width(), r.height(), mask, s.x, s.y, SRCAND);
    BitBlt(dest, r.left, r.top, r.width(), r.height(), source, s.x, s.y, SRCINVERT);
}

}  // namespace

Image* createImage(int width, int height, const uint8_t* bottomUpBgra) {
    if (width <= 0 || height <= 0 || !bottomUpBgra) return nullptr;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // positive: bottom-up
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) {
        if (bitmap) DeleteObject(bitmap);
        return nullptr;
    }
    std::memcpy(bits, bottomUpBgra, size_t(width) * height * 4);
    GdiFlush();
    return toImage(bitmap);
}

Image* createCompatibleImage(Window* compatibleWith, int width, int height) {
    if (width <= 0 || height <= 0) return nullptr;
    // Compatible with the window's device, not with a memory device, which
    // would give a monochrome bitmap.
    HDC windowDc = GetDC(toHwnd(compatibleWith));
    HBITMAP bitmap = CreateCompatibleBitmap(windowDc, width, height);
    ReleaseDC(toHwnd(compatibleWith), windowDc);
    return toImage(bitmap);
}

Image* loadBitmapResource(int id, int* width, int* height) {
    HBITMAP bitmap = LoadBitmapA(moduleInstance(), MAKEINTRESOURCEA(static_cast<WORD>(id)));
    if (!bitmap) return nullptr;
    BITMAP info = {};
    GetObjectA(bitmap, sizeof(info), &info);
    if (width) *width = info.bmWidth;
    if (height) *height = info.bmHeight;
    return toImage(bitmap);
}

void deleteImage(Image* image) {
    if (image) DeleteObject(toHbitmap(image));
}

void drawImage(Device* dest, const CRect& r, Image* image, CPoint s) {
    ImageDevice source(toHbitmap(image));
    BitBlt(toHdc(dest), r.left, r.top, r.width(), r.height(), source.get(), s.x, s.y, SRCCOPY);
}

void drawImageKeyed(Device* dest, const CRect& r, Image* image, CPoint s, CColor key, Image* mask) {
    ImageDevice source(toHbitmap(image));
    if (!mask && transparentBltFunction) {
        transparentBltFunction(toHdc(dest), r.left, r.top, r.width(), r.height(), source.get(), s.x,
                               s.y, r.width(), r.height(), toColorref(key));
        return;
    }
    if (mask) {
        ImageDevice maskDevice(toHbitmap(mask));
        maskedCopy(toHdc(dest), r, source.get(), s, maskDevice.get());
        return;
    }
    // A monochrome mask from the key: white where the image has the key.
    BITMAP info = {};
    GetObjectA(toHbitmap(image), sizeof(info), &info);
    HBITMAP built = CreateBitmap(info.bmWidth, info.bmHeight, 1, 1, nullptr);
    if (!built) return;
    {
        ImageDevice maskDevice(built);
        COLORREF oldBk = SetBkColor(source.get(), toColorref(key));
        BitBlt(maskDevice.get(), 0, 0, info.bmWidth, info.bmHeight, source.get(), 0, 0, SRCCOPY);
        SetBkColor(source.get(), oldBk);
        COLORREF oldText = SetTextColor(toHdc(dest), RGB(0, 0, 0));
        COLORREF oldDestBk = SetBkColor(toHdc(dest), RGB(255, 255, 255));
        maskedCopy(toHdc(dest), r, source.get(), s, maskDevice.get());
        SetTextColor(toHdc(dest), oldText);
        SetBkColor(toHdc(dest), oldDestBk);
    }
    DeleteObject(built);
}

void alphaBlendImage(Device* dest, const CRect& r, Image* image, CPoint s, uint8_t alpha,
                     bool perPixelAlpha) {
    // Without the library the blend draws nothing rather than call through
    // a null or stale pointer.
    if (!alphaBlendFunction || r.isEmpty()) return;
    ImageDevice source(toHbitmap(image));
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, alpha, BYTE(perPixelAlpha ? AC_SRC_ALPHA : 0)};
    alphaBlendFunction(toHdc(dest), r.left, r.top, r.width(), r.height(), source.get(), s.x, s.y,
                       r.width(), r.height(), blend);
}

Library* loadBlendLibrary() {
    alphaBlendFunction = nullptr;
    transparentBltFunction = nullptr;
    HMODULE library = LoadLibraryA("msimg32.dll");
    if (library) {
        ++libraryHolders;
        // Through a plain function pointer type: casting FARPROC straight to
        // these types trips the function-cast warning.
        alphaBlendFunction = reinterpret_cast<AlphaBlendFunction>(
            reinterpret_cast<void (*)()>(GetProcAddress(library, "AlphaBlend")));
        transparentBltFunction = reinterpret_cast<TransparentBltFunction>(
            reinterpret_cast<void (*)()>(GetProcAddress(library, "TransparentBlt")));
    }
    return reinterpret_cast<Library*>(library);
}

void freeBlendLibrary(Library* library) {
    if (!library) return;
    if (--libraryHolders <= 0) {
        libraryHolders = 0;
        alphaBlendFunction = nullptr;
        transparentBltFunction = nullptr;
    }
    FreeLibrary(reinterpret_cast<HMODULE>(library));
}

}  // namespace platform
}  // namespace TKGUI
