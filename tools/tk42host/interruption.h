// Ctrl-C, a termination request or a closed console during a render. While
// an InterruptionGuard lives, these no longer end the process at once: the
// handler only records what happened, and the render loop, which checks
// interruptRequested() once per block, stops, removes its temporary output
// and exits with its own status. A second Ctrl-C (or signal of the same
// kind) acts as it would without the guard, for a render that hangs.
//
// Per platform: POSIX signals (SIGINT, SIGTERM, SIGHUP; signals the caller
// ignores, as nohup does SIGHUP, stay ignored) and the Windows console
// control handler (Ctrl-C, Ctrl-Break, a closed console window, log-off,
// shutdown). On POSIX the guard also ignores SIGXFSZ and SIGPIPE, so that a
// file size limit or a closed pipe turns into a write error that the render
// reports and cleans up after instead of ending the process mid-file.
#pragma once

#include <string>

class InterruptionGuard {
  public:
    InterruptionGuard();
    // Restores what was there before.
    ~InterruptionGuard();
    InterruptionGuard(const InterruptionGuard&) = delete;
    InterruptionGuard& operator=(const InterruptionGuard&) = delete;
};

// True once an interruption arrived while a guard lived.
bool interruptRequested();
// What it was, for the message: "Ctrl-C (SIGINT)", "the console window was closed", ...
std::string interruptCause();
