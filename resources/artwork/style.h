// Colours and sizes shared by the panel and the controls.
#pragma once

#include "metal.h"
#include "text.h"

namespace art {

constexpr Rgb kPanelMetal{44, 46, 50};
// Silk-screen white and the amber of the meter and the model number.
constexpr Ink kLegendInk{0.90, 0.90, 0.88, 1.0};
constexpr Ink kScaleInk{0.78, 0.79, 0.78, 1.0};
constexpr Ink kAmberInk{0.98, 0.66, 0.16, 1.0};

// Dotted scales: radii from the knob centre.
constexpr double kLargeDotRadius = 36.5;
// Distance from the knob centre to the inner edge of the scale numbers.
constexpr double kLargeNumberGap = 41.0;
constexpr double kSmallDotRadius = 18.8;

constexpr double kLabelSize = 9.0;
constexpr double kSmallLabelSize = 8.0;
constexpr double kNumberSize = 8.0;

}  // namespace art
