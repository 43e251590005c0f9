// One scene of everything the editor draws with, rendered the same way on
// both platforms and compared with a capture from GDI.
#pragma once

#include "toolkit/bitmap.h"
#include "toolkit/offscreen_context.h"

namespace tk42test {

constexpr int kSceneWidth = 160;
constexpr int kSceneHeight = 100;

// The boxes that hold text: anti-aliasing differs between the platforms, so
// comparisons leave these out.
constexpr int kSceneTextBoxes = 3;
extern const TKGUI::CRect kSceneTextBox[kSceneTextBoxes];

// Draws into a kSceneWidth x kSceneHeight context; strip is kStripImage.
void drawScene(TKGUI::COffscreenContext* context, TKGUI::CBitmap* strip);

}  // namespace tk42test
