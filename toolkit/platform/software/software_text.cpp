// Fonts and text on the software platform: FreeType with anti-aliasing, laid
// out like a single-line, vertically centred GDI text box. "Arial" is served
// by a metric-compatible face (Liberation Sans, found through fontconfig), so
// text takes the same room as on Windows.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <map>
#include <mutex>
#include <string>

#include "toolkit/platform/software/software_font_lookup.h"
#include "toolkit/platform/software/software_text.h"
#include "toolkit/platform/software/software_types.h"

namespace TKGUI {
namespace platform {

struct FontFace {
    FT_Face face = nullptr;
};

namespace {

// Faces are loaded once per process and kept: fonts come and go with every
// drawing context, the files do not change.
struct FaceCache {
    std::mutex mutex;
    FT_Library library = nullptr;
    std::map<int, FontFace> faces;  // by bold | italic << 1

    ~FaceCache() {
        for (auto& entry : faces) {
            if (entry.second.face) FT_Done_Face(entry.second.face);
        }
        if (library) FT_Done_FreeType(library);
    }

    FontFace* find(bool bold, bool italic) {
        std::lock_guard<std::mutex> lock(mutex);
        if (!library && FT_Init_FreeType(&library) != 0) return nullptr;
        const int key = (bold ? 1 : 0) | (italic ? 2 : 0);
        auto it = faces.find(key);
        if (it != faces.end()) return it->second.face ? &it->second : nullptr;
        // A face that cannot be found or opened is remembered as missing:
        // text is then left out rather than looked for at every paint.
        FontFace& entry = faces[key];
        FontFile file;
        if (!findSansFont(bold, italic, file) ||
            FT_New_Face(library, file.path.c_str(), file.index, &entry.face) != 0) {
            entry.face = nullptr;
        }
        return entry.face ? &entry : nullptr;
    }
};

FaceCache& faceCache() {
    static FaceCache cache;
    return cache;
}

struct LineMetrics {
    int ascent = 0;
    int descent = 0;
    int width = 0;
};

// Sets the face to the font's pixel size and measures the line.
LineMetrics measure(Font& font, const char* text) {
    LineMetrics m;
    FT_Face face = font.face->face;
    FT_Set_Pixel_Sizes(face, 0, font.desc.pixelHeight);
    m.ascent = int((face->size->metrics.ascender + 63) >> 6);
    m.descent = int((-face->size->metrics.descender + 63) >> 6);
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        if (FT_Load_Char(face, *p, FT_LOAD_DEFAULT) == 0) {
            m.width += int((face->glyph->advance.x + 32) >> 6);
        }
    }
    return m;
}

inline uint32_t mix(uint32_t dst, uint32_t color, uint32_t coverage) {
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        uint32_t d = (dst >> shift) & 0xFF;
        uint32_t c = (color >> shift) & 0xFF;
        out |= ((c * coverage + d * (255 - coverage) + 127) / 255) << shift;
    }
    uint32_t da = dst >> 24;
    uint32_t a = coverage + (da * (255 - coverage) + 127) / 255;
    return out | (a << 24);
}

}  // namespace

Font* createFont(const FontSpec& desc) {
    if (desc.pixelHeight <= 0 || !desc.face) return nullptr;
    Font* font = new Font{desc, nullptr, nullptr};
    font->faceName = desc.face;
    font->face = faceCache().find(desc.weight >= 600, desc.italic);
    countFontCreated();
    return font;
}

void deleteFont(Font* font) {
    if (font) countFontDeleted();
    delete font;
}

void drawText(Device* device, const char* text, const CRect& rect, TextAlign align) {
    if (!device || !text || !device->target() || !device->font || !device->font->face) return;
    Font& font = *device->font;
    LineMetrics m = measure(font, text);
    const int lineHeight = m.ascent + m.descent;
    int x = rect.left;
    if (align == TextAlign::center) {
        x = rect.left + (rect.width() - m.width) / 2;
    } else if (align == TextAlign::right) {
        x = rect.right - m.width;
    }
    const int top = rect.top + (rect.height() - lineHeight) / 2;
    const int baseline = top + m.ascent;

    // The text box clips the text, within the device's clip region.
    CRect area = rect.intersection(device->drawableArea());
    Image& image = *device->target();
    if (device->opaque) {
        CRect box = CRect(x, top, x + m.width, top + lineHeight).bound(area);
        uint32_t bk = opaquePixel(device->backgroundColor);
        for (int y = box.top; y < box.bottom; ++y) {
            for (int px = box.left; px < box.right; ++px) image.at(px, y) = bk;
        }
    }

    const uint32_t color = opaquePixel(device->textColor);
    FT_Face face = font.face->face;
    int penX = x;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        if (FT_Load_Char(face, *p, FT_LOAD_RENDER) != 0) continue;
        FT_GlyphSlot g = face->glyph;
        const FT_Bitmap& bm = g->bitmap;
        for (unsigned row = 0; row < bm.rows; ++row) {
            int y = baseline - g->bitmap_top + int(row);
            if (y < area.top || y >= area.bottom) continue;
            for (unsigned col = 0; col < bm.width; ++col) {
                int px = penX + g->bitmap_left + int(col);
                if (px < area.left || px >= area.right) continue;
                uint32_t coverage = bm.buffer[row * bm.pitch + col];
                if (coverage) image.at(px, y) = mix(image.at(px, y), color, coverage);
            }
        }
        penX += int((g->advance.x + 32) >> 6);
    }
    if (font.desc.underline) {
        int y = baseline + 1;
        if (y >= area.top && y < area.bottom) {
            for (int px = std::max(x, area.left); px < std::min(penX, area.right); ++px) {
                image.at(px, y) = color;
            }
        }
    }
}

}  // namespace platform

int software::textWidth(platform::Font* font, const char* text) {
    if (!font || !font->face || !text) return 0;
    return platform::measure(*font, text).width;
}

}  // namespace TKGUI
