#include <windows.h>

#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include "tools/tk42host/editor_command.h"

namespace {

constexpr char kWindowClass[] = "tk42host editor host";
// Long enough for a few idle rounds and the first paints to arrive.
constexpr DWORD kSettleMs = 600;
constexpr DWORD kIdleEveryMs = 20;

void pumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        // No IsDialogMessage: it would swallow the editor's Enter key.
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

bool editorSize(const PluginInstance& fx, int& width, int& height) {
    ERect* rect = nullptr;
    fx.dispatch(effEditGetRect, 0, 0, &rect);
    if (!rect) return false;
    width = rect->right - rect->left;
    height = rect->bottom - rect->top;
    return width > 0 && height > 0 && width <= 8192 && height <= 8192;
}

// The editor's pixels, as RGB rows, copied from its own window's DC.
bool capture(HWND window, int width, int height, std::vector<unsigned char>& rgb) {
    HDC source = GetDC(window);
    HDC memory = CreateCompatibleDC(source);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = dib && bits;
    if (ok) {
        HGDIOBJ old = SelectObject(memory, dib);
        ok = BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY) != 0;
        GdiFlush();
        const auto* bgra = static_cast<const unsigned char*>(bits);
        rgb.resize(static_cast<size_t>(width) * height * 3);
        for (size_t i = 0; i < static_cast<size_t>(width) * height; ++i) {
            rgb[3 * i] = bgra[4 * i + 2];
            rgb[3 * i + 1] = bgra[4 * i + 1];
            rgb[3 * i + 2] = bgra[4 * i];
        }
        SelectObject(memory, old);
    }
    if (dib) DeleteObject(dib);
    DeleteDC(memory);
    ReleaseDC(window, source);
    return ok;
}

}  // namespace

bool captureEditor(const PluginInstance& fx, const std::string& pngPath, std::string& error) {
    int width = 0, height = 0;
    if (!editorSize(fx, width, height)) {
        error = "the editor reports no usable size";
        return false;
    }
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = kWindowClass;
    RegisterClassA(&wc);  // fails harmlessly when already registered
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    RECT frame{0, 0, width, height};
    AdjustWindowRect(&frame, style, FALSE);
    HWND parent = CreateWindowA(kWindowClass, "tk42host", style, CW_USEDEFAULT, CW_USEDEFAULT,
                                frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                nullptr, instance, nullptr);
    if (!parent) {
        error = "cannot create a window for the editor";
        return false;
    }
    ShowWindow(parent, SW_SHOWNORMAL);
    UpdateWindow(parent);
    if (!fx.dispatch(effEditOpen, 0, 0, parent)) {
        DestroyWindow(parent);
        error = "the editor did not open";
        return false;
    }
    editorSize(fx, width, height);  // some editors know their size only once open
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < kSettleMs) {
        pumpMessages();
        fx.dispatch(effEditIdle);
        Sleep(kIdleEveryMs);
    }
    HWND editor = GetWindow(parent, GW_CHILD);
    std::vector<unsigned char> rgb;
    const bool captured = capture(editor ? editor : parent, width, height, rgb);
    fx.dispatch(effEditClose);
    pumpMessages();
    DestroyWindow(parent);
    pumpMessages();
    if (!captured) {
        error = "cannot copy the editor's pixels";
        return false;
    }
    if (!stbi_write_png(pngPath.c_str(), width, height, 3, rgb.data(), width * 3)) {
        error = "cannot write " + pngPath;
        return false;
    }
    return true;
}
