// Resources 102 and 103: the knob filmstrips. The body is drawn once and
// copied into every frame, so its shading stays put (the light does not turn
// with the knob); only the pointer is drawn per frame.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "artwork.h"
#include "layout.h"
#include "style.h"

namespace art {

namespace {

constexpr double kRad = M_PI / 180.0;

// Sizes of the large knob (80 px frame); the small one is the same at half.
struct KnobGeometry {
    double scale;
    double skirt() const { return 30.0 * scale; }
    double rim() const { return 25.5 * scale; }
    double face() const { return 23.0 * scale; }
    double pointerInner() const { return 7.5 * scale; }
    double pointerOuter() const { return 21.0 * scale; }
    double pointerWidth() const { return std::max(1.8, 2.6 * scale); }
};

// The turned metal top: fine concentric rings (depending on the radius only,
// as a lathe leaves them) under two broad reflections that face the light.
Image spunFace(int size, const KnobGeometry& g) {
    Image face(size, size);
    Noise noise(0x51u);
    const int rings = static_cast<int>(g.face()) * 4 + 8;
    std::vector<double> ring(static_cast<size_t>(rings));
    for (double& v : ring) v = noise.next();
    cairo_surface_flush(face.surface());
    const int stride = cairo_image_surface_get_stride(face.surface());
    unsigned char* data = cairo_image_surface_get_data(face.surface());
    const double c = size / 2.0;
    for (int y = 0; y < size; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
        for (int x = 0; x < size; ++x) {
            const double dx = x + 0.5 - c, dy = y + 0.5 - c;
            const double r = std::hypot(dx, dy);
            const double theta = std::atan2(dy, dx);
            // Reflections centred on the top-left and bottom-right diagonals.
            const double sheen = std::pow(std::fabs(std::cos(theta + M_PI / 4)), 6.0);
            const double glow = std::max(0.0, 1.0 - r / (g.face() * 1.4));
            const size_t ri = std::min(static_cast<size_t>(r * 4), ring.size() - 1);
            double v = 74 + 62 * sheen * (0.6 + 0.4 * glow) + 3.5 * ring[ri];
            // The upper left half a touch brighter, the lower right darker.
            v += 14.0 * (-(dx + dy) / (2 * g.face()));
            const auto b = static_cast<uint32_t>(std::clamp(v, 0.0, 255.0));
            row[x] = 0xff000000u | (b << 16) | (b << 8) | std::min(255u, b + 2);
        }
    }
    cairo_surface_mark_dirty(face.surface());
    return face;
}

Image knobBody(int size) {
    const KnobGeometry g{size / 80.0};
    const double c = size / 2.0;
    Image body(size, size);

    // Shadow thrown to the lower right by the light at the top left.
    {
        Image shadow(size, size);
        cairo_t* cr = shadow.context();
        circle(cr, c + 2.0 * g.scale, c + 3.0 * g.scale, g.skirt());
        cairo_set_source_rgba(cr, 0, 0, 0, 0.75);
        cairo_fill(cr);
        cairo_destroy(cr);
        blur(shadow, std::max(2, static_cast<int>(std::lround(5 * g.scale))));
        // Kept inside the frame's circle so that the corners stay clear.
        cr = body.context();
        circle(cr, c, c, c - 0.5);
        cairo_clip(cr);
        cairo_set_source_surface(cr, shadow.surface(), 0, 0);
        cairo_paint(cr);
        cairo_destroy(cr);
    }

    cairo_t* cr = body.context();
    // Skirt: black satin, a little lighter where the light falls.
    circle(cr, c, c, g.skirt());
    cairo_pattern_t* skirt =
        cairo_pattern_create_linear(c - g.skirt(), c - g.skirt(), c + g.skirt(), c + g.skirt());
    cairo_pattern_add_color_stop_rgb(skirt, 0, 0.21, 0.21, 0.22);
    cairo_pattern_add_color_stop_rgb(skirt, 0.5, 0.10, 0.10, 0.11);
    cairo_pattern_add_color_stop_rgb(skirt, 1, 0.04, 0.04, 0.045);
    cairo_set_source(cr, skirt);
    cairo_fill(cr);
    cairo_pattern_destroy(skirt);
    // Its lit outer edge.
    circle(cr, c, c, g.skirt() - 0.5);
    cairo_pattern_t* edge =
        cairo_pattern_create_linear(c - g.skirt(), c - g.skirt(), c + g.skirt(), c + g.skirt());
    cairo_pattern_add_color_stop_rgba(edge, 0, 1, 1, 1, 0.45);
    cairo_pattern_add_color_stop_rgba(edge, 0.55, 1, 1, 1, 0.0);
    cairo_pattern_add_color_stop_rgba(edge, 1, 1, 1, 1, 0.08);
    cairo_set_source(cr, edge);
    cairo_set_line_width(cr, 1.0);
    cairo_stroke(cr);
    cairo_pattern_destroy(edge);

    // The cap's chamfer: bright towards the light, dark away from it.
    circle(cr, c, c, g.rim());
    cairo_pattern_t* rim =
        cairo_pattern_create_linear(c - g.rim(), c - g.rim(), c + g.rim(), c + g.rim());
    cairo_pattern_add_color_stop_rgb(rim, 0, 0.62, 0.62, 0.64);
    cairo_pattern_add_color_stop_rgb(rim, 0.45, 0.26, 0.26, 0.27);
    cairo_pattern_add_color_stop_rgb(rim, 1, 0.05, 0.05, 0.055);
    cairo_set_source(cr, rim);
    cairo_fill(cr);
    cairo_pattern_destroy(rim);

    Image face = spunFace(size, g);
    circle(cr, c, c, g.face());
    cairo_set_source_surface(cr, face.surface(), 0, 0);
    cairo_fill(cr);
    cairo_destroy(cr);
    return body;
}

void drawPointer(cairo_t* cr, int size, double angleDeg) {
    const KnobGeometry g{size / 80.0};
    const double c = size / 2.0;
    const double s = std::sin(angleDeg * kRad), co = -std::cos(angleDeg * kRad);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    // A dark groove around the white fill keeps the line sharp on the metal.
    cairo_set_line_width(cr, g.pointerWidth() + 1.6);
    cairo_set_source_rgba(cr, 0.02, 0.02, 0.02, 0.7);
    cairo_move_to(cr, c + s * g.pointerInner(), c + co * g.pointerInner());
    cairo_line_to(cr, c + s * g.pointerOuter(), c + co * g.pointerOuter());
    cairo_stroke(cr);
    cairo_set_line_width(cr, g.pointerWidth());
    cairo_set_source_rgb(cr, 0.97, 0.97, 0.95);
    cairo_move_to(cr, c + s * g.pointerInner(), c + co * g.pointerInner());
    cairo_line_to(cr, c + s * g.pointerOuter(), c + co * g.pointerOuter());
    cairo_stroke(cr);
}

Image knobStrip(int size) {
    const Image body = knobBody(size);
    Image strip(size, size * kKnobFrames);
    for (int k = 0; k < kKnobFrames; ++k) {
        Image frame(size, size);
        cairo_t* cr = frame.context();
        cairo_set_source_surface(cr, body.surface(), 0, 0);
        cairo_paint(cr);
        drawPointer(cr, size, knobAngleDeg(k));
        cairo_destroy(cr);
        placeFrame(strip, frame, k);
    }
    return strip;
}

}  // namespace

Image drawLargeKnobStrip() {
    return knobStrip(kLargeKnobSize);
}
Image drawSmallKnobStrip() {
    return knobStrip(kSmallKnobSize);
}

}  // namespace art
