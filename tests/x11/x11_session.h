// The test's side of an X session: a host window for the editor, input as a
// user makes it (XTest, from any thread), and the pixels on screen.
#pragma once

#include <X11/Xlib.h>

#include <cstdint>
#include <string>
#include <vector>

class X11Session {
  public:
    // Opens its own connection to $DISPLAY; isOpen() says whether it could.
    X11Session();
    ~X11Session();
    X11Session(const X11Session&) = delete;
    X11Session& operator=(const X11Session&) = delete;

    bool isOpen() const { return display != nullptr; }
    Display* get() const { return display; }

    // A mapped top-level window of this size at this place, as a host's
    // editor window.
    Window makeHostWindow(int x, int y, int width, int height);
    void destroyWindow(Window window);
    std::vector<Window> children(Window parent);

    // The window's pixels, 0xRRGGBB, top row first.
    std::vector<uint32_t> capture(Window window, int width, int height);

    // Real input through the XTest extension; each call waits until the
    // server has it.
    void movePointer(int x, int y);
    void button(unsigned int number, bool down);
    void key(const std::string& keysymName, bool down);
    void typeText(const std::string& text);

  private:
    Display* display = nullptr;
};

// Open file descriptors of this process: connections that were not closed
// show up here.
int openDescriptors();
