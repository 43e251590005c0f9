// The host's frame around a VST3 view, with the run loop a Linux host
// offers through it: the view registers descriptors and timers, and the
// test's loop (runFor) calls them as a host's main loop would. Windows views
// need no run loop; there the frame answers only for itself.
#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

#include "formats/vst3/vst3_view.h"
#include "tools/plughost/vst3_host_objects.h"

namespace plughost {

class PlugFrame final : public Counted<vst3::IPlugFrame> {
  public:
    // offerRunLoop: whether queryInterface hands out the run loop.
    explicit PlugFrame(bool offerRunLoop);
    ~PlugFrame() override;

    vst3::tresult queryInterface(const char* iid, void** object) override;
    vst3::tresult resizeView(vst3::IPlugView* view, vst3::ViewRect* size) override;

    // Calls what is registered for about this long: a descriptor's handler
    // when it is readable, each timer at its interval.
    void runFor(int milliseconds);
    // Calls every registered timer once, now.
    void fireTimers();
    size_t handlerCount() const { return handlers.size(); }
    size_t timerCount() const { return timers.size(); }

  private:
    class Loop;
    struct Handler {
        vst3::IEventHandler* handler;
        int fd;
    };
    struct Timer {
        vst3::ITimerHandler* handler;
        std::chrono::milliseconds interval;
        std::chrono::steady_clock::time_point due;
    };
    friend class Loop;

    bool offerRunLoop;
    Loop* loop;
    std::vector<Handler> handlers;
    std::vector<Timer> timers;
};

}  // namespace plughost
