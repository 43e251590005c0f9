#include "tools/tk42host/true_peak_meter.h"

#include <cmath>

namespace {

// The four phases of the 4x interpolation filter, tap by tap (tap 0 applies
// to the newest sample), so that the four outputs of a sample are computed
// side by side.
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
    for (size_t n = 0; n < count; ++n) {
        // A bad sample must not poison the filter's history.
        const double x = std::isfinite(samples[n]) ? samples[n] : 0.0;
        if (std::fabs(x) > samplePeak) samplePeak = std::fabs(x);
        head = head == 0 ? kTapCount - 1 : head - 1;
        history[head] = history[head + kTapCount] = x;
        const double* newestFirst = &history[head];
        // Three partial sums per phase keep the additions from waiting on
        // each other; a meter does not need the taps summed in order.
        double y[3][4] = {};
        for (int t = 0; t < kTapCount; t += 3) {
            for (int p = 0; p < 3; ++p) {
                for (int k = 0; k < 4; ++k) y[p][k] += kTaps[t + p][k] * newestFirst[t + p];
            }
        }
        for (int k = 0; k < 4; ++k) {
            const double v = std::fabs(y[0][k] + y[1][k] + y[2][k]);
            if (v > truePeak) truePeak = v;
        }
    }
}
