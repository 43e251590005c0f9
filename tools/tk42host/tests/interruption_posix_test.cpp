// The real program, interrupted mid-render by the signals a user's Ctrl-C, a
// kill and a closed terminal send: it stops, removes its temporary output,
// leaves the existing output as it was, says so, and exits with 130.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "tools/tk42host/exit_codes.h"
#include "tools/tk42host/tests/test_files.h"

namespace {

using Clock = std::chrono::steady_clock;

const std::vector<uint8_t> kOld = {'o', 'l', 'd'};

struct Exit {
    bool exited = false;
    int status = -1;  // the exit status, or the signal that ended the process
};

// Starts a long render of the demo signal (an hour of it), or with `demo`
// the demo command writing that hour, with stderr in err.txt; the signal
// named in `ignored` starts out ignored, as nohup does.
pid_t startRender(const TempDir& dir, int ignored = 0, bool demo = false) {
    const std::string err = dir.file("err.txt");
    const std::string out = dir.file("out.wav");
    const pid_t pid = fork();
    if (pid == 0) {
        if (!freopen(err.c_str(), "w", stderr)) _exit(127);
        if (ignored) signal(ignored, SIG_IGN);
        if (demo) {
            execl(TK42_HOST_PROGRAM, TK42_HOST_PROGRAM, "demo", out.c_str(), "--demo-seconds",
                  "3600", static_cast<char*>(nullptr));
        } else {
            execl(TK42_HOST_PROGRAM, TK42_HOST_PROGRAM, "render", TK42_TEST_MODULE, "--demo",
                  out.c_str(), "--demo-seconds", "3600", "--quiet", static_cast<char*>(nullptr));
        }
        _exit(127);
    }
    return pid;
}

// Waits until the render has written part of its temporary file.
bool renderUnderWay(const TempDir& dir) {
    const Clock::time_point give_up = Clock::now() + std::chrono::seconds(30);
    while (Clock::now() < give_up) {
        for (const std::string& name : dir.names()) {
            std::error_code gone;
            if (name.find(".partial") != std::string::npos &&
                std::filesystem::file_size(dir.file(name), gone) > 100000 && !gone)
                return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

Exit waitFor(pid_t pid, std::chrono::seconds limit) {
    const Clock::time_point give_up = Clock::now() + limit;
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (Clock::now() > give_up) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return {};
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    if (WIFEXITED(status)) return {true, WEXITSTATUS(status)};
    return {false, WIFSIGNALED(status) ? WTERMSIG(status) : -1};
}

void expectCleanInterruption(const TempDir& dir, Exit exit, const std::string& cause) {
    EXPECT_TRUE(exit.exited) << "ended by signal " << exit.status << " instead of exiting";
    EXPECT_EQ(exit.status, kExitInterrupted);
    const std::vector<uint8_t> errBytes = readBytes(dir.file("err.txt"));
    const std::string err(errBytes.begin(), errBytes.end());
    EXPECT_NE(err.find("tk42host: interrupted by " + cause), std::string::npos) << err;
    EXPECT_NE(err.find(dir.file("out.wav") + " was not written"), std::string::npos) << err;
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"err.txt", "out.wav"}))
        << "the temporary output was left behind";
    EXPECT_EQ(readBytes(dir.file("out.wav")), kOld) << "the existing output was touched";
}

}  // namespace

TEST(Interruption, CtrlCTerminationAndAClosedTerminalStopTheRenderCleanly) {
    const struct {
        int signal;
        const char* cause;
    } cases[] = {{SIGINT, "Ctrl-C (SIGINT)"},
                 {SIGTERM, "a termination request (SIGTERM)"},
                 {SIGHUP, "the terminal closing (SIGHUP)"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.cause);
        TempDir dir;
        writeBytes(dir.file("out.wav"), kOld);
        const pid_t pid = startRender(dir);
        ASSERT_TRUE(renderUnderWay(dir)) << "the render did not start";
        kill(pid, c.signal);
        expectCleanInterruption(dir, waitFor(pid, std::chrono::seconds(20)), c.cause);
    }
}

TEST(Interruption, ASignalIgnoredAtStartStaysIgnored) {
    // Under nohup a closed terminal must not stop the render.
    TempDir dir;
    writeBytes(dir.file("out.wav"), kOld);
    const pid_t pid = startRender(dir, SIGHUP);
    ASSERT_TRUE(renderUnderWay(dir));
    kill(pid, SIGHUP);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    int status = 0;
    EXPECT_EQ(waitpid(pid, &status, WNOHANG), 0) << "SIGHUP stopped a render started under nohup";
    kill(pid, SIGINT);
    expectCleanInterruption(dir, waitFor(pid, std::chrono::seconds(20)), "Ctrl-C (SIGINT)");
}

TEST(Interruption, TheDemoCommandStopsCleanlyToo) {
    TempDir dir;
    writeBytes(dir.file("out.wav"), kOld);
    const pid_t pid = startRender(dir, 0, true);
    ASSERT_TRUE(renderUnderWay(dir));
    kill(pid, SIGTERM);
    expectCleanInterruption(dir, waitFor(pid, std::chrono::seconds(20)),
                            "a termination request (SIGTERM)");
}

TEST(Interruption, AParallelBatchKeepsTheOutputsCompleteAndLeavesNoPartialFile) {
    TempDir dir;
    // b and c take a long while; a, between them, is done at once, before b
    // is: complete, but not yet moved into place when the batch is stopped.
    const std::string sox = std::string(TK42_SOX) + " -n -r 8000 -c 1 -b 16 ";
    ASSERT_EQ(std::system((sox + dir.file("b.wav") + " synth 1200 sine 440").c_str()), 0);
    std::filesystem::copy_file(dir.file("b.wav"), dir.file("c.wav"));
    ASSERT_EQ(std::system((sox + dir.file("a.wav") + " synth 0.5 sine 440").c_str()), 0);
    const std::string out = dir.file("out");
    const pid_t pid = fork();
    if (pid == 0) {
        if (!freopen(dir.file("err.txt").c_str(), "w", stderr)) _exit(127);
        execl(TK42_HOST_PROGRAM, TK42_HOST_PROGRAM, "render", TK42_TEST_MODULE,
              dir.file("b.wav").c_str(), dir.file("a.wav").c_str(), dir.file("c.wav").c_str(),
              "--out-dir", out.c_str(), "--jobs", "2", "--quiet", static_cast<char*>(nullptr));
        _exit(127);
    }
    // c begins once a is done: wait for both long renders to be under way.
    const auto underWay = [&](const std::string& name) {
        std::error_code ec;
        for (const auto& e : std::filesystem::directory_iterator(out, ec)) {
            const std::string file = e.path().filename().string();
            if (file.rfind(name + ".partial", 0) == 0 &&
                std::filesystem::file_size(e.path(), ec) > 100000)
                return true;
        }
        return false;
    };
    const Clock::time_point give_up = Clock::now() + std::chrono::seconds(60);
    while (Clock::now() < give_up && !(underWay("b.wav") && underWay("c.wav")))
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(underWay("b.wav") && underWay("c.wav")) << "the batch did not get under way";
    kill(pid, SIGINT);
    const Exit exit = waitFor(pid, std::chrono::seconds(30));
    EXPECT_TRUE(exit.exited);
    EXPECT_EQ(exit.status, kExitInterrupted);
    std::vector<std::string> left;
    for (const auto& e : std::filesystem::directory_iterator(out))
        left.push_back(e.path().filename().string());
    EXPECT_EQ(left, std::vector<std::string>{"a.wav"});
    const std::vector<uint8_t> errBytes = readBytes(dir.file("err.txt"));
    const std::string err(errBytes.begin(), errBytes.end());
    EXPECT_NE(err.find("tk42host: interrupted by Ctrl-C (SIGINT); 1 of 3 files were written"),
              std::string::npos)
        << err;
}
