// tk42_soak: a busy session against the limiter for as long as asked.
//   tk42_soak [--seconds S] [--seed N] [--no-editor] [--module PATH]
// Prints its figures; exits 1 when any block failed its checks or memory grew.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/soak/soak_platform.h"
#include "bench/soak/soak_session.h"
#include "tests/common/ceiling_tolerance.h"
#include "tools/plughost/recording_host.h"

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: tk42_soak [--seconds S] [--seed N] [--no-editor] [--module PATH]\n");
    return 2;
}

void print(const SoakFigures& f) {
    auto u = [](uint64_t v) { return static_cast<unsigned long long>(v); };
    std::printf("blocks %llu (%llu in double precision), samples %llu\n", u(f.blocks),
                u(f.doubleBlocks), u(f.samples));
    std::printf("automation: %llu from the audio thread, %llu from the second thread\n",
                u(f.audioAutomation), u(f.threadAutomation));
    std::printf("sample-rate changes %llu, editor cycles %llu (%llu idles)\n", u(f.rateChanges),
                u(f.editorCycles), u(f.editorIdles));
    std::printf(
        "non-finite input samples %llu; blocks whose ceiling moved while running %llu "
        "(%llu checked against 0 dBFS only)\n",
        u(f.nonFiniteInputs), u(f.movedCeilingBlocks), u(f.unknownCeilingBlocks));
    double worst = 0;
    for (const auto& [rate, r] : f.byRate) {
        std::printf(
            "  %6d Hz: %10llu blocks, %12llu samples, worst overshoot %.3g "
            "(tolerance %.3g)\n",
            rate, u(r.blocks), u(r.samples), r.worstOvershoot, ceilingTolerance(rate));
        if (rate <= 48000) worst = std::max(worst, r.worstOvershoot);
    }
    std::printf("worst overshoot up to 48 kHz: %.3g\n", worst);
    std::printf("resident memory (KiB): start %llu, after warm-up %llu, max %llu, end %llu\n",
                u(f.rssStartKiB), u(f.rssWarmKiB), u(f.rssMaxKiB), u(f.rssEndKiB));
    std::printf("failures: %llu\n", u(f.failureCount));
    for (const std::string& s : f.failures) std::printf("  %s\n", s.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    SoakOptions options;
    std::string module = "TK42R_x64.dll";
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--seconds" && hasValue) {
            options.seconds = std::atof(argv[++i]);
        } else if (a == "--seed" && hasValue) {
            options.seed = std::strtoull(argv[++i], nullptr, 10);
        } else if (a == "--module" && hasValue) {
            module = argv[++i];
        } else if (a == "--no-editor") {
            options.editor = false;
        } else {
            return usage();
        }
    }
    if (!(options.seconds > 0)) return usage();

    SoakPlatform platform(module);
    RecordingHost host;
    std::string error;
    AEffect* effect = platform.createEffect(host, error);
    if (!effect) {
        std::fprintf(stderr, "tk42_soak: %s\n", error.c_str());
        return 1;
    }
    std::printf("soak: %.0f s, seed %llu, editor %s\n", options.seconds,
                static_cast<unsigned long long>(options.seed), options.editor ? "on" : "off");
    std::fflush(stdout);
    const SoakFigures figures = runSoak(effect, platform, options);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.f);
    print(figures);
    return figures.failureCount == 0 ? 0 : 1;
}
