// The module loaded once for a run of tk42host render, and what every output
// of the run needs from it: fresh instances in the command line's settings,
// the delay at a rate, the target search and the render of one file into a
// temporary output. Safe to use from several threads at once, each with its
// own RecordingHost; nothing here prints: failures come back as an Outcome.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "tools/tk42host/command_line.h"
#include "tools/tk42host/delay_probe.h"
#include "tools/tk42host/loaded_effect.h"
#include "tools/tk42host/memory_source.h"
#include "tools/tk42host/pending_file.h"
#include "tools/tk42host/plot_recorder.h"
#include "tools/tk42host/progress_bar.h"
#include "tools/tk42host/render_summary.h"
#include "tools/tk42host/render_take.h"

// A render stopped because another file of its batch failed first: it
// fails with nothing to say.
constexpr int kCancelled = -1;

struct Outcome {
    int code = 0;
    std::string message;

    bool failed() const { return code != 0; }
};

// One input and where its output goes; an empty input is the demo signal.
struct Job {
    std::string input;
    std::string output;
    std::string plot;  // empty for none
};

// Reports a render's progress: what it is doing and how far it is.
using StepProgress = std::function<void(const std::string& step, uint64_t done, uint64_t total)>;

// An input held in memory for a search: its delay, its own figures, and the
// last pass made of it (written as it is when that pass lands).
struct Held {
    MemorySource source;
    DelayMeasurement delay;
    MeasuredLevels input;
    Take take;
    bool haveTake = false;
    double takeDrive = 0, takeCeiling = 0, takeSeconds = 0;
    MeasuredLevels output;
};

// One render, written under temporary names that the caller commits.
struct Rendered {
    RenderSummary summary;
    std::unique_ptr<PendingFile> output, plot;
    std::unique_ptr<LoudnessMeter> inputMeter, outputMeter;  // for an album's figures
};

class Session {
  public:
    explicit Session(const RenderOptions& o) : o(o) {}

    Outcome open();

    // Sources are opened and read on the caller's thread.
    Outcome openSource(const Job& job, std::unique_ptr<FrameSource>& source) const;
    // Reads a source whole and measures it, with its delay.
    Outcome hold(RecordingHost& host, std::unique_ptr<FrameSource>& source, Held& held,
                 int threads);
    Outcome delayAt(RecordingHost& host, uint32_t sampleRate, DelayMeasurement& delay);

    // Settles the targets with measuring passes over the inputs, as one
    // programme; the result's drive and ceiling are what to render with.
    Outcome settle(RecordingHost& host, std::vector<Held*>& inputs, SearchResult& result,
                   const StepProgress& progress, int threads,
                   const std::atomic<bool>* cancel = nullptr);

    // Renders one source into a temporary output, at a drive and ceiling
    // found by a search or with the settings as they are. A held source
    // whose last pass was made at that point is written from that pass.
    Outcome render(RecordingHost& host, const Job& job, FrameSource& source,
                   const DelayMeasurement& delay, Held* held, const SearchResult* search,
                   const StepProgress& progress, Rendered& r,
                   const std::atomic<bool>* cancel = nullptr);

    // The state to save: the command line's settings with the gain and
    // ceiling of a search, when there was one.
    std::vector<uint8_t> state(const SearchResult* search);

    bool searching() const { return o.targets.loudness || o.targets.truePeak; }
    const RenderOptions& options() const { return o; }

  private:
    // With atPoint, the gain and ceiling are those of a search's drive and ceiling.
    std::unique_ptr<PluginInstance> instance(RecordingHost& host, bool atPoint, double driveDb,
                                             double ceilingDb);
    // What the summary says of a render besides its figures.
    void describe(const Job& job, const WavFormat& in, const WavFormat& out, bool dithered,
                  const DelayMeasurement& delay, const SearchResult* search,
                  RenderSummary& s) const;
    Outcome renderPass(RecordingHost& host, Held& held, double driveDb, double ceilingDb,
                       const StepProgress& progress, const std::string& step, int threads,
                       const std::atomic<bool>* cancel);

    const RenderOptions& o;
    LoadedEffect loaded;
    std::vector<float> base;  // the parameters of the command line
    std::mutex instances;     // the module makes and closes instances one at a time
};

// A failure's message ends by saying what was not written.
std::string notWritten(const std::string& output);
