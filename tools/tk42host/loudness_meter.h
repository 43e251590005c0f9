// Loudness as ITU-R BS.1770-4 and EBU R128 (Tech 3341 and 3342) define it:
// K-weighting at the signal's own sample rate, mean square per channel summed
// (each channel weighted 1: mono is one channel, stereo two), in 100 ms
// segments from which the 400 ms momentary and 3 s short-term windows are
// built with a 100 ms step (75 % overlap for the gating blocks).
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

// One second-order section in direct form I, coefficients normalised to a0 = 1.
struct Biquad {
    double b0 = 1, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;

    double run(double x) {
        const double y = b0 * x + b1 * x1 + b2 * x2 - a1 * y1 - a2 * y2;
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return y;
    }
};

// The figures of one measurement. Loudness in LUFS, -infinity where there is
// none (a signal shorter than the window, or silence below the absolute gate);
// the range in LU, negative when there is none.
struct LoudnessFigures {
    double integrated = -std::numeric_limits<double>::infinity();
    double maxMomentary = -std::numeric_limits<double>::infinity();
    double maxShortTerm = -std::numeric_limits<double>::infinity();
    double range = -1.0;

    bool hasRange() const { return range >= 0; }
};

class LoudnessMeter {
  public:
    LoudnessMeter(double sampleRate, int channels);

    // count samples of each channel (right is ignored for a mono meter).
    void add(const double* left, const double* right, size_t count);

    LoudnessFigures figures() const;

    // Mean square of each complete 100 ms segment, weighted and summed over
    // the channels, with the number of frames in it.
    const std::vector<double>& segmentEnergy() const { return energies; }
    const std::vector<uint32_t>& segmentFrames() const { return lengths; }

    // The short-term loudness of the 3 s window ending with each segment
    // (from the 30th on), for plots; LUFS, -infinity for silence.
    std::vector<double> shortTermCurve() const;

  private:
    void closeSegment();

    double rate;
    int channels;
    Biquad shelf[2], highPass[2];
    double sum = 0;
    uint64_t framesSeen = 0;
    uint64_t segmentEnd = 0;
    uint32_t inSegment = 0;
    std::vector<double> energies;
    std::vector<uint32_t> lengths;
};

// Window energies of `span` segments stepping by one segment, pooled over
// several measurements (an album's songs are measured as one programme).
void appendWindows(const LoudnessMeter& meter, int span, std::vector<double>& windows);
// Gated integrated loudness of 400 ms window energies: -70 LUFS absolute
// gate, then a relative gate 10 LU below the mean of what passed it.
double gatedLoudness(const std::vector<double>& momentaryWindows);
// Loudness range of 3 s window energies: absolute gate, relative gate 20 LU
// down, the 95th minus the 10th percentile; negative when no window is left.
double loudnessRange(const std::vector<double>& shortTermWindows);
// Figures of several meters as one programme.
LoudnessFigures pooledFigures(const std::vector<const LoudnessMeter*>& meters);

// -0.691 + 10 log10 of a weighted mean square; -infinity for silence.
double energyToLufs(double energy);
