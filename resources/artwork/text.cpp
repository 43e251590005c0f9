#include "text.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <map>
#include <stdexcept>

namespace art {

namespace {

const char* pathOf(Face face) {
    switch (face) {
        case Face::Label:
            return "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf";
        case Face::Brand:
            return "/usr/share/fonts/truetype/lato/Lato-HeavyItalic.ttf";
        case Face::Model:
            return "/usr/share/fonts/truetype/lato/Lato-Black.ttf";
        case Face::ModelLight:
            return "/usr/share/fonts/truetype/lato/Lato-Regular.ttf";
        case Face::Box:
            return "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf";
    }
    return "";
}

struct Faces {
    FT_Library library = nullptr;
    std::map<Face, FT_Face> ft;
    std::map<Face, cairo_font_face_t*> cairo;
};

Faces& faces() {
    static Faces f;
    return f;
}

cairo_font_face_t* load(Face face) {
    Faces& f = faces();
    auto it = f.cairo.find(face);
    if (it != f.cairo.end()) return it->second;
    if (!f.library && FT_Init_FreeType(&f.library)) throw std::runtime_error("FreeType init");
    FT_Face ft = nullptr;
    if (FT_New_Face(f.library, pathOf(face), 0, &ft))
        throw std::runtime_error(std::string("cannot open font ") + pathOf(face));
    f.ft[face] = ft;
    cairo_font_face_t* cf = cairo_ft_font_face_create_for_ft_face(ft, 0);
    f.cairo[face] = cf;
    return cf;
}

}  // namespace

void useFace(cairo_t* cr, Face face, double size) {
    cairo_set_font_face(cr, load(face));
    cairo_set_font_size(cr, size);
    cairo_font_options_t* o = cairo_font_options_create();
    cairo_font_options_set_antialias(o, CAIRO_ANTIALIAS_GRAY);
    cairo_font_options_set_hint_style(o, CAIRO_HINT_STYLE_FULL);
    cairo_font_options_set_hint_metrics(o, CAIRO_HINT_METRICS_ON);
    cairo_set_font_options(cr, o);
    cairo_font_options_destroy(o);
}

double textWidth(cairo_t* cr, const std::string& text) {
    cairo_text_extents_t e;
    cairo_text_extents(cr, text.c_str(), &e);
    return e.x_advance;
}

double drawText(cairo_t* cr, const std::string& text, double x, double y, Align align,
                const Ink& ink) {
    const double w = textWidth(cr, text);
    double left = x;
    if (align == Align::Centre) left = x - w / 2;
    if (align == Align::Right) left = x - w;
    cairo_set_source_rgba(cr, ink.r, ink.g, ink.b, ink.a);
    cairo_move_to(cr, std::round(left), std::round(y));
    cairo_show_text(cr, text.c_str());
    cairo_new_path(cr);
    return w;
}

double drawTextCentred(cairo_t* cr, const std::string& text, double x, double cy, Align align,
                       const Ink& ink) {
    cairo_text_extents_t e;
    cairo_text_extents(cr, "H", &e);
    return drawText(cr, text, x, cy + e.height / 2, align, ink);
}

void drawPrinted(cairo_t* cr, const std::string& text, double x, double cy, Align align,
                 const Ink& ink) {
    drawTextCentred(cr, text, x, cy + 1, align, Ink{0, 0, 0, 0.55 * ink.a});
    drawTextCentred(cr, text, x, cy, align, ink);
}

}  // namespace art
