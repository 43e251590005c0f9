// Devices, drawing objects, device state, lines, fills and text on GDI.
#include "toolkit/platform/win32/win32_handles.h"

namespace TKGUI {
namespace platform {

Device* getWindowDevice(Window* window) {
    return toDevice(GetDC(toHwnd(window)));
}

void releaseWindowDevice(Window* window, Device* device) {
    if (device) ReleaseDC(toHwnd(window), toHdc(device));
}

Device* createMemoryDevice(Window* compatibleWith) {
    HDC windowDc = GetDC(toHwnd(compatibleWith));
    HDC memory = CreateCompatibleDC(windowDc);
    ReleaseDC(toHwnd(compatibleWith), windowDc);
    return toDevice(memory);
}

void deleteMemoryDevice(Device* device) {
    if (device) DeleteDC(toHdc(device));
}

CPoint windowScreenOrigin(Window* window) {
    RECT r;
    if (!window || !GetWindowRect(toHwnd(window), &r)) return CPoint();
    return CPoint(r.left, r.top);
}

Pen* currentPen(Device* device) {
    return reinterpret_cast<Pen*>(GetCurrentObject(toHdc(device), OBJ_PEN));
}
Brush* currentBrush(Device* device) {
    return reinterpret_cast<Brush*>(GetCurrentObject(toHdc(device), OBJ_BRUSH));
}
Font* currentFont(Device* device) {
    return reinterpret_cast<Font*>(GetCurrentObject(toHdc(device), OBJ_FONT));
}

Pen* selectPen(Device* device, Pen* pen) {
    return reinterpret_cast<Pen*>(SelectObject(toHdc(device), reinterpret_cast<HGDIOBJ>(pen)));
}
Brush* selectBrush(Device* device, Brush* brush) {
    return reinterpret_cast<Brush*>(SelectObject(toHdc(device), reinterpret_cast<HGDIOBJ>(brush)));
}
Font* selectFont(Device* device, Font* font) {
    return reinterpret_cast<Font*>(SelectObject(toHdc(device), reinterpret_cast<HGDIOBJ>(font)));
}
Image* selectImage(Device* device, Image* image) {
    return toImage(SelectObject(toHdc(device), toHbitmap(image)));
}

Pen* createPen(LineStyle style, int width, CColor color) {
    return reinterpret_cast<Pen*>(
        CreatePen(style == LineStyle::solid ? PS_SOLID : PS_DOT, width, toColorref(color)));
}
void deletePen(Pen* pen) {
    DeleteObject(reinterpret_cast<HGDIOBJ>(pen));
}

Brush* createSolidBrush(CColor color) {
    return reinterpret_cast<Brush*>(CreateSolidBrush(toColorref(color)));
}
void deleteBrush(Brush* brush) {
    DeleteObject(reinterpret_cast<HGDIOBJ>(brush));
}

Font* createFont(const FontSpec& desc) {
    LOGFONTA lf = {};
    lf.lfHeight = -desc.pixelHeight;
    lf.lfWeight = desc.weight;
    lf.lfItalic = desc.italic ? TRUE : FALSE;
    lf.lfUnderline = desc.underline ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_STRING_PRECIS;
    lf.lfClipPrecision = CLIP_STROKE_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = VARIABLE_PITCH | (desc.decorative ? FF_DECORATIVE : FF_SWISS);
    lstrcpynA(lf.lfFaceName, desc.face ? desc.face : "Arial", LF_FACESIZE);
    return reinterpret_cast<Font*>(CreateFontIndirectA(&lf));
}
void deleteFont(Font* font) {
    DeleteObject(reinterpret_cast<HGDIOBJ>(font));
}

void setBackgroundOpaque(Device* device, bool opaque) {
    SetBkMode(toHdc(device), opaque ? OPAQUE : TRANSPARENT);
}
void setBackgroundColor(Device* device, CColor color) {
    SetBkColor(toHdc(device), toColorref(color));
}
void setTextColor(Device* device, CColor color) {
    SetTextColor(toHdc(device), toColorref(color));
}

void setClipRect(Device* device, const CRect& clip) {
    HRGN region = CreateRectRgn(clip.left, clip.top, clip.right, clip.bottom);
    SelectClipRgn(toHdc(device), region);
    DeleteObject(region);
}

void moveTo(Device* device, CPoint point) {
    MoveToEx(toHdc(device), point.x, point.y, nullptr);
}
void lineTo(Device* device, CPoint point) {
    LineTo(toHdc(device), point.x, point.y);
}

void fillRect(Device* device, const CRect& rect, Brush* brush) {
    RECT r = {rect.left, rect.top, rect.right, rect.bottom};
    FillRect(toHdc(device), &r, reinterpret_cast<HBRUSH>(brush));
}

void drawText(Device* device, const char* text, const CRect& rect, TextAlign align) {
    RECT r = {rect.left, rect.top, rect.right, rect.bottom};
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    format |= align == TextAlign::center  ? DT_CENTER
              : align == TextAlign::right ? DT_RIGHT
                                          : DT_LEFT;
    DrawTextA(toHdc(device), text, -1, &r, format);
}

void copyPixels(Device* dest, const CRect& destRect, Device* source, CPoint sourcePoint) {
    BitBlt(toHdc(dest), destRect.left, destRect.top, destRect.width(), destRect.height(),
           toHdc(source), sourcePoint.x, sourcePoint.y, SRCCOPY);
}

}  // namespace platform
}  // namespace TKGUI
