#include "tools/tk42host/tk42host_app.h"

#include <cstdio>

#include "tk42_version.h"
#include "tools/tk42host/command_line.h"
#include "tools/tk42host/demo_command.h"
#include "tools/tk42host/editor_command.h"
#include "tools/tk42host/exit_codes.h"
#include "tools/tk42host/info_command.h"
#include "tools/tk42host/parameter_units.h"
#include "tools/tk42host/render_command.h"

namespace {

constexpr char kCommands[] = R"(usage:
  tk42host --help | --version
  tk42host info MODULE
  tk42host render MODULE IN.wav OUT.wav [options]
  tk42host render MODULE --demo OUT.wav [options]
  tk42host render MODULE IN.wav [IN.wav ...] --out-dir DIR [--album] [--jobs N] [options]
  tk42host editor MODULE --screenshot OUT.png [--param NAME=V ...] [--state FILE]
  tk42host demo OUT.wav [--demo-seconds S]

render options:
  --block N              block size, 1 to 65536 (default 512)
  --double               64-bit processing (default 32-bit)
  --param NAME=V         a parameter by normalised value 0 to 1; NAME as the
                         plug-in reports it (case and spaces ignored) or an index
)";

// The limiter's options in their units; the ranges come from its parameter table.
struct UnitHelp {
    UnitOption option;
    const char* metavar;
    const char* what;
};

constexpr UnitHelp kUnitHelp[] = {
    {UnitOption::GainDb, "DB", "input gain"},
    {UnitOption::CeilingDb, "DB", "ceiling"},
    {UnitOption::AttackMs, "MS", "limit attack"},
    {UnitOption::ReleaseMs, "MS", "limit release"},
    {UnitOption::ClipReleaseMs, "MS", "clip release"},
};

constexpr char kOptions[] = R"(  --mode limit|clip
  --state FILE           start from a saved 28-byte state
  --save-state FILE      write the state after the run
  --no-delay-compensation  keep the look-ahead delay in the output
  --format F             pcm8, pcm16, pcm24, pcm32, float32 or float64
                         (default: as the input)
  --no-dither            no TPDF dither on integer output
  --seed N               dither seed, for repeatable output
  --report FILE.json     the summary as JSON
  --plot [FILE.svg]      a picture of the render: levels, gain reduction,
                         loudness (default OUT.svg; with --out-dir one beside
                         each output, named after it)
  --out-dir DIR          render every IN.wav into DIR under its own name; one
                         --report for all; stops at the first bad input
  --jobs N               threads, 1 to 64 (default: the number of cores): with
                         --out-dir the files rendered at once, writing the same
                         files as --jobs 1; for one file a search measures on two
  --album                with --out-dir: one search of --target-lufs and
                         --true-peak-max for all the files, which keep their
                         relative levels
  --target-lufs L        bring the output's integrated loudness to L LUFS
                         (within 0.1 LU): up with the plug-in's gain, down with
                         a trim in the host ahead of it (down to -60 dB)
  --true-peak-max T      lower the ceiling until the output's true peak is at
                         most T dBTP; with --target-lufs, both are searched
  --preset P             delivery targets; --target-lufs and --true-peak-max
                         given as well override the preset's:
)";

constexpr char kTail[] = R"(  --demo-seconds S       length of the --demo signal (default 6)
  --quiet                no progress bar and no summary

exit status: 0 done, 2 bad command line or a target out of reach, 3 bad input or state file,
             4 module cannot be used, 5 output cannot be written (disk full),
             130 interrupted (Ctrl-C, SIGTERM, closed console); a run that
             fails or is interrupted leaves no output behind
)";

std::string number(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", v + 0.0);  // no "-0"
    return text;
}

std::string usage() {
    std::string text = kCommands;
    for (const UnitHelp& h : kUnitHelp) {
        const UnitOptionInfo& info = unitOptionInfo(h.option);
        std::string line = std::string("  ") + info.option + " " + h.metavar;
        line.resize(25, ' ');
        double low = 0, high = 0;
        unitRange(h.option, true, low, high);
        line += std::string(h.what) + ", " + number(low) + " to " + number(high) + " " + info.unit;
        if (h.option == UnitOption::ClipReleaseMs) {
            unitRange(h.option, false, low, high);
            line +=
                " (LIMIT) or " + number(low) + " to " + number(high) + " " + info.unit + " (CLIP)";
        }
        text += line + "\n";
    }
    text += kOptions;
    for (const DeliveryPreset& p : kDeliveryPresets) {
        std::string line = std::string("                           ") + p.name;
        line.resize(38, ' ');
        text += line + number(p.lufs) + " LUFS, " + number(p.truePeakMax) + " dBTP (" + p.source +
                ")\n";
    }
    return text + kTail;
}

std::vector<std::string> rest(const std::vector<std::string>& args) {
    return std::vector<std::string>(args.begin() + 1, args.end());
}

int usageError(std::ostream& err, const std::string& message) {
    err << "tk42host: " << message << "\n";
    return kExitUsage;
}

}  // namespace

int runTk42host(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.empty()) {
        err << usage();
        return kExitUsage;
    }
    const std::string& command = args[0];
    std::string error;
    if (command == "--help" || command == "-h" || command == "help") {
        out << usage();
        return kExitOk;
    }
    if (command == "--version" || command == "version") {
        // The product's version; to plug-ins the host reports vendor "Tembro",
        // version 1 (audioMasterGetVendorVersion).
        out << "tk42host " TK42_VERSION_STRING " (TK42-R Limiter)\n";
        return kExitOk;
    }
    if (command == "info") {
        if (args.size() != 2) return usageError(err, "info needs MODULE");
        return runInfo(args[1], out, err);
    }
    if (command == "render") {
        RenderOptions options;
        if (!parseRenderOptions(rest(args), options, error)) return usageError(err, error);
        return runRender(options, out, err);
    }
    if (command == "editor") {
        EditorOptions options;
        if (!parseEditorOptions(rest(args), options, error)) return usageError(err, error);
        return runEditor(options, out, err);
    }
    if (command == "demo") {
        return runDemo(rest(args), out, err);
    }
    return usageError(err, "unknown command '" + command + "' (see tk42host --help)");
}
