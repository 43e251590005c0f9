// Resource 101: the faceplate. The metal, its bevel and screws, and the
// recesses that the value boxes and the meter sit in; the lettering is drawn
// over it by the legend.
#include <cmath>

#include "artwork.h"
#include "layout.h"
#include "style.h"

namespace art {

namespace {

// A window sunk into the plate: dark glass with a shadowed top edge and a
// lit lower lip, so that light-grey text on it reads well.
void recess(cairo_t* cr, double x, double y, double w, double h, double depth) {
    roundedRect(cr, x - 1, y - 1, w + 2, h + 2, 2.5);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.10);
    cairo_fill(cr);
    roundedRect(cr, x - 1, y - 1, w + 2, h + 1, 2.5);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.75);
    cairo_fill(cr);
    roundedRect(cr, x, y, w, h, 2);
    cairo_pattern_t* glass = cairo_pattern_create_linear(0, y, 0, y + h);
    cairo_pattern_add_color_stop_rgb(glass, 0, 0.025, 0.027, 0.03);
    cairo_pattern_add_color_stop_rgb(glass, 1, 0.07, 0.075, 0.08);
    cairo_set_source(cr, glass);
    cairo_fill(cr);
    cairo_pattern_destroy(glass);
    // Inner shadow under the top edge.
    cairo_rectangle(cr, x, y, w, depth);
    cairo_pattern_t* shade = cairo_pattern_create_linear(0, y, 0, y + depth);
    cairo_pattern_add_color_stop_rgba(shade, 0, 0, 0, 0, 0.8);
    cairo_pattern_add_color_stop_rgba(shade, 1, 0, 0, 0, 0);
    cairo_set_source(cr, shade);
    cairo_fill(cr);
    cairo_pattern_destroy(shade);
}

// A shallow machined ring where a knob meets the plate; the knob's own
// shadow falls inside it.
void knobSeat(cairo_t* cr, double cx, double cy, double r) {
    circle(cr, cx, cy, r);
    cairo_pattern_t* p = cairo_pattern_create_linear(cx - r, cy - r, cx + r, cy + r);
    cairo_pattern_add_color_stop_rgba(p, 0, 0, 0, 0, 0.45);
    cairo_pattern_add_color_stop_rgba(p, 1, 1, 1, 1, 0.10);
    cairo_set_source(cr, p);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    cairo_pattern_destroy(p);
}

// An engraved groove: a shadowed cut with a lit edge on its far side.
void groove(cairo_t* cr, double x, double top, double bottom) {
    cairo_set_line_width(cr, 1.0);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.55);
    cairo_move_to(cr, x + 0.5, top);
    cairo_line_to(cr, x + 0.5, bottom);
    cairo_stroke(cr);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.09);
    cairo_move_to(cr, x + 1.5, top);
    cairo_line_to(cr, x + 1.5, bottom);
    cairo_stroke(cr);
}

void bevel(cairo_t* cr) {
    const double w = kPanelWidth, h = kPanelHeight;
    cairo_set_line_width(cr, 1.0);
    // Lit top and left edges, shaded bottom and right ones.
    cairo_set_source_rgba(cr, 1, 1, 1, 0.22);
    cairo_move_to(cr, 0.5, h - 1);
    cairo_line_to(cr, 0.5, 0.5);
    cairo_line_to(cr, w - 1, 0.5);
    cairo_stroke(cr);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.6);
    cairo_move_to(cr, w - 0.5, 0);
    cairo_line_to(cr, w - 0.5, h - 0.5);
    cairo_line_to(cr, 0, h - 0.5);
    cairo_stroke(cr);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.06);
    cairo_move_to(cr, 1.5, h - 2);
    cairo_line_to(cr, 1.5, 1.5);
    cairo_line_to(cr, w - 2, 1.5);
    cairo_stroke(cr);
}

}  // namespace

void drawFaceplate(Image& panel) {
    brushedMetal(panel, kPanelMetal, 1.6, 0x7a42u);
    cairo_t* cr = panel.context();
    bevel(cr);
    panelScrew(cr, 9, 9, 3.5, 20);
    panelScrew(cr, kPanelWidth - 9, 9, 3.5, 65);
    panelScrew(cr, 9, kPanelHeight - 9, 3.5, 40);
    panelScrew(cr, kPanelWidth - 9, kPanelHeight - 9, 3.5, 5);

    // The dynamics section between the two large knobs.
    groove(cr, 131, 14, 138);
    groove(cr, 267, 14, 138);

    for (const Rect& k : {kGainKnob, kCeilingKnob}) knobSeat(cr, k.centreX(), k.centreY(), 33.5);
    for (const Rect& k : {kAttackKnob, kRelease1Knob, kRelease2Knob})
        knobSeat(cr, k.centreX(), k.centreY(), 16.5);

    // The value boxes' windows, a little larger than the boxes themselves.
    for (const Rect& b : {kGainBox, kCeilingBox})
        recess(cr, b.left - 5, b.top - 2, b.width() + 10, b.height() + 4, 3);

    // The meter strip is opaque and covers its own rectangle; the plate only
    // shows the shadowed rim around it.
    const Rect& m = kMeter;
    cairo_set_line_width(cr, 1.0);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.7);
    cairo_move_to(cr, m.left - 0.5, m.bottom);
    cairo_line_to(cr, m.left - 0.5, m.top - 0.5);
    cairo_line_to(cr, m.right + 0.5, m.top - 0.5);
    cairo_line_to(cr, m.right + 0.5, m.bottom);
    cairo_stroke(cr);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.10);
    cairo_move_to(cr, m.right + 1.5, m.top - 1);
    cairo_line_to(cr, m.right + 1.5, m.bottom);
    cairo_stroke(cr);
    cairo_destroy(cr);
}

Image drawPanel() {
    Image panel(kPanelWidth, kPanelHeight);
    drawFaceplate(panel);
    cairo_t* cr = panel.context();
    drawLegends(cr);
    cairo_destroy(cr);
    return panel;
}

}  // namespace art
