// Text measurement on the software platform, for pop-up fields that place a
// caret and a selection over text drawn by drawText.
#pragma once

#include "toolkit/platform/platform.h"

namespace TKGUI {
namespace software {

// The advance width of the line in pixels, as drawText lays it out; 0
// without a font that could be loaded.
int textWidth(platform::Font* font, const char* text);

}  // namespace software
}  // namespace TKGUI
