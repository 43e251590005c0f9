// True-peak level of one channel: the signal is oversampled four times with
// the 48-tap, four-phase interpolation filter of ITU-R BS.1770-4 Annex 2 (the
// same filter at every sample rate) and the largest magnitude is kept.
#pragma once

#include <array>
#include <cstddef>

class TruePeakMeter {
  public:
    void add(const double* samples, size_t count);
    void add(double x) { add(&x, 1); }
    // Fills the filter's memory with the samples just before those the next
    // add() measures, without measuring them: a run split in parts keeps the
    // peaks of the whole.
    void prime(const double* samples, size_t count);

    // Linear; never below the sample peak, so that a meter reading is always
    // at least what an ordinary peak meter shows.
    double peak() const { return truePeak > samplePeak ? truePeak : samplePeak; }
    double samplePeakValue() const { return samplePeak; }

  private:
    static constexpr int kTapCount = 12;
    // The samples are filtered in chunks, each phase over the whole chunk at
    // once, so that the inner loops run over contiguous samples.
    static constexpr size_t kChunk = 256;
    // The last eleven samples, oldest first: the filter's memory.
    std::array<double, kTapCount - 1> history{};
    double truePeak = 0.0;
    double samplePeak = 0.0;
};
