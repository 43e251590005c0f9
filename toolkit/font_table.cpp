#include "toolkit/font_table.h"

namespace TKGUI {

namespace {
const FontTableEntry fontTable[kNumFonts] = {
    {12, "Arial", true, false},  {18, "Arial", false, false}, {14, "Arial", false, false},
    {12, "Arial", false, false}, {11, "Arial", false, false}, {10, "Arial", false, false},
    {9, "Arial", false, false},  {13, "Symbol", false, true},
};
}  // namespace

int clampFontId(int fontId) {
    return (fontId < 0 || fontId >= kNumFonts) ? 0 : fontId;
}

const FontTableEntry& fontTableEntry(int fontId) {
    return fontTable[clampFontId(fontId)];
}

}  // namespace TKGUI
