// Draws the editor's six images into the resources folder and, when asked,
// composite previews of the whole panel for inspection.
//
//   tk42_artwork <resources dir> [<preview dir>]
#include <cstdio>
#include <exception>
#include <string>

#include "artwork.h"

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: %s <resources dir> [<preview dir>]\n", argv[0]);
        return 2;
    }
    try {
        const std::string out = argv[1];
        art::Artwork a{art::drawPanel(),      art::drawLargeKnobStrip(), art::drawSmallKnobStrip(),
                       art::drawMeterStrip(), art::drawToggleStrip(),    art::drawSwitchStrip()};
        art::writePng(a.panel, out + "/panel_101.png");
        art::writePng(a.largeKnob, out + "/knob_large_102.png");
        art::writePng(a.smallKnob, out + "/knob_small_103.png");
        art::writePng(a.meter, out + "/meter_104.png");
        art::writePng(a.toggle, out + "/toggle_105.png");
        art::writePng(a.slideSwitch, out + "/switch_106.png");
        if (argc == 3) {
            const std::string dir = argv[2];
            // The editor as a fresh effect opens it, with some reduction shown.
            const art::PreviewState fresh{0, 96, 24, 24, 96, 0, 0, 7, "0.00", "-0.00"};
            const art::Image p = art::composePreview(a, fresh);
            art::writePng(p, dir + "/preview.png");
            art::writePng(art::scaleUp(p, 2), dir + "/preview_2x.png");
            art::writePng(art::scaleUp(p, art::Rect{0, 0, 200, 110}, 4), dir + "/zoom_left.png");
            art::writePng(art::scaleUp(p, art::Rect{200, 0, 400, 110}, 4), dir + "/zoom_right.png");
            art::writePng(art::scaleUp(p, art::Rect{0, 110, 200, 220}, 4),
                          dir + "/zoom_lower_left.png");
            art::writePng(art::scaleUp(p, art::Rect{200, 110, 400, 220}, 4),
                          dir + "/zoom_lower_right.png");
            // Every control moved, for the other frames.
            const art::PreviewState moved{48, 72, 60, 10, 40, 1, 1, 20, "12.00", "-6.00"};
            const art::Image q = art::composePreview(a, moved);
            art::writePng(q, dir + "/preview_moved.png");
            art::writePng(art::scaleUp(q, 2), dir + "/preview_moved_2x.png");
            art::writePng(art::scaleUp(q, art::Rect{120, 0, 280, 140}, 5),
                          dir + "/zoom_centre.png");
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tk42_artwork: %s\n", e.what());
        return 1;
    }
    return 0;
}
