#include "tools/tk42host/command_line.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace {

// One pass over the arguments; options take "--name value" or "--name=value".
class ArgumentWalker {
  public:
    ArgumentWalker(const std::vector<std::string>& args, std::string& error)
        : args(args), error(error) {}

    bool next() {
        if (index >= args.size()) return false;
        const std::string& a = args[index++];
        inlineValue.clear();
        hasInline = false;
        if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
            const size_t eq = a.find('=');
            name = a.substr(0, eq);
            if (eq != std::string::npos) {
                inlineValue = a.substr(eq + 1);
                hasInline = true;
            }
            isOption = true;
        } else {
            name = a;
            isOption = false;
        }
        return true;
    }

    bool option() const { return isOption; }
    const std::string& current() const { return name; }

    bool value(std::string& v) {
        if (hasInline) {
            v = inlineValue;
            return true;
        }
        if (index >= args.size()) return fail(name + " needs a value");
        v = args[index++];
        return true;
    }

    // A value only when one follows that `accept` takes: an option whose
    // argument may be left out.
    bool optionalValue(std::string& v, bool (*accept)(const std::string&)) {
        if (hasInline) {
            v = inlineValue;
            return true;
        }
        if (index < args.size() && accept(args[index])) v = args[index++];
        return true;
    }

    bool flag() {
        if (hasInline) return fail(name + " takes no value");
        return true;
    }

    bool number(double& v) {
        std::string text;
        if (!value(text)) return false;
        if (!parseNumber(text, v)) return fail(name + " needs a number, not '" + text + "'");
        return true;
    }

    bool fail(const std::string& message) {
        error = message;
        return false;
    }

  private:
    const std::vector<std::string>& args;
    std::string& error;
    size_t index = 0;
    std::string name;
    std::string inlineValue;
    bool hasInline = false;
    bool isOption = false;
};

struct UnitName {
    const char* option;
    UnitOption unit;
};

constexpr UnitName kUnitOptions[] = {
    {"--gain-db", UnitOption::GainDb},
    {"--ceiling-db", UnitOption::CeilingDb},
    {"--attack-ms", UnitOption::AttackMs},
    {"--release-ms", UnitOption::ReleaseMs},
    {"--clip-release-ms", UnitOption::ClipReleaseMs},
};

// The options that set the effect; handled is false for any other option.
bool parseEffectOption(ArgumentWalker& w, EffectSettings& s, bool& handled) {
    handled = true;
    const std::string& name = w.current();
    std::string text;
    if (name == "--param") {
        if (!w.value(text)) return false;
        const size_t eq = text.find('=');
        double v = 0;
        if (eq == std::string::npos || eq == 0)
            return w.fail("--param needs NAME=VALUE, not '" + text + "'");
        if (!parseNumber(text.substr(eq + 1), v) || v < 0.0 || v > 1.0)
            return w.fail("--param " + text + ": the value must be a number from 0 to 1");
        s.parameters.push_back({text.substr(0, eq), static_cast<float>(v)});
        return true;
    }
    if (name == "--state")
        return w.value(s.stateFile) && (!s.stateFile.empty() || w.fail("--state needs a file"));
    if (name == "--mode") {
        if (!w.value(text)) return false;
        if (text == "limit" || text == "LIMIT") {
            s.mode = 0;
        } else if (text == "clip" || text == "CLIP") {
            s.mode = 1;
        } else {
            return w.fail("--mode is limit or clip, not '" + text + "'");
        }
        return true;
    }
    for (const UnitName& u : kUnitOptions) {
        if (name == u.option) {
            double v = 0;
            if (!w.number(v)) return false;
            // Ranges are checked once the mode is known (the clip release's
            // range depends on it).
            s.units.push_back({u.unit, v});
            return true;
        }
    }
    handled = false;
    return true;
}

bool isSvgName(const std::string& text) {
    if (text.size() < 5 || text.compare(0, 2, "--") == 0) return false;
    std::string tail = text.substr(text.size() - 4);
    for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return tail == ".svg";
}

const DeliveryPreset* findPreset(const std::string& name) {
    for (const DeliveryPreset& p : kDeliveryPresets) {
        if (name == p.name) return &p;
    }
    return nullptr;
}

// More jobs than this is a mistake, not a machine.
constexpr uint64_t kMaxJobs = 64;

int defaultJobs() {
    const unsigned cores = std::thread::hardware_concurrency();
    return static_cast<int>(std::clamp<unsigned>(cores, 1, kMaxJobs));
}

bool demoSeconds(ArgumentWalker& w, double& seconds) {
    if (!w.number(seconds)) return false;
    return (seconds >= 0.1 && seconds <= 3600.0) || w.fail("--demo-seconds is from 0.1 to 3600");
}

}  // namespace

// From the public recommendations: Spotify for Artists' loudness
// normalisation FAQ (master at -14 LUFS, true peaks below -1 dBTP), Apple
// Podcasts' audio requirements (-16 LKFS, true peaks not over -1 dBFS) and
// EBU R 128 (-23 LUFS, maximum true peak -1 dBTP).
const DeliveryPreset kDeliveryPresets[3] = {
    {"streaming", -14.0, -1.0, "Spotify's loudness normalisation"},
    {"podcast", -16.0, -1.0, "Apple Podcasts' audio requirements"},
    {"broadcast", -23.0, -1.0, "EBU R 128"},
};

bool parseNumber(const std::string& text, double& value) {
    if (text.empty() || std::isspace(static_cast<unsigned char>(text[0]))) return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size() && errno != ERANGE && std::isfinite(value);
}

bool parseWhole(const std::string& text, uint64_t& value) {
    if (text.empty() || text.size() > 19 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    value = std::strtoull(text.c_str(), nullptr, 10);
    return true;
}

bool parseRenderOptions(const std::vector<std::string>& args, RenderOptions& o,
                        std::string& error) {
    ArgumentWalker w(args, error);
    std::vector<std::string> positional;
    const DeliveryPreset* preset = nullptr;
    bool plotGiven = false, jobsGiven = false;
    while (w.next()) {
        if (!w.option()) {
            positional.push_back(w.current());
            continue;
        }
        bool handled = false;
        if (!parseEffectOption(w, o.effect, handled)) return false;
        if (handled) continue;
        const std::string name = w.current();
        std::string text;
        uint64_t whole = 0;
        if (name == "--block") {
            if (!w.value(text)) return false;
            if (!parseWhole(text, whole) || whole < 1 || whole > 65536)
                return w.fail("--block needs a whole number from 1 to 65536, not '" + text + "'");
            o.blockSize = static_cast<int32_t>(whole);
        } else if (name == "--double") {
            if (!w.flag()) return false;
            o.doublePrecision = true;
        } else if (name == "--no-delay-compensation") {
            if (!w.flag()) return false;
            o.compensateDelay = false;
        } else if (name == "--demo") {
            if (!w.flag()) return false;
            o.demo = true;
        } else if (name == "--demo-seconds") {
            if (!demoSeconds(w, o.demoSeconds)) return false;
        } else if (name == "--save-state") {
            if (!w.value(o.saveState) || o.saveState.empty())
                return w.fail("--save-state needs a file");
        } else if (name == "--report") {
            if (!w.value(o.report) || o.report.empty()) return w.fail("--report needs a file");
        } else if (name == "--out-dir") {
            if (!w.value(o.outDir) || o.outDir.empty()) return w.fail("--out-dir needs a folder");
        } else if (name == "--album") {
            if (!w.flag()) return false;
            o.album = true;
        } else if (name == "--plot") {
            if (!w.optionalValue(o.plot, isSvgName)) return false;
            plotGiven = true;
        } else if (name == "--preset") {
            if (!w.value(text)) return false;
            preset = findPreset(text);
            if (!preset)
                return w.fail("--preset is streaming, podcast or broadcast, not '" + text + "'");
        } else if (name == "--jobs") {
            if (!w.value(text)) return false;
            if (!parseWhole(text, whole) || whole < 1 || whole > kMaxJobs)
                return w.fail("--jobs needs a whole number from 1 to " + std::to_string(kMaxJobs) +
                              ", not '" + text + "'");
            o.jobs = static_cast<int>(whole);
            jobsGiven = true;
        } else if (name == "--format") {
            if (!w.value(text)) return false;
            if (!parseFormatName(text, o.format))
                return w.fail("--format is pcm8, pcm16, pcm24, pcm32, float32 or float64, not '" +
                              text + "'");
            o.haveFormat = true;
        } else if (name == "--no-dither") {
            if (!w.flag()) return false;
            o.dither = false;
        } else if (name == "--seed") {
            if (!w.value(text)) return false;
            if (!parseWhole(text, o.seed))
                return w.fail("--seed needs a whole number, not '" + text + "'");
            o.haveSeed = true;
        } else if (name == "--target-lufs") {
            if (!w.number(o.targets.lufs)) return false;
            if (o.targets.lufs < -70.0 || o.targets.lufs > 0.0)
                return w.fail("--target-lufs is from -70 to 0");
            o.targets.loudness = true;
        } else if (name == "--true-peak-max") {
            if (!w.number(o.targets.truePeakMax)) return false;
            if (o.targets.truePeakMax < -30.0 || o.targets.truePeakMax > 0.0)
                return w.fail("--true-peak-max is from -30 to 0");
            o.targets.truePeak = true;
        } else if (name == "--quiet") {
            if (!w.flag()) return false;
            o.quiet = true;
        } else {
            return w.fail("unknown option " + name + " (see tk42host --help)");
        }
    }
    if (!jobsGiven) o.jobs = defaultJobs();
    // A preset fills in the targets the command line leaves open.
    if (preset && !o.targets.loudness) o.targets.loudness = true, o.targets.lufs = preset->lufs;
    if (preset && !o.targets.truePeak)
        o.targets.truePeak = true, o.targets.truePeakMax = preset->truePeakMax;
    if (!o.outDir.empty()) {
        if (o.demo) return w.fail("--out-dir renders files; --demo renders one signal");
        if (!o.plot.empty())
            return w.fail(
                "--plot with --out-dir names each picture after its output; give it no file");
        o.plotAll = plotGiven;
        if (positional.size() < 2) {
            error = "render --out-dir DIR needs MODULE IN.wav [IN.wav ...]";
            return false;
        }
        o.module = positional[0];
        o.inputs.assign(positional.begin() + 1, positional.end());
        if (o.album && !o.targets.loudness && !o.targets.truePeak)
            return w.fail(
                "--album shares one search over the files: it needs --target-lufs or "
                "--true-peak-max");
        return true;
    }
    if (o.album)
        return w.fail("--album needs several files: render MODULE IN.wav ... --out-dir DIR");
    const size_t wanted = o.demo ? 2 : 3;
    if (positional.size() != wanted) {
        error =
            o.demo ? "render --demo needs MODULE OUT.wav" : "render needs MODULE IN.wav OUT.wav";
        return false;
    }
    o.module = positional[0];
    o.input = o.demo ? std::string() : positional[1];
    o.output = positional.back();
    if (plotGiven && o.plot.empty())
        o.plot = std::filesystem::path(o.output).replace_extension(".svg").string();
    return true;
}

bool parseEditorOptions(const std::vector<std::string>& args, EditorOptions& o,
                        std::string& error) {
    ArgumentWalker w(args, error);
    std::vector<std::string> positional;
    while (w.next()) {
        if (!w.option()) {
            positional.push_back(w.current());
            continue;
        }
        bool handled = false;
        if (!parseEffectOption(w, o.effect, handled)) return false;
        if (handled) continue;
        if (w.current() == "--screenshot") {
            if (!w.value(o.screenshot) || o.screenshot.empty())
                return w.fail("--screenshot needs a file");
        } else {
            return w.fail("unknown option " + w.current() + " (see tk42host --help)");
        }
    }
    if (positional.size() != 1 || o.screenshot.empty()) {
        error = "editor needs MODULE --screenshot OUT.png";
        return false;
    }
    o.module = positional[0];
    return true;
}

bool parseDemoOptions(const std::vector<std::string>& args, DemoOptions& o, std::string& error) {
    ArgumentWalker w(args, error);
    std::vector<std::string> positional;
    while (w.next()) {
        if (!w.option()) {
            positional.push_back(w.current());
        } else if (w.current() == "--demo-seconds") {
            if (!demoSeconds(w, o.seconds)) return false;
        } else {
            return w.fail("unknown option " + w.current() + " (see tk42host --help)");
        }
    }
    if (positional.size() != 1) {
        error = "demo needs OUT.wav";
        return false;
    }
    o.output = positional[0];
    return true;
}
