// A composite of the editor for people to judge the art: every image blended
// where the editor puts it, and value text the way the host draws it.
#include "artwork.h"
#include "layout.h"
#include "text.h"

namespace art {

namespace {

void blend(cairo_t* cr, const Image& strip, const Rect& at, int frame) {
    cairo_save(cr);
    cairo_rectangle(cr, at.left, at.top, at.width(), at.height());
    cairo_clip(cr);
    cairo_set_source_surface(cr, strip.surface(), at.left, at.top - frame * at.height());
    cairo_paint(cr);
    cairo_restore(cr);
}

// 9 px Arial in light grey, centred in the box, no background.
void valueText(cairo_t* cr, const Rect& box, const char* text) {
    useFace(cr, Face::Box, 9);
    drawTextCentred(cr, text, box.centreX(), box.centreY(), Align::Centre,
                    Ink{168 / 255.0, 168 / 255.0, 168 / 255.0, 1});
}

}  // namespace

Image composePreview(const Artwork& art, const PreviewState& s) {
    Image out(kPanelWidth, kPanelHeight);
    cairo_t* cr = out.context();
    cairo_set_source_surface(cr, art.panel.surface(), 0, 0);
    cairo_paint(cr);
    blend(cr, art.largeKnob, kGainKnob, s.gainFrame);
    blend(cr, art.largeKnob, kCeilingKnob, s.ceilingFrame);
    blend(cr, art.smallKnob, kAttackKnob, s.attackFrame);
    blend(cr, art.smallKnob, kRelease1Knob, s.release1Frame);
    blend(cr, art.smallKnob, kRelease2Knob, s.release2Frame);
    blend(cr, art.toggle, kModeToggle, s.toggleFrame);
    blend(cr, art.slideSwitch, kShowSwitch, s.switchFrame);
    valueText(cr, kGainBox, s.gainText);
    valueText(cr, kCeilingBox, s.ceilingText);
    blend(cr, art.meter, kMeter, s.meterFrame);
    cairo_destroy(cr);
    return out;
}

Image scaleUp(const Image& image, int factor) {
    return scaleUp(image, Rect{0, 0, image.width(), image.height()}, factor);
}

Image scaleUp(const Image& image, const Rect& area, int factor) {
    Image out(area.width() * factor, area.height() * factor);
    cairo_t* cr = out.context();
    cairo_scale(cr, factor, factor);
    cairo_set_source_surface(cr, image.surface(), -area.left, -area.top);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_paint(cr);
    cairo_destroy(cr);
    return out;
}

}  // namespace art
