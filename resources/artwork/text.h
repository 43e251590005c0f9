// Lettering: fonts loaded from Debian's font packages by file path (no
// fontconfig look-up, so the same files are used on every machine), hinted
// for crisp glyphs at the small sizes of a 400 x 220 panel.
#pragma once

#include <cairo.h>

#include <string>

namespace art {

enum class Face {
    Label,       // DejaVu Sans Condensed Bold: scales, captions
    Brand,       // Lato Heavy Italic: the maker's name
    Model,       // Lato Black: the model number
    ModelLight,  // Lato Regular: the product name
    Box          // Liberation Sans: what the host's 9 px "Arial" text looks like
};

enum class Align { Left, Centre, Right };

struct Ink {
    double r, g, b, a;
};

// Selects the face at the size (pixels per em) with hinting on.
void useFace(cairo_t* cr, Face face, double size);

// Advance width of the text in the current face.
double textWidth(cairo_t* cr, const std::string& text);

// Draws one line with its baseline at y (snapped to whole pixels), aligned
// on x; returns the drawn width.
double drawText(cairo_t* cr, const std::string& text, double x, double y, Align align,
                const Ink& ink);

// The same, vertically centred on cy by the height of capital letters.
double drawTextCentred(cairo_t* cr, const std::string& text, double x, double cy, Align align,
                       const Ink& ink);

// Printed lettering: the ink with a faint dark shadow one pixel below, which
// keeps small light text legible on textured metal.
void drawPrinted(cairo_t* cr, const std::string& text, double x, double cy, Align align,
                 const Ink& ink);

}  // namespace art
