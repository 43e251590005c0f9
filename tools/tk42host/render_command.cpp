#include "tools/tk42host/render_command.h"

#include <memory>

#include "tools/tk42host/exit_codes.h"
#include "tools/tk42host/interruption.h"
#include "tools/tk42host/render_batch.h"
#include "tools/tk42host/render_session.h"
#include "tools/tk42host/small_files.h"

namespace {

int report(std::ostream& err, const Outcome& outcome) {
    if (outcome.code > 0) err << "tk42host: " << outcome.message << "\n";
    return outcome.code;
}

int runOne(const RenderOptions& o, std::ostream& out, std::ostream& err) {
    Session session(o);
    RecordingHost host;
    const Job job{o.demo ? std::string() : o.input, o.output, o.plot};
    std::unique_ptr<FrameSource> source;
    if (Outcome f = session.openSource(job, source); f.failed()) return report(err, f);
    if (Outcome f = session.open(); f.failed()) return report(err, f);

    ProgressBar progress(err, !o.quiet);
    const StepProgress step = [&](const std::string& what, uint64_t done, uint64_t total) {
        progress.update(what, done, total);
    };
    const int threads = o.jobs > 1 ? 2 : 1;
    SearchResult search;
    Held held;
    DelayMeasurement delay;
    FrameSource* input = source.get();
    if (session.searching()) {
        if (Outcome f = session.hold(host, source, held, threads); f.failed())
            return report(err, f);
        std::vector<Held*> inputs = {&held};
        if (Outcome f = session.settle(host, inputs, search, step, threads); f.failed()) {
            progress.finish(false);
            f.message += notWritten(o.output);
            return report(err, f);
        }
        held.source.rewind();
        input = &held.source;
        delay = held.delay;
    } else if (Outcome f = session.delayAt(host, source->format().sampleRate, delay); f.failed()) {
        return report(err, f);
    }

    Rendered r;
    const Outcome rendered =
        session.render(host, job, *input, delay, session.searching() ? &held : nullptr,
                       session.searching() ? &search : nullptr, step, r);
    progress.finish(!rendered.failed());
    if (rendered.failed()) return report(err, rendered);
    // Windows cannot replace a file that is open: the input may be the output.
    source.reset();

    // Everything is written under temporary names first and moved into place
    // together, so a failure leaves all the old files as they were.
    std::string error;
    std::unique_ptr<PendingFile> state, summary;
    if (!o.saveState.empty()) {
        state = std::make_unique<PendingFile>(o.saveState);
        if (!writeBytes(*state, session.state(session.searching() ? &search : nullptr), error))
            return report(err, {kExitOutput, error});
    }
    if (!o.report.empty()) {
        summary = std::make_unique<PendingFile>(o.report);
        if (!writeText(*summary, summaryJson(r.summary), error))
            return report(err, {kExitOutput, error});
    }
    // The last moment to stop: after this, the output is complete and in place.
    if (interruptRequested())
        return report(
            err, {kExitInterrupted, "interrupted by " + interruptCause() + notWritten(o.output)});
    for (PendingFile* f : {r.output.get(), state.get(), summary.get(), r.plot.get()}) {
        if (f && !f->commit(error)) return report(err, {kExitOutput, error});
    }
    if (!o.quiet) printSummary(out, r.summary);
    return kExitOk;
}

}  // namespace

int runRender(const RenderOptions& o, std::ostream& out, std::ostream& err) {
    // From here on an interruption stops the render between blocks, and the
    // temporary output is removed.
    InterruptionGuard interruption;
    return o.outDir.empty() ? runOne(o, out, err) : runBatch(o, out, err);
}
