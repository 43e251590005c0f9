#include "tools/tk42host/render_command.h"

#include <cmath>
#include <fstream>
#include <memory>
#include <random>

#include "effect/parameters.h"
#include "tools/tk42host/delay_probe.h"
#include "tools/tk42host/demo_signal.h"
#include "tools/tk42host/exit_codes.h"
#include "tools/tk42host/interruption.h"
#include "tools/tk42host/loaded_effect.h"
#include "tools/tk42host/memory_source.h"
#include "tools/tk42host/pending_file.h"
#include "tools/tk42host/plot_svg.h"
#include "tools/tk42host/render_summary.h"
#include "tools/tk42host/renderer.h"
#include "tools/tk42host/wav_reader.h"
#include "tools/tk42host/wav_writer.h"

namespace {

int fail(std::ostream& err, int code, const std::string& message) {
    err << "tk42host: " << message << "\n";
    return code;
}

// Everything the run needs from the effect, checked before any file is written.
bool checkCapabilities(const PluginInstance& fx, const RenderOptions& o, std::string& error) {
    const AEffect* e = fx.record();
    if (e->numInputs != 2 || e->numOutputs != 2) {
        error = "tk42host drives stereo effects; this one has " + std::to_string(e->numInputs) +
                " inputs and " + std::to_string(e->numOutputs) + " outputs";
        return false;
    }
    if (!(e->flags & effFlagsCanReplacing) || !e->processReplacing) {
        error = "the effect cannot process in place (no processReplacing)";
        return false;
    }
    if (o.doublePrecision &&
        (!(e->flags & effFlagsCanDoubleReplacing) || !e->processDoubleReplacing)) {
        error = "the effect cannot process 64-bit samples (--double)";
        return false;
    }
    if (!o.saveState.empty() && fx.chunk().empty()) {
        error = "the module gives no state block to save (--save-state)";
        return false;
    }
    return true;
}

RenderConfig renderConfig(const PluginInstance& fx, const RenderOptions& o,
                          const DelayMeasurement& delay) {
    RenderConfig config;
    config.blockSize = o.blockSize;
    config.doublePrecision = o.doublePrecision;
    config.delay = delay.frames;
    config.compensateDelay = o.compensateDelay;
    // Only this limiter's parameter table tells its gain and ceiling.
    if (isTk42Limiter(fx)) {
        config.inputGain = std::exp(gainDb(fx.getParameter(kGain)) * kDbToLinear);
        config.ceiling = std::exp(ceilingDb(fx.getParameter(kThresh)) * kDbToLinear);
    }
    return config;
}

void describe(RenderSummary& summary, const RenderOptions& o, const WavFormat& in, SampleFormat out,
              bool dithered, const DelayMeasurement& delay) {
    summary.input = o.demo ? "demo" : o.input;
    summary.output = o.output;
    summary.inputFormat = in;
    summary.outputFormat = out;
    summary.dithered = dithered;
    summary.blockSize = o.blockSize;
    summary.doublePrecision = o.doublePrecision;
    summary.delay = delay.frames;
    summary.delayReported = delay.reported;
    summary.delayCompensated = o.compensateDelay;
}

// What a failed render leaves: nothing at the output path that was not there.
std::string notWritten(const std::string& output) {
    return "; " + output + " was not written (a file already there is left as it was)";
}

int interrupted(std::ostream& err, const RenderOptions& o) {
    return fail(err, kExitInterrupted, "interrupted by " + interruptCause() + notWritten(o.output));
}

bool writeBytes(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error) {
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
    f.close();
    if (!f) error = "cannot write " + path;
    return static_cast<bool>(f);
}

bool writeText(const std::string& path, const std::string& text, std::string& error) {
    return writeBytes(path, std::vector<uint8_t>(text.begin(), text.end()), error);
}

// Settles the targets with measuring renders of the input held in memory,
// each through a fresh instance in fx's settings with the gain and ceiling
// of the pass, and leaves the chosen gain and ceiling on fx.
int settleTargets(LoadedEffect& loaded, const RenderOptions& o, MemorySource& input,
                  const DelayMeasurement& delay, SearchResult& result, std::ostream& err) {
    const PluginInstance& fx = loaded.effect();
    if (!isTk42Limiter(fx))
        return fail(err, kExitModule,
                    "--target-lufs and --true-peak-max set the gain and ceiling of the TK42-R "
                    "limiter; this module is another effect");
    const float rate = static_cast<float>(input.format().sampleRate);
    bool stopped = false;  // only an interruption stops a render from memory
    const MeasurePass measure = [&](double gain, double ceiling) {
        PluginInstance pass(loaded.host().create(loaded.module().entry()));
        for (int32_t i = 0; i < fx.record()->numParams; ++i)
            pass.setParameter(i, fx.getParameter(i));
        pass.setParameter(kGain, static_cast<float>(gain / 24.0));
        pass.setParameter(kThresh, static_cast<float>(1.0 + ceiling / 24.0));
        RenderConfig config = renderConfig(pass, o, delay);
        Renderer renderer(pass, config);
        ProgressBar silent(err, false);
        DiscardSink nowhere;
        RenderStats stats;
        std::string ignored;
        input.rewind();
        pass.start(rate, o.blockSize);
        if (!renderer.run(input, nowhere, silent, stats, ignored)) stopped = true;
        pass.stop();
        fprintf(stderr, "pass g %.3f c %.3f -> %.3f LUFS %.3f dBTP\n", gain, ceiling,
                stats.outputLoudness.integrated, toDb(stats.outputTruePeak));
        return SearchPoint{gain, ceiling, stats.outputLoudness.integrated,
                           toDb(stats.outputTruePeak)};
    };
    result = searchTargets(o.targets, gainDb(fx.getParameter(kGain)),
                           ceilingDb(fx.getParameter(kThresh)), measure);
    if (stopped) return interrupted(err, o);
    if (!result.reached) return fail(err, kExitUsage, result.error);
    fx.setParameter(kGain, static_cast<float>(result.chosen.gainDb / 24.0));
    fx.setParameter(kThresh, static_cast<float>(1.0 + result.chosen.ceilingDb / 24.0));
    input.rewind();
    return kExitOk;
}

}  // namespace

int runRender(const RenderOptions& o, std::ostream& out, std::ostream& err) {
    // From here on an interruption stops the render between blocks, and the
    // temporary files below are removed on the way out.
    InterruptionGuard interruption;
    std::string error;
    std::unique_ptr<FrameSource> source;
    if (o.demo) {
        source = std::make_unique<DemoSignal>(o.demoSeconds);
    } else {
        auto reader = std::make_unique<WavReader>();
        if (!reader->open(o.input, error)) return fail(err, kExitInput, error);
        source = std::move(reader);
    }
    const WavFormat inFormat = source->format();
    if (inFormat.channels > 2) {
        return fail(err, kExitInput,
                    o.input + " has " + std::to_string(inFormat.channels) +
                        " channels; tk42host renders mono and stereo files");
    }

    LoadedEffect loaded;
    if (!loaded.open(o.module, error)) return fail(err, kExitModule, error);
    const PluginInstance& fx = loaded.effect();
    if (!checkCapabilities(fx, o, error)) return fail(err, kExitModule, error);
    if (int code = applySettings(fx, o.effect, error)) return fail(err, code, error);

    const float rate = static_cast<float>(inFormat.sampleRate);
    // What the host answers when the plug-in asks instead of waiting to be told.
    loaded.host().sampleRateAnswer = static_cast<intptr_t>(inFormat.sampleRate);
    loaded.host().blockSizeAnswer = o.blockSize;
    DelayMeasurement delay;
    if (!findDelay(loaded.module(), loaded.host(), fx, rate, o.blockSize, o.doublePrecision, delay,
                   error))
        return fail(err, kExitModule, error);

    SearchResult search;
    const bool searching = o.targets.loudness || o.targets.truePeak;
    if (searching) {
        auto memory = std::make_unique<MemorySource>();
        if (!memory->load(*source, error)) return fail(err, kExitInput, error);
        if (int code = settleTargets(loaded, o, *memory, delay, search, err)) return code;
        source = std::move(memory);
    }
    const RenderConfig config = renderConfig(fx, o, delay);

    WavFormat outFormat = inFormat;
    if (o.haveFormat) outFormat.sample = o.format;
    const bool dithered = o.dither && isInteger(outFormat.sample);
    TpdfDither dither(o.haveSeed ? o.seed : std::random_device()() * 0x100000001B3ull + 1);

    PendingFile output(o.output);
    WavWriter writer;
    if (!writer.open(output.path(), outFormat, source->frames(), error))
        return fail(err, kExitOutput, "cannot write " + o.output + ": " + error);
    if (dithered) writer.setDither(&dither);

    ProgressBar progress(err, !o.quiet);
    Renderer renderer(fx, config);
    std::unique_ptr<PlotRecorder> envelopes;
    if (!o.plot.empty()) {
        envelopes = std::make_unique<PlotRecorder>(source->frames(), 1000);
        renderer.record(envelopes.get());
    }
    RenderSummary summary;
    fx.start(rate, o.blockSize);
    const bool rendered = renderer.run(*source, writer, progress, summary.stats, error);
    fx.stop();
    if (!rendered && interruptRequested()) return interrupted(err, o);
    if (!rendered && source->failed()) return fail(err, kExitInput, error + notWritten(o.output));
    if (!rendered || !writer.finish(error))
        return fail(err, kExitOutput,
                    "cannot write " + o.output + ": " + error + notWritten(o.output));
    // Windows cannot replace a file that is open: the input may be the output.
    source.reset();

    describe(summary, o, inFormat, outFormat.sample, dithered, delay);
    summary.searched = searching;
    summary.targets = o.targets;
    summary.search = search;

    // Everything is written under temporary names first and moved into place
    // together, so a failure leaves all the old files as they were.
    std::unique_ptr<PendingFile> state, report, plot;
    if (!o.saveState.empty()) {
        state = std::make_unique<PendingFile>(o.saveState);
        if (!writeBytes(state->path(), fx.chunk(), error)) return fail(err, kExitOutput, error);
    }
    if (!o.report.empty()) {
        report = std::make_unique<PendingFile>(o.report);
        if (!writeText(report->path(), summaryJson(summary), error))
            return fail(err, kExitOutput, error);
    }
    if (envelopes) {
        PlotData data;
        data.title = summary.input + " \u2192 " + summary.output;
        data.sampleRate = inFormat.sampleRate;
        data.channels = inFormat.channels;
        data.envelopes = envelopes.get();
        data.shortTerm = renderer.outputMeter()->shortTermCurve();
        data.ceilingKnown = summary.stats.ceilingKnown;
        data.ceilingDb = toDb(summary.stats.ceilingLinear);
        plot = std::make_unique<PendingFile>(o.plot);
        if (!writeText(plot->path(), plotSvg(data), error)) return fail(err, kExitOutput, error);
    }
    // The last moment to stop: after this, the output is complete and in place.
    if (interruptRequested()) return interrupted(err, o);
    if (!output.commit(error)) return fail(err, kExitOutput, error);
    if (state && !state->commit(error)) return fail(err, kExitOutput, error);
    if (report && !report->commit(error)) return fail(err, kExitOutput, error);
    if (plot && !plot->commit(error)) return fail(err, kExitOutput, error);

    if (!o.quiet) printSummary(out, summary);
    return kExitOk;
}
