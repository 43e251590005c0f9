#include "tools/tk42host/render_summary.h"

#include <cmath>
#include <cstdio>

namespace {

std::string db(double linear, const char* unit) {
    const double v = toDb(linear);
    if (std::isinf(v)) return std::string("   -inf ") + unit;
    char text[32];
    std::snprintf(text, sizeof text, "%+7.2f %s", v, unit);
    return text;
}

std::string fixed(double v, int decimals) {
    char text[48];
    std::snprintf(text, sizeof text, "%.*f", decimals, v + 0.0);  // no "-0.00"
    return text;
}

// JSON has no infinity: silence, or a figure that does not exist, is null.
nlohmann::ordered_json rounded(double v, int decimals) {
    if (!std::isfinite(v)) return nullptr;
    const double scale = std::pow(10.0, decimals);
    return std::round(v * scale) / scale;
}

nlohmann::ordered_json jsonDb(double linear) {
    return rounded(toDb(linear), 3);
}

// A loudness figure, or -inf where there is none.
std::string lufs(double v, const char* unit) {
    if (!std::isfinite(v)) return std::string("   -inf ") + unit;
    char text[32];
    std::snprintf(text, sizeof text, "%+7.1f %s", v, unit);
    return text;
}

std::string range(const LoudnessFigures& f) {
    return f.hasRange() ? fixed(f.range, 1) + " LU" : std::string("n/a");
}

std::string loudnessLine(const char* label, const LoudnessFigures& f) {
    return std::string("  ") + label + lufs(f.integrated, "LUFS") + "  " +
           lufs(f.maxMomentary, "LUFS") + "  " + lufs(f.maxShortTerm, "LUFS") + "   " + range(f) +
           "\n";
}

void addLoudness(nlohmann::ordered_json& j, const std::string& prefix, const LoudnessFigures& f) {
    j[prefix + "IntegratedLufs"] = rounded(f.integrated, 3);
    j[prefix + "MaxMomentaryLufs"] = rounded(f.maxMomentary, 3);
    j[prefix + "MaxShortTermLufs"] = rounded(f.maxShortTerm, 3);
    j[prefix + "LoudnessRangeLu"] = f.hasRange() ? rounded(f.range, 3) : nullptr;
}

void printSearch(std::ostream& out, const RenderSummary& s) {
    const SearchPoint& p = s.search.chosen;
    out << "  target          ";
    if (s.targets.loudness) out << fixed(s.targets.lufs, 1) << " LUFS";
    if (s.targets.loudness && s.targets.truePeak) out << ", ";
    if (s.targets.truePeak)
        out << "true peak at most " << fixed(s.targets.truePeakMax, 1) << " dBTP";
    out << "\n  chosen          ";
    if (p.trimDb() < 0) out << "trim " << fixed(p.trimDb(), 2) << " dB (in the host), ";
    out << "gain " << fixed(p.gainDb(), 2) << " dB, ceiling " << fixed(p.ceilingDb, 2)
        << " dBFS, after " << s.search.passes << " passes\n";
    out << "  reached         " << lufs(s.stats.outputLoudness.integrated, "LUFS") << "  "
        << db(s.stats.outputTruePeak, "dBTP") << "\n";
}

nlohmann::ordered_json searchJson(const RenderSummary& s) {
    if (!s.searched) return nullptr;
    nlohmann::ordered_json j;
    j["targetIntegratedLufs"] = s.targets.loudness ? rounded(s.targets.lufs, 3) : nullptr;
    j["truePeakMaxDbtp"] = s.targets.truePeak ? rounded(s.targets.truePeakMax, 3) : nullptr;
    j["trimDb"] = rounded(s.search.chosen.trimDb(), 3);
    j["gainDb"] = rounded(s.search.chosen.gainDb(), 3);
    j["ceilingDbfs"] = rounded(s.search.chosen.ceilingDb, 3);
    j["passes"] = s.search.passes;
    return j;
}

double realTime(const RenderStats& st, uint32_t rate, double seconds) {
    const double audio = static_cast<double>(st.frames) / rate;
    return seconds > 0 ? audio / seconds : 0.0;
}

}  // namespace

double toDb(double linear) {
    return linear > 0 ? 20.0 * std::log10(linear) : -INFINITY;
}

void printSummary(std::ostream& out, const RenderSummary& s) {
    const RenderStats& st = s.stats;
    const uint32_t rate = s.inputFormat.sampleRate;
    out << s.input << " -> " << s.output << "\n";
    out << "  " << rate << " Hz, " << (s.inputFormat.channels == 1 ? "mono" : "stereo") << ", "
        << formatName(s.inputFormat.sample) << " -> " << formatName(s.outputFormat)
        << (s.dithered ? " (TPDF dither)" : "") << ", "
        << fixed(static_cast<double>(st.frames) / rate, 2) << " s, blocks of " << s.blockSize
        << ", " << (s.doublePrecision ? 64 : 32) << "-bit processing\n";
    out << "  delay           " << s.delay << " samples ("
        << (s.delayReported ? "reported" : "measured") << "), "
        << (s.delayCompensated ? "compensated" : "kept in the output") << "\n";
    out << "                  sample peak    true peak\n";
    out << "  input           " << db(st.inputSamplePeak, "dBFS") << "   "
        << db(st.inputTruePeak, "dBTP") << "\n";
    out << "  output          " << db(st.outputSamplePeak, "dBFS") << "   "
        << db(st.outputTruePeak, "dBTP") << "\n";
    out << "  loudness        integrated     max momentary  max short-term  range\n";
    out << loudnessLine("input          ", st.inputLoudness);
    out << loudnessLine("output         ", st.outputLoudness);
    if (s.searched) printSearch(out, s);
    out << "  gain reduction  max " << fixed(st.maxReductionDb, 2) << " dB, average "
        << fixed(st.averageReductionDb, 2) << " dB\n";
    if (st.ceilingKnown) {
        out << "  above ceiling   " << st.aboveCeiling << " samples (ceiling "
            << fixed(toDb(st.ceilingLinear), 2) << " dBFS)\n";
    }
    if (st.nonFiniteInput > 0) {
        out << "  warning         " << st.nonFiniteInput
            << " input samples were NaN or infinite and were processed as silence\n";
    }
    out << "  speed           " << fixed(realTime(st, rate, st.pluginSeconds), 1)
        << "x real time in the plug-in, " << fixed(realTime(st, rate, st.totalSeconds), 1)
        << "x for the whole render\n";
}

std::string summaryJson(const RenderSummary& s) {
    return summaryObject(s).dump(2) + "\n";
}

nlohmann::ordered_json summaryObject(const RenderSummary& s) {
    const RenderStats& st = s.stats;
    const uint32_t rate = s.inputFormat.sampleRate;
    nlohmann::ordered_json j;
    j["input"] = s.input;
    j["output"] = s.output;
    j["sampleRate"] = rate;
    j["channels"] = s.inputFormat.channels;
    j["frames"] = st.frames;
    j["seconds"] = rounded(static_cast<double>(st.frames) / rate, 6);
    j["inputFormat"] = formatName(s.inputFormat.sample);
    j["outputFormat"] = formatName(s.outputFormat);
    j["dither"] = s.dithered;
    j["blockSize"] = s.blockSize;
    j["doublePrecision"] = s.doublePrecision;
    j["delaySamples"] = s.delay;
    j["delayReported"] = s.delayReported;
    j["delayCompensated"] = s.delayCompensated;
    j["inputSamplePeakDbfs"] = jsonDb(st.inputSamplePeak);
    j["inputTruePeakDbtp"] = jsonDb(st.inputTruePeak);
    j["outputSamplePeakDbfs"] = jsonDb(st.outputSamplePeak);
    j["outputTruePeakDbtp"] = jsonDb(st.outputTruePeak);
    addLoudness(j, "input", st.inputLoudness);
    addLoudness(j, "output", st.outputLoudness);
    j["search"] = searchJson(s);
    j["maxGainReductionDb"] = rounded(st.maxReductionDb, 3);
    j["averageGainReductionDb"] = rounded(st.averageReductionDb, 3);
    j["ceilingDbfs"] = st.ceilingKnown ? jsonDb(st.ceilingLinear) : nullptr;
    j["samplesAboveCeiling"] =
        st.ceilingKnown ? nlohmann::ordered_json(st.aboveCeiling) : nlohmann::ordered_json();
    j["nonFiniteInputSamples"] = st.nonFiniteInput;
    j["pluginRealTimeFactor"] = rounded(realTime(st, rate, st.pluginSeconds), 2);
    j["overallRealTimeFactor"] = rounded(realTime(st, rate, st.totalSeconds), 2);
    j["meteringShare"] =
        rounded(st.totalSeconds > 0 ? st.meteringSeconds / st.totalSeconds : 0.0, 4);
    return j;
}

void printAlbum(std::ostream& out, const RenderSummary& a, size_t files) {
    out << "album of " << files << " files\n";
    out << "  loudness        integrated     max momentary  max short-term  range\n";
    out << loudnessLine("input          ", a.stats.inputLoudness);
    out << loudnessLine("output         ", a.stats.outputLoudness);
    out << "  output          " << db(a.stats.outputTruePeak, "dBTP") << " true peak\n";
    if (a.searched) printSearch(out, a);
}

nlohmann::ordered_json albumObject(const RenderSummary& a) {
    nlohmann::ordered_json j;
    addLoudness(j, "input", a.stats.inputLoudness);
    addLoudness(j, "output", a.stats.outputLoudness);
    j["outputTruePeakDbtp"] = jsonDb(a.stats.outputTruePeak);
    j["search"] = searchJson(a);
    return j;
}
