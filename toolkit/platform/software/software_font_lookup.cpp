#include "toolkit/platform/software/software_font_lookup.h"

#include <fontconfig/fontconfig.h>

namespace TKGUI {
namespace platform {

namespace {

// A configuration of our own, loaded and freed around each look-up: the
// host may use fontconfig's process-wide one for itself, and nothing of ours
// must outlive the module when the host unloads it. Callers keep the result.
class OwnConfig {
  public:
    OwnConfig() : config(FcInitLoadConfigAndFonts()) {}
    ~OwnConfig() {
        if (config) FcConfigDestroy(config);
    }
    OwnConfig(const OwnConfig&) = delete;
    OwnConfig& operator=(const OwnConfig&) = delete;

    FcConfig* const config;
};

const FcChar8* text(const char* s) {
    return reinterpret_cast<const FcChar8*>(s);
}

}  // namespace

bool findSansFont(bool bold, bool italic, FontFile& out) {
    OwnConfig own;
    if (!own.config) return false;
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return false;
    // In order of preference; fontconfig's own rules may add the faces it
    // knows to be metric-compatible with Arial.
    for (const char* family : {"Liberation Sans", "Arial", "sans-serif"}) {
        FcPatternAddString(pattern, FC_FAMILY, text(family));
    }
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(own.config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);

    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(own.config, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) return false;
    bool found = false;
    FcChar8* file = nullptr;
    FcBool scalable = FcFalse;
    if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch &&
        FcPatternGetBool(match, FC_SCALABLE, 0, &scalable) == FcResultMatch && scalable) {
        int index = 0;
        if (FcPatternGetInteger(match, FC_INDEX, 0, &index) != FcResultMatch) index = 0;
        out.path = reinterpret_cast<const char*>(file);
        out.index = index;
        found = true;
    }
    FcPatternDestroy(match);
    return found;
}

}  // namespace platform
}  // namespace TKGUI
