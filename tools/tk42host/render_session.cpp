#include "tools/tk42host/render_session.h"

#include <cmath>
#include <random>
#include <thread>

#include "engine/parameters.h"
#include "tools/tk42host/demo_signal.h"
#include "tools/tk42host/exit_codes.h"
#include "tools/tk42host/interruption.h"
#include "tools/tk42host/plot_svg.h"
#include "tools/tk42host/plugin_processor.h"
#include "tools/tk42host/render_observers.h"
#include "tools/tk42host/small_files.h"
#include "tools/tk42host/wav_reader.h"
#include "tools/tk42host/wav_writer.h"

namespace {

// The deepest trim the host applies ahead of the plug-in: 60 dB takes the
// loudest master to the quietest target the command line accepts.
constexpr double kMinTrimDb = -60.0;

Outcome failure(int code, const std::string& message) {
    return {code, message};
}

double linear(double db) {
    return std::exp(db * kDbToLinear);
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

Outcome stopped(const std::atomic<bool>* cancel, const std::string& output) {
    if (cancel && cancel->load() && !interruptRequested()) return failure(kCancelled, "");
    // A search's pass has no output yet: its caller names the one not written.
    return failure(kExitInterrupted, "interrupted by " + interruptCause() +
                                         (output.empty() ? "" : notWritten(output)));
}

PumpConfig pumpConfig(const RenderOptions& o, const DelayMeasurement& delay, double trimDb,
                      const std::atomic<bool>* cancel) {
    PumpConfig c;
    c.blockSize = o.blockSize;
    c.doublePrecision = o.doublePrecision;
    c.delay = delay.frames;
    c.compensateDelay = o.compensateDelay;
    c.trim = linear(trimDb);
    c.cancel = cancel;
    return c;
}

std::string plotFor(const RenderSummary& s, const PlotRecorder& envelopes,
                    const LoudnessMeter& output) {
    PlotData data;
    data.title = s.input + " \u2192 " + s.output;
    data.sampleRate = s.inputFormat.sampleRate;
    data.channels = s.inputFormat.channels;
    data.envelopes = &envelopes;
    data.shortTerm = output.shortTermCurve();
    data.ceilingKnown = s.stats.ceilingKnown;
    data.ceilingDb = toDb(s.stats.ceilingLinear);
    return plotSvg(data);
}

}  // namespace

std::string notWritten(const std::string& output) {
    return "; " + output + " was not written (a file already there is left as it was)";
}

Outcome Session::open() {
    std::string error;
    if (!loaded.open(o.module, error)) return failure(kExitModule, error);
    const PluginInstance& fx = loaded.effect();
    if (!checkCapabilities(fx, o, error)) return failure(kExitModule, error);
    if (int code = applySettings(fx, o.effect, error)) return failure(code, error);
    if (searching() && !isTk42Limiter(fx))
        return failure(kExitModule,
                       "--target-lufs and --true-peak-max set the gain and ceiling of the TK42-R "
                       "limiter; this module is another effect");
    for (int32_t i = 0; i < fx.record()->numParams; ++i) base.push_back(fx.getParameter(i));
    return {};
}

Outcome Session::openSource(const Job& job, std::unique_ptr<FrameSource>& source) const {
    std::string error;
    if (job.input.empty()) {
        source = std::make_unique<DemoSignal>(o.demoSeconds);
    } else {
        auto reader = std::make_unique<WavReader>();
        if (!reader->open(job.input, error)) return failure(kExitInput, error);
        source = std::move(reader);
    }
    if (source->format().channels > 2) {
        return failure(kExitInput, job.input + " has " + std::to_string(source->format().channels) +
                                       " channels; tk42host renders mono and stereo files");
    }
    return {};
}

std::unique_ptr<PluginInstance> Session::instance(RecordingHost& host, bool atPoint, double driveDb,
                                                  double ceilingDb) {
    std::lock_guard<std::mutex> lock(instances);
    auto fx = std::make_unique<PluginInstance>(host.create(loaded.module().entry()));
    if (!fx->isOpen()) return nullptr;
    for (size_t i = 0; i < base.size(); ++i) fx->setParameter(static_cast<int32_t>(i), base[i]);
    if (atPoint) {
        const bool limit = isLimitMode(base[kMode]);
        fx->setParameter(kGain, fromReal(kGain, driveDb > 0 ? driveDb : 0.0, limit));
        fx->setParameter(kThresh, fromReal(kThresh, ceilingDb, limit));
    }
    return fx;
}

Outcome Session::delayAt(RecordingHost& host, uint32_t sampleRate, DelayMeasurement& delay) {
    std::unique_ptr<PluginInstance> fx = instance(host, false, 0, 0);
    if (!fx) return failure(kExitModule, "the module refused another instance");
    std::string error;
    // What the host answers when the plug-in asks instead of waiting to be told.
    host.sampleRateAnswer = static_cast<intptr_t>(sampleRate);
    host.blockSizeAnswer = o.blockSize;
    std::lock_guard<std::mutex> lock(instances);
    const bool found = findDelay(loaded.module(), host, *fx, static_cast<float>(sampleRate),
                                 o.blockSize, o.doublePrecision, delay, error);
    fx.reset();
    return found ? Outcome{} : failure(kExitModule, error);
}

Outcome Session::hold(RecordingHost& host, std::unique_ptr<FrameSource>& source, Held& held,
                      int threads) {
    std::string error;
    if (!held.source.load(*source, error)) return failure(kExitInput, error);
    source.reset();
    const MemorySource& in = held.source;
    held.input = measureFrames(
        [&](int c, uint64_t from, size_t n, double* to) { in.copyChannel(c, from, n, to); }, 0,
        in.frames(), in.format().channels, in.format().sampleRate, true, threads);
    return delayAt(host, in.format().sampleRate, held.delay);
}

Outcome Session::renderPass(RecordingHost& host, Held& held, double driveDb, double ceilingDb,
                            const StepProgress& progress, const std::string& step, int threads,
                            const std::atomic<bool>* cancel) {
    std::unique_ptr<PluginInstance> fx = instance(host, true, driveDb, ceilingDb);
    if (!fx) return failure(kExitModule, "the module refused another instance");
    const WavFormat& format = held.source.format();
    held.haveTake = false;
    held.take = Take();
    const PumpConfig config = pumpConfig(o, held.delay, driveDb < 0 ? driveDb : 0.0, cancel);
    held.take.reserve(held.source.frames() + static_cast<uint64_t>(held.delay.frames),
                      o.doublePrecision);
    PluginProcessor effect(*fx);
    RecordingProcessor recording(effect, held.take);
    held.source.rewind();
    host.sampleRateAnswer = format.sampleRate;
    fx->start(static_cast<float>(format.sampleRate), o.blockSize);
    const PumpResult result =
        pump(held.source, recording, config, {}, [&](uint64_t done, uint64_t total) {
            if (progress) progress(step, done, total);
        });
    fx->stop();
    {
        std::lock_guard<std::mutex> lock(instances);
        fx.reset();
    }
    if (result.end == PumpEnd::Stopped) return stopped(cancel, "");
    if (result.end != PumpEnd::Done) return failure(kExitInput, result.error);
    const uint64_t drop = o.compensateDelay ? static_cast<uint64_t>(held.delay.frames) : 0;
    const Take& take = held.take;
    held.output = measureFrames(
        [&](int c, uint64_t from, size_t n, double* to) { take.copy(c, from, n, to); }, drop,
        held.source.frames(), format.channels, format.sampleRate, o.targets.truePeak, threads);
    held.haveTake = true;
    held.takeDrive = driveDb;
    held.takeCeiling = ceilingDb;
    held.takeSeconds = result.processSeconds;
    return {};
}

Outcome Session::settle(RecordingHost& host, std::vector<Held*>& inputs, SearchResult& result,
                        const StepProgress& progress, int threads,
                        const std::atomic<bool>* cancel) {
    SearchTargets targets = o.targets;
    SearchLimits limits;
    double ignored = 0;
    const bool limit = isLimitMode(base[kMode]);
    limits.minTrimDb = kMinTrimDb;
    parameterRange(kGain, limit, ignored, limits.maxGainDb);
    parameterRange(kThresh, limit, limits.minCeilingDb, ignored);
    limits.ceilingCapDb = toReal(kThresh, base[kThresh], limit);
    SearchStart start;
    std::vector<const LoudnessMeter*> meters;
    double inputPeak = 0;
    for (const Held* h : inputs) {
        meters.push_back(h->input.loudness.get());
        inputPeak = std::fmax(inputPeak, h->input.truePeak);
    }
    start.inputLufs = pooledFigures(meters).integrated;
    start.inputTruePeakDb = toDb(inputPeak);
    start.driveDb = toReal(kGain, base[kGain], limit);

    Outcome failed;
    int pass = 0;
    // An album's songs go through a pass side by side, one thread each up to
    // `threads`; one input measures its pass on the threads instead.
    const size_t side = std::min<size_t>(inputs.size(), static_cast<size_t>(std::max(threads, 1)));
    const int measuring = side > 1 ? 1 : threads;
    const MeasurePass measure = [&](double drive, double ceiling) {
        SearchPoint p{drive, ceiling, -INFINITY, -INFINITY};
        if (failed.failed()) return p;
        ++pass;
        std::vector<Outcome> outcomes(inputs.size());
        std::atomic<size_t> next{0};
        const auto work = [&](RecordingHost& own) {
            for (size_t i = next++; i < inputs.size(); i = next++) {
                std::string step = "search pass " + std::to_string(pass);
                if (inputs.size() > 1)
                    step += ", song " + std::to_string(i + 1) + "/" + std::to_string(inputs.size());
                outcomes[i] =
                    renderPass(own, *inputs[i], drive, ceiling, progress, step, measuring, cancel);
            }
        };
        std::vector<std::thread> helpers;
        std::vector<std::unique_ptr<RecordingHost>> hosts;
        for (size_t t = 1; t < side; ++t) {
            hosts.push_back(std::make_unique<RecordingHost>());
            helpers.emplace_back(work, std::ref(*hosts.back()));
        }
        work(host);
        for (std::thread& t : helpers) t.join();
        std::vector<const LoudnessMeter*> out;
        double peak = 0;
        for (size_t i = 0; i < inputs.size(); ++i) {
            if (outcomes[i].failed()) {
                failed = outcomes[i];
                return p;
            }
            out.push_back(inputs[i]->output.loudness.get());
            peak = std::fmax(peak, inputs[i]->output.truePeak);
        }
        p.lufs = pooledFigures(out).integrated;
        p.truePeakDb = toDb(peak);
        return p;
    };
    result = searchTargets(targets, limits, start, measure);
    if (failed.failed()) return failed;
    if (!result.reached) return failure(kExitUsage, result.error);
    return {};
}

namespace {

// What watches a file's render and what it measured. The input's figures
// come from a held input when there is one, the output's from the pass
// that is written again when it measured them.
struct Watchers {
    const Held* held = nullptr;
    bool outputMeasured = false;
    std::unique_ptr<LevelMeters> input, output;
    std::unique_ptr<ReductionWatch> reduction;
    std::unique_ptr<PlotRecorder> envelopes;
    std::unique_ptr<PlotFeed> plot;
    std::unique_ptr<SinkFeed> sink;
    std::vector<PumpObserver*> all;

    Watchers(const WavFormat& format, uint64_t frames, const Held* held, bool outputMeasured,
             double gain, double ceiling, bool plotted, FrameSink& file)
        : held(held), outputMeasured(outputMeasured) {
        const double rate = format.sampleRate;
        if (!held) {
            input = std::make_unique<LevelMeters>(LevelMeters::Input, rate, format.channels);
            all.push_back(input.get());
        }
        if (!outputMeasured) {
            output = std::make_unique<LevelMeters>(LevelMeters::Output, rate, format.channels);
            all.push_back(output.get());
        }
        reduction = std::make_unique<ReductionWatch>(gain, ceiling);
        all.push_back(reduction.get());
        if (plotted) {
            envelopes = std::make_unique<PlotRecorder>(frames, 1000);
            plot = std::make_unique<PlotFeed>(*envelopes, *reduction);
            all.push_back(plot.get());
        }
        sink = std::make_unique<SinkFeed>(file);
        all.push_back(sink.get());
    }

    const LoudnessMeter& inputLoudness() const {
        return held ? *held->input.loudness : input->loudness();
    }
    const LoudnessMeter& outputLoudness() const {
        return outputMeasured ? *held->output.loudness : output->loudness();
    }

    // The figures into the summary's statistics.
    void fill(RenderStats& st) const {
        st.aboveCeiling = reduction->aboveCeiling();
        st.maxReductionDb = reduction->maxDb();
        st.averageReductionDb = reduction->averageDb();
        st.inputLoudness = inputLoudness().figures();
        st.outputLoudness = outputLoudness().figures();
        st.inputTruePeak = held ? held->input.truePeak : input->truePeak();
        st.inputSamplePeak = held ? held->input.samplePeak : input->samplePeak();
        st.outputTruePeak = outputMeasured ? held->output.truePeak : output->truePeak();
        st.outputSamplePeak = outputMeasured ? held->output.samplePeak : output->samplePeak();
        st.meteringSeconds = (input ? input->seconds() : 0.0) + (output ? output->seconds() : 0.0);
    }
};

}  // namespace

void Session::describe(const Job& job, const WavFormat& in, const WavFormat& out, bool dithered,
                       const DelayMeasurement& delay, const SearchResult* search,
                       RenderSummary& s) const {
    s.input = job.input.empty() ? "demo" : job.input;
    s.output = job.output;
    s.inputFormat = in;
    s.outputFormat = out.sample;
    s.dithered = dithered;
    s.blockSize = o.blockSize;
    s.doublePrecision = o.doublePrecision;
    s.delay = delay.frames;
    s.delayReported = delay.reported;
    s.delayCompensated = o.compensateDelay;
    s.searched = search != nullptr;
    s.targets = o.targets;
    if (search) s.search = *search;
}

Outcome Session::render(RecordingHost& host, const Job& job, FrameSource& source,
                        const DelayMeasurement& delay, Held* held, const SearchResult* search,
                        const StepProgress& progress, Rendered& r,
                        const std::atomic<bool>* cancel) {
    const WavFormat inFormat = source.format();
    WavFormat outFormat = inFormat;
    if (o.haveFormat) outFormat.sample = o.format;
    const bool dithered = o.dither && isInteger(outFormat.sample);
    TpdfDither dither(o.haveSeed ? o.seed : std::random_device()() * 0x100000001B3ull + 1);
    const double drive = search ? search->chosen.driveDb : 0.0;
    const double ceiling = search ? search->chosen.ceilingDb : 0.0;
    // The pass that landed is written as it is.
    const bool replay = held && held->haveTake && search && held->takeDrive == drive &&
                        held->takeCeiling == ceiling;

    std::string error;
    r.output = std::make_unique<PendingFile>(job.output);
    WavWriter writer;
    if (!writer.open(r.output->path(), outFormat, source.frames(), error))
        return failure(kExitOutput, "cannot write " + job.output + ": " + error);
    if (dithered) writer.setDither(&dither);

    // Each file through a fresh instance in the run's settings: an instance
    // carries its envelopes from one file into the next.
    std::unique_ptr<PluginInstance> fx = instance(host, search != nullptr, drive, ceiling);
    if (!fx) return failure(kExitModule, "the module refused another instance");
    const bool known = isTk42Limiter(*fx);
    const bool limit = known && isLimitMode(fx->getParameter(kMode));
    const double gain = known ? linear(toReal(kGain, fx->getParameter(kGain), limit)) : 1.0;
    const double ceilingLinear =
        known ? linear(toReal(kThresh, fx->getParameter(kThresh), limit)) : 0.0;
    Watchers watch(inFormat, source.frames(), held, replay && o.targets.truePeak, gain,
                   ceilingLinear, !job.plot.empty(), writer);

    PluginProcessor effect(*fx);
    std::unique_ptr<ReplayProcessor> again;
    if (replay) again = std::make_unique<ReplayProcessor>(held->take, held->takeSeconds);
    BlockProcessor& processor = replay ? static_cast<BlockProcessor&>(*again) : effect;
    host.sampleRateAnswer = static_cast<intptr_t>(inFormat.sampleRate);
    if (!replay) fx->start(static_cast<float>(inFormat.sampleRate), o.blockSize);
    const PumpResult result =
        pump(source, processor, pumpConfig(o, delay, drive < 0 ? drive : 0.0, cancel), watch.all,
             [&](uint64_t done, uint64_t total) {
                 if (progress) progress("writing", done, total);
             });
    if (!replay) fx->stop();
    {
        std::lock_guard<std::mutex> lock(instances);
        fx.reset();
    }
    if (result.end == PumpEnd::Stopped) return stopped(cancel, job.output);
    if (result.end == PumpEnd::InputFailed)
        return failure(kExitInput, result.error + notWritten(job.output));
    if (result.end == PumpEnd::ObserverFailed || !writer.finish(error))
        return failure(kExitOutput, "cannot write " + job.output + ": " +
                                        (error.empty() ? result.error : error) +
                                        notWritten(job.output));

    describe(job, inFormat, outFormat, dithered, delay, search, r.summary);
    RenderStats& st = r.summary.stats;
    st.frames = result.frames;
    st.nonFiniteInput = result.nonFiniteInput;
    st.ceilingKnown = ceilingLinear > 0;
    st.ceilingLinear = ceilingLinear;
    watch.fill(st);
    st.pluginSeconds = replay ? held->takeSeconds : result.processSeconds;
    st.totalSeconds = result.totalSeconds;
    r.inputMeter = std::make_unique<LoudnessMeter>(watch.inputLoudness());
    r.outputMeter = std::make_unique<LoudnessMeter>(watch.outputLoudness());
    if (watch.envelopes) {
        r.plot = std::make_unique<PendingFile>(job.plot);
        if (!writeText(*r.plot, plotFor(r.summary, *watch.envelopes, watch.outputLoudness()),
                       error))
            return failure(kExitOutput, error + notWritten(job.output));
    }
    return {};
}

std::vector<uint8_t> Session::state(const SearchResult* search) {
    const PluginInstance& fx = loaded.effect();
    if (search) {
        RecordingHost scratch;
        std::unique_ptr<PluginInstance> chosen =
            instance(scratch, true, search->chosen.driveDb, search->chosen.ceilingDb);
        if (chosen) {
            std::vector<uint8_t> bytes = chosen->chunk();
            std::lock_guard<std::mutex> lock(instances);
            chosen.reset();
            return bytes;
        }
    }
    return fx.chunk();
}
