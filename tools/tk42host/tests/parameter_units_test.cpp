// The unit options map to the normalised values that the effect maps back to
// the same units, and refuse values outside the parameter's range.
#include "tools/tk42host/parameter_units.h"

#include <gtest/gtest.h>

#include <cmath>

#include "engine/parameters.h"

namespace {

float normalised(UnitOption option, double value, bool limitMode = true) {
    float v = -1;
    std::string error;
    EXPECT_TRUE(unitToNormalised(option, value, limitMode, v, error)) << error;
    return v;
}

std::string refusal(UnitOption option, double value, bool limitMode = true) {
    float v = -1;
    std::string error;
    EXPECT_FALSE(unitToNormalised(option, value, limitMode, v, error)) << value << " accepted";
    return error;
}

}  // namespace

TEST(ParameterUnits, EveryUnitMapsBackToTheValueAsked) {
    for (double db : {0.0, 0.5, 6.0, 23.9, 24.0}) {
        EXPECT_NEAR(gainDb(normalised(UnitOption::GainDb, db)), db, 1e-5) << db;
    }
    for (double db : {-24.0, -12.5, -1.0, -0.1, 0.0}) {
        EXPECT_NEAR(ceilingDb(normalised(UnitOption::CeilingDb, db)), db, 1e-5) << db;
    }
    for (double ms : {0.02, 0.05, 1.0, 5.0, 10.0}) {
        EXPECT_NEAR(limitAttackMs(normalised(UnitOption::AttackMs, ms)), ms, ms * 1e-5) << ms;
    }
    for (double ms : {1.0, 3.0, 80.0, 4999.0, 5000.0}) {
        EXPECT_NEAR(limitReleaseMs(normalised(UnitOption::ReleaseMs, ms)), ms, ms * 1e-5) << ms;
    }
    for (double ms : {0.1, 2.0, 250.0, 500.0}) {
        EXPECT_NEAR(clipReleaseMs(normalised(UnitOption::ClipReleaseMs, ms, true), true), ms,
                    ms * 1e-5);
    }
    for (double ms : {0.1, 2.0, 20.0}) {
        EXPECT_NEAR(clipReleaseMs(normalised(UnitOption::ClipReleaseMs, ms, false), false), ms,
                    ms * 1e-5);
    }
}

TEST(ParameterUnits, ValuesOutsideTheRangeAreRefusedWithTheRange) {
    EXPECT_NE(refusal(UnitOption::GainDb, -0.5).find("outside 0 to 24 dB"), std::string::npos);
    EXPECT_NE(refusal(UnitOption::GainDb, 24.5).find("--gain-db"), std::string::npos);
    EXPECT_NE(refusal(UnitOption::CeilingDb, 0.5).find("-24 to"), std::string::npos);
    refusal(UnitOption::CeilingDb, -30);
    refusal(UnitOption::AttackMs, 0.01);
    refusal(UnitOption::ReleaseMs, 6000);
    refusal(UnitOption::GainDb, NAN);
    // The clip release's range depends on the mode.
    normalised(UnitOption::ClipReleaseMs, 100, true);
    EXPECT_NE(refusal(UnitOption::ClipReleaseMs, 100, false).find("in CLIP mode"),
              std::string::npos);
}
