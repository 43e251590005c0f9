// Resource 104: the meter strip, 20 amber segments behind dark glass; frame k
// lights the k rightmost.
#include <cmath>

#include "artwork.h"
#include "layout.h"
#include "style.h"

namespace art {

namespace {

constexpr int kStripWidth = kMeterSegments * kMeterPitch;  // 360
constexpr int kStripHeight = 30;
constexpr double kSegmentWidth = 13.0;
constexpr double kSegmentTop = 8.5, kSegmentBottom = 21.5;

void segmentPath(cairo_t* cr, int i) {
    const double x = meterSegmentCentre(i) - kSegmentWidth / 2;
    roundedRect(cr, x, kSegmentTop, kSegmentWidth, kSegmentBottom - kSegmentTop, 1.5);
}

void glass(cairo_t* cr) {
    cairo_pattern_t* g = cairo_pattern_create_linear(0, 0, 0, kStripHeight);
    cairo_pattern_add_color_stop_rgb(g, 0, 0.015, 0.015, 0.018);
    cairo_pattern_add_color_stop_rgb(g, 1, 0.045, 0.043, 0.045);
    cairo_rectangle(cr, 0, 0, kStripWidth, kStripHeight);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
    // The window's edges: shadow along the top, a faint lit lip at the bottom.
    cairo_set_line_width(cr, 1.0);
    cairo_set_source_rgba(cr, 0, 0, 0, 0.9);
    cairo_move_to(cr, 0, 0.5);
    cairo_line_to(cr, kStripWidth, 0.5);
    cairo_stroke(cr);
    cairo_set_source_rgba(cr, 1, 1, 1, 0.07);
    cairo_move_to(cr, 0, kStripHeight - 0.5);
    cairo_line_to(cr, kStripWidth, kStripHeight - 0.5);
    cairo_stroke(cr);
}

void darkSegment(cairo_t* cr, int i) {
    segmentPath(cr, i);
    cairo_set_source_rgb(cr, 0.16, 0.105, 0.045);
    cairo_fill(cr);
    const double x = meterSegmentCentre(i) - kSegmentWidth / 2;
    cairo_set_line_width(cr, 1.0);
    cairo_set_source_rgba(cr, 1, 0.8, 0.5, 0.10);
    cairo_move_to(cr, x + 1.5, kSegmentTop + 0.5);
    cairo_line_to(cr, x + kSegmentWidth - 1.5, kSegmentTop + 0.5);
    cairo_stroke(cr);
}

void litSegment(cairo_t* cr, int i) {
    const double cx = meterSegmentCentre(i), cy = (kSegmentTop + kSegmentBottom) / 2;
    segmentPath(cr, i);
    cairo_pattern_t* p = cairo_pattern_create_radial(cx, cy, 0, cx, cy, kSegmentWidth * 0.75);
    cairo_pattern_add_color_stop_rgb(p, 0, 1.0, 0.86, 0.52);
    cairo_pattern_add_color_stop_rgb(p, 0.55, 1.0, 0.66, 0.16);
    cairo_pattern_add_color_stop_rgb(p, 1, 0.86, 0.46, 0.05);
    cairo_set_source(cr, p);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
}

Image meterFrame(int lit) {
    Image frame(kStripWidth, kStripHeight);
    cairo_t* cr = frame.context();
    glass(cr);
    const int firstLit = kMeterSegments - lit;
    // The glow of the lit segments spreads over the glass around them.
    if (lit > 0) {
        Image glow(kStripWidth, kStripHeight);
        cairo_t* g = glow.context();
        for (int i = firstLit; i < kMeterSegments; ++i) {
            segmentPath(g, i);
            cairo_set_source_rgba(g, 1.0, 0.55, 0.08, 0.9);
            cairo_fill(g);
        }
        cairo_destroy(g);
        blur(glow, 6);
        cairo_set_operator(cr, CAIRO_OPERATOR_ADD);
        cairo_set_source_surface(cr, glow.surface(), 0, 0);
        cairo_paint_with_alpha(cr, 0.55);
        cairo_set_operator(cr, CAIRO_OPERATOR_OVER);
    }
    for (int i = 0; i < kMeterSegments; ++i) {
        if (i >= firstLit)
            litSegment(cr, i);
        else
            darkSegment(cr, i);
    }
    cairo_destroy(cr);
    return frame;
}

}  // namespace

Image drawMeterStrip() {
    Image strip(kStripWidth, kStripHeight * kMeterFrames);
    for (int k = 0; k < kMeterFrames; ++k) placeFrame(strip, meterFrame(k), k);
    return strip;
}

}  // namespace art
