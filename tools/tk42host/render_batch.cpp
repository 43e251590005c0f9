#include "tools/tk42host/render_batch.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <filesystem>
#include <mutex>
#include <thread>

#include "tools/tk42host/exit_codes.h"
#include "tools/tk42host/interruption.h"
#include "tools/tk42host/render_session.h"
#include "tools/tk42host/small_files.h"
#include "tools/tk42host/wav_reader.h"

namespace {

constexpr size_t kNone = static_cast<size_t>(-1);

int report(std::ostream& err, const Outcome& outcome) {
    if (outcome.code > 0) err << "tk42host: " << outcome.message << "\n";
    return outcome.code;
}

// Names that one file system could take for one file: Windows ignores
// case, so a.wav and A.WAV are refused everywhere, and a batch that runs on
// Linux runs the same on Windows.
bool sameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

// The output of each input: its own name in the output folder, and its plot
// beside it. Two inputs of one name, or an output that would replace an
// input, are refused before anything is written.
Outcome batchJobs(const RenderOptions& o, std::vector<Job>& jobs) {
    namespace fs = std::filesystem;
    std::error_code ec;
    for (const std::string& in : o.inputs) {
        const fs::path name = fs::path(in).filename();
        if (name.empty()) return {kExitUsage, in + " is not a file name"};
        const fs::path output = fs::path(o.outDir) / name;
        for (const Job& j : jobs) {
            if (sameName(fs::path(j.output).filename().string(), name.string()))
                return {kExitUsage,
                        j.input + " and " + in + " would both be written to " + output.string()};
        }
        const std::string plot =
            o.plotAll ? fs::path(output).replace_extension(".svg").string() : std::string();
        // a.wav and a.WAV, or a.wav and a.svg, would share a picture's name.
        for (const Job& j : jobs) {
            if (!plot.empty() && (sameName(j.plot, plot) || sameName(j.output, plot) ||
                                  sameName(j.plot, output.string())))
                return {kExitUsage,
                        j.input + " and " + in + " would both be written to " +
                            (sameName(j.plot, output.string()) ? output.string() : plot)};
        }
        jobs.push_back({in, output.string(), plot});
    }
    for (const Job& j : jobs) {
        for (const std::string& in : o.inputs) {
            for (const std::string& written : {j.output, j.plot}) {
                if (!written.empty() && fs::exists(written, ec) && fs::equivalent(written, in, ec))
                    return {kExitUsage, written +
                                            " is one of the inputs: choose an --out-dir that "
                                            "holds none of them"};
            }
        }
    }
    fs::create_directories(o.outDir, ec);
    if (!fs::is_directory(o.outDir, ec)) return {kExitOutput, "cannot make the folder " + o.outDir};
    return {};
}

// One bar for the batch: the frames of the files written so far and of the
// parts written of those under way; its label counts the files done and the
// searches at work.
class BatchProgress {
  public:
    BatchProgress(ProgressBar& bar, std::vector<uint64_t> frames)
        : bar(bar),
          frames(std::move(frames)),
          parts(this->frames.size(), 0.0),
          searching(this->frames.size(), false) {
        for (uint64_t f : this->frames) whole += f;
        relabel();
    }

    void step(size_t job, const std::string& what, uint64_t at, uint64_t total) {
        std::lock_guard<std::mutex> lock(mutex);
        const bool writing = what == "writing";
        if (searching[job] == writing) {
            searching[job] = !writing;
            searches += writing ? -1 : 1;
            relabel();
        }
        set(job, writing && total ? static_cast<double>(at) / total : 0.0);
    }

    void finished(size_t job) {
        std::lock_guard<std::mutex> lock(mutex);
        ++complete;
        relabel();
        set(job, 1.0);
    }

  private:
    void relabel() {
        label = std::to_string(complete) + " of " + std::to_string(parts.size()) + " files";
        if (searches > 0) label += ", " + std::to_string(searches) + " searching";
    }

    // Keeps the sum as it goes: a batch of many files updates it every block.
    void set(size_t job, double part) {
        done += (part - parts[job]) * static_cast<double>(frames[job]);
        parts[job] = part;
        bar.update(label, static_cast<uint64_t>(std::max(0.0, done)), whole);
    }

    std::mutex mutex;
    ProgressBar& bar;
    std::vector<uint64_t> frames;
    std::vector<double> parts;
    std::vector<bool> searching;
    int searches = 0;
    uint64_t whole = 0;
    double done = 0;
    size_t complete = 0;
    std::string label;
};

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

// The batch's shared state: which file each worker takes next, which have
// failed, and the outputs moved into place in order.
class Batch {
  public:
    Batch(const RenderOptions& o, Session& session, const std::vector<Job>& jobs,
          std::vector<Held>& songs, const SearchResult* album, BatchProgress& progress)
        : o(o),
          session(session),
          jobs(jobs),
          songs(songs),
          album(album),
          progress(progress),
          results(jobs.size()),
          outcomes(jobs.size()),
          finished(jobs.size(), false),
          cancel(new std::atomic<bool>[jobs.size()]) {
        for (size_t i = 0; i < jobs.size(); ++i) cancel[i] = false;
    }

    void run(unsigned workers) {
        // Within a batch the cores go to the files; a lone worker may use two
        // for its search's measuring.
        threads = workers > 1 ? 1 : std::min(2, o.jobs);
        std::vector<std::thread> pool;
        for (unsigned w = 1; w < workers; ++w) pool.emplace_back([this] { work(); });
        work();
        for (std::thread& t : pool) t.join();
        // Outputs complete after an interruption stay, as do those before it.
        if (interruptRequested()) {
            for (size_t i = 0; i < jobs.size(); ++i) {
                if (finished[i] && !outcomes[i].failed() && results[i].output && i < firstFailure)
                    commit(i);
            }
        }
    }

    // The outcome that decides the exit status: the first input's failure
    // in order, or the interruption.
    Outcome verdict() const {
        if (firstFailure != kNone) return outcomes[firstFailure];
        for (const Outcome& f : outcomes) {
            if (f.code != kExitInterrupted) continue;
            // Say what became of the whole batch, not of one file.
            return {kExitInterrupted,
                    "interrupted by " + interruptCause() + "; " + std::to_string(written) + " of " +
                        std::to_string(jobs.size()) + " files were written to " + o.outDir +
                        ", complete; the others were not (files "
                        "already there are left as they were)"};
        }
        return {};
    }

    std::vector<Rendered>& rendered() { return results; }

  private:
    void work() {
        RecordingHost host;
        for (;;) {
            const size_t i = next++;
            if (i >= jobs.size() || i > firstFailure.load() || interruptRequested()) return;
            Outcome f = one(host, i);
            std::lock_guard<std::mutex> lock(mutex);
            outcomes[i] = f;
            finished[i] = true;
            if (f.failed() && f.code != kCancelled && f.code != kExitInterrupted) fail(i);
            if (!f.failed()) progress.finished(i);
            commitInOrder();
        }
    }

    Outcome one(RecordingHost& host, size_t i) {
        const Job& job = jobs[i];
        const std::atomic<bool>* stop = &cancel[i];
        const StepProgress step = [&](const std::string& what, uint64_t done, uint64_t total) {
            progress.step(i, what, done, total);
        };
        if (album) {
            // The album's search is reported once, for the album.
            songs[i].source.rewind();
            Outcome f = session.render(host, job, songs[i].source, songs[i].delay, &songs[i], album,
                                       step, results[i], stop);
            results[i].summary.searched = false;
            return f;
        }
        std::unique_ptr<FrameSource> source;
        if (Outcome f = session.openSource(job, source); f.failed()) return f;
        if (!session.searching()) {
            DelayMeasurement delay;
            if (Outcome f = session.delayAt(host, source->format().sampleRate, delay); f.failed())
                return f;
            return session.render(host, job, *source, delay, nullptr, nullptr, step, results[i],
                                  stop);
        }
        Held held;
        SearchResult search;
        if (Outcome f = session.hold(host, source, held, threads); f.failed()) return f;
        std::vector<Held*> inputs = {&held};
        if (Outcome f = session.settle(host, inputs, search, step, threads, stop); f.failed()) {
            f.message += notWritten(job.output);
            return f;
        }
        held.source.rewind();
        return session.render(host, job, held.source, held.delay, &held, &search, step, results[i],
                              stop);
    }

    // Stops every file after this one: with one job they would not have begun.
    void fail(size_t i) {
        if (i < firstFailure) firstFailure = i;
        for (size_t j = i + 1; j < jobs.size(); ++j) cancel[j] = true;
    }

    void commitInOrder() {
        while (committed < jobs.size() && finished[committed] && committed < firstFailure) {
            if (!outcomes[committed].failed()) commit(committed);
            if (outcomes[committed].failed()) break;
            ++committed;
        }
    }

    void commit(size_t i) {
        std::string error;
        for (PendingFile* f : {results[i].output.get(), results[i].plot.get()}) {
            if (f && !f->commit(error)) {
                outcomes[i] = {kExitOutput, error};
                fail(i);
                return;
            }
        }
        results[i].output.reset();
        results[i].plot.reset();
        ++written;
    }

    const RenderOptions& o;
    Session& session;
    const std::vector<Job>& jobs;
    std::vector<Held>& songs;
    const SearchResult* album;
    BatchProgress& progress;
    std::vector<Rendered> results;
    std::vector<Outcome> outcomes;
    std::vector<bool> finished;
    std::unique_ptr<std::atomic<bool>[]> cancel;
    std::atomic<size_t> next{0};
    std::atomic<size_t> firstFailure{kNone};
    size_t committed = 0;
    size_t written = 0;  // outputs moved into place
    int threads = 1;
    std::mutex mutex;
};

}  // namespace

int runBatch(const RenderOptions& o, std::ostream& out, std::ostream& err) {
    std::vector<Job> jobs;
    if (Outcome f = batchJobs(o, jobs); f.failed()) return report(err, f);
    Session session(o);
    if (Outcome f = session.open(); f.failed()) return report(err, f);
    ProgressBar bar(err, !o.quiet);
    RecordingHost host;

    // An album is searched as one programme before anything is written; an
    // input that cannot be read stops it there.
    std::vector<Held> songs(o.album ? jobs.size() : 0);
    SearchResult albumSearch;
    if (o.album) {
        for (size_t i = 0; i < jobs.size(); ++i) {
            std::unique_ptr<FrameSource> source;
            if (Outcome f = session.openSource(jobs[i], source); f.failed()) return report(err, f);
            if (Outcome f = session.hold(host, source, songs[i], std::min(2, o.jobs)); f.failed())
                return report(err, f);
        }
        std::vector<Held*> all;
        for (Held& h : songs) all.push_back(&h);
        const StepProgress step = [&](const std::string& what, uint64_t done, uint64_t total) {
            bar.update(what, done, total);
        };
        if (Outcome f = session.settle(host, all, albumSearch, step, std::min(2, o.jobs));
            f.failed()) {
            bar.finish(false);
            f.message += notWritten(o.outDir);
            return report(err, f);
        }
    }

    std::vector<uint64_t> frames;
    for (const std::string& in : o.inputs) {
        WavReader probe;
        std::string ignored;
        frames.push_back(probe.open(in, ignored) ? probe.frames() : 0);
    }
    BatchProgress progress(bar, frames);
    Batch batch(o, session, jobs, songs, o.album ? &albumSearch : nullptr, progress);
    batch.run(static_cast<unsigned>(std::min<size_t>(o.jobs, jobs.size())));
    const Outcome verdict = batch.verdict();
    bar.finish(!verdict.failed());
    if (verdict.failed()) return report(err, verdict);

    std::string error;
    std::unique_ptr<PendingFile> state, summary;
    if (!o.saveState.empty()) {
        state = std::make_unique<PendingFile>(o.saveState);
        if (!writeBytes(*state, session.state(o.album ? &albumSearch : nullptr), error))
            return report(err, {kExitOutput, error});
    }
    std::vector<Rendered>& done = batch.rendered();
    const RenderSummary album = albumSummary(done, o.album ? &albumSearch : nullptr, o);
    if (!o.report.empty()) {
        nlohmann::ordered_json j;
        j["files"] = nlohmann::ordered_json::array();
        for (const Rendered& r : done) j["files"].push_back(summaryObject(r.summary));
        j["album"] = albumObject(album);
        summary = std::make_unique<PendingFile>(o.report);
        if (!writeText(*summary, j.dump(2) + "\n", error)) return report(err, {kExitOutput, error});
    }
    if (state && !state->commit(error)) return report(err, {kExitOutput, error});
    if (summary && !summary->commit(error)) return report(err, {kExitOutput, error});

    if (!o.quiet) {
        for (const Rendered& r : done) printSummary(out, r.summary);
        printAlbum(out, album, done.size());
    }
    return kExitOk;
}
