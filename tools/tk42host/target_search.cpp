#include "tools/tk42host/target_search.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <utility>

namespace {

// Aim a little inside the true-peak limit, so that the pass that lands is
// not one rounding away from missing it.
constexpr double kTruePeakAim = 0.05;
constexpr double kTruePeakWindow = 0.3;  // how far under the limit counts as close enough
// A limiter's output overshoots its ceiling between the samples by about this
// much: where to put the first ceiling when the peaks will reach it.
constexpr double kFirstOvershoot = 0.5;
constexpr int kMaxCeilingPasses = 8;
constexpr int kMaxPasses = 16;
// Output LU per dB of drive: 1 while the limiter is idle, less as it works.
constexpr double kMinSlope = 0.02;
constexpr double kMaxSlope = 1.5;
// The largest moves of drive and ceiling in one step.
constexpr double kMaxDriveStepDb = 12;
constexpr double kMaxCeilingStepDb = 3;
constexpr double kMinPeakSlope = 0.3;

std::string figure(double v, const char* unit) {
    if (!std::isfinite(v)) return std::string("-inf ") + unit;
    char text[32];
    std::snprintf(text, sizeof text, "%.2f %s", v, unit);
    return text;
}

class Search {
  public:
    Search(const SearchTargets& t, const SearchLimits& l, const MeasurePass& m)
        : targets(t), limits(l), measure(m) {}

    int passes = 0;

    // One pass; a point measured before is not measured again.
    SearchPoint pass(double drive, double ceiling) {
        const auto key = std::make_pair(drive, ceiling);
        const auto known = seen.find(key);
        if (known != seen.end()) return known->second;
        ++passes;
        SearchPoint p = measure(drive, ceiling);
        p.driveDb = drive;
        p.ceilingDb = ceiling;
        seen[key] = p;
        return p;
    }

    bool peakOk(const SearchPoint& p) const {
        return !targets.truePeak || p.truePeakDb <= targets.truePeakMax;
    }

    // The next ceiling for a pass at this one's drive: down by the excess,
    // or back up towards the cap when the peaks sit well under the limit.
    double nextCeiling(const SearchPoint& p) const {
        if (!targets.truePeak) return p.ceilingDb;
        const double excess = p.truePeakDb - targets.truePeakMax;
        double c = p.ceilingDb;
        if (excess > 0) {
            c -= excess + kTruePeakAim;
        } else if (excess < -kTruePeakWindow && std::isfinite(p.truePeakDb)) {
            c -= excess + kTruePeakAim;  // raises it
        }
        return std::clamp(c, limits.minCeilingDb, limits.ceilingCapDb);
    }

    // The highest ceiling, at most the cap, whose output keeps the true peak
    // at or under the limit, at a fixed drive; deterministic, for the ends of
    // the range. False when even the lowest ceiling lets the peaks through.
    bool ceilingAt(double drive, SearchPoint& p) {
        double ceiling = limits.ceilingCapDb;
        double good = -INFINITY, bad = INFINITY;  // ceilings known to pass and to fail
        SearchPoint best;
        bool haveBest = false;
        p = pass(drive, ceiling);
        for (int i = 0; targets.truePeak && i < kMaxCeilingPasses; ++i) {
            const double excess = p.truePeakDb - targets.truePeakMax;
            if (excess <= 0) {
                good = std::max(good, ceiling);
                if (!haveBest || ceiling > best.ceilingDb) best = p, haveBest = true;
                if (excess >= -kTruePeakWindow || ceiling >= limits.ceilingCapDb) return true;
            } else {
                bad = std::min(bad, ceiling);
                if (ceiling <= limits.minCeilingDb) break;
            }
            // The true peak follows the ceiling about dB for dB.
            double next = ceiling - (excess + kTruePeakAim);
            if (!(next > good && next < bad)) {
                next = std::isfinite(good) && std::isfinite(bad) ? 0.5 * (good + bad)
                                                                 : std::clamp(next, good, bad);
            }
            next = std::clamp(next, limits.minCeilingDb, limits.ceilingCapDb);
            if (next == ceiling) break;
            ceiling = next;
            p = pass(drive, ceiling);
        }
        if (peakOk(p)) return true;
        if (haveBest) p = best;
        return haveBest;
    }

  private:
    const SearchTargets& targets;
    const SearchLimits& limits;
    const MeasurePass& measure;
    std::map<std::pair<double, double>, SearchPoint> seen;
};

// Broyden's rank-one correction of the model j from one step, kept to
// slopes a limiter can have; the true-peak row only between passes that
// both steered the true peak.
void learn(double j[2][2], const SearchPoint& p, const SearchPoint& last, const double f[2],
           const double lastF[2], bool peakRow) {
    const double dx[2] = {p.driveDb - last.driveDb, p.ceilingDb - last.ceilingDb};
    const double norm = dx[0] * dx[0] + dx[1] * dx[1];
    if (norm < 1e-12) return;
    for (int row = 0; row < (peakRow ? 2 : 1); ++row) {
        const double miss = (f[row] - lastF[row]) - (j[row][0] * dx[0] + j[row][1] * dx[1]);
        for (int k = 0; k < 2; ++k) j[row][k] += miss * dx[k] / norm;
    }
    j[0][0] = std::clamp(j[0][0], kMinSlope, kMaxSlope);
    j[0][1] = std::clamp(j[0][1], 0.0, kMaxSlope);
    j[1][0] = std::clamp(j[1][0], 0.0, kMaxSlope);
    // The true peak ignores a ceiling above the peaks: a slope learnt there
    // would send the next ceiling far down.
    j[1][1] = std::clamp(j[1][1], kMinPeakSlope, kMaxSlope);
}

std::string peakError(const SearchTargets& targets, const SearchLimits& limits,
                      const SearchPoint& p) {
    return "the true peak cannot be brought to " + figure(targets.truePeakMax, "dBTP") +
           ": the lowest ceiling (" + figure(limits.minCeilingDb, "dBFS") + ") gives " +
           figure(p.truePeakDb, "dBTP");
}

}  // namespace

SearchResult searchTargets(const SearchTargets& targets, const SearchLimits& limits,
                           const SearchStart& start, const MeasurePass& measure) {
    SearchResult r;
    Search s(targets, limits, measure);
    const auto done = [&](bool reached, const SearchPoint& p, const std::string& error) {
        r.reached = reached;
        r.chosen = p;
        r.passes = s.passes;
        r.error = error;
        return r;
    };

    SearchPoint p;
    if (!targets.loudness) {
        if (!s.ceilingAt(start.driveDb, p)) return done(false, p, peakError(targets, limits, p));
        return done(true, p, "");
    }
    const double want = targets.lufs;
    if (!std::isfinite(start.inputLufs)) {
        return done(false, p,
                    "the input has no integrated loudness (silent, or shorter than 400 ms), so "
                    "no gain reaches " +
                        figure(want, "LUFS"));
    }

    const double lowest = limits.minTrimDb, highest = limits.maxGainDb;
    double drive = std::clamp(want - start.inputLufs, lowest, highest);
    double ceiling = limits.ceilingCapDb;
    // Peaks that the drive brings over the limit will meet the ceiling, which
    // then decides the true peak.
    if (targets.truePeak && start.inputTruePeakDb + drive > targets.truePeakMax - kTruePeakAim)
        ceiling = std::clamp(targets.truePeakMax - kFirstOvershoot, limits.minCeilingDb,
                             limits.ceilingCapDb);

    // Loudness and, once the peaks meet the ceiling, true peak against drive
    // and ceiling, as a local linear model that each pass corrects (Broyden's
    // update): it learns how the two move together, that a higher drive
    // raises the true peak and a lower ceiling takes loudness away, so that
    // one step moves both towards their targets.
    double j[2][2] = {{1, 0}, {0, 1}};  // rows loudness, true peak; columns drive, ceiling
    bool peakActive = targets.truePeak && ceiling < limits.ceilingCapDb;
    SearchPoint last;
    double lastF[2] = {0, 0};
    bool haveLast = false, lastActive = false;
    for (int step = 0; step < kMaxPasses; ++step) {
        p = s.pass(drive, ceiling);
        if (!std::isfinite(p.lufs)) break;
        if (s.peakOk(p) && std::fabs(p.lufs - want) <= kLoudnessTolerance) return done(true, p, "");
        if (targets.truePeak && !s.peakOk(p) && p.ceilingDb <= limits.minCeilingDb)
            return done(false, p, peakError(targets, limits, p));
        if (!s.peakOk(p)) peakActive = true;
        const double f[2] = {p.lufs - want,
                             peakActive ? p.truePeakDb - (targets.truePeakMax - kTruePeakAim) : 0};
        if (haveLast) learn(j, p, last, f, lastF, peakActive && lastActive);
        last = p, lastF[0] = f[0], lastF[1] = f[1], lastActive = peakActive, haveLast = true;

        // Out of range at the ends of the drive, with the true peak settled.
        const bool settled =
            !peakActive ||
            (s.peakOk(p) && (f[1] > -kTruePeakWindow || ceiling >= limits.ceilingCapDb));
        if (settled && ((drive >= highest && f[0] < 0) || (drive <= lowest && f[0] > 0))) break;
        double dd = 0, dc = 0;
        const double det = j[0][0] * j[1][1] - j[0][1] * j[1][0];
        if (!peakActive) {
            dd = -f[0] / j[0][0];
        } else if (std::fabs(det) > 1e-6) {
            dd = (-f[0] * j[1][1] + f[1] * j[0][1]) / det;
            dc = (-f[1] * j[0][0] + f[0] * j[1][0]) / det;
        } else {
            dd = -f[0] / j[0][0];
            dc = -f[1] / j[1][1];
        }
        const double nextDrive =
            std::clamp(drive + std::clamp(dd, -kMaxDriveStepDb, kMaxDriveStepDb), lowest, highest);
        const double nextCeiling =
            std::clamp(ceiling + std::clamp(dc, -kMaxCeilingStepDb, kMaxCeilingStepDb),
                       limits.minCeilingDb, limits.ceilingCapDb);
        if (nextDrive == drive && nextCeiling == ceiling) break;
        drive = nextDrive;
        ceiling = nextCeiling;
    }

    // Either the loudness lies outside what the drive can reach, or the
    // search did not settle: both report the reachable range, measured at
    // the two ends of the drive.
    SearchPoint quiet, loud;
    if (!s.ceilingAt(lowest, quiet) || !s.ceilingAt(highest, loud))
        return done(false, loud, peakError(targets, limits, loud));
    r.haveRange = true;
    r.quietestLufs = quiet.lufs;
    r.loudestLufs = loud.lufs;
    // Trimmed far enough, a quiet input falls under the absolute gate.
    const std::string quietest =
        std::isfinite(quiet.lufs) ? figure(quiet.lufs, "LUFS") : "under -70 LUFS";
    const std::string range = "the reachable range is " + quietest + " to " +
                              figure(loud.lufs, "LUFS") +
                              (targets.truePeak ? " under the true-peak limit" : "");
    if (want < quiet.lufs - kLoudnessTolerance)
        return done(false, quiet,
                    figure(want, "LUFS") + " needs a deeper trim than the host's " +
                        figure(lowest, "dB") + "; " + range);
    if (want > loud.lufs + kLoudnessTolerance)
        return done(false, loud,
                    figure(want, "LUFS") + " is louder than " + figure(highest, "dB") +
                        " of gain can make; " + range);
    return done(false, p,
                "no setting found for " + figure(want, "LUFS") + " in " + std::to_string(s.passes) +
                    " passes; " + range);
}
