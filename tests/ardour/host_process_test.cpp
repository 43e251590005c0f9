// The crash classification the Ardour tests rely on: a crash with the
// plug-in on the stack must never pass for a host crash (which is retried).
#include "tests/ardour/host_process.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace {

// A command run with the crash reporter watching for the crashing module.
HostCommand command(std::vector<std::string> argv, int timeoutSeconds = 60) {
    HostCommand c;
    c.argv = std::move(argv);
    c.logFile = ::testing::TempDir() + "host-process-test.log";
    c.crashReporter = TK42_CRASH_REPORTER;
    c.pluginFile = TK42_CRASHING_MODULE;
    c.timeoutSeconds = timeoutSeconds;
    return c;
}

HostCommand shell(const std::string& script, int timeoutSeconds = 20) {
    return command({"sh", "-c", script}, timeoutSeconds);
}

TEST(HostProcess, CrashWithThePluginOnTheStackIsThePlugins) {
    const HostCommand c = command({TK42HOST, "info", TK42_CRASHING_MODULE});
    HostRun run = runHost(c);
    EXPECT_EQ(run.outcome, HostRun::Outcome::PluginCrashed) << run.describe() << run.output;
    EXPECT_EQ(run.signal, SIGSEGV);
}

TEST(HostProcess, CrashElsewhereIsTheHosts) {
    HostRun run = runHost(shell("kill -ABRT $$"));
    EXPECT_EQ(run.outcome, HostRun::Outcome::HostCrashed) << run.describe() << run.output;
}

TEST(HostProcess, CrashWithoutAReportIsNobodysForSure) {
    HostCommand c = shell("kill -SEGV $$");
    c.crashReporter.clear();
    EXPECT_EQ(runHost(c).outcome, HostRun::Outcome::UnreportedCrash);
}

TEST(HostProcess, TheCommandsEnvironmentWinsOverTheInheritedOne) {
    setenv("TK42_HOST_PROCESS_TEST", "inherited", 1);
    HostCommand c = shell("echo $TK42_HOST_PROCESS_TEST $HOME");
    c.environment = {"TK42_HOST_PROCESS_TEST=own", "HOME=/nowhere"};
    EXPECT_EQ(runHost(c).output, "own /nowhere\n");
}

TEST(HostProcess, ExitCodesAndHangsAreTold) {
    EXPECT_EQ(runHost(shell("echo hello")).outcome, HostRun::Outcome::Finished);
    EXPECT_EQ(runHost(shell("echo hello")).output, "hello\n");
    HostRun failed = runHost(shell("exit 3"));
    EXPECT_EQ(failed.outcome, HostRun::Outcome::Failed);
    EXPECT_EQ(failed.exitCode, 3);
    // The child's children go too: the hang ends within the limit.
    EXPECT_EQ(runHost(shell("sleep 30 & sleep 30", 1)).outcome, HostRun::Outcome::TimedOut);
}

// A host that crashes on its first run and works on its second.
TEST(HostProcess, AHostCrashIsTriedAgainAndCounted) {
    const std::string marker = ::testing::TempDir() + "host-process-crashed-once";
    std::remove(marker.c_str());
    RunCounts counts;
    HostRun run =
        runRetryingHostCrashes(shell("if [ -e " + marker + " ]; then echo done; else touch " +
                                     marker + "; kill -SEGV $$; fi"),
                               4, counts);
    EXPECT_EQ(run.outcome, HostRun::Outcome::Finished);
    EXPECT_EQ(counts.runs, 2);
    EXPECT_EQ(counts.hostCrashes, 1);
}

TEST(HostProcess, AHostThatAlwaysCrashesIsNeverAPass) {
    RunCounts counts;
    int cleanups = 0;
    HostRun run = runRetryingHostCrashes(shell("kill -SEGV $$"), 3, counts,
                                         [&](int, HostCommand&) { ++cleanups; });
    EXPECT_EQ(run.outcome, HostRun::Outcome::HostCrashed);
    EXPECT_EQ(counts.runs, 3);
    EXPECT_EQ(counts.hostCrashes, 3);
    EXPECT_EQ(cleanups, 3);
}

TEST(HostProcess, APluginCrashIsNeverTriedAgain) {
    const HostCommand c = command({TK42HOST, "info", TK42_CRASHING_MODULE});
    RunCounts counts;
    EXPECT_EQ(runRetryingHostCrashes(c, 4, counts).outcome, HostRun::Outcome::PluginCrashed);
    EXPECT_EQ(counts.runs, 1);
    EXPECT_EQ(counts.hostCrashes, 0);
}

}  // namespace
