#include <signal.h>

#include <atomic>

#include "tools/tk42host/interruption.h"

namespace {

// Written by the handler, read by the render loop: lock-free, so storing it
// is async-signal-safe.
std::atomic<int> caught{0};
static_assert(std::atomic<int>::is_always_lock_free);

constexpr int kInterrupts[] = {SIGINT, SIGTERM, SIGHUP};
constexpr int kIgnored[] = {SIGXFSZ, SIGPIPE};
constexpr int kCount = sizeof kInterrupts / sizeof kInterrupts[0];
constexpr int kIgnoredCount = sizeof kIgnored / sizeof kIgnored[0];

struct sigaction previous[kCount];
bool replaced[kCount];
struct sigaction previousIgnored[kIgnoredCount];

extern "C" void onInterrupt(int signal) {
    caught.store(signal, std::memory_order_relaxed);
}

}  // namespace

InterruptionGuard::InterruptionGuard() {
    caught.store(0, std::memory_order_relaxed);
    for (int i = 0; i < kCount; ++i) {
        replaced[i] = false;
        if (sigaction(kInterrupts[i], nullptr, &previous[i]) != 0) continue;
        if (previous[i].sa_handler == SIG_IGN) continue;
        struct sigaction action = {};
        action.sa_handler = onInterrupt;
        sigemptyset(&action.sa_mask);
        // The first signal asks the render to stop; a second one finds the
        // default action back in place and ends a render that does not.
        action.sa_flags = SA_RESETHAND;
        replaced[i] = sigaction(kInterrupts[i], &action, nullptr) == 0;
    }
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    for (int i = 0; i < kIgnoredCount; ++i) sigaction(kIgnored[i], &ignore, &previousIgnored[i]);
}

InterruptionGuard::~InterruptionGuard() {
    for (int i = 0; i < kCount; ++i) {
        if (replaced[i]) sigaction(kInterrupts[i], &previous[i], nullptr);
    }
    for (int i = 0; i < kIgnoredCount; ++i) sigaction(kIgnored[i], &previousIgnored[i], nullptr);
}

bool interruptRequested() {
    return caught.load(std::memory_order_relaxed) != 0;
}

std::string interruptCause() {
    switch (caught.load(std::memory_order_relaxed)) {
        case SIGINT:
            return "Ctrl-C (SIGINT)";
        case SIGTERM:
            return "a termination request (SIGTERM)";
        case SIGHUP:
            return "the terminal closing (SIGHUP)";
        default:
            return "a signal";
    }
}
