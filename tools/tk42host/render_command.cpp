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
#include "tools/tk42host/pending_file.h"
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

    // Everything is written under temporary names first and moved into place
    // together, so a failure leaves all the old files as they were.
    std::unique_ptr<PendingFile> state, report;
    if (!o.saveState.empty()) {
        state = std::make_unique<PendingFile>(o.saveState);
        if (!writeBytes(state->path(), fx.chunk(), error)) return fail(err, kExitOutput, error);
    }
    if (!o.report.empty()) {
        report = std::make_unique<PendingFile>(o.report);
        if (!writeText(report->path(), summaryJson(summary), error))
            return fail(err, kExitOutput, error);
    }
    // The last moment to stop: after this, the output is complete and in place.
    if (interruptRequested()) return interrupted(err, o);
    if (!output.commit(error)) return fail(err, kExitOutput, error);
    if (state && !state->commit(error)) return fail(err, kExitOutput, error);
    if (report && !report->commit(error)) return fail(err, kExitOutput, error);

    if (!o.quiet) printSummary(out, summary);
    return kExitOk;
}
