// What watches a render's blocks: the level meters of one side (true and
// sample peak, loudness), the gain reduction and ceiling check, the plot's
// envelopes and the output file.
#pragma once

#include <memory>
#include <vector>

#include "tools/tk42host/block_pump.h"
#include "tools/tk42host/frame_sink.h"
#include "tools/tk42host/loudness_meter.h"
#include "tools/tk42host/plot_recorder.h"
#include "tools/tk42host/true_peak_meter.h"

// The input's or the output's levels.
class LevelMeters : public PumpObserver {
  public:
    enum Side { Input, Output };
    // Without true peaks the meters are cheap: a search's pass needs the
    // output's loudness only when there is no true-peak target.
    LevelMeters(Side side, double sampleRate, int channels, bool truePeaks = true);

    bool block(const PumpBlock& b, std::string& error) override;

    const LoudnessMeter& loudness() const { return meter; }
    double truePeak() const;  // linear
    double samplePeak() const;
    double seconds() const { return spent; }

  private:
    Side side;
    int channels;
    bool truePeaks;
    TruePeakMeter peaks[2];
    LoudnessMeter meter;
    double spent = 0;
};

// The gain reduction the effect applied, measured from its output over the
// aligned input (times the effect's own input gain), and the output samples
// above the ceiling.
class ReductionWatch : public PumpObserver {
  public:
    // gain: the effect's input gain, linear; ceiling: 0 when not known.
    ReductionWatch(double gain, double ceiling) : gain(gain), ceiling(ceiling) {}

    bool block(const PumpBlock& b, std::string& error) override;

    // The reduction of each output frame of the last block, in dB.
    const std::vector<double>& lastBlock() const { return reductions; }
    double maxDb() const { return largest; }
    double averageDb() const { return counted ? sum / static_cast<double>(counted) : 0.0; }
    uint64_t aboveCeiling() const { return above; }

  private:
    double gain, ceiling;
    std::vector<double> reductions;
    double largest = 0, sum = 0;
    uint64_t counted = 0, above = 0;
};

// Envelopes for the plot; after the ReductionWatch it reads.
class PlotFeed : public PumpObserver {
  public:
    PlotFeed(PlotRecorder& recorder, const ReductionWatch& reduction)
        : recorder(recorder), reduction(reduction) {}
    bool block(const PumpBlock& b, std::string& error) override;
    void finish() override { recorder.finish(); }

  private:
    PlotRecorder& recorder;
    const ReductionWatch& reduction;
};

// The output frames into a file (mono written as mono).
class SinkFeed : public PumpObserver {
  public:
    explicit SinkFeed(FrameSink& sink) : sink(sink) {}
    bool block(const PumpBlock& b, std::string& error) override;

  private:
    FrameSink& sink;
    std::vector<double> interleaved;
};
