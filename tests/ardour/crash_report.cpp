// Preloaded into a host under test: when the process dies of a signal, it
// writes the signal and the file of every frame on the crashing thread's
// stack to stderr, so that a test can tell a crash in the plug-in from one in
// the host. Only async-signal-safe calls after start-up, except backtrace(),
// whose first call (which may allocate) is made here in advance.
#include <dlfcn.h>
#include <execinfo.h>
#include <signal.h>
#include <string.h>
#include <unistd.h>

#include <initializer_list>

namespace {

void say(const char* text) {
    ssize_t ignored = write(STDERR_FILENO, text, strlen(text));
    (void)ignored;
}

void sayNumber(long n) {
    char digits[24];
    int i = sizeof digits;
    digits[--i] = '\0';
    bool negative = n < 0;
    unsigned long u =
        negative ? 0ul - static_cast<unsigned long>(n) : static_cast<unsigned long>(n);
    do {
        digits[--i] = static_cast<char>('0' + u % 10);
        u /= 10;
    } while (u && i > 1);
    if (negative) digits[--i] = '-';
    say(digits + i);
}

void report(int sig, siginfo_t*, void*) {
    say("\ncrash-report: signal ");
    sayNumber(sig);
    say("\n");
    void* frames[64];
    int n = backtrace(frames, 64);
    for (int i = 0; i < n; ++i) {
        Dl_info info;
        say("crash-report: frame ");
        sayNumber(i);
        say(" ");
        if (dladdr(frames[i], &info) && info.dli_fname) {
            say(info.dli_fname);
            if (info.dli_sname) {
                say(" ");
                say(info.dli_sname);
            }
        } else {
            say("?");
        }
        say("\n");
    }
    // Die of the same signal, as without the report.
    signal(sig, SIG_DFL);
    raise(sig);
}

__attribute__((constructor)) void install() {
    void* warmUp[2];
    backtrace(warmUp, 2);
    static char stack[64 * 1024];
    stack_t alternate{};
    alternate.ss_sp = stack;
    alternate.ss_size = sizeof stack;
    sigaltstack(&alternate, nullptr);
    struct sigaction action {};
    action.sa_sigaction = report;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    for (int sig : {SIGSEGV, SIGBUS, SIGILL, SIGFPE, SIGABRT}) sigaction(sig, &action, nullptr);
}

}  // namespace
