#include "tests/ardour/host_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace {

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string baseName(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A crash is the plug-in's when any frame on the crashing stack lies in its
// file: then the plug-in was running, or called what failed.
bool reportNamesFile(const std::string& output, const std::string& file) {
    std::istringstream lines(output);
    std::string line;
    const std::string name = "/" + baseName(file);
    while (std::getline(lines, line)) {
        if (line.rfind("crash-report: frame", 0) != 0) continue;
        const bool endsWithName = line.size() >= name.size() &&
                                  line.compare(line.size() - name.size(), name.size(), name) == 0;
        if (endsWithName || line.find(name + " ") != std::string::npos) return true;
    }
    return false;
}

}  // namespace

std::string HostRun::describe() const {
    switch (outcome) {
        case Outcome::Finished:
            return "finished";
        case Outcome::Failed:
            return "failed with exit code " + std::to_string(exitCode);
        case Outcome::TimedOut:
            return "timed out";
        case Outcome::HostCrashed:
            return "crashed in the host (signal " + std::to_string(signal) + ")";
        case Outcome::PluginCrashed:
            return "crashed in the plug-in (signal " + std::to_string(signal) + ")";
        case Outcome::UnreportedCrash:
            return "crashed without a report (signal " + std::to_string(signal) + ")";
    }
    return "?";
}

HostRun runHost(const HostCommand& command) {
    std::vector<std::string> env = command.environment;
    if (!command.crashReporter.empty()) env.push_back("LD_PRELOAD=" + command.crashReporter);
    // getenv finds the first entry of a name: leave out the inherited ones
    // that the command sets.
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        const std::string name = entry.substr(0, entry.find('=') + 1);
        bool overridden = false;
        for (size_t i = 0; i < env.size() && !overridden; ++i) {
            overridden = env[i].compare(0, name.size(), name) == 0;
        }
        if (!overridden) env.push_back(entry);
    }
    std::vector<char*> envp, argv;
    for (std::string& e : env) envp.push_back(&e[0]);
    envp.push_back(nullptr);
    std::vector<std::string> args = command.argv;
    for (std::string& a : args) argv.push_back(&a[0]);
    argv.push_back(nullptr);

    HostRun run;
    pid_t child = fork();
    if (child < 0) return run;
    if (child == 0) {
        // A group of its own, so that a timeout ends everything it started.
        setpgid(0, 0);
        int log = open(command.logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int nothing = open("/dev/null", O_RDONLY);
        if (log < 0 || nothing < 0) _exit(127);
        dup2(nothing, STDIN_FILENO);
        dup2(log, STDOUT_FILENO);
        dup2(log, STDERR_FILENO);
        execvpe(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    setpgid(child, child);

    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(command.timeoutSeconds);
    int status = 0;
    bool timedOut = false;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(-child, SIGKILL);
            waitpid(child, &status, 0);
            timedOut = true;
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    // Helpers the host left behind would hold the log open.
    kill(-child, SIGKILL);

    run.output = readFile(command.logFile);
    if (timedOut) {
        run.outcome = HostRun::Outcome::TimedOut;
    } else if (WIFSIGNALED(status)) {
        run.signal = WTERMSIG(status);
        if (run.output.find("crash-report: signal") == std::string::npos) {
            run.outcome = HostRun::Outcome::UnreportedCrash;
        } else if (reportNamesFile(run.output, command.pluginFile)) {
            run.outcome = HostRun::Outcome::PluginCrashed;
        } else {
            run.outcome = HostRun::Outcome::HostCrashed;
        }
    } else {
        run.exitCode = WEXITSTATUS(status);
        run.outcome = run.exitCode == 0 ? HostRun::Outcome::Finished : HostRun::Outcome::Failed;
    }
    return run;
}

HostRun runRetryingHostCrashes(HostCommand command, int tries, RunCounts& counts,
                               const std::function<void(int, HostCommand&)>& beforeRun) {
    HostRun run;
    for (int attempt = 1; attempt <= tries; ++attempt) {
        if (beforeRun) beforeRun(attempt, command);
        run = runHost(command);
        ++counts.runs;
        if (!run.crashedInHost()) break;
        ++counts.hostCrashes;
    }
    return run;
}
