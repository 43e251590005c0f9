#include "formats/clap/clap_gui.h"

#include <cstdint>
#include <cstring>
#include <new>

#include "editor/editor_host.h"
#include "editor/limiter_panel.h"
#include "formats/clap/clap_editor.h"
#include "formats/clap/clap_extensions.h"
#include "formats/clap/clap_limiter.h"
#include "toolkit/frame.h"
#include "toolkit/platform/platform.h"

namespace {

namespace platform = TKGUI::platform;

// How often the panel redraws its meter and looks at its window's events.
constexpr uint32_t kIdleMs = 30;

// One open editor: the panel, the host's view of it, and what drives it.
// Everything here runs on the main thread.
class ClapPanelEditor final : public ClapEditor, public EditorHost {
  public:
    explicit ClapPanelEditor(ClapLimiter& owner) : owner(owner) {}
    ~ClapPanelEditor() override { close(); }

    bool open(platform::Window* parent) {
        close();
        if (!panel.open(parent)) return false;
        // A window timer where the window system has them; otherwise the
        // host's timer, or at least the host watching the window's events.
        windowTimer = platform::startWindowTimer(panel.getFrame()->getWindow(), kIdleMs,
                                                 &ClapPanelEditor::fire, this);
        const clap::Host* host = owner.hostRecord();
        if (!windowTimer && hostTimer() && hostTimer()->registerTimer(host, kIdleMs, &timerId))
            timerRegistered = true;
        if (!windowTimer && !timerRegistered && hostFd()) {
            fd = platform::windowEventDescriptor(panel.getFrame()->getWindow());
            if (fd >= 0 && !hostFd()->registerFd(host, fd, clap::kFdRead | clap::kFdError)) fd = -1;
        }
        if (!windowTimer && !timerRegistered && fd < 0) {
            // Nothing would ever redraw it or take its input.
            close();
            return false;
        }
        // Events that opening has already read off the connection would not
        // make the descriptor readable again: take them now.
        tick();
        return true;
    }

    void close() {
        const clap::Host* host = owner.hostRecord();
        if (windowTimer) platform::stopWindowTimer(windowTimer);
        windowTimer = nullptr;
        if (timerRegistered) hostTimer()->unregisterTimer(host, timerId);
        timerRegistered = false;
        if (fd >= 0) hostFd()->unregisterFd(host, fd);
        fd = -1;
        panel.close();
    }

    bool isOpen() const { return panel.isOpen(); }
    bool ownsTimer(clap::Id id) const { return timerRegistered && id == timerId; }
    bool ownsFd(int descriptor) const { return fd >= 0 && descriptor == fd; }

    // One turn: what the host or a loaded state changed, the window's
    // events, and the redraw.
    void tick() {
        for (uint32_t bits = owner.takeChanged(); bits; bits &= bits - 1) {
            int32_t index = 0;
            while (!(bits & (1u << index))) ++index;
            panel.parameterChanged(index);
        }
        panel.idle();
    }

    // EditorHost: the values are the engine's; gestures go to the host as
    // events at its next process or flush.
    float parameterValue(int32_t index) override { return owner.limiter().parameter(index); }
    void beginEdit(int32_t index) override { owner.editorGesture({Gesture::begin, index, 0.0f}); }
    void performEdit(int32_t index, float value) override {
        owner.editorGesture({Gesture::value, index, value});
    }
    void endEdit(int32_t index) override { owner.editorGesture({Gesture::end, index, 0.0f}); }
    void setTypedValue(int32_t index, float value) override {
        owner.editorGesture({Gesture::typed, index, value});
    }
    MeterFeed& meterFeed() override { return owner.limiter().meterFeed(); }
    double meterFallCoef() override { return owner.limiter().meterFallCoef(); }
    float sampleRate() override { return owner.limiter().sampleRate(); }
    // CLAP hosts have no knob-mode preference to pass on.
    bool setKnobMode(int32_t) override { return false; }
    // A control's mouse loop holds the main thread: keep the panel drawn
    // about every 50 ms meanwhile.
    void pumpIdle() override {
        const uint32_t now = platform::tickCount();
        if (now - lastPump < 50) {
            platform::sleepMilliseconds(4);
            return;
        }
        lastPump = now;
        tick();
        platform::dispatchOnePendingPaint();
    }

  private:
    static void fire(void* self) { static_cast<ClapPanelEditor*>(self)->tick(); }
    const clap::HostTimerSupport* hostTimer() const {
        const clap::Host* h = owner.hostRecord();
        return h->getExtension ? static_cast<const clap::HostTimerSupport*>(
                                     h->getExtension(h, clap::kExtTimerSupport))
                               : nullptr;
    }
    const clap::HostPosixFdSupport* hostFd() const {
        const clap::Host* h = owner.hostRecord();
        return h->getExtension ? static_cast<const clap::HostPosixFdSupport*>(
                                     h->getExtension(h, clap::kExtPosixFdSupport))
                               : nullptr;
    }

    ClapLimiter& owner;
    LimiterPanel panel{*this};
    platform::Timer* windowTimer = nullptr;
    bool timerRegistered = false;
    clap::Id timerId = clap::kInvalidId;
    int fd = -1;
    uint32_t lastPump = 0;
};

ClapPanelEditor* editorOf(const clap::Plugin* p) {
    ClapLimiter* self = ClapLimiter::from(p);
    return self ? static_cast<ClapPanelEditor*>(self->editorSlot().get()) : nullptr;
}

// The instance, on the main thread only: the editor is the main thread's.
ClapLimiter* onMain(const clap::Plugin* p) {
    ClapLimiter* self = ClapLimiter::from(p);
    return self && self->onMainThreadNow() ? self : nullptr;
}

bool supported(const clap::Plugin* p, const char* api, bool floating) {
    ClapLimiter* self = ClapLimiter::from(p);
    return self && api && !floating && self->editorTables() &&
           std::strcmp(api, self->editorTables()->windowApi) == 0;
}

bool preferredApi(const clap::Plugin* p, const char** api, bool* floating) {
    ClapLimiter* self = ClapLimiter::from(p);
    if (!self || !self->editorTables() || !api || !floating) return false;
    *api = self->editorTables()->windowApi;
    *floating = false;
    return true;
}

bool create(const clap::Plugin* p, const char* api, bool floating) {
    ClapLimiter* self = onMain(p);
    if (!self || !supported(p, api, floating) || self->editorSlot()) return false;
    self->editorSlot().reset(new (std::nothrow) ClapPanelEditor(*self));
    return self->editorSlot() != nullptr;
}

void destroy(const clap::Plugin* p) {
    if (ClapLimiter* self = onMain(p)) self->editorSlot().reset();
}

bool setScale(const clap::Plugin*, double) {
    return false;  // the panel is drawn from its bitmaps at one size
}

bool size(const clap::Plugin* p, uint32_t* width, uint32_t* height) {
    if (!ClapLimiter::from(p) || !width || !height) return false;
    *width = LimiterPanel::kWidth;
    *height = LimiterPanel::kHeight;
    return true;
}

bool canResize(const clap::Plugin*) {
    return false;
}

bool resizeHints(const clap::Plugin*, clap::GuiResizeHints*) {
    return false;
}

bool setSize(const clap::Plugin* p, uint32_t width, uint32_t height) {
    return ClapLimiter::from(p) && width == static_cast<uint32_t>(LimiterPanel::kWidth) &&
           height == static_cast<uint32_t>(LimiterPanel::kHeight);
}

bool setParent(const clap::Plugin* p, const clap::Window* window) {
    ClapLimiter* self = onMain(p);
    ClapPanelEditor* editor = editorOf(p);
    if (!self || !editor || !window || !window->api ||
        std::strcmp(window->api, self->editorTables()->windowApi) != 0)
        return false;
    // The toolkit takes the host's window as the VST 2.4 module gets it: an
    // X window id or an HWND, in a pointer.
    const bool x11 = std::strcmp(window->api, clap::kWindowApiX11) == 0;
    void* parent =
        x11 ? reinterpret_cast<void*>(static_cast<uintptr_t>(window->x11)) : window->win32;
    if (!parent) return false;
    return editor->open(static_cast<platform::Window*>(parent));
}

bool setTransient(const clap::Plugin*, const clap::Window*) {
    return false;  // embedded only
}

void suggestTitle(const clap::Plugin*, const char*) {}

bool show(const clap::Plugin* p) {
    ClapPanelEditor* editor = editorOf(p);
    return editor && editor->isOpen();
}

bool hide(const clap::Plugin* p) {
    // The panel is a child of the host's window, which the host hides.
    return editorOf(p) != nullptr;
}

void onTimer(const clap::Plugin* p, clap::Id id) {
    ClapPanelEditor* editor = onMain(p) ? editorOf(p) : nullptr;
    if (editor && editor->ownsTimer(id)) editor->tick();
}

void onFd(const clap::Plugin* p, int fd, uint32_t) {
    ClapPanelEditor* editor = onMain(p) ? editorOf(p) : nullptr;
    if (editor && editor->ownsFd(fd)) editor->tick();
}

}  // namespace

const clap::PluginGui kClapGui = {supported, preferredApi, create,       destroy, setScale,
                                  size,      canResize,    resizeHints,  size,    setSize,
                                  setParent, setTransient, suggestTitle, show,    hide};
const clap::PluginTimerSupport kClapTimerSupport = {onTimer};
const clap::PluginPosixFdSupport kClapPosixFdSupport = {onFd};
