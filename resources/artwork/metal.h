// Surface finishes shared by the panel and the controls.
#pragma once

#include <cairo.h>

#include <cstdint>

#include "image.h"

namespace art {

// A small fixed-seed generator: the art must come out the same every run.
class Noise {
  public:
    explicit Noise(uint32_t seed) : state_(seed ? seed : 1u) {}
    // Uniform in [-1, 1].
    double next();

  private:
    uint32_t state_;
};

struct Rgb {
    double r, g, b;
};

// Fills the image with dark anodised aluminium brushed left to right: long
// horizontal streaks of light and shade over the base colour, with a soft
// fall-off of the light from the top left.
void brushedMetal(Image& image, Rgb base, double streakDepth, uint32_t seed);

// A countersunk panel screw with a cross slot, lit from the top left.
void panelScrew(cairo_t* cr, double cx, double cy, double radius, double slotAngleDeg);

// Circle helper.
void circle(cairo_t* cr, double cx, double cy, double r);

// Rounded rectangle path.
void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r);

}  // namespace art
