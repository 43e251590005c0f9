// The six images of the editor, and a composite preview for people to look at.
#pragma once

#include "image.h"
#include "layout.h"

namespace art {

Image drawPanel();           // 101: 400 x 220 faceplate with all legends
Image drawLargeKnobStrip();  // 102: 97 frames of 80 x 80
Image drawSmallKnobStrip();  // 103: 97 frames of 40 x 40
Image drawMeterStrip();      // 104: 21 frames of 360 x 30
Image drawToggleStrip();     // 105: 2 frames of 40 x 40
Image drawSwitchStrip();     // 106: 2 frames of 40 x 30

// Internals of the panel, drawn in this order.
void drawFaceplate(Image& panel);
void drawLegends(cairo_t* cr);

struct PreviewState {
    int gainFrame, ceilingFrame, attackFrame, release1Frame, release2Frame;
    int toggleFrame, switchFrame, meterFrame;
    const char* gainText;
    const char* ceilingText;
};

struct Artwork {
    Image panel, largeKnob, smallKnob, meter, toggle, slideSwitch;
};

// The panel with every control drawn as the editor would at the given frames,
// and sample text in the two value boxes.
Image composePreview(const Artwork& art, const PreviewState& state);

// An enlarged copy (whole area or a part) without smoothing, for close inspection.
Image scaleUp(const Image& image, int factor);
Image scaleUp(const Image& image, const Rect& area, int factor);

}  // namespace art
