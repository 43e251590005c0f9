// Output that cannot be written to the end: a file system that fills up
// (a 256 KiB tmpfs, mounted in a private mount namespace) and a process file
// size limit (ulimit -f). Either way the render says why and where, exits
// with 5, and leaves no partial file and the old output as it was. Each case
// runs the whole command line in a child process, since the namespace and
// the limit must not reach the test runner.
#include <gtest/gtest.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tools/tk42host/exit_codes.h"
#include "tools/tk42host/tests/test_files.h"

namespace {

const std::vector<uint8_t> kOld = {'o', 'l', 'd'};

struct ChildRun {
    bool skipped = false;
    std::string skipReason;
    bool killed = false;
    int signal = 0;
    HostRun run{-1, "", ""};
    std::vector<std::string> names;  // what the output folder holds afterwards
    bool oldKept = false;
};

// Runs setup() and then a render of `in` into folder/out.wav in a child
// process; setup answers an empty string, or why the case cannot run here.
template <typename Setup>
ChildRun renderInChild(const std::string& in, const std::string& folder, Setup setup) {
    int pipeEnds[2];
    ChildRun r;
    if (pipe(pipeEnds) != 0) {
        r.skipped = true;
        r.skipReason = "no pipe";
        return r;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        close(pipeEnds[0]);
        std::ostringstream report;
        const std::string why = setup();
        if (!why.empty()) {
            report << "skip " << why;
        } else {
            const std::string out = folder + "/out.wav";
            writeBytes(out, kOld);
            const HostRun run = runHost({"render", TK42_TEST_MODULE, in, out, "--quiet"});
            report << "ran " << run.code << " " << (readBytes(out) == kOld) << "\n";
            for (const auto& e : std::filesystem::directory_iterator(folder))
                report << e.path().filename().string() << "\n";
            report << "--\n" << run.err;
        }
        const std::string text = report.str();
        if (write(pipeEnds[1], text.data(), text.size()) < 0) _exit(2);
        _exit(0);
    }
    close(pipeEnds[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) text.append(buffer, n);
    close(pipeEnds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (WIFSIGNALED(status)) {
        r.killed = true;
        r.signal = WTERMSIG(status);
        return r;
    }
    std::istringstream lines(text);
    std::string word;
    lines >> word;
    if (word == "skip") {
        r.skipped = true;
        std::getline(lines, r.skipReason);
        return r;
    }
    lines >> r.run.code >> r.oldKept;
    std::string line;
    std::getline(lines, line);
    while (std::getline(lines, line) && line != "--") r.names.push_back(line);
    std::sort(r.names.begin(), r.names.end());
    r.run.err.assign(std::istreambuf_iterator<char>(lines), std::istreambuf_iterator<char>());
    return r;
}

void expectCleanFailure(const ChildRun& r, const std::string& out, const std::string& reason) {
    ASSERT_FALSE(r.killed) << "the render was ended by signal " << r.signal << " ("
                           << strsignal(r.signal) << ") and could not clean up";
    EXPECT_EQ(r.run.code, kExitOutput) << r.run.err;
    EXPECT_NE(r.run.err.find("tk42host: cannot write " + out + ": " + reason), std::string::npos)
        << r.run.err;
    EXPECT_NE(r.run.err.find(out + " was not written"), std::string::npos) << r.run.err;
    EXPECT_EQ(r.names, std::vector<std::string>{"out.wav"}) << "a partial file was left";
    EXPECT_TRUE(r.oldKept) << "the existing output was touched";
}

// Three seconds of 48 kHz stereo float: 1.1 MiB of output.
std::string bigInput(const TempDir& dir) {
    WavData in;
    in.format = {48000, 2, SampleFormat::Float32, false};
    in.samples = testSignal(3 * 48000, 2, 0.5);
    writeWav(dir.file("in.wav"), in);
    return dir.file("in.wav");
}

bool writeFile(const std::string& path, const std::string& text) {
    std::ofstream f(path);
    f << text;
    f.close();
    return static_cast<bool>(f);
}

}  // namespace

TEST(DiskFull, AFileSystemThatFillsUpMidRender) {
    TempDir dir;
    const std::string in = bigInput(dir);
    const std::string small = dir.file("small");
    std::filesystem::create_directory(small);
    const uid_t uid = getuid();
    const gid_t gid = getgid();
    const ChildRun r = renderInChild(in, small, [&]() -> std::string {
        // As root a private mount namespace suffices; otherwise a user
        // namespace gives the right to mount, where the system allows one.
        if (uid != 0) {
            if (unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
                return "needs root or unprivileged user namespaces to mount a small tmpfs";
            if (!writeFile("/proc/self/setgroups", "deny") ||
                !writeFile("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
                !writeFile("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1"))
                return "cannot map the user into its namespace";
        } else if (unshare(CLONE_NEWNS) != 0) {
            return std::string("cannot make a mount namespace: ") + std::strerror(errno);
        }
        if (mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("tk42host-test", small.c_str(), "tmpfs", 0, "size=256k") != 0)
            return std::string("cannot mount a tmpfs: ") + std::strerror(errno);
        return "";
    });
    if (r.skipped) GTEST_SKIP() << r.skipReason;
    expectCleanFailure(r, small + "/out.wav", "the disk is full");
}

TEST(DiskFull, AFileSizeLimitMidRender) {
    TempDir dir;
    const std::string in = bigInput(dir);
    const ChildRun r = renderInChild(in, dir.file("out"), [&]() -> std::string {
        std::filesystem::create_directory(dir.file("out"));
        // As a shell's `ulimit -f 256` leaves it: the default action of
        // SIGXFSZ would end the process with the file half-written.
        signal(SIGXFSZ, SIG_DFL);
        const rlimit limit = {256 * 1024, 256 * 1024};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) return "cannot set a file size limit";
        return "";
    });
    if (r.skipped) GTEST_SKIP() << r.skipReason;
    expectCleanFailure(r, dir.file("out") + "/out.wav", "the file is larger than");
}
