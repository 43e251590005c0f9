// The panel's lettering: the knob scales with their numbers, the captions,
// the meter scale and the maker's and model's names.
#include <cmath>
#include <string>

#include "artwork.h"
#include "layout.h"
#include "style.h"

namespace art {

namespace {

constexpr double kRad = M_PI / 180.0;

// Panel point at `radius` from the centre, `deg` clockwise from straight up.
void polar(double cx, double cy, double radius, double deg, double& x, double& y) {
    x = cx + radius * std::sin(deg * kRad);
    y = cy - radius * std::cos(deg * kRad);
}

void dot(cairo_t* cr, double x, double y, double r, const Ink& ink) {
    circle(cr, x, y, r);
    cairo_set_source_rgba(cr, ink.r, ink.g, ink.b, ink.a);
    cairo_fill(cr);
}

// A dotted arc over the knob's sweep: `steps` intervals, bigger dots every
// `majorEvery` steps.
void dottedArc(cairo_t* cr, const Rect& knob, double radius, int steps, int majorEvery,
               double minorSize, double majorSize) {
    for (int i = 0; i <= steps; ++i) {
        const double deg = kKnobStartDeg + i * kKnobSweepDeg / steps;
        double x, y;
        polar(knob.centreX(), knob.centreY(), radius, deg, x, y);
        const bool major = i % majorEvery == 0;
        dot(cr, x, y + 0.6, major ? majorSize : minorSize, Ink{0, 0, 0, 0.5});
        dot(cr, x, y, major ? majorSize : minorSize, kScaleInk);
    }
}

// Text for a scale number, with a true minus sign.
std::string number(int v) {
    return v < 0 ? "\u2212" + std::to_string(-v) : std::to_string(v);
}

// Nine numbers every 3 dB from `from` at the lower left to `from + 24`.
void numberedScale(cairo_t* cr, const Rect& knob, int from) {
    dottedArc(cr, knob, kLargeDotRadius, 24, 3, 0.75, 1.35);
    useFace(cr, Face::Label, kNumberSize);
    cairo_text_extents_t cap;
    cairo_text_extents(cr, "0", &cap);
    for (int i = 0; i <= 8; ++i) {
        const double deg = kKnobStartDeg + i * kKnobSweepDeg / 8;
        const std::string text = number(from + 3 * i);
        // Keep the edge of each number, not its centre, at the same distance
        // from the dots, so that wide numbers with a minus sign do not crowd
        // the scale at the sides.
        const double halfW = textWidth(cr, text) / 2, halfH = cap.height / 2;
        const double reach =
            halfW * std::fabs(std::sin(deg * kRad)) + halfH * std::fabs(std::cos(deg * kRad));
        double x, y;
        polar(knob.centreX(), knob.centreY(), kLargeNumberGap + reach, deg, x, y);
        drawPrinted(cr, text, x, y, Align::Centre, kScaleInk);
    }
}

void meterScale(cairo_t* cr) {
    useFace(cr, Face::Label, kNumberSize);
    for (int i = 0; i < kMeterSegments; ++i) {
        const double x = kMeter.left + meterSegmentCentre(i);
        drawPrinted(cr, std::to_string(kMeterSegments - i), x, kMeter.top - 7.5, Align::Centre,
                    kScaleInk);
    }
    useFace(cr, Face::Label, kLabelSize);
    drawPrinted(cr, "GR", (kMeter.right + kPanelWidth) / 2.0, kMeter.centreY(), Align::Centre,
                kLegendInk);
}

// AT and R1 only act in LIMIT mode: a bracket joins the two captions and
// drops from AT, which stands right above LIMIT, to that word.
void limitBracket(cairo_t* cr, double atBottom, double limitTop) {
    const double left = kAttackKnob.centreX() + 0.5, right = kRelease1Knob.centreX() + 0.5;
    const double y = std::round((atBottom + limitTop) / 2) + 0.5;
    cairo_set_line_width(cr, 1.0);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    for (int pass = 0; pass < 2; ++pass) {
        const double off = pass == 0 ? 1.0 : 0.0;
        if (pass == 0)
            cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
        else
            cairo_set_source_rgba(cr, kScaleInk.r, kScaleInk.g, kScaleInk.b, 0.9);
        cairo_move_to(cr, left, atBottom + off);
        cairo_line_to(cr, left, limitTop + off);
        cairo_move_to(cr, left, y + off);
        cairo_line_to(cr, right, y + off);
        cairo_line_to(cr, right, atBottom + off);
        cairo_stroke(cr);
    }
}

void brand(cairo_t* cr) {
    const double cy = kShowSwitch.centreY();
    useFace(cr, Face::Brand, 14);
    drawPrinted(cr, "Falden Murex", 22, cy, Align::Left, kLegendInk);
    useFace(cr, Face::ModelLight, 13);
    const double right = kPanelWidth - 22;
    const double lightWidth = textWidth(cr, " Limiter");
    drawPrinted(cr, " Limiter", right, cy, Align::Right, kLegendInk);
    useFace(cr, Face::Model, 13);
    drawPrinted(cr, "TK42-R", right - std::round(lightWidth), cy, Align::Right, kAmberInk);
}

}  // namespace

void drawLegends(cairo_t* cr) {
    numberedScale(cr, kGainKnob, 0);
    numberedScale(cr, kCeilingKnob, -24);
    for (const Rect& k : {kAttackKnob, kRelease1Knob, kRelease2Knob})
        dottedArc(cr, k, kSmallDotRadius, 10, 5, 0.7, 1.1);

    useFace(cr, Face::Label, kLabelSize);
    const double captionY = 114;
    drawPrinted(cr, "GAIN - dB", kGainKnob.centreX(), captionY, Align::Centre, kLegendInk);
    drawPrinted(cr, "CEILING - dBFS", kCeilingKnob.centreX(), captionY, Align::Centre, kLegendInk);

    const double under1 = kAttackKnob.bottom + 6;
    drawPrinted(cr, "AT", kAttackKnob.centreX(), under1, Align::Centre, kLegendInk);
    drawPrinted(cr, "R1", kRelease1Knob.centreX(), under1, Align::Centre, kLegendInk);
    drawPrinted(cr, "R2", kRelease2Knob.centreX(), kRelease2Knob.bottom + 6, Align::Centre,
                kLegendInk);
    const double limitY = kModeToggle.top - 5;
    drawPrinted(cr, "LIMIT", kModeToggle.centreX(), limitY, Align::Centre, kLegendInk);
    limitBracket(cr, under1 + 5, limitY - 4.5);
    drawPrinted(cr, "CLIP", kModeToggle.centreX(), kModeToggle.bottom + 6, Align::Centre,
                kLegendInk);

    meterScale(cr);

    drawPrinted(cr, "L", kShowSwitch.left - 6, kShowSwitch.centreY(), Align::Centre, kLegendInk);
    drawPrinted(cr, "C", kShowSwitch.right + 6, kShowSwitch.centreY(), Align::Centre, kLegendInk);
    brand(cr);
}

}  // namespace art
