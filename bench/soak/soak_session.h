// A busy session, compressed: the audio thread processes blocks of random
// size (1 to 4096) in both precisions and automates parameters; a second
// thread automates all seven at random moments; the user-interface thread
// opens, idles and closes the editor; between a suspend and a resume the
// sample rate changes. Every block is checked: every output sample finite,
// none above the ceiling beyond the tolerance at that rate.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "formats/vst2/aeffect.h"

class SoakPlatform;

struct SoakOptions {
    double seconds = 60;
    uint64_t seed = 1;
    bool editor = true;
    bool checkMemory = true;
    // Resident memory may grow this much between the end of the warm-up and
    // the end of the run.
    uint64_t allowedGrowthKiB = 8 * 1024;
};

struct RateFigures {
    uint64_t blocks = 0;
    uint64_t samples = 0;
    double worstOvershoot = 0;  // largest output / ceiling - 1 seen (0 when none)
};

struct SoakFigures {
    uint64_t blocks = 0, doubleBlocks = 0, samples = 0;
    uint64_t audioAutomation = 0, threadAutomation = 0;
    uint64_t rateChanges = 0, editorCycles = 0, editorIdles = 0;
    uint64_t nonFiniteInputs = 0;
    // Blocks whose ceiling the second thread changed while they ran: they are
    // checked against the highest ceiling they may have run with.
    uint64_t movedCeilingBlocks = 0;
    // Of those, blocks with so many changes that the ceiling is unknown: only
    // the 0 dBFS ceiling is checked.
    uint64_t unknownCeilingBlocks = 0;
    std::map<int, RateFigures> byRate;
    uint64_t rssStartKiB = 0, rssWarmKiB = 0, rssMaxKiB = 0, rssEndKiB = 0;
    uint64_t failureCount = 0;
    std::vector<std::string> failures;  // the first few, in words
};

// Runs the session on the effect (which must be fresh) and answers its figures.
SoakFigures runSoak(AEffect* effect, SoakPlatform& platform, const SoakOptions& options);
