// The command line's options in the user's units, checked against the
// ranges of the limiter's parameter table and mapped through its laws.
#pragma once

#include <cstdint>
#include <string>

enum class UnitOption { GainDb, CeilingDb, AttackMs, ReleaseMs, ClipReleaseMs };

struct UnitOptionInfo {
    const char* option;  // as on the command line
    int32_t parameter;   // index in the limiter's parameter table
    const char* unit;
};

const UnitOptionInfo& unitOptionInfo(UnitOption option);
// The option's range; the clip release depends on the mode.
void unitRange(UnitOption option, bool limitMode, double& low, double& high);

// The normalised value that the effect maps back to this value in the user's
// units, or false with a message when the value is outside the range.
bool unitToNormalised(UnitOption option, double value, bool limitMode, float& normalised,
                      std::string& error);
