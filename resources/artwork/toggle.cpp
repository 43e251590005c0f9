// Resource 105: the mode toggle, a chrome bat lever on a hex nut; frame 0
// thrown up towards LIMIT, frame 1 down towards CLIP. The light stays at the
// top left in both frames, so the lever is drawn, not mirrored.
#include <cmath>

#include "artwork.h"
#include "layout.h"
#include "style.h"

namespace art {

namespace {

constexpr double kC = kToggleSize / 2.0;

void chromeGradient(cairo_pattern_t* p) {
    cairo_pattern_add_color_stop_rgb(p, 0, 0.95, 0.95, 0.96);
    cairo_pattern_add_color_stop_rgb(p, 0.35, 0.70, 0.70, 0.72);
    cairo_pattern_add_color_stop_rgb(p, 0.7, 0.30, 0.30, 0.32);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.55, 0.55, 0.57);
}

void hexagon(cairo_t* cr, double r) {
    for (int i = 0; i < 6; ++i) {
        const double a = (30 + 60 * i) * M_PI / 180.0;
        const double x = kC + r * std::cos(a), y = kC + r * std::sin(a);
        if (i == 0)
            cairo_move_to(cr, x, y);
        else
            cairo_line_to(cr, x, y);
    }
    cairo_close_path(cr);
}

void mounting(cairo_t* cr) {
    // Washer.
    circle(cr, kC, kC, 11.5);
    cairo_pattern_t* w = cairo_pattern_create_linear(kC - 10, kC - 10, kC + 10, kC + 10);
    cairo_pattern_add_color_stop_rgb(w, 0, 0.55, 0.55, 0.57);
    cairo_pattern_add_color_stop_rgb(w, 1, 0.12, 0.12, 0.13);
    cairo_set_source(cr, w);
    cairo_fill(cr);
    cairo_pattern_destroy(w);
    // Hex nut, its faces lit by angle.
    hexagon(cr, 9.0);
    cairo_pattern_t* n = cairo_pattern_create_linear(kC - 8, kC - 8, kC + 8, kC + 8);
    chromeGradient(n);
    cairo_set_source(cr, n);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(n);
    cairo_set_line_width(cr, 0.8);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.5);
    cairo_stroke(cr);
    // Threaded bushing the lever comes out of.
    circle(cr, kC, kC, 5.0);
    cairo_pattern_t* b = cairo_pattern_create_radial(kC - 1.5, kC - 1.5, 0, kC, kC, 5);
    cairo_pattern_add_color_stop_rgb(b, 0, 0.85, 0.85, 0.86);
    cairo_pattern_add_color_stop_rgb(b, 1, 0.22, 0.22, 0.24);
    cairo_set_source(cr, b);
    cairo_fill(cr);
    circle(cr, kC, kC, 2.6);
    cairo_set_source_rgb(cr, 0.05, 0.05, 0.06);
    cairo_fill(cr);
    cairo_pattern_destroy(b);
}

// The lever from the bushing to its ball end; dir is -1 for up, +1 for down.
void leverPath(cairo_t* cr, double dir) {
    const double tipY = kC + dir * 13.0;
    cairo_move_to(cr, kC - 2.4, kC);
    cairo_line_to(cr, kC - 1.8, tipY);
    cairo_line_to(cr, kC + 1.8, tipY);
    cairo_line_to(cr, kC + 2.4, kC);
    cairo_close_path(cr);
    circle(cr, kC, tipY, 3.6);
}

void lever(cairo_t* cr, double dir) {
    const double tipY = kC + dir * 13.0;
    // Shadow towards the lower right.
    Image shadow(kToggleSize, kToggleSize);
    cairo_t* s = shadow.context();
    cairo_translate(s, 2.0, 2.5);
    leverPath(s, dir);
    cairo_set_source_rgba(s, 0, 0, 0, 0.7);
    cairo_fill(s);
    cairo_destroy(s);
    blur(shadow, 3);
    cairo_set_source_surface(cr, shadow.surface(), 0, 0);
    cairo_paint(cr);

    // Shaft: a chrome cylinder, bright on its left side.
    cairo_move_to(cr, kC - 2.4, kC);
    cairo_line_to(cr, kC - 1.8, tipY);
    cairo_line_to(cr, kC + 1.8, tipY);
    cairo_line_to(cr, kC + 2.4, kC);
    cairo_close_path(cr);
    cairo_pattern_t* shaft = cairo_pattern_create_linear(kC - 2.4, 0, kC + 2.4, 0);
    chromeGradient(shaft);
    cairo_set_source(cr, shaft);
    cairo_fill(cr);
    cairo_pattern_destroy(shaft);
    // Ball end.
    circle(cr, kC, tipY, 3.6);
    cairo_pattern_t* ball = cairo_pattern_create_radial(kC - 1.3, tipY - 1.4, 0.2, kC, tipY, 3.6);
    cairo_pattern_add_color_stop_rgb(ball, 0, 1.0, 1.0, 1.0);
    cairo_pattern_add_color_stop_rgb(ball, 0.45, 0.68, 0.68, 0.70);
    cairo_pattern_add_color_stop_rgb(ball, 1, 0.20, 0.20, 0.22);
    cairo_set_source(cr, ball);
    cairo_fill(cr);
    cairo_pattern_destroy(ball);
}

Image toggleFrame(double dir) {
    Image frame(kToggleSize, kToggleSize);
    cairo_t* cr = frame.context();
    Image shadow(kToggleSize, kToggleSize);
    cairo_t* s = shadow.context();
    circle(s, kC + 1.5, kC + 2, 11.5);
    cairo_set_source_rgba(s, 0, 0, 0, 0.7);
    cairo_fill(s);
    cairo_destroy(s);
    blur(shadow, 4);
    cairo_set_source_surface(cr, shadow.surface(), 0, 0);
    cairo_paint(cr);
    mounting(cr);
    lever(cr, dir);
    cairo_destroy(cr);
    return frame;
}

}  // namespace

Image drawToggleStrip() {
    Image strip(kToggleSize, kToggleSize * 2);
    placeFrame(strip, toggleFrame(-1), 0);
    placeFrame(strip, toggleFrame(+1), 1);
    return strip;
}

}  // namespace art
