#include "tools/plughost/vst3_plug_frame.h"

#include <poll.h>

#include <algorithm>
#include <thread>

namespace plughost {

// The run loop shares the frame's references, as one host object.
class PlugFrame::Loop final : public vst3::IRunLoop {
  public:
    explicit Loop(PlugFrame& frame) : frame(frame) {}
    vst3::tresult queryInterface(const char* iid, void** object) override {
        return frame.queryInterface(iid, object);
    }
    uint32_t addRef() override { return frame.addRef(); }
    uint32_t release() override { return frame.release(); }

    vst3::tresult registerEventHandler(vst3::IEventHandler* handler, int fd) override {
        if (!handler || fd < 0) return vst3::kInvalidArgument;
        handler->addRef();
        frame.handlers.push_back({handler, fd});
        return vst3::kResultOk;
    }
    vst3::tresult unregisterEventHandler(vst3::IEventHandler* handler) override {
        forget(frame.handlers, handler);
        return vst3::kResultOk;
    }
    vst3::tresult registerTimer(vst3::ITimerHandler* handler, uint64_t milliseconds) override {
        if (!handler || milliseconds == 0) return vst3::kInvalidArgument;
        handler->addRef();
        const auto interval = std::chrono::milliseconds(milliseconds);
        frame.timers.push_back({handler, interval, std::chrono::steady_clock::now() + interval});
        return vst3::kResultOk;
    }
    vst3::tresult unregisterTimer(vst3::ITimerHandler* handler) override {
        forget(frame.timers, handler);
        return vst3::kResultOk;
    }

  private:
    // Releases and drops every registration of this handler.
    template <typename List, typename Handler>
    static void forget(List& list, Handler* handler) {
        for (auto it = list.begin(); it != list.end();) {
            if (it->handler == handler) {
                it->handler->release();
                it = list.erase(it);
            } else {
                ++it;
            }
        }
    }

    PlugFrame& frame;
};

PlugFrame::PlugFrame(bool offerRunLoop) : offerRunLoop(offerRunLoop), loop(new Loop(*this)) {}

PlugFrame::~PlugFrame() {
    // A handler released here may unregister itself on the way out.
    std::vector<Handler> leftHandlers;
    std::vector<Timer> leftTimers;
    leftHandlers.swap(handlers);
    leftTimers.swap(timers);
    for (Handler& h : leftHandlers) h.handler->release();
    for (Timer& t : leftTimers) t.handler->release();
    delete loop;
}

vst3::tresult PlugFrame::queryInterface(const char* iid, void** object) {
    if (!object) return vst3::kInvalidArgument;
    *object = nullptr;
    if (vst3::kFUnknownIid.matches(iid) || vst3::kIPlugFrameIid.matches(iid)) {
        addRef();
        *object = static_cast<vst3::IPlugFrame*>(this);
        return vst3::kResultOk;
    }
    if (offerRunLoop && vst3::kIRunLoopIid.matches(iid)) {
        addRef();
        *object = loop;
        return vst3::kResultOk;
    }
    return vst3::kNoInterface;
}

vst3::tresult PlugFrame::resizeView(vst3::IPlugView* /*view*/, vst3::ViewRect* /*size*/) {
    return vst3::kResultFalse;
}

void PlugFrame::fireTimers() {
    for (size_t i = 0; i < timers.size(); ++i) timers[i].handler->onTimer();
}

void PlugFrame::runFor(int milliseconds) {
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + std::chrono::milliseconds(milliseconds);
    while (Clock::now() < end) {
        std::vector<pollfd> fds;
        for (const Handler& h : handlers) fds.push_back({h.fd, POLLIN, 0});
        poll(fds.data(), fds.size(), 5);
        // Handlers may unregister themselves (or others) while called: call
        // from copies, and only those still registered.
        for (const pollfd& p : fds) {
            if (!(p.revents & POLLIN)) continue;
            for (const Handler& h : std::vector<Handler>(handlers)) {
                const bool still =
                    std::any_of(handlers.begin(), handlers.end(),
                                [&](const Handler& x) { return x.handler == h.handler; });
                if (still && h.fd == p.fd) h.handler->onFDIsSet(p.fd);
            }
        }
        const auto now = Clock::now();
        for (size_t i = 0; i < timers.size(); ++i) {
            if (timers[i].due <= now) {
                timers[i].due = now + timers[i].interval;
                timers[i].handler->onTimer();
            }
        }
        if (fds.empty()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

}  // namespace plughost
