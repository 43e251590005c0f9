// The crash classification the Ardour tests rely on: a crash with the
// plug-in on the stack must never pass for a host crash (which is retried).
#include "tests/ardour/host_process.h"

#include <gtest/gtest.h>
#include <stdlib.h>

namespace {

HostCommand shell(const std::string& script, int timeoutSeconds = 20) {
    HostCommand c;
    c.argv = {"sh", "-c", script};
    c.logFile = ::testing::TempDir() + "host-process-test.log";
    c.crashReporter = TK42_CRASH_REPORTER;
    c.pluginFile = TK42_CRASHING_MODULE;
    c.timeoutSeconds = timeoutSeconds;
    return c;
}

TEST(HostProcess, CrashWithThePluginOnTheStackIsThePlugins) {
    HostCommand c;
    c.argv = {TK42HOST, "info", TK42_CRASHING_MODULE};
    c.logFile = ::testing::TempDir() + "host-process-test.log";
    c.crashReporter = TK42_CRASH_REPORTER;
    c.pluginFile = TK42_CRASHING_MODULE;
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

TEST(HostProcess, ExitCodesAndHangsAreTold) {
    EXPECT_EQ(runHost(shell("echo hello")).outcome, HostRun::Outcome::Finished);
    EXPECT_EQ(runHost(shell("echo hello")).output, "hello\n");
    HostRun failed = runHost(shell("exit 3"));
    EXPECT_EQ(failed.outcome, HostRun::Outcome::Failed);
    EXPECT_EQ(failed.exitCode, 3);
    // The child's children go too: the hang ends within the limit.
    EXPECT_EQ(runHost(shell("sleep 30 & sleep 30", 1)).outcome, HostRun::Outcome::TimedOut);
}

}  // namespace
