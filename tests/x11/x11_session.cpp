#include "tests/x11/x11_session.h"

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <dirent.h>

X11Session::X11Session() {
    display = XOpenDisplay(nullptr);
}

X11Session::~X11Session() {
    if (display) XCloseDisplay(display);
}

Window X11Session::makeHostWindow(int x, int y, int width, int height) {
    const int screen = DefaultScreen(display);
    Window w = XCreateSimpleWindow(display, RootWindow(display, screen), x, y,
                                   static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                                   BlackPixel(display, screen), WhitePixel(display, screen));
    XSelectInput(display, w, StructureNotifyMask);
    XMapWindow(display, w);
    XEvent event;
    do {
        XNextEvent(display, &event);
    } while (event.type != MapNotify || event.xmap.window != w);
    XSync(display, False);
    return w;
}

void X11Session::destroyWindow(Window window) {
    XDestroyWindow(display, window);
    XSync(display, False);
}

std::vector<Window> X11Session::children(Window parent) {
    Window root = 0, parentOfParent = 0;
    Window* list = nullptr;
    unsigned int count = 0;
    std::vector<Window> out;
    if (XQueryTree(display, parent, &root, &parentOfParent, &list, &count)) {
        out.assign(list, list + count);
        if (list) XFree(list);
    }
    return out;
}

std::vector<uint32_t> X11Session::capture(Window window, int width, int height) {
    std::vector<uint32_t> pixels;
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (!image) return pixels;
    pixels.resize(size_t(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            pixels[size_t(y) * width + x] =
                static_cast<uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFF;
        }
    }
    XDestroyImage(image);
    return pixels;
}

void X11Session::movePointer(int x, int y) {
    XTestFakeMotionEvent(display, DefaultScreen(display), x, y, CurrentTime);
    XSync(display, False);
}

void X11Session::button(unsigned int number, bool down) {
    XTestFakeButtonEvent(display, number, down ? True : False, CurrentTime);
    XSync(display, False);
}

void X11Session::key(const std::string& keysymName, bool down) {
    const KeyCode code = XKeysymToKeycode(display, XStringToKeysym(keysymName.c_str()));
    XTestFakeKeyEvent(display, code, down ? True : False, CurrentTime);
    XSync(display, False);
}

void X11Session::typeText(const std::string& text) {
    for (char c : text) {
        std::string name(1, c);
        if (c == '-') name = "minus";
        if (c == '.') name = "period";
        key(name, true);
        key(name, false);
    }
}

int openDescriptors() {
    int n = 0;
    if (DIR* dir = opendir("/proc/self/fd")) {
        while (readdir(dir)) ++n;
        closedir(dir);
    }
    return n;
}
