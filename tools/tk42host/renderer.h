// Runs a source through an effect in blocks, as a host does, and writes the
// output to a sink. It compensates the effect's delay when asked (the first
// delay frames are dropped and as many zeros fed at the end, so the output
// has the input's length and lines up with it) and measures levels, gain
// reduction and speed on the way. It stops between blocks, with an error,
// once an interruption (Ctrl-C, a closed console) has been requested.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "tools/plughost/plugin_instance.h"
#include "tools/tk42host/frame_sink.h"
#include "tools/tk42host/frame_source.h"
#include "tools/tk42host/loudness_meter.h"
#include "tools/tk42host/plot_recorder.h"
#include "tools/tk42host/progress_bar.h"
#include "tools/tk42host/render_stats.h"

struct RenderConfig {
    int32_t blockSize = 512;
    bool doublePrecision = false;
    int32_t delay = 0;
    bool compensateDelay = true;
    // The effect's input gain, so that the gain reduction is measured against
    // the gained input; 1 for effects whose gain is not known.
    double inputGain = 1.0;
    // The ceiling that no output sample may exceed; 0 when not known.
    double ceiling = 0.0;
    // A search's passes need the output's figures only: the input's are the
    // same every pass.
    bool meterInput = true;
    // Without a true-peak target a pass needs the output's loudness only.
    bool meterOutputPeaks = true;
};

class Renderer {
  public:
    Renderer(const PluginInstance& fx, const RenderConfig& config) : fx(fx), config(config) {}

    // The effect must be started (sample rate, block size, resumed). Sources
    // of one or two channels; mono runs as dual mono and is written as mono.
    bool run(FrameSource& source, FrameSink& sink, ProgressBar& progress, RenderStats& stats,
             std::string& error);

    // Envelopes for a plot, recorded during the next runs when set.
    void record(PlotRecorder* recorder) { plot = recorder; }

    // The loudness meters of the last run, for figures pooled over several
    // files; null before the first run.
    const LoudnessMeter* inputMeter() const { return inputLoudness.get(); }
    const LoudnessMeter* outputMeter() const { return outputLoudness.get(); }

  private:
    template <typename T>
    bool runAs(FrameSource& source, FrameSink& sink, ProgressBar& progress, RenderStats& stats,
               std::string& error);

    const PluginInstance& fx;
    RenderConfig config;
    std::unique_ptr<LoudnessMeter> inputLoudness, outputLoudness;
    PlotRecorder* plot = nullptr;
};
