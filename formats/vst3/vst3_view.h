// The editor side of a VST3 plug-in: the view the host embeds in its own
// window, the host's frame around it, and the run loop through which a Linux
// host drives a view's file descriptors and timers.
#pragma once

#include "formats/vst3/vst3_base.h"

namespace vst3 {

struct ViewRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// The kinds of parent a host may offer in attached().
constexpr const char* kPlatformHwnd = "HWND";
constexpr const char* kPlatformX11 = "X11EmbedWindowID";

class IPlugFrame;

class IPlugView : public FUnknown {
  public:
    virtual tresult isPlatformTypeSupported(const char* type) = 0;
    virtual tresult attached(void* parent, const char* type) = 0;
    virtual tresult removed() = 0;
    virtual tresult onWheel(float distance) = 0;
    virtual tresult onKeyDown(char16 key, int16_t keyCode, int16_t modifiers) = 0;
    virtual tresult onKeyUp(char16 key, int16_t keyCode, int16_t modifiers) = 0;
    virtual tresult getSize(ViewRect* size) = 0;
    virtual tresult onSize(ViewRect* size) = 0;
    virtual tresult onFocus(TBool state) = 0;
    virtual tresult setFrame(IPlugFrame* frame) = 0;
    virtual tresult canResize() = 0;
    virtual tresult checkSizeConstraint(ViewRect* rect) = 0;
};
constexpr Uid kIPlugViewIid = makeUid(0x5BC32507, 0xD06049EA, 0xA6151B52, 0x2B755B29);

class IPlugFrame : public FUnknown {
  public:
    virtual tresult resizeView(IPlugView* view, ViewRect* size) = 0;
};
constexpr Uid kIPlugFrameIid = makeUid(0x367FAF01, 0xAFA94693, 0x8D4DA2A0, 0xED0882A3);

class IEventHandler : public FUnknown {
  public:
    virtual void onFDIsSet(int fd) = 0;
};
constexpr Uid kIEventHandlerIid = makeUid(0x561E65C9, 0x13A0496F, 0x813A2C35, 0x654D7983);

class ITimerHandler : public FUnknown {
  public:
    virtual void onTimer() = 0;
};
constexpr Uid kITimerHandlerIid = makeUid(0x10BDD94F, 0x41424774, 0x821FAD8F, 0xECA72CA9);

// A Linux host's frame offers this: the view registers its X connection's
// descriptor and a timer, and the host calls them from its own loop.
class IRunLoop : public FUnknown {
  public:
    virtual tresult registerEventHandler(IEventHandler* handler, int fd) = 0;
    virtual tresult unregisterEventHandler(IEventHandler* handler) = 0;
    virtual tresult registerTimer(ITimerHandler* handler, uint64_t milliseconds) = 0;
    virtual tresult unregisterTimer(ITimerHandler* handler) = 0;
};
constexpr Uid kIRunLoopIid = makeUid(0x18C35366, 0x97764F1A, 0x9C5B8385, 0x7A871389);

}  // namespace vst3
