// Everything the toolkit and the editor glue ask of the operating system.
//
// The portable toolkit reaches the platform only through these functions; CMake
// links one implementation: Win32 (GDI, user32, ole32) in the Windows build,
// the software platform (premultiplied 32-bit surfaces, FreeType text, a
// scriptable clock and input) in the native build.
//
// All coordinates given to a device are device coordinates: the caller has
// already added its offsets. Rectangles are half-open (right and bottom
// exclusive). Every call belongs to the user-interface thread unless it says
// otherwise.
#pragma once

#include <cstddef>
#include <cstdint>

#include "toolkit/geometry.h"

namespace TKGUI {
namespace platform {

// Opaque handles; each implementation says what stands behind them (on Win32
// HWND, HDC, HPEN, HBRUSH, HFONT, HBITMAP and HMODULE).
struct Window;
struct Device;
struct Pen;
struct Brush;
struct Font;
struct Image;
struct Library;
struct Timer;

// --- Devices --------------------------------------------------------------

// The drawing device of a window (null window: the screen), and its release.
Device* getWindowDevice(Window* window);
void releaseWindowDevice(Window* window, Device* device);
// A memory device compatible with the window's device (null: the screen).
Device* createMemoryDevice(Window* compatibleWith);
void deleteMemoryDevice(Device* device);
// Top-left of the window on the screen; (0, 0) without a window.
CPoint windowScreenOrigin(Window* window);

// The objects a device has selected; select* return the previous one.
Pen* currentPen(Device* device);
Brush* currentBrush(Device* device);
Font* currentFont(Device* device);
Pen* selectPen(Device* device, Pen* pen);
Brush* selectBrush(Device* device, Brush* brush);
Font* selectFont(Device* device, Font* font);
Image* selectImage(Device* device, Image* image);

// --- Drawing objects ----------------------------------------------------------

enum class LineStyle { solid = 0, onOff = 1 };
Pen* createPen(LineStyle style, int width, CColor color);
void deletePen(Pen* pen);
// Null when the brush cannot be made.
Brush* createSolidBrush(CColor color);
void deleteBrush(Brush* brush);

struct FontSpec {
    int pixelHeight;  // character height in pixels (em size)
    int weight;       // 400 normal, 700 bold
    bool italic;
    bool underline;
    bool decorative;   // decorative family instead of variable-pitch Swiss
    const char* face;  // "Arial" or "Symbol"
};
Font* createFont(const FontSpec& desc);
void deleteFont(Font* font);

// --- Device state and primitives ------------------------------------------

void setBackgroundOpaque(Device* device, bool opaque);
void setBackgroundColor(Device* device, CColor color);
void setTextColor(Device* device, CColor color);
// A rectangular clip region, replacing the previous one.
void setClipRect(Device* device, const CRect& clip);

// Lines in the selected pen; the end point itself is not drawn.
void moveTo(Device* device, CPoint point);
void lineTo(Device* device, CPoint point);
// Fills the half-open rectangle with the brush; no outline.
void fillRect(Device* device, const CRect& rect, Brush* brush);

enum class TextAlign { left = 0, center = 1, right = 2 };
// One line in the selected font and text colour, vertically centred in rect,
// no prefix processing; the background mode decides whether the text box is
// filled with the background colour first.
void drawText(Device* device, const char* text, const CRect& rect, TextAlign align);

// Plain copy of dest's size from source at sourcePoint.
void copyPixels(Device* dest, const CRect& destRect, Device* source, CPoint sourcePoint);

// --- Images ---------------------------------------------------------------

// A 32-bit image from rows of premultiplied blue, green, red, alpha, bottom
// row first; null when it cannot be made.
Image* createImage(int width, int height, const uint8_t* bottomUpBgra);
// An off-screen image in the window device's format (null window: screen).
Image* createCompatibleImage(Window* compatibleWith, int width, int height);
// A plain bitmap resource of the module; its size through width and height.
Image* loadBitmapResource(int id, int* width, int* height);
void deleteImage(Image* image);

// Draws the image's source area (destRect's size from sourcePoint) into dest:
// plain copy; copy that leaves out key-coloured pixels (the key's alpha is
// ignored; mask, if given, is a monochrome mask of the image); source-over
// blend with constant alpha and, with perPixelAlpha, the image's
// premultiplied alpha.
void drawImage(Device* dest, const CRect& destRect, Image* image, CPoint sourcePoint);
void drawImageKeyed(Device* dest, const CRect& destRect, Image* image, CPoint sourcePoint,
                    CColor key, Image* mask);
void alphaBlendImage(Device* dest, const CRect& destRect, Image* image, CPoint sourcePoint,
                     uint8_t alpha, bool perPixelAlpha);

// The blend functions live in a run-time library ("msimg32.dll" on Win32).
// Every holder loads and frees it once; while no holder is left the blends
// draw nothing rather than call into an unloaded library.
Library* loadBlendLibrary();
void freeBlendLibrary(Library* library);

// --- The module and its resources --------------------------------------------

// The loaded module's own handle (on Win32 its instance handle), given by the
// module entry when the module loads; resources, the window class and the
// windows belong to it. Until it is set, the program's own module stands in.
void setModuleHandle(void* handle);
void* moduleHandle();

// The bytes of a module resource with this number and type name ("PNG");
// false when there is none. The bytes live as long as the module.
bool findResource(int id, const char* type, const uint8_t** data, size_t* size);

// --- Input -----------------------------------------------------------------

// Physical buttons and modifier keys held now, as bits: 1 the physical left
// button, 2 middle, 4 the physical right button, 8 Shift, 16 Control, 32 Alt.
int pollButtonsAndModifiers();
// Whether the system setting swaps the primary and secondary buttons.
bool systemButtonsSwapped();
CPoint cursorScreenPosition();
// The system double-click time in milliseconds.
int doubleClickTime();

// --- Time, messages, threads -------------------------------------------------

// Milliseconds since an arbitrary start; wraps at 32 bits. Any thread.
uint32_t tickCount();
void sleepMilliseconds(uint32_t milliseconds);
// Takes at most one pending paint request of the calling thread's windows
// off its queue and handles it.
void dispatchOnePendingPaint();
// Handles what is pending for the calling thread's frame windows where the
// host's message loop does not deliver it (on X11 the windows live on a
// connection of the module's own): paints, clicks, wheel turns, keys in a
// text field, destruction. Called from the editor's idle. Inside a control's
// mouse loop only paints and destruction are handled; input waits.
void dispatchPendingWindowEvents();
// A timer of the window's thread that calls fire(context) about every
// milliseconds from the thread's message loop, for plug-in formats whose
// host calls no editor idle. Null where the platform has no window timers
// (X11: there the host's timer or the event descriptor drives the editor).
Timer* startWindowTimer(Window* window, uint32_t milliseconds, void (*fire)(void*), void* context);
void stopWindowTimer(Timer* timer);
// The file descriptor that becomes readable when events wait for the frame
// window (X11: its connection's), for hosts that watch descriptors; -1 where
// there is none.
int windowEventDescriptor(Window* window);
// The id the window system knows a frame window by (X11: its window id;
// Win32: the HWND), for formats whose host asks for the plug-in's own
// window; 0 for a window that is not a frame window.
uintptr_t nativeWindowId(Window* window);
// Per-thread set-up of the drag-and-drop subsystem (OLE). beginThreadOle
// answers whether this call must be paired with endThreadOle on the same
// thread (false when the thread was already set up differently).
bool beginThreadOle();
void endThreadOle();

}  // namespace platform
}  // namespace TKGUI
