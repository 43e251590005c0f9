#include "tools/tk42host/progress_bar.h"

#include <cstdio>

namespace {

constexpr int kWidth = 40;

}  // namespace

void ProgressBar::update(const std::string& label, uint64_t done, uint64_t total) {
    if (!enabled) return;
    std::lock_guard<std::mutex> lock(mutex);
    lastTotal = total;
    const bool relabelled = label != lastLabel;
    lastLabel = label;
    const Clock::time_point now = Clock::now();
    if (!shown && now - started < std::chrono::seconds(1)) return;
    if (shown && !relabelled && now - lastDrawn < std::chrono::milliseconds(100)) return;
    draw(label, done, total);
    lastDrawn = now;
}

void ProgressBar::finish(bool completed) {
    std::lock_guard<std::mutex> lock(mutex);
    if (!shown) return;
    if (completed) draw(lastLabel, lastTotal, lastTotal);
    out << "\n" << std::flush;
    shown = false;
}

void ProgressBar::draw(const std::string& label, uint64_t done, uint64_t total) {
    shown = true;
    const double part = total ? static_cast<double>(done) / static_cast<double>(total) : 1.0;
    const int filled = static_cast<int>(part * kWidth);
    const double elapsed = std::chrono::duration<double>(Clock::now() - started).count();
    char tail[48];
    std::snprintf(tail, sizeof tail, "] %3d%%  %.1f s  ", static_cast<int>(part * 100.0), elapsed);
    std::string line =
        "\r[" + std::string(filled, '#') + std::string(kWidth - filled, ' ') + tail + label;
    // Spaces over what a longer label left.
    const size_t width = line.size();
    if (width < lastWidth) line += std::string(lastWidth - width, ' ');
    lastWidth = width;
    out << line << std::flush;
}
