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
constexpr double kLeverLength = 14.0;
constexpr double kBaseHalfWidth = 2.8, kTipHalfWidth = 2.0, kBallRadius = 4.0;

void chromeGradient(cairo_pattern_t* p) {
    cairo_pattern_add_color_stop_rgb(p, 0, 0.95, 0.95, 0.96);
    cairo_pattern_add_color_stop_rgb(p, 0.35, 0.70, 0.70, 0.72);
    cairo_pattern_add_color_stop_rgb(p, 0.7, 0.30, 0.30, 0.32);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.55, 0.55, 0.57);
}

void hexagon(cairo_t* cr, double r) {
    for (int i = 0; i < 6; ++i) {
        const double a = (60 * i) * M_PI / 180.0;
        const double x = kC + r * std::cos(a), y = kC + r * std::sin(a);
        if (i == 0)
            cairo_move_to(cr, x, y);
        else
            cairo_line_to(cr, x, y);
    }
    cairo_close_path(cr);
}

// A face of the nut is as bright as it faces the light at the top left.
double faceLight(double normalDeg) {
    const double toLight = -135.0;  // up and to the left, in screen degrees
    const double d = std::cos((normalDeg - toLight) * M_PI / 180.0);
    return 0.50 + 0.36 * d;
}

void mounting(cairo_t* cr) {
    // Washer: a dull ring with a lit rim.
    circle(cr, kC, kC, 12.0);
    cairo_pattern_t* w = cairo_pattern_create_linear(kC - 12, kC - 12, kC + 12, kC + 12);
    cairo_pattern_add_color_stop_rgb(w, 0, 0.50, 0.50, 0.52);
    cairo_pattern_add_color_stop_rgb(w, 1, 0.10, 0.10, 0.11);
    cairo_set_source(cr, w);
    cairo_fill(cr);
    cairo_pattern_destroy(w);
    circle(cr, kC, kC, 11.0);
    cairo_set_source_rgb(cr, 0.17, 0.17, 0.18);
    cairo_fill(cr);
    // Hex nut: six chamfered faces around a flat top.
    const double outer = 9.5, inner = 6.6;
    for (int i = 0; i < 6; ++i) {
        const double a0 = (60 * i) * M_PI / 180.0, a1 = (60 * (i + 1)) * M_PI / 180.0;
        cairo_move_to(cr, kC + outer * std::cos(a0), kC + outer * std::sin(a0));
        cairo_line_to(cr, kC + outer * std::cos(a1), kC + outer * std::sin(a1));
        cairo_line_to(cr, kC + inner * std::cos(a1), kC + inner * std::sin(a1));
        cairo_line_to(cr, kC + inner * std::cos(a0), kC + inner * std::sin(a0));
        cairo_close_path(cr);
        const double v = faceLight(60 * i + 30);
        cairo_set_source_rgb(cr, v, v, v + 0.01);
        cairo_fill(cr);
    }
    hexagon(cr, inner);
    cairo_pattern_t* top =
        cairo_pattern_create_linear(kC - inner, kC - inner, kC + inner, kC + inner);
    cairo_pattern_add_color_stop_rgb(top, 0, 0.92, 0.92, 0.93);
    cairo_pattern_add_color_stop_rgb(top, 1, 0.55, 0.55, 0.57);
    cairo_set_source(cr, top);
    cairo_fill(cr);
    cairo_pattern_destroy(top);
    // Threaded bushing the lever comes out of.
    circle(cr, kC, kC, 4.6);
    cairo_pattern_t* b = cairo_pattern_create_radial(kC - 1.5, kC - 1.5, 0, kC, kC, 4.6);
    cairo_pattern_add_color_stop_rgb(b, 0, 0.75, 0.75, 0.76);
    cairo_pattern_add_color_stop_rgb(b, 1, 0.18, 0.18, 0.20);
    cairo_set_source(cr, b);
    cairo_fill(cr);
    cairo_pattern_destroy(b);
    circle(cr, kC, kC, 2.8);
    cairo_set_source_rgb(cr, 0.04, 0.04, 0.05);
    cairo_fill(cr);
}

void shaftPath(cairo_t* cr, double tipY) {
    cairo_move_to(cr, kC - kBaseHalfWidth, kC);
    cairo_line_to(cr, kC - kTipHalfWidth, tipY);
    cairo_line_to(cr, kC + kTipHalfWidth, tipY);
    cairo_line_to(cr, kC + kBaseHalfWidth, kC);
    cairo_close_path(cr);
}

// The lever from the bushing to its ball end; dir is -1 for up, +1 for down.
void leverPath(cairo_t* cr, double dir) {
    const double tipY = kC + dir * kLeverLength;
    shaftPath(cr, tipY);
    circle(cr, kC, tipY, kBallRadius);
}

void lever(cairo_t* cr, double dir) {
    const double tipY = kC + dir * kLeverLength;
    // Shadow towards the lower right.
    Image shadow(kToggleSize, kToggleSize);
    cairo_t* s = shadow.context();
    cairo_translate(s, 2.0, 2.5);
    leverPath(s, dir);
    cairo_set_source_rgba(s, 0, 0, 0, 0.5);
    cairo_fill(s);
    cairo_destroy(s);
    blur(shadow, 3);
    cairo_set_source_surface(cr, shadow.surface(), 0, 0);
    cairo_paint(cr);

    // Shaft: a chrome cylinder, bright on its left side.
    shaftPath(cr, tipY);
    cairo_pattern_t* shaft =
        cairo_pattern_create_linear(kC - kBaseHalfWidth, 0, kC + kBaseHalfWidth, 0);
    chromeGradient(shaft);
    cairo_set_source(cr, shaft);
    cairo_fill(cr);
    cairo_pattern_destroy(shaft);
    // Ball end.
    circle(cr, kC, tipY, kBallRadius);
    cairo_pattern_t* ball =
        cairo_pattern_create_radial(kC - 1.4, tipY - 1.5, 0.2, kC, tipY, kBallRadius);
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
    circle(s, kC + 1.5, kC + 2, 12.0);
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
