// A progress bar on stderr for renders that take more than a second; quick
// renders print nothing.
#pragma once

#include <chrono>
#include <cstdint>
#include <ostream>

class ProgressBar {
  public:
    ProgressBar(std::ostream& out, bool enabled) : out(out), enabled(enabled) {}

    void update(uint64_t done, uint64_t total);
    // Completes the bar and ends its line, if it was shown. Within a batch
    // it waits for finishBatch().
    void finish();

    // One bar for several renders: the next render's frames count as the
    // part of the whole that starts at `before` and is `frames` long.
    void beginPart(uint64_t before, uint64_t frames, uint64_t whole);
    void finishBatch();

  private:
    void draw(uint64_t done, uint64_t total);

    using Clock = std::chrono::steady_clock;
    std::ostream& out;
    bool enabled;
    bool shown = false;
    uint64_t lastTotal = 0;
    bool batch = false;
    uint64_t partStart = 0, partFrames = 0, wholeFrames = 0;
    Clock::time_point started = Clock::now();
    Clock::time_point lastDrawn{};
};
