#include "tools/tk42host/target_search.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// Aim a little inside the tolerances, so that the pass that lands is not one
// rounding away from missing.
constexpr double kLoudnessAim = 0.05;
constexpr double kTruePeakAim = 0.05;
constexpr double kTruePeakWindow = 0.2;  // how far under the limit counts as close enough
constexpr int kMaxCeilingPasses = 8;
constexpr int kMaxGainSteps = 16;

std::string figure(double v, const char* unit) {
    if (!std::isfinite(v)) return std::string("-inf ") + unit;
    char text[32];
    std::snprintf(text, sizeof text, "%.2f %s", v, unit);
    return text;
}

class Search {
  public:
    Search(const SearchTargets& t, double ceilingCap, const MeasurePass& m)
        : targets(t), cap(ceilingCap), measure(m) {}

    int passes = 0;

    SearchPoint pass(double gain, double ceiling) {
        ++passes;
        return measure(gain, ceiling);
    }

    // The highest ceiling, at most the cap, whose output keeps the true peak
    // at or under the limit; from the ceiling the last gain needed.
    bool ceilingFor(double gain, double start, SearchPoint& p) {
        double ceiling = std::min(start, cap);
        p = pass(gain, ceiling);
        if (!targets.truePeak) return true;
        double good = -INFINITY, bad = INFINITY;  // ceilings known to pass and to fail
        SearchPoint best;
        bool haveBest = false;
        for (int i = 0; i < kMaxCeilingPasses; ++i) {
            const double excess = p.truePeakDb - targets.truePeakMax;
            if (excess <= 0) {
                good = std::max(good, ceiling);
                if (!haveBest || ceiling > best.ceilingDb) best = p, haveBest = true;
                if (excess >= -kTruePeakWindow || ceiling >= cap) return true;
            } else {
                bad = std::min(bad, ceiling);
                if (ceiling <= kMinCeilingDb) break;
            }
            // The true peak follows the ceiling about dB for dB.
            double next = ceiling - (excess + kTruePeakAim);
            if (!(next > good && next < bad)) {
                next = std::isfinite(good) && std::isfinite(bad) ? 0.5 * (good + bad)
                                                                 : std::clamp(next, good, bad);
            }
            next = std::clamp(next, kMinCeilingDb, cap);
            if (next == ceiling) break;
            ceiling = next;
            p = pass(gain, ceiling);
        }
        if (p.truePeakDb <= targets.truePeakMax) return true;
        if (haveBest) {
            p = best;
            return true;
        }
        return false;
    }

  private:
    const SearchTargets& targets;
    double cap;
    const MeasurePass& measure;
};

}  // namespace

SearchResult searchTargets(const SearchTargets& targets, double gainDb, double ceilingDb,
                           const MeasurePass& measure) {
    SearchResult r;
    Search s(targets, ceilingDb, measure);
    const auto done = [&](bool reached, const SearchPoint& p, const std::string& error) {
        r.reached = reached;
        r.chosen = p;
        r.passes = s.passes;
        r.error = error;
        return r;
    };
    const auto peakError = [&](const SearchPoint& p) {
        return "the true peak cannot be brought to " + figure(targets.truePeakMax, "dBTP") +
               ": the lowest ceiling (" + figure(kMinCeilingDb, "dBFS") + ") gives " +
               figure(p.truePeakDb, "dBTP");
    };

    SearchPoint p;
    if (!targets.loudness) {
        if (!s.ceilingFor(gainDb, ceilingDb, p)) return done(false, p, peakError(p));
        return done(true, p, "");
    }

    const double want = targets.lufs;
    if (!s.ceilingFor(0.0, ceilingDb, p)) return done(false, p, peakError(p));
    if (!std::isfinite(p.lufs)) {
        return done(false, p,
                    "the input has no integrated loudness (silent, or shorter than 400 ms), so "
                    "no gain reaches " +
                        figure(want, "LUFS"));
    }
    if (p.lufs > want + kLoudnessTolerance) {
        return done(false, p,
                    figure(want, "LUFS") +
                        " is quieter than the input limited with 0 dB of gain: " +
                        "the nearest reachable is " + figure(p.lufs, "LUFS"));
    }
    SearchPoint low = p, high, loudest = p;
    bool haveHigh = false;
    double slope = 1.0;  // LU of output per dB of gain, from the last two passes below
    const auto tooLoud = [&]() {
        return done(false, loudest,
                    figure(want, "LUFS") + " is louder than " + figure(kMaxGainDb, "dB") +
                        " of gain can make" +
                        (targets.truePeak ? " under the true-peak limit" : "") +
                        ": the nearest reachable is " + figure(loudest.lufs, "LUFS"));
    };
    for (int step = 0; step < kMaxGainSteps; ++step) {
        if (std::fabs(p.lufs - want) <= kLoudnessTolerance) return done(true, p, "");
        if (p.lufs > loudest.lufs) loudest = p;
        if (p.lufs < want) {
            if (p.gainDb > low.gainDb) slope = (p.lufs - low.lufs) / (p.gainDb - low.gainDb);
            low = p;
            if (p.gainDb >= kMaxGainDb) return tooLoud();
        } else {
            high = p;
            haveHigh = true;
        }
        double next;
        if (!haveHigh) {
            // Step by the shortfall over the loudness a dB of gain brought
            // last; where it brought almost none, the limiter is saturated
            // and the top of the range decides whether the target is reachable.
            next = slope < 0.05
                       ? kMaxGainDb
                       : low.gainDb + (want + kLoudnessAim - low.lufs) / std::min(slope, 1.0);
        } else {
            // Interpolate between the passes either side of the target, kept
            // away from their ends so that each pass narrows the interval.
            const double span = high.gainDb - low.gainDb;
            const double t = (want - low.lufs) / (high.lufs - low.lufs);
            next = low.gainDb + span * std::clamp(t, 0.1, 0.9);
        }
        next = std::clamp(next, 0.0, kMaxGainDb);
        if (next == p.gainDb) next = haveHigh ? 0.5 * (low.gainDb + high.gainDb) : kMaxGainDb;
        if (!s.ceilingFor(next, p.ceilingDb, p)) return done(false, p, peakError(p));
    }
    if (std::fabs(p.lufs - want) <= kLoudnessTolerance) return done(true, p, "");
    return done(false, p,
                "no gain found for " + figure(want, "LUFS") + " in " + std::to_string(s.passes) +
                    " passes; the nearest reached is " + figure(p.lufs, "LUFS"));
}
