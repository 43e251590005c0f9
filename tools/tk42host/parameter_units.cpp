#include "tools/tk42host/parameter_units.h"

#include <cmath>
#include <sstream>

#include "effect/parameters.h"

namespace {

constexpr UnitOptionInfo kInfo[] = {
    {"--gain-db", kGain, "dB"},
    {"--ceiling-db", kThresh, "dBFS"},
    {"--attack-ms", kAtkH, "ms"},
    {"--release-ms", kRelH, "ms"},
    {"--clip-release-ms", kRelease, "ms"},
};

// Where value lies between the mapping's ends, 0 to 1. The level mappings
// are linear in v and the time mappings linear in v cubed, so this fraction
// or its cube root is the normalised value.
double fraction(double value, double low, double high) {
    return (value - low) / (high - low);
}

bool isTime(UnitOption option) {
    return option != UnitOption::GainDb && option != UnitOption::CeilingDb;
}

}  // namespace

const UnitOptionInfo& unitOptionInfo(UnitOption option) {
    return kInfo[static_cast<int>(option)];
}

void unitRange(UnitOption option, bool limitMode, double& low, double& high) {
    switch (option) {
        case UnitOption::GainDb:
            low = gainDb(0.0f), high = gainDb(1.0f);
            return;
        case UnitOption::CeilingDb:
            low = ceilingDb(0.0f), high = ceilingDb(1.0f);
            return;
        case UnitOption::AttackMs:
            low = limitAttackMs(0.0f), high = limitAttackMs(1.0f);
            return;
        case UnitOption::ReleaseMs:
            low = limitReleaseMs(0.0f), high = limitReleaseMs(1.0f);
            return;
        case UnitOption::ClipReleaseMs:
            low = clipReleaseMs(0.0f, limitMode), high = clipReleaseMs(1.0f, limitMode);
            return;
    }
}

bool unitToNormalised(UnitOption option, double value, bool limitMode, float& normalised,
                      std::string& error) {
    double low = 0, high = 0;
    unitRange(option, limitMode, low, high);
    // A small tolerance for ranges printed and typed back with rounding.
    const double slack = (high - low) * 1e-9;
    if (!std::isfinite(value) || value < low - slack || value > high + slack) {
        std::ostringstream s;
        s << unitOptionInfo(option).option << " " << value << " is outside " << low << " to "
          << high << " " << unitOptionInfo(option).unit;
        if (option == UnitOption::ClipReleaseMs)
            s << (limitMode ? " in LIMIT mode" : " in CLIP mode");
        error = s.str();
        return false;
    }
    const double f = fraction(value, low, high);
    const float v = static_cast<float>(isTime(option) ? std::cbrt(f) : f);
    normalised = std::fmin(1.0f, std::fmax(0.0f, v));
    return true;
}
