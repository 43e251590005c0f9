#include "tools/tk42host/plot_recorder.h"

#include <algorithm>
#include <cmath>

PlotRecorder::PlotRecorder(uint64_t totalFrames, size_t maxColumns)
    : perColumn(std::max<uint64_t>(1, (totalFrames + maxColumns - 1) / maxColumns)) {
    done.reserve(maxColumns + 1);
}

void PlotRecorder::add(const double in[2], const double out[2], double reductionDb) {
    for (int c = 0; c < 2; ++c) {
        current.inPeak[c] = std::max(current.inPeak[c], std::fabs(in[c]));
        current.outPeak[c] = std::max(current.outPeak[c], std::fabs(out[c]));
        inSquares[c] += in[c] * in[c];
        outSquares[c] += out[c] * out[c];
    }
    current.reductionDb = std::max(current.reductionDb, reductionDb);
    if (++inColumn == perColumn) finish();
}

void PlotRecorder::finish() {
    if (inColumn == 0) return;
    for (int c = 0; c < 2; ++c) {
        current.inRms[c] = std::sqrt(inSquares[c] / static_cast<double>(inColumn));
        current.outRms[c] = std::sqrt(outSquares[c] / static_cast<double>(inColumn));
        inSquares[c] = outSquares[c] = 0;
    }
    done.push_back(current);
    current = PlotColumn();
    inColumn = 0;
}
