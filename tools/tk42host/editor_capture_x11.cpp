// The editor command on Linux: the plug-in's editor in a real X window. With
// no display to use, tk42host starts a virtual one (Xvfb) for the capture.
// Xlib comes last: its None and Bool macros would clash with other headers.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include "tools/tk42host/editor_command.h"

// clang-format off
#include <X11/Xlib.h>
#include <X11/Xutil.h>
// clang-format on

namespace {

// Long enough for a few idle rounds and the first paints to arrive.
constexpr int kSettleMs = 600;
constexpr int kIdleEveryMs = 20;

bool editorSize(const PluginInstance& fx, int& width, int& height) {
    ERect* rect = nullptr;
    fx.dispatch(effEditGetRect, 0, 0, &rect);
    if (!rect) return false;
    width = rect->right - rect->left;
    height = rect->bottom - rect->top;
    return width > 0 && height > 0 && width <= 8192 && height <= 8192;
}

// A virtual X server of our own, for machines without a display. Xvfb
// writes the display number it chose to a pipe once it accepts clients.
class VirtualDisplay {
  public:
    bool start(std::string& error) {
        int fds[2];
        if (pipe(fds) != 0) {
            error = "cannot start Xvfb";
            return false;
        }
        server = fork();
        if (server == 0) {
            close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24",
                   "-nolisten", "tcp", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        std::string number;
        char c = 0;
        while (server > 0 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
        close(fds[0]);
        if (server < 0 || number.empty()) {
            error = "no X display, and Xvfb could not be started (is it installed?)";
            return false;
        }
        setenv("DISPLAY", (":" + number).c_str(), 1);
        return true;
    }
    ~VirtualDisplay() {
        if (server > 0) {
            kill(server, SIGTERM);
            waitpid(server, nullptr, 0);
        }
    }

  private:
    pid_t server = -1;
};

Display* openDisplay(VirtualDisplay& virtualDisplay, std::string& error) {
    if (Display* d = XOpenDisplay(nullptr)) return d;
    if (!virtualDisplay.start(error)) return nullptr;
    Display* d = XOpenDisplay(nullptr);
    if (!d) error = "cannot connect to the Xvfb display";
    return d;
}

Window makeHostWindow(Display* d, int width, int height) {
    const int screen = DefaultScreen(d);
    Window w = XCreateSimpleWindow(d, RootWindow(d, screen), 0, 0, static_cast<unsigned>(width),
                                   static_cast<unsigned>(height), 0, BlackPixel(d, screen),
                                   BlackPixel(d, screen));
    XStoreName(d, w, "tk42host editor");
    XSelectInput(d, w, StructureNotifyMask);
    XMapWindow(d, w);
    XEvent event;
    do {
        XNextEvent(d, &event);
    } while (event.type != MapNotify || event.xmap.window != w);
    XSync(d, False);
    return w;
}

// The editor's pixels as RGB rows, read back from the server.
bool capture(Display* d, Window window, int width, int height, std::vector<unsigned char>& rgb) {
    XImage* image = XGetImage(d, window, 0, 0, static_cast<unsigned>(width),
                              static_cast<unsigned>(height), AllPlanes, ZPixmap);
    if (!image) return false;
    rgb.resize(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const unsigned long p = XGetPixel(image, x, y);
            unsigned char* out = &rgb[3 * (static_cast<size_t>(y) * width + x)];
            out[0] = static_cast<unsigned char>((p & image->red_mask) >> 16);
            out[1] = static_cast<unsigned char>((p & image->green_mask) >> 8);
            out[2] = static_cast<unsigned char>(p & image->blue_mask);
        }
    }
    XDestroyImage(image);
    return true;
}

Window firstChild(Display* d, Window parent) {
    Window root = 0, up = 0, found = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(d, parent, &root, &up, &children, &count) && count > 0) found = children[0];
    if (children) XFree(children);
    return found;
}

}  // namespace

bool captureEditor(const PluginInstance& fx, const std::string& pngPath, std::string& error) {
    int width = 0, height = 0;
    if (!editorSize(fx, width, height)) {
        error = "the editor reports no size";
        return false;
    }
    VirtualDisplay virtualDisplay;
    Display* d = openDisplay(virtualDisplay, error);
    if (!d) return false;
    const Window parent = makeHostWindow(d, width, height);
    // A Linux host passes its window id where a Windows host passes an HWND.
    if (!fx.dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(static_cast<uintptr_t>(parent)))) {
        XDestroyWindow(d, parent);
        XCloseDisplay(d);
        error = "the editor did not open in an X window";
        return false;
    }
    const auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(kSettleMs)) {
        fx.dispatch(effEditIdle);
        std::this_thread::sleep_for(std::chrono::milliseconds(kIdleEveryMs));
    }
    XSync(d, False);
    const Window editor = firstChild(d, parent);
    std::vector<unsigned char> rgb;
    const bool captured = capture(d, editor ? editor : parent, width, height, rgb);
    fx.dispatch(effEditClose);
    XDestroyWindow(d, parent);
    XCloseDisplay(d);
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
