// A progress bar on stderr for renders that take more than a second; quick
// renders print nothing. A label after the bar says what is running (a
// search's pass, the writing of the file, a batch's files). Safe to update
// from several threads.
#pragma once

#include <chrono>
#include <cstdint>
#include <mutex>
#include <ostream>
#include <string>

class ProgressBar {
  public:
    ProgressBar(std::ostream& out, bool enabled) : out(out), enabled(enabled) {}

    void update(const std::string& label, uint64_t done, uint64_t total);
    // Completes the bar (or, for a render that failed, leaves it where it
    // is) and ends its line, if it was shown.
    void finish(bool completed = true);

  private:
    void draw(const std::string& label, uint64_t done, uint64_t total);

    using Clock = std::chrono::steady_clock;
    std::mutex mutex;
    std::ostream& out;
    bool enabled;
    bool shown = false;
    std::string lastLabel;
    uint64_t lastTotal = 0;
    size_t lastWidth = 0;
    Clock::time_point started = Clock::now();
    Clock::time_point lastDrawn{};
};
