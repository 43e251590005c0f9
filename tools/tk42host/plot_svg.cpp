#include "tools/tk42host/plot_svg.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

namespace {

using namespace plot;

constexpr const char* kInPeak[2] = {"#6baed6", "#9ecae1"};
constexpr const char* kInRms[2] = {"#08519c", "#3182bd"};
constexpr const char* kOutPeak[2] = {"#e6550d", "#fdae6b"};
constexpr const char* kOutRms[2] = {"#a63603", "#d94801"};
constexpr const char* kShortTerm = "#238b45";
constexpr const char* kCeiling = "#e31a1c";
constexpr const char* kReduction = "#cb181d";

std::string num(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", v);
    return text;
}

std::string escape(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == '<') {
            out += "&lt;";
        } else if (c == '>') {
            out += "&gt;";
        } else if (c == '&') {
            out += "&amp;";
        } else if (c == '"') {
            out += "&quot;";
        } else {
            out += c;
        }
    }
    return out;
}

double levelY(double db) {
    db = std::clamp(db, kLevelMinDb, kLevelMaxDb);
    return kLevelTop +
           (kLevelMaxDb - db) / (kLevelMaxDb - kLevelMinDb) * (kLevelBottom - kLevelTop);
}

double linearY(double linear) {
    return levelY(linear > 0 ? 20.0 * std::log10(linear) : kLevelMinDb);
}

std::string clock(double seconds) {
    const int whole = static_cast<int>(std::floor(seconds + 1e-9));
    char text[32];
    const double fraction = seconds - whole;
    if (fraction > 1e-6) {
        std::snprintf(text, sizeof text, "%d:%04.1f", whole / 60, std::fmod(seconds, 60.0));
    } else {
        std::snprintf(text, sizeof text, "%d:%02d", whole / 60, whole % 60);
    }
    return text;
}

// A tick step giving about eight ticks over the duration.
double tickStep(double seconds) {
    const double steps[] = {0.1, 0.2, 0.5, 1, 2, 5, 10, 15, 30, 60, 120, 300, 600, 900, 1800, 3600};
    for (double s : steps) {
        if (seconds / s <= 10) return s;
    }
    return 7200;
}

class Svg {
  public:
    std::ostringstream out;

    void line(double x1, double y1, double x2, double y2, const char* colour, double width,
              const char* extra = "") {
        out << "<line x1=\"" << num(x1) << "\" y1=\"" << num(y1) << "\" x2=\"" << num(x2)
            << "\" y2=\"" << num(y2) << "\" stroke=\"" << colour << "\" stroke-width=\"" << width
            << "\"" << extra << "/>\n";
    }
    void text(double x, double y, const std::string& s, const char* anchor = "middle",
              const char* extra = "") {
        out << "<text x=\"" << num(x) << "\" y=\"" << num(y) << "\" text-anchor=\"" << anchor
            << "\"" << extra << ">" << escape(s) << "</text>\n";
    }
    void polyline(const std::vector<std::pair<double, double>>& points, const char* colour,
                  double width) {
        if (points.empty()) return;
        out << "<polyline fill=\"none\" stroke=\"" << colour << "\" stroke-width=\"" << width
            << "\" stroke-linejoin=\"round\" points=\"";
        for (const auto& p : points) out << num(p.first) << "," << num(p.second) << " ";
        out << "\"/>\n";
    }
};

}  // namespace

double plot::reductionScaleDb(double maxReductionDb) {
    for (double s : {6.0, 12.0, 24.0}) {
        if (maxReductionDb <= s) return s;
    }
    return std::ceil(maxReductionDb / 12.0) * 12.0;
}

std::string plotSvg(const PlotData& d) {
    const std::vector<PlotColumn>& cols = d.envelopes->columns();
    const double perColumn = static_cast<double>(d.envelopes->framesPerColumn());
    const double seconds =
        std::max(1e-3, static_cast<double>(cols.size()) * perColumn / d.sampleRate);
    const auto timeX = [&](double t) { return kLeft + t / seconds * (kRight - kLeft); };
    // Each column is drawn at its middle.
    const auto columnX = [&](size_t i) { return timeX((i + 0.5) * perColumn / d.sampleRate); };
    double maxReduction = 0;
    for (const PlotColumn& c : cols) maxReduction = std::max(maxReduction, c.reductionDb);
    const double reductionScale = reductionScaleDb(maxReduction);
    const auto reductionY = [&](double db) {
        return kReductionTop +
               std::min(db, reductionScale) / reductionScale * (kReductionBottom - kReductionTop);
    };

    Svg s;
    s.out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
          << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << kWidth << "\" height=\""
          << kHeight << "\" viewBox=\"0 0 " << kWidth << " " << kHeight
          << "\" font-family=\"Liberation Sans, Arial, sans-serif\" font-size=\"12\">\n"
          << "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n";
    s.text(kWidth / 2.0, 28, d.title, "middle", " font-size=\"16\"");

    // Grids and axes.
    for (double db = kLevelMinDb; db <= kLevelMaxDb; db += 12) {
        s.line(kLeft, levelY(db), kRight, levelY(db), "#dddddd", 1);
        s.text(kLeft - 6, levelY(db) + 4, num(db).substr(0, num(db).size() - 2), "end");
    }
    for (double db = 0; db <= reductionScale; db += reductionScale / 4) {
        s.line(kLeft, reductionY(db), kRight, reductionY(db), "#dddddd", 1);
        s.text(kLeft - 6, reductionY(db) + 4, num(db).substr(0, num(db).size() - 2), "end");
    }
    const double step = tickStep(seconds);
    for (double t = 0; t <= seconds + 1e-9; t += step) {
        s.line(timeX(t), kLevelTop, timeX(t), kLevelBottom, "#eeeeee", 1);
        s.line(timeX(t), kReductionTop, timeX(t), kReductionBottom, "#eeeeee", 1);
        s.line(timeX(t), kReductionBottom, timeX(t), kReductionBottom + 5, "black", 1);
        s.text(timeX(t), kReductionBottom + 18, clock(t));
    }
    s.text((kLeft + kRight) / 2.0, kHeight - 20, "time (minutes:seconds)");
    s.text(22, (kLevelTop + kLevelBottom) / 2.0, "level (dBFS, LUFS)", "middle",
           " transform=\"rotate(-90 22 255)\"");
    s.text(22, (kReductionTop + kReductionBottom) / 2.0, "gain reduction (dB)", "middle",
           " transform=\"rotate(-90 22 580)\"");

    // The gain reduction, filled down from 0 dB.
    s.out << "<polygon fill=\"" << kReduction << "\" fill-opacity=\"0.8\" points=\"" << num(kLeft)
          << "," << kReductionTop << " ";
    for (size_t i = 0; i < cols.size(); ++i)
        s.out << num(columnX(i)) << "," << num(reductionY(cols[i].reductionDb)) << " ";
    s.out << num(kRight) << "," << kReductionTop << "\"/>\n";

    // Levels: input under output, peaks under RMS.
    using Member = double(PlotColumn::*)[2];
    const auto curve = [&](Member m, int channel, const char* colour, double width) {
        std::vector<std::pair<double, double>> points;
        for (size_t i = 0; i < cols.size(); ++i)
            points.emplace_back(columnX(i), linearY((cols[i].*m)[channel]));
        s.polyline(points, colour, width);
    };
    const int channels = d.channels == 1 ? 1 : 2;
    for (int c = channels - 1; c >= 0; --c) curve(&PlotColumn::inPeak, c, kInPeak[c], 1.5);
    for (int c = channels - 1; c >= 0; --c) curve(&PlotColumn::inRms, c, kInRms[c], 1.5);
    for (int c = channels - 1; c >= 0; --c) curve(&PlotColumn::outPeak, c, kOutPeak[c], 1.5);
    for (int c = channels - 1; c >= 0; --c) curve(&PlotColumn::outRms, c, kOutRms[c], 1.5);
    if (d.ceilingKnown) {
        s.line(kLeft, levelY(d.ceilingDb), kRight, levelY(d.ceilingDb), kCeiling, 1.5,
               " stroke-dasharray=\"8 4\"");
    }
    std::vector<std::pair<double, double>> loudness;
    for (size_t i = 0; i < d.shortTerm.size(); ++i) {
        // Window i ends 3 s + i * 100 ms in; drawn at its end.
        const double t = 3.0 + 0.1 * static_cast<double>(i);
        if (std::isfinite(d.shortTerm[i])) loudness.emplace_back(timeX(t), levelY(d.shortTerm[i]));
    }
    s.polyline(loudness, kShortTerm, 2.5);

    // Frames and the legend.
    s.out << "<rect x=\"" << kLeft << "\" y=\"" << kLevelTop << "\" width=\"" << kRight - kLeft
          << "\" height=\"" << kLevelBottom - kLevelTop << "\" fill=\"none\" stroke=\"black\"/>\n";
    s.out << "<rect x=\"" << kLeft << "\" y=\"" << kReductionTop << "\" width=\"" << kRight - kLeft
          << "\" height=\"" << kReductionBottom - kReductionTop
          << "\" fill=\"none\" stroke=\"black\"/>\n";
    struct Key {
        const char* colour;
        const char* label;
    };
    std::vector<Key> keys = {{kInPeak[0], "input peak"},
                             {kInRms[0], "input RMS"},
                             {kOutPeak[0], "output peak"},
                             {kOutRms[0], "output RMS"},
                             {kShortTerm, "short-term loudness (LUFS)"}};
    if (d.ceilingKnown) keys.push_back({kCeiling, "ceiling"});
    if (channels == 2) keys.push_back({"#999999", "light: right channel"});
    double x = kLeft;
    for (const Key& k : keys) {
        s.line(x, 44, x + 20, 44, k.colour, 3);
        s.text(x + 25, 48, k.label, "start");
        x += 40 + 7.0 * std::string(k.label).size();
    }
    s.out << "</svg>\n";
    return s.out.str();
}
