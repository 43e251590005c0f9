#include "tools/tk42host/true_peak_meter.h"

#include <algorithm>
#include <cmath>

namespace {

// The four phases of the 4x interpolation filter, tap by tap (tap 0 applies
// to the newest sample).
constexpr double kTaps[12][4] = {
    {0.0017089843750, -0.0291748046875, -0.0189208984375, -0.0083007812500},
    {0.0109863281250, 0.0292968750000, 0.0330810546875, 0.0148925781250},
    {-0.0196533203125, -0.0517578125000, -0.0582275390625, -0.0266113281250},
    {0.0332031250000, 0.0891113281250, 0.1015625000000, 0.0476074218750},
    {-0.0594482421875, -0.1665039062500, -0.2003173828125, -0.1022949218750},
    {0.1373291015625, 0.4650878906250, 0.7797851562500, 0.9721679687500},
    {0.9721679687500, 0.7797851562500, 0.4650878906250, 0.1373291015625},
    {-0.1022949218750, -0.2003173828125, -0.1665039062500, -0.0594482421875},
    {0.0476074218750, 0.1015625000000, 0.0891113281250, 0.0332031250000},
    {-0.0266113281250, -0.0582275390625, -0.0517578125000, -0.0196533203125},
    {0.0148925781250, 0.0330810546875, 0.0292968750000, 0.0109863281250},
    {-0.0083007812500, -0.0189208984375, -0.0291748046875, 0.0017089843750},
};

}  // namespace

void TruePeakMeter::add(const double* samples, size_t count) {
    constexpr size_t kMemory = kTapCount - 1;
    double x[kMemory + kChunk];
    double y[kChunk];
    std::copy(history.begin(), history.end(), x);
    for (size_t done = 0; done < count;) {
        const size_t n = std::min(kChunk, count - done);
        double* fresh = x + kMemory;
        for (size_t i = 0; i < n; ++i) {
            // A bad sample must not poison the filter's memory.
            const double v = std::isfinite(samples[done + i]) ? samples[done + i] : 0.0;
            fresh[i] = v;
            samplePeak = std::max(samplePeak, std::fabs(v));
        }
        for (int phase = 0; phase < 4; ++phase) {
            std::fill(y, y + n, 0.0);
            for (int t = 0; t < kTapCount; ++t) {
                const double h = kTaps[t][phase];
                const double* from = fresh - t;  // tap t weighs the sample t before
                for (size_t i = 0; i < n; ++i) y[i] += h * from[i];
            }
            double peak = truePeak;
            for (size_t i = 0; i < n; ++i) peak = std::max(peak, std::fabs(y[i]));
            truePeak = peak;
        }
        // The chunk's last samples are the next chunk's memory.
        std::copy(x + n, x + n + kMemory, x);
        done += n;
    }
    std::copy(x, x + kMemory, history.begin());
}

void TruePeakMeter::prime(const double* samples, size_t count) {
    for (size_t i = 0; i < count; ++i) {
        std::copy(history.begin() + 1, history.end(), history.begin());
        history.back() = std::isfinite(samples[i]) ? samples[i] : 0.0;
    }
}
