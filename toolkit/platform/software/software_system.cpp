// Input, time and thread set-up on the software platform, scripted by tests
// and by a host of the native build.
#include <atomic>

#include "toolkit/platform/software/software_script.h"
#include "toolkit/platform/software/software_types.h"

namespace TKGUI {

namespace software {

namespace {
std::atomic<uint32_t> ticks{0};
std::atomic<uint32_t> slept{0};
std::atomic<int> buttonBits{0};
std::atomic<bool> swapped{false};
CPoint cursor;
int paintRequests = 0;
thread_local int threadOle = 0;
int libraryHolders = 0;
}  // namespace

platform::Window* createWindow(int width, int height, CPoint screenOrigin) {
    if (width <= 0 || height <= 0) return nullptr;
    return new platform::Window(width, height, screenOrigin);
}

void destroyWindow(platform::Window* window) {
    delete window;
}

uint32_t pixelAt(const platform::Window* window, int x, int y) {
    return pixelAt(&window->image, x, y);
}

uint32_t pixelAt(const platform::Image* image, int x, int y) {
    if (!image || x < 0 || y < 0 || x >= image->width || y >= image->height) return 0;
    return image->at(x, y);
}

int imageWidth(const platform::Image* image) {
    return image ? image->width : 0;
}
int imageHeight(const platform::Image* image) {
    return image ? image->height : 0;
}
platform::Image* deviceImage(platform::Device* device) {
    return device ? device->target() : nullptr;
}

void setTickCount(uint32_t value) {
    ticks = value;
}
uint32_t totalSleptMilliseconds() {
    return slept;
}
void setCursorScreenPosition(CPoint position) {
    cursor = position;
}
void setButtonsAndModifiers(int bits) {
    buttonBits = bits;
}
void setSystemButtonsSwapped(bool value) {
    swapped = value;
}
void postPaintRequest() {
    ++paintRequests;
}
int pendingPaintRequests() {
    return paintRequests;
}
int oleDepth() {
    return threadOle;
}
int blendLibraryHolders() {
    return libraryHolders;
}

}  // namespace software

namespace platform {

int pollButtonsAndModifiers() {
    return software::buttonBits;
}
bool systemButtonsSwapped() {
    return software::swapped;
}
CPoint cursorScreenPosition() {
    return software::cursor;
}
int doubleClickTime() {
    return 500;
}

uint32_t tickCount() {
    return software::ticks;
}

void sleepMilliseconds(uint32_t milliseconds) {
    software::slept += milliseconds;
    software::ticks += milliseconds;
}

void dispatchOnePendingPaint() {
    if (software::paintRequests > 0) --software::paintRequests;
}

// Tests deliver the software windows' messages themselves.
void dispatchPendingWindowEvents() {}

// Tests drive idle themselves, as a host's timer would.
Timer* startWindowTimer(Window*, uint32_t, void (*)(void*), void*) {
    return nullptr;
}
void stopWindowTimer(Timer*) {}
int windowEventDescriptor(Window*) {
    return -1;
}

// A software window has no id but its own address.
uintptr_t nativeWindowId(Window* window) {
    return reinterpret_cast<uintptr_t>(window);
}

bool beginThreadOle() {
    ++software::threadOle;
    return true;
}

void endThreadOle() {
    if (software::threadOle > 0) --software::threadOle;
}

Library* loadBlendLibrary() {
    ++software::libraryHolders;
    return new Library;
}

void freeBlendLibrary(Library* library) {
    if (!library) return;
    --software::libraryHolders;
    delete library;
}

}  // namespace platform
}  // namespace TKGUI
