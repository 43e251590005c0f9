#include "tools/tk42host/parameter_units.h"

#include <cmath>
#include <sstream>

#include "engine/parameters.h"

namespace {

constexpr UnitOptionInfo kInfo[] = {
    {"--gain-db", kGain, "dB"},
    {"--ceiling-db", kThresh, "dBFS"},
    {"--attack-ms", kAtkH, "ms"},
    {"--release-ms", kRelH, "ms"},
    {"--clip-release-ms", kRelease, "ms"},
};

}  // namespace

const UnitOptionInfo& unitOptionInfo(UnitOption option) {
    return kInfo[static_cast<int>(option)];
}

void unitRange(UnitOption option, bool limitMode, double& low, double& high) {
    parameterRange(unitOptionInfo(option).parameter, limitMode, low, high);
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
    normalised = fromReal(unitOptionInfo(option).parameter, value, limitMode);
    return true;
}
