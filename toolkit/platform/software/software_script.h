// The software platform's test and host side: windows that are images with a
// screen position, a clock that moves only when told, and a scripted cursor,
// button and modifier state. Only the native build has it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "toolkit/platform/platform.h"

namespace TKGUI {
namespace software {

// Embedded resources: numbered byte blocks with a type name ("PNG"). A binary
// that embeds images defines embeddedResources(); without one there are none.
struct EmbeddedResource {
    int id;
    const char* type;
    const uint8_t* data;
    size_t size;
};
struct EmbeddedResourceTable {
    const EmbeddedResource* entries;
    size_t count;
};
EmbeddedResourceTable embeddedResources();

// A window is an image of its own at a position on the screen.
platform::Window* createWindow(int width, int height, CPoint screenOrigin);
void destroyWindow(platform::Window* window);
// The pixels of a window or image, 0xAARRGGBB premultiplied, top row first.
uint32_t pixelAt(const platform::Window* window, int x, int y);
uint32_t pixelAt(const platform::Image* image, int x, int y);
int imageWidth(const platform::Image* image);
int imageHeight(const platform::Image* image);
// The image a device draws into (a window's, or the one selected).
platform::Image* deviceImage(platform::Device* device);

// The clock: tickCount() answers this until changed; sleeping advances it.
void setTickCount(uint32_t ticks);
uint32_t totalSleptMilliseconds();

void setCursorScreenPosition(CPoint position);
// Physical buttons and modifiers, in the bits of pollButtonsAndModifiers.
void setButtonsAndModifiers(int bits);
void setSystemButtonsSwapped(bool swapped);

// Paint requests that dispatchOnePendingPaint takes one at a time.
void postPaintRequest();
int pendingPaintRequests();

// Pens, brushes and fonts alive, to check that contexts make them only on a
// real change and delete what they made; and a switch that makes brush
// creation fail, as a system out of resources would.
int liveDrawingObjects();
void setBrushCreationFails(bool fails);

// Counts of the thread set-up calls and the blend library's holders.
int oleDepth();
int blendLibraryHolders();

}  // namespace software
}  // namespace TKGUI
