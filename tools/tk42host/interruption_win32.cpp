#include <windows.h>

#include <atomic>

#include "tools/tk42host/interruption.h"

namespace {

// The console event + 1, 0 for none. The handler runs on a thread of its
// own that the system starts for each event.
std::atomic<DWORD> caught{0};
// Set once the guard is gone, that is, once the render has cleaned up.
std::atomic<bool> settled{false};

// Windows ends the process as soon as the handler returns from these, or
// after about 5 s.
bool endsTheProcess(DWORD type) {
    return type == CTRL_CLOSE_EVENT || type == CTRL_LOGOFF_EVENT || type == CTRL_SHUTDOWN_EVENT;
}

BOOL WINAPI onConsoleEvent(DWORD type) {
    if (caught.load() != 0 && (type == CTRL_C_EVENT || type == CTRL_BREAK_EVENT)) {
        return FALSE;  // a second Ctrl-C: the default handler ends the process
    }
    caught.store(type + 1);
    if (endsTheProcess(type)) {
        // Give the render loop time to stop and remove its temporary file
        // before the system ends the process; returning from main first
        // ends it with the render's own exit status.
        for (int waited = 0; waited < 4500 && !settled.load(); waited += 10) Sleep(10);
    }
    return TRUE;
}

}  // namespace

InterruptionGuard::InterruptionGuard() {
    caught.store(0);
    settled.store(false);
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

InterruptionGuard::~InterruptionGuard() {
    settled.store(true);
    SetConsoleCtrlHandler(onConsoleEvent, FALSE);
}

bool interruptRequested() {
    return caught.load() != 0;
}

std::string interruptCause() {
    switch (caught.load()) {
        case CTRL_C_EVENT + 1:
            return "Ctrl-C";
        case CTRL_BREAK_EVENT + 1:
            return "Ctrl-Break";
        case CTRL_CLOSE_EVENT + 1:
            return "the console window closing";
        case CTRL_LOGOFF_EVENT + 1:
            return "the user logging off";
        case CTRL_SHUTDOWN_EVENT + 1:
            return "the system shutting down";
        default:
            return "a console event";
    }
}
