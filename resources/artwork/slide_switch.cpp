// Resource 106: the slide switch, a ridged grip in a slot; frame 0 grip left
// towards L, frame 1 grip right towards C. Transparent around the slot.
#include <cmath>

#include "artwork.h"
#include "layout.h"
#include "style.h"

namespace art {

namespace {

constexpr double kGripWidth = 13.0;
constexpr double kGripHeight = 18.0;
constexpr double kCy = kSwitchHeight / 2.0;

void slot(cairo_t* cr) {
    // Lit lower lip, then the dark opening.
    roundedRect(cr, 5, kCy - 4.5, 30, 10, 3);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.12);
    cairo_fill(cr);
    roundedRect(cr, 5, kCy - 5, 30, 10, 3);
    cairo_set_source_rgba(cr, 0.01, 0.01, 0.012, 0.95);
    cairo_fill(cr);
    roundedRect(cr, 6, kCy - 4, 28, 8, 2.5);
    cairo_pattern_t* p = cairo_pattern_create_linear(0, kCy - 4, 0, kCy + 4);
    cairo_pattern_add_color_stop_rgb(p, 0, 0.0, 0.0, 0.0);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.08, 0.08, 0.09);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

void grip(cairo_t* cr, double left) {
    const double top = kCy - kGripHeight / 2;
    Image shadow(kSwitchWidth, kSwitchHeight);
    cairo_t* s = shadow.context();
    roundedRect(s, left + 1.5, top + 2, kGripWidth, kGripHeight, 2.5);
    cairo_set_source_rgba(s, 0, 0, 0, 0.75);
    cairo_fill(s);
    cairo_destroy(s);
    blur(shadow, 3);
    cairo_set_source_surface(cr, shadow.surface(), 0, 0);
    cairo_paint(cr);

    // Body: satin black, a little lighter at the top left.
    roundedRect(cr, left, top, kGripWidth, kGripHeight, 2.5);
    cairo_pattern_t* body =
        cairo_pattern_create_linear(left, top, left + kGripWidth, top + kGripHeight);
    cairo_pattern_add_color_stop_rgb(body, 0, 0.36, 0.36, 0.38);
    cairo_pattern_add_color_stop_rgb(body, 1, 0.08, 0.08, 0.09);
    cairo_set_source(cr, body);
    cairo_fill(cr);
    cairo_pattern_destroy(body);
    roundedRect(cr, left + 0.5, top + 0.5, kGripWidth - 1, kGripHeight - 1, 2);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.18);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    // Ridges across the grip: a lit edge above each groove.
    cairo_set_line_width(cr, 1.0);
    for (int i = 0; i < 5; ++i) {
        const double y = top + 4 + 2.5 * i;
        cairo_set_source_rgba(cr, 0, 0, 0, 0.8);
        cairo_move_to(cr, left + 2.5, y + 1.0);
        cairo_line_to(cr, left + kGripWidth - 2.5, y + 1.0);
        cairo_stroke(cr);
        cairo_set_source_rgba(cr, 1, 1, 1, 0.22);
        cairo_move_to(cr, left + 2.5, y);
        cairo_line_to(cr, left + kGripWidth - 2.5, y);
        cairo_stroke(cr);
    }
}

Image switchFrame(double gripLeft) {
    Image frame(kSwitchWidth, kSwitchHeight);
    cairo_t* cr = frame.context();
    slot(cr);
    grip(cr, gripLeft);
    cairo_destroy(cr);
    return frame;
}

}  // namespace

Image drawSwitchStrip() {
    Image strip(kSwitchWidth, kSwitchHeight * 2);
    placeFrame(strip, switchFrame(5), 0);
    placeFrame(strip, switchFrame(kSwitchWidth - 5 - kGripWidth), 1);
    return strip;
}

}  // namespace art
