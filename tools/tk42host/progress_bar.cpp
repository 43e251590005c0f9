#include "tools/tk42host/progress_bar.h"

#include <cstdio>
#include <string>

namespace {

constexpr int kWidth = 40;

}  // namespace

void ProgressBar::beginPart(uint64_t before, uint64_t frames, uint64_t whole) {
    batch = true;
    partStart = before;
    partFrames = frames;
    wholeFrames = whole;
}

void ProgressBar::finishBatch() {
    batch = false;
    lastTotal = wholeFrames;
    finish();
}

void ProgressBar::update(uint64_t done, uint64_t total) {
    if (!enabled) return;
    if (batch) {
        // The render counts its own frames (with the delay's flush); the bar
        // counts the batch's.
        const double part = total ? static_cast<double>(done) / static_cast<double>(total) : 1.0;
        done = partStart + static_cast<uint64_t>(part * static_cast<double>(partFrames));
        total = wholeFrames;
    }
    lastTotal = total;
    const Clock::time_point now = Clock::now();
    if (!shown && now - started < std::chrono::seconds(1)) return;
    if (shown && now - lastDrawn < std::chrono::milliseconds(100)) return;
    draw(done, total);
    lastDrawn = now;
}

void ProgressBar::finish() {
    if (batch || !shown) return;
    draw(lastTotal, lastTotal);
    out << "\n" << std::flush;
    shown = false;
}

void ProgressBar::draw(uint64_t done, uint64_t total) {
    shown = true;
    const double part = total ? static_cast<double>(done) / static_cast<double>(total) : 1.0;
    const int filled = static_cast<int>(part * kWidth);
    const double elapsed = std::chrono::duration<double>(Clock::now() - started).count();
    char tail[48];
    std::snprintf(tail, sizeof tail, "] %3d%%  %.1f s", static_cast<int>(part * 100.0), elapsed);
    out << "\r[" << std::string(filled, '#') << std::string(kWidth - filled, ' ') << tail
        << std::flush;
}
