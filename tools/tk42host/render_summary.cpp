#include "tools/tk42host/render_summary.h"

#include <cmath>
#include <cstdio>
#include <sstream>

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
    std::snprintf(text, sizeof text, "%.*f", decimals, v);
    return text;
}

// JSON has no infinity: silence is null.
std::string jsonDb(double linear) {
    const double v = toDb(linear);
    return std::isfinite(v) ? fixed(v, 3) : "null";
}

std::string jsonString(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", c);
            out += esc;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
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
    const RenderStats& st = s.stats;
    const uint32_t rate = s.inputFormat.sampleRate;
    std::ostringstream j;
    j << "{\n"
      << "  \"input\": " << jsonString(s.input) << ",\n"
      << "  \"output\": " << jsonString(s.output) << ",\n"
      << "  \"sampleRate\": " << rate << ",\n"
      << "  \"channels\": " << s.inputFormat.channels << ",\n"
      << "  \"frames\": " << st.frames << ",\n"
      << "  \"seconds\": " << fixed(static_cast<double>(st.frames) / rate, 6) << ",\n"
      << "  \"inputFormat\": \"" << formatName(s.inputFormat.sample) << "\",\n"
      << "  \"outputFormat\": \"" << formatName(s.outputFormat) << "\",\n"
      << "  \"dither\": " << (s.dithered ? "true" : "false") << ",\n"
      << "  \"blockSize\": " << s.blockSize << ",\n"
      << "  \"doublePrecision\": " << (s.doublePrecision ? "true" : "false") << ",\n"
      << "  \"delaySamples\": " << s.delay << ",\n"
      << "  \"delayReported\": " << (s.delayReported ? "true" : "false") << ",\n"
      << "  \"delayCompensated\": " << (s.delayCompensated ? "true" : "false") << ",\n"
      << "  \"inputSamplePeakDbfs\": " << jsonDb(st.inputSamplePeak) << ",\n"
      << "  \"inputTruePeakDbtp\": " << jsonDb(st.inputTruePeak) << ",\n"
      << "  \"outputSamplePeakDbfs\": " << jsonDb(st.outputSamplePeak) << ",\n"
      << "  \"outputTruePeakDbtp\": " << jsonDb(st.outputTruePeak) << ",\n"
      << "  \"maxGainReductionDb\": " << fixed(st.maxReductionDb, 3) << ",\n"
      << "  \"averageGainReductionDb\": " << fixed(st.averageReductionDb, 3) << ",\n"
      << "  \"ceilingDbfs\": " << (st.ceilingKnown ? jsonDb(st.ceilingLinear) : "null") << ",\n"
      << "  \"samplesAboveCeiling\": "
      << (st.ceilingKnown ? std::to_string(st.aboveCeiling) : std::string("null")) << ",\n"
      << "  \"nonFiniteInputSamples\": " << st.nonFiniteInput << ",\n"
      << "  \"pluginRealTimeFactor\": " << fixed(realTime(st, rate, st.pluginSeconds), 2) << ",\n"
      << "  \"overallRealTimeFactor\": " << fixed(realTime(st, rate, st.totalSeconds), 2) << "\n"
      << "}\n";
    return j.str();
}
