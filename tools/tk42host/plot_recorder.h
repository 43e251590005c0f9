// The envelopes of a render for its plot: per column of frames, the peak and
// RMS level of the input and the output per channel, and the largest gain
// reduction the effect applied (output over the delayed, gained input).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct PlotColumn {
    double inPeak[2] = {0, 0};  // linear
    double inRms[2] = {0, 0};
    double outPeak[2] = {0, 0};
    double outRms[2] = {0, 0};
    double reductionDb = 0;
};

class PlotRecorder {
  public:
    // About maxColumns columns over totalFrames frames.
    PlotRecorder(uint64_t totalFrames, size_t maxColumns);

    // One output frame and the input frame it lines up with.
    void add(const double in[2], const double out[2], double reductionDb);
    // Closes the last, partly filled column.
    void finish();

    uint64_t framesPerColumn() const { return perColumn; }
    const std::vector<PlotColumn>& columns() const { return done; }

  private:
    uint64_t perColumn;
    uint64_t inColumn = 0;
    PlotColumn current;
    double inSquares[2] = {0, 0}, outSquares[2] = {0, 0};
    std::vector<PlotColumn> done;
};
