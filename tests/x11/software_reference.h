// The panel as the software platform draws it, in this process: what the X11
// module must show, pixel for pixel, outside the text boxes.
#pragma once

#include <cstdint>
#include <vector>

// 400 x 220 pixels 0xRRGGBB, top row first, of a freshly opened panel.
std::vector<uint32_t> softwarePanel();
