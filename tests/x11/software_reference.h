// The panel as the software platform draws it, in this process: what the X11
// module must show, pixel for pixel, outside the text boxes.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

// 400 x 220 pixels 0xRRGGBB, top row first, of a freshly opened panel whose
// parameters have these normalised values (the rest their defaults).
std::vector<uint32_t> softwarePanel(const std::vector<std::pair<int32_t, float>>& values = {});
