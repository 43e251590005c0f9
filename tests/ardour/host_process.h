// Runs one of Ardour's programs as a child process with a time limit and
// tells how it ended: finished, failed, or crashed in the host or in the
// plug-in (from the crash report the preloaded library writes).
#pragma once

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
