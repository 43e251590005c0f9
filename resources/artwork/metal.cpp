#include "metal.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace art {

double Noise::next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return (state_ / 4294967295.0) * 2.0 - 1.0;
}

namespace {

// Averages `in` along a row with a window of 2 r + 1 samples, wrapping round.
std::vector<double> smoothRow(const std::vector<double>& in, int r) {
    const int n = static_cast<int>(in.size());
    std::vector<double> out(in.size());
    for (int i = 0; i < n; ++i) {
        double s = 0;
        for (int j = -r; j <= r; ++j) s += in[static_cast<size_t>(((i + j) % n + n) % n)];
        out[static_cast<size_t>(i)] = s / (2 * r + 1);
    }
    return out;
}

unsigned char channel(double v) {
    return static_cast<unsigned char>(std::clamp(std::lround(v), 0L, 255L));
}

}  // namespace

void brushedMetal(Image& image, Rgb base, double streakDepth, uint32_t seed) {
    Noise noise(seed);
    cairo_surface_flush(image.surface());
    const int w = image.width(), h = image.height();
    const int stride = cairo_image_surface_get_stride(image.surface());
    unsigned char* data = cairo_image_surface_get_data(image.surface());
    const double diag = std::hypot(w, h);
    for (int y = 0; y < h; ++y) {
        // Each row: a slow streak of its own plus fine grain stretched along x.
        const double rowTone = noise.next() * 0.5;
        std::vector<double> grain(static_cast<size_t>(w));
        for (double& g : grain) g = noise.next();
        std::vector<double> longGrain = smoothRow(smoothRow(grain, 18), 18);
        std::vector<double> fineGrain = smoothRow(grain, 3);
        auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
        for (int x = 0; x < w; ++x) {
            const size_t i = static_cast<size_t>(x);
            const double streak = streakDepth * (rowTone + 6.0 * longGrain[i] + 0.9 * fineGrain[i]);
            // Light from the top left: a gentle sheen that fades across.
            const double light = 9.0 * (1.0 - std::hypot(x, y * 1.6) / diag) - 3.0;
            const double t = streak + light;
            row[x] = 0xff000000u | (uint32_t(channel(base.r + t)) << 16) |
                     (uint32_t(channel(base.g + t)) << 8) | channel(base.b + t * 1.05);
        }
    }
    cairo_surface_mark_dirty(image.surface());
}

void circle(cairo_t* cr, double cx, double cy, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    cairo_close_path(cr);
}

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void panelScrew(cairo_t* cr, double cx, double cy, double radius, double slotAngleDeg) {
    // Countersink: a dark ring, lighter towards the bottom right where the
    // bevel faces the light.
    cairo_pattern_t* sink =
        cairo_pattern_create_linear(cx - radius, cy - radius, cx + radius, cy + radius);
    cairo_pattern_add_color_stop_rgb(sink, 0, 0.06, 0.06, 0.07);
    cairo_pattern_add_color_stop_rgb(sink, 1, 0.36, 0.36, 0.38);
    circle(cr, cx, cy, radius + 1);
    cairo_set_source(cr, sink);
    cairo_fill(cr);
    cairo_pattern_destroy(sink);
    // Head: domed steel, bright at the top left.
    cairo_pattern_t* head =
        cairo_pattern_create_radial(cx - radius * 0.4, cy - radius * 0.45, 0, cx, cy, radius);
    cairo_pattern_add_color_stop_rgb(head, 0, 0.78, 0.78, 0.80);
    cairo_pattern_add_color_stop_rgb(head, 0.6, 0.46, 0.46, 0.48);
    cairo_pattern_add_color_stop_rgb(head, 1, 0.24, 0.24, 0.26);
    circle(cr, cx, cy, radius);
    cairo_set_source(cr, head);
    cairo_fill(cr);
    cairo_pattern_destroy(head);
    // Cross slot, with its lit lower edge.
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, slotAngleDeg * M_PI / 180.0);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    for (int pass = 0; pass < 2; ++pass) {
        const double off = pass == 0 ? 0.5 : 0.0;
        cairo_set_source_rgba(cr, pass == 0 ? 0.85 : 0.08, pass == 0 ? 0.85 : 0.08,
                              pass == 0 ? 0.87 : 0.09, pass == 0 ? 0.35 : 0.95);
        cairo_set_line_width(cr, radius * 0.36);
        cairo_move_to(cr, -radius * 0.72, off);
        cairo_line_to(cr, radius * 0.72, off);
        cairo_move_to(cr, off, -radius * 0.72);
        cairo_line_to(cr, off, radius * 0.72);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}

}  // namespace art
