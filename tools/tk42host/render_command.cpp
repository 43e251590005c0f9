#include "tools/tk42host/render_command.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <random>

#include "engine/parameters.h"
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
#include "tools/tk42host/write_failure.h"

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

// What a failed render leaves: nothing at the output path that was not there.
std::string notWritten(const std::string& output) {
    return "; " + output + " was not written (a file already there is left as it was)";
}

int interrupted(std::ostream& err, const std::string& output) {
    return fail(err, kExitInterrupted, "interrupted by " + interruptCause() + notWritten(output));
}

// Writes a small file under its temporary name; errors name the file the
// user gave and say why.
bool writeBytes(const PendingFile& file, const std::vector<uint8_t>& bytes, std::string& error) {
    std::FILE* f = std::fopen(file.path().c_str(), "wb");
    bool ok = f && std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = ok && std::fflush(f) == 0;
    if (!ok) error = "cannot write " + file.target() + ": " + lastWriteFailure();
    if (f && std::fclose(f) != 0 && ok) {
        error = "cannot write " + file.target() + ": " + lastWriteFailure();
        ok = false;
    }
    return ok;
}

bool writeText(const PendingFile& file, const std::string& text, std::string& error) {
    return writeBytes(file, std::vector<uint8_t>(text.begin(), text.end()), error);
}

// One input and where its output goes; an empty input is the demo signal.
struct Job {
    std::string input;
    std::string output;
};

// One render, written under a temporary name that the caller commits.
struct Rendered {
    RenderSummary summary;
    std::unique_ptr<PendingFile> output;
    std::unique_ptr<PlotRecorder> envelopes;
    std::vector<double> shortTerm;
    std::unique_ptr<LoudnessMeter> inputMeter, outputMeter;  // for an album's figures
};

// An input held in memory for a search, with the delay at its rate.
struct Held {
    MemorySource source;
    DelayMeasurement delay;
};

// The module, loaded and set up once for every file of a run.
class Session {
  public:
    Session(const RenderOptions& o, std::ostream& err) : o(o), err(err) {}

    int open() {
        std::string error;
        if (!loaded.open(o.module, error)) return fail(err, kExitModule, error);
        const PluginInstance& fx = loaded.effect();
        if (!checkCapabilities(fx, o, error)) return fail(err, kExitModule, error);
        if (int code = applySettings(fx, o.effect, error)) return fail(err, code, error);
        if ((o.targets.loudness || o.targets.truePeak) && !isTk42Limiter(fx))
            return fail(err, kExitModule,
                        "--target-lufs and --true-peak-max set the gain and ceiling of the TK42-R "
                        "limiter; this module is another effect");
        for (int32_t i = 0; i < fx.record()->numParams; ++i) base.push_back(fx.getParameter(i));
        return kExitOk;
    }

    const PluginInstance& effect() const { return loaded.effect(); }

    // Back to the settings of the command line, before a file's own search.
    void restore() const {
        for (size_t i = 0; i < base.size(); ++i)
            effect().setParameter(static_cast<int32_t>(i), base[i]);
    }

    int openSource(const Job& job, std::unique_ptr<FrameSource>& source) {
        std::string error;
        if (job.input.empty()) {
            source = std::make_unique<DemoSignal>(o.demoSeconds);
        } else {
            auto reader = std::make_unique<WavReader>();
            if (!reader->open(job.input, error)) return fail(err, kExitInput, error);
            source = std::move(reader);
        }
        if (source->format().channels > 2) {
            return fail(err, kExitInput,
                        job.input + " has " + std::to_string(source->format().channels) +
                            " channels; tk42host renders mono and stereo files");
        }
        return kExitOk;
    }

    int delayAt(uint32_t sampleRate, DelayMeasurement& delay) {
        std::string error;
        // What the host answers when the plug-in asks instead of waiting to be told.
        loaded.host().sampleRateAnswer = static_cast<intptr_t>(sampleRate);
        loaded.host().blockSizeAnswer = o.blockSize;
        if (!findDelay(loaded.module(), loaded.host(), effect(), static_cast<float>(sampleRate),
                       o.blockSize, o.doublePrecision, delay, error))
            return fail(err, kExitModule, error);
        return kExitOk;
    }

    // Settles the targets with measuring renders of the inputs held in
    // memory, as one programme: each through a fresh instance in the
    // effect's settings with the gain and ceiling of the pass. Leaves the
    // chosen gain and ceiling on the effect.
    int settle(std::vector<Held>& inputs, SearchResult& result, const std::string& output) {
        const PluginInstance& fx = effect();
        bool stopped = false;  // only an interruption stops a render from memory
        const MeasurePass measure = [&](double gain, double ceiling) {
            std::vector<LoudnessMeter> meters;
            double truePeak = 0;
            for (Held& in : inputs) {
                PluginInstance pass(loaded.host().create(loaded.module().entry()));
                for (int32_t i = 0; i < fx.record()->numParams; ++i)
                    pass.setParameter(i, fx.getParameter(i));
                pass.setParameter(kGain, fromReal(kGain, gain, true));
                pass.setParameter(kThresh, fromReal(kThresh, ceiling, true));
                RenderConfig config = renderConfig(pass, o, in.delay);
                config.meterInput = false;
                config.meterOutputPeaks = o.targets.truePeak;
                Renderer renderer(pass, config);
                ProgressBar silent(err, false);
                DiscardSink nowhere;
                RenderStats stats;
                std::string ignored;
                in.source.rewind();
                loaded.host().sampleRateAnswer = in.source.format().sampleRate;
                pass.start(static_cast<float>(in.source.format().sampleRate), o.blockSize);
                if (!renderer.run(in.source, nowhere, silent, stats, ignored)) stopped = true;
                pass.stop();
                meters.push_back(*renderer.outputMeter());
                truePeak = std::max(truePeak, stats.outputTruePeak);
            }
            std::vector<const LoudnessMeter*> all;
            for (const LoudnessMeter& m : meters) all.push_back(&m);
            return SearchPoint{gain, ceiling, pooledFigures(all).integrated, toDb(truePeak)};
        };
        result = searchTargets(o.targets, gainDb(fx.getParameter(kGain)),
                               ceilingDb(fx.getParameter(kThresh)), measure);
        if (stopped) return interrupted(err, output);
        if (!result.reached) return fail(err, kExitUsage, result.error + notWritten(output));
        fx.setParameter(kGain, fromReal(kGain, result.chosen.gainDb, true));
        fx.setParameter(kThresh, fromReal(kThresh, result.chosen.ceilingDb, true));
        return kExitOk;
    }

    // Renders one source through the effect into a temporary file.
    int render(const Job& job, FrameSource& source, const DelayMeasurement& delay,
               ProgressBar& progress, Rendered& r) {
        const PluginInstance& fx = effect();
        const WavFormat inFormat = source.format();
        WavFormat outFormat = inFormat;
        if (o.haveFormat) outFormat.sample = o.format;
        const bool dithered = o.dither && isInteger(outFormat.sample);
        TpdfDither dither(o.haveSeed ? o.seed : std::random_device()() * 0x100000001B3ull + 1);

        std::string error;
        r.output = std::make_unique<PendingFile>(job.output);
        WavWriter writer;
        if (!writer.open(r.output->path(), outFormat, source.frames(), error))
            return fail(err, kExitOutput, "cannot write " + job.output + ": " + error);
        if (dithered) writer.setDither(&dither);

        // Each file through a fresh instance in the effect's settings: an
        // instance carries its envelopes from one file into the next.
        std::unique_ptr<PluginInstance> fresh;
        if (effectUsed) {
            fresh = std::make_unique<PluginInstance>(loaded.host().create(loaded.module().entry()));
            for (int32_t i = 0; i < fx.record()->numParams; ++i)
                fresh->setParameter(i, fx.getParameter(i));
        }
        const PluginInstance& used = fresh ? *fresh : fx;
        Renderer renderer(used, renderConfig(used, o, delay));
        if (!o.plot.empty()) {
            r.envelopes = std::make_unique<PlotRecorder>(source.frames(), 1000);
            renderer.record(r.envelopes.get());
        }
        loaded.host().sampleRateAnswer = static_cast<intptr_t>(inFormat.sampleRate);
        used.start(static_cast<float>(inFormat.sampleRate), o.blockSize);
        const bool rendered = renderer.run(source, writer, progress, r.summary.stats, error);
        used.stop();
        effectUsed = true;
        if (!rendered && interruptRequested()) return interrupted(err, job.output);
        if (!rendered && source.failed())
            return fail(err, kExitInput, error + notWritten(job.output));
        if (!rendered || !writer.finish(error))
            return fail(err, kExitOutput,
                        "cannot write " + job.output + ": " + error + notWritten(job.output));

        RenderSummary& summary = r.summary;
        summary.input = job.input.empty() ? "demo" : job.input;
        summary.output = job.output;
        summary.inputFormat = inFormat;
        summary.outputFormat = outFormat.sample;
        summary.dithered = dithered;
        summary.blockSize = o.blockSize;
        summary.doublePrecision = o.doublePrecision;
        summary.delay = delay.frames;
        summary.delayReported = delay.reported;
        summary.delayCompensated = o.compensateDelay;
        if (r.envelopes) r.shortTerm = renderer.outputMeter()->shortTermCurve();
        r.inputMeter = std::make_unique<LoudnessMeter>(*renderer.inputMeter());
        r.outputMeter = std::make_unique<LoudnessMeter>(*renderer.outputMeter());
        return kExitOk;
    }

  private:
    const RenderOptions& o;
    std::ostream& err;
    LoadedEffect loaded;
    std::vector<float> base;
    bool effectUsed = false;  // the effect has rendered: later files need a fresh instance
};

bool searching(const RenderOptions& o) {
    return o.targets.loudness || o.targets.truePeak;
}

// Loads a source whole, for a search; the delay at its rate too.
int hold(Session& session, std::unique_ptr<FrameSource>& source, Held& held, std::ostream& err) {
    std::string error;
    if (!held.source.load(*source, error)) return fail(err, kExitInput, error);
    source.reset();
    return session.delayAt(held.source.format().sampleRate, held.delay);
}

std::string plotFor(const Rendered& r) {
    PlotData data;
    data.title = r.summary.input + " \u2192 " + r.summary.output;
    data.sampleRate = r.summary.inputFormat.sampleRate;
    data.channels = r.summary.inputFormat.channels;
    data.envelopes = r.envelopes.get();
    data.shortTerm = r.shortTerm;
    data.ceilingKnown = r.summary.stats.ceilingKnown;
    data.ceilingDb = toDb(r.summary.stats.ceilingLinear);
    return plotSvg(data);
}

int runOne(const RenderOptions& o, std::ostream& out, std::ostream& err) {
    Session session(o, err);
    const Job job{o.demo ? std::string() : o.input, o.output};
    std::unique_ptr<FrameSource> source;
    if (int code = session.openSource(job, source)) return code;
    if (int code = session.open()) return code;

    SearchResult search;
    std::vector<Held> held(searching(o) ? 1 : 0);
    DelayMeasurement delay;
    if (searching(o)) {
        if (int code = hold(session, source, held[0], err)) return code;
        if (int code = session.settle(held, search, o.output)) return code;
        held[0].source.rewind();
        delay = held[0].delay;
    } else if (int code = session.delayAt(source->format().sampleRate, delay)) {
        return code;
    }
    FrameSource& input = searching(o) ? held[0].source : *source;

    ProgressBar progress(err, !o.quiet);
    Rendered r;
    if (int code = session.render(job, input, delay, progress, r)) return code;
    // Windows cannot replace a file that is open: the input may be the output.
    source.reset();
    r.summary.searched = searching(o);
    r.summary.targets = o.targets;
    r.summary.search = search;

    // Everything is written under temporary names first and moved into place
    // together, so a failure leaves all the old files as they were.
    std::string error;
    std::unique_ptr<PendingFile> state, report, plot;
    if (!o.saveState.empty()) {
        state = std::make_unique<PendingFile>(o.saveState);
        if (!writeBytes(*state, session.effect().chunk(), error))
            return fail(err, kExitOutput, error);
    }
    if (!o.report.empty()) {
        report = std::make_unique<PendingFile>(o.report);
        if (!writeText(*report, summaryJson(r.summary), error))
            return fail(err, kExitOutput, error);
    }
    if (r.envelopes) {
        plot = std::make_unique<PendingFile>(o.plot);
        if (!writeText(*plot, plotFor(r), error)) return fail(err, kExitOutput, error);
    }
    // The last moment to stop: after this, the output is complete and in place.
    if (interruptRequested()) return interrupted(err, o.output);
    if (!r.output->commit(error)) return fail(err, kExitOutput, error);
    if (state && !state->commit(error)) return fail(err, kExitOutput, error);
    if (report && !report->commit(error)) return fail(err, kExitOutput, error);
    if (plot && !plot->commit(error)) return fail(err, kExitOutput, error);

    if (!o.quiet) printSummary(out, r.summary);
    return kExitOk;
}

// The output of each input: its own name in the output folder. Two inputs
// of one name, or an output that would replace an input still to be read,
// are refused before anything is written.
int batchJobs(const RenderOptions& o, std::vector<Job>& jobs, std::ostream& err) {
    namespace fs = std::filesystem;
    std::error_code ec;
    for (const std::string& in : o.inputs) {
        const fs::path name = fs::path(in).filename();
        if (name.empty()) return fail(err, kExitUsage, in + " is not a file name");
        const std::string output = (fs::path(o.outDir) / name).string();
        for (const Job& j : jobs) {
            if (fs::path(j.output).filename() == name)
                return fail(err, kExitUsage,
                            j.input + " and " + in + " would both be written to " + output);
        }
        jobs.push_back({in, output});
    }
    for (const Job& j : jobs) {
        for (const std::string& in : o.inputs) {
            if (fs::exists(j.output, ec) && fs::equivalent(j.output, in, ec))
                return fail(err, kExitUsage,
                            j.output +
                                " is one of the inputs: choose an --out-dir that holds "
                                "none of them");
        }
    }
    fs::create_directories(o.outDir, ec);
    if (!fs::is_directory(o.outDir, ec))
        return fail(err, kExitOutput, "cannot make the folder " + o.outDir);
    return kExitOk;
}

RenderSummary albumSummary(const std::vector<Rendered>& done, const SearchResult* search,
                           const RenderOptions& o) {
    std::vector<const LoudnessMeter*> in, out;
    RenderSummary album;
    for (const Rendered& r : done) {
        in.push_back(r.inputMeter.get());
        out.push_back(r.outputMeter.get());
        album.stats.outputTruePeak =
            std::max(album.stats.outputTruePeak, r.summary.stats.outputTruePeak);
        album.stats.frames += r.summary.stats.frames;
    }
    album.stats.inputLoudness = pooledFigures(in);
    album.stats.outputLoudness = pooledFigures(out);
    if (search) {
        album.searched = true;
        album.targets = o.targets;
        album.search = *search;
    }
    return album;
}

int runBatch(const RenderOptions& o, std::ostream& out, std::ostream& err) {
    std::vector<Job> jobs;
    if (int code = batchJobs(o, jobs, err)) return code;
    Session session(o, err);
    if (int code = session.open()) return code;

    // An album is searched as one programme before anything is written; an
    // input that cannot be read stops it there.
    std::vector<Held> songs(o.album ? jobs.size() : 0);
    SearchResult albumSearch;
    if (o.album) {
        for (size_t i = 0; i < jobs.size(); ++i) {
            std::unique_ptr<FrameSource> source;
            if (int code = session.openSource(jobs[i], source)) return code;
            if (int code = hold(session, source, songs[i], err)) return code;
        }
        if (int code = session.settle(songs, albumSearch, o.outDir)) return code;
    }

    uint64_t whole = 0, before = 0;
    for (const std::string& in : o.inputs) {
        WavReader probe;
        std::string ignored;
        if (probe.open(in, ignored)) whole += probe.frames();
    }
    ProgressBar progress(err, !o.quiet);
    std::vector<Rendered> done;
    for (size_t i = 0; i < jobs.size(); ++i) {
        // Files written so far stay: each was complete when it was moved into place.
        std::unique_ptr<FrameSource> source;
        std::vector<Held> own;
        SearchResult search;
        DelayMeasurement delay;
        FrameSource* input = nullptr;
        if (o.album) {
            songs[i].source.rewind();
            input = &songs[i].source;
            delay = songs[i].delay;
        } else {
            if (int code = session.openSource(jobs[i], source)) return code;
            if (searching(o)) {
                session.restore();
                own.resize(1);
                if (int code = hold(session, source, own[0], err)) return code;
                if (int code = session.settle(own, search, jobs[i].output)) return code;
                own[0].source.rewind();
                input = &own[0].source;
                delay = own[0].delay;
            } else {
                if (int code = session.delayAt(source->format().sampleRate, delay)) return code;
                input = source.get();
            }
        }
        const uint64_t frames = input->frames();
        progress.beginPart(before, frames, std::max(whole, before + frames));
        Rendered r;
        if (int code = session.render(jobs[i], *input, delay, progress, r)) return code;
        before += frames;
        source.reset();
        r.summary.searched = searching(o) && !o.album;
        r.summary.targets = o.targets;
        r.summary.search = search;
        std::string error;
        if (interruptRequested()) return interrupted(err, jobs[i].output);
        if (!r.output->commit(error)) return fail(err, kExitOutput, error);
        done.push_back(std::move(r));
    }
    progress.finishBatch();

    std::string error;
    std::unique_ptr<PendingFile> state, report;
    if (!o.saveState.empty()) {
        state = std::make_unique<PendingFile>(o.saveState);
        if (!writeBytes(*state, session.effect().chunk(), error))
            return fail(err, kExitOutput, error);
    }
    const RenderSummary album = albumSummary(done, o.album ? &albumSearch : nullptr, o);
    if (!o.report.empty()) {
        nlohmann::ordered_json j;
        j["files"] = nlohmann::ordered_json::array();
        for (const Rendered& r : done) j["files"].push_back(summaryObject(r.summary));
        j["album"] = albumObject(album);
        report = std::make_unique<PendingFile>(o.report);
        if (!writeText(*report, j.dump(2) + "\n", error)) return fail(err, kExitOutput, error);
    }
    if (state && !state->commit(error)) return fail(err, kExitOutput, error);
    if (report && !report->commit(error)) return fail(err, kExitOutput, error);

    if (!o.quiet) {
        for (const Rendered& r : done) printSummary(out, r.summary);
        printAlbum(out, album, done.size());
    }
    return kExitOk;
}

}  // namespace

int runRender(const RenderOptions& o, std::ostream& out, std::ostream& err) {
    // From here on an interruption stops the render between blocks, and the
    // temporary output is removed.
    InterruptionGuard interruption;
    return o.outDir.empty() ? runOne(o, out, err) : runBatch(o, out, err);
}
