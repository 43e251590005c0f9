// The toolkit's eight fonts, chosen by id. Ids outside 0..7 mean font 0.
#pragma once

namespace TKGUI {

enum CFontStyle { kBoldFace = 1, kItalicFace = 2, kUnderlineFace = 4 };

struct FontTableEntry {
    int size;          // character height in pixels
    const char* face;  // "Arial" or "Symbol"
    bool alwaysBold;
    bool decorative;
};

constexpr int kNumFonts = 8;

int clampFontId(int fontId);
const FontTableEntry& fontTableEntry(int fontId);

}  // namespace TKGUI
