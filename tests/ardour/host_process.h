// Runs one of Ardour's programs as a child process with a time limit and
// tells how it ended: finished, failed, or crashed in the host or in the
// plug-in (from the crash report the preloaded library writes).
#pragma once

#include <functional>
#include <string>
#include <vector>

struct HostRun {
    // A crash without a report (the reporter could not run) is nobody's for
    // sure, so it is never taken for the host's.
    enum class Outcome { Finished, Failed, TimedOut, HostCrashed, PluginCrashed, UnreportedCrash };
    Outcome outcome = Outcome::Failed;
    int exitCode = -1;
    int signal = 0;
    std::string output;  // stdout and stderr together

    bool crashedInHost() const { return outcome == Outcome::HostCrashed; }
    std::string describe() const;
};

struct HostCommand {
    std::vector<std::string> argv;
    std::vector<std::string> environment;  // NAME=VALUE, added to this process's
    std::string logFile;
    std::string crashReporter;  // the library to preload, or empty
    std::string pluginFile;     // a crash with a frame in this file is the plug-in's
    int timeoutSeconds = 60;
};

HostRun runHost(const HostCommand& command);

// Runs the command until a run ends other than by a crash in the host, at
// most `tries` runs; before each, `beforeRun` (if any) gets the run's number
// from 1 and may clean up after the last one and choose its log file. A
// crash in the plug-in, an unreported crash, a failure or a hang ends the
// runs at once. The last run's result is returned; runs and host crashes are
// added to the counters.
struct RunCounts {
    int runs = 0;
    int hostCrashes = 0;
};
HostRun runRetryingHostCrashes(HostCommand command, int tries, RunCounts& counts,
                               const std::function<void(int, HostCommand&)>& beforeRun = {});
