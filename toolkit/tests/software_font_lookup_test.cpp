// The software platform's font look-up goes through fontconfig, with its
// configuration taken anew each time: a machine with other font folders, or
// without Liberation Sans, still gets a sans face, and one without any font
// gets none (and text is left out) rather than a crash.
#include "toolkit/platform/software/software_font_lookup.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;
using TKGUI::platform::findSansFont;
using TKGUI::platform::FontFile;

namespace {

// Points fontconfig at a configuration that knows only the fonts in one
// folder, for the life of the object.
class OnlyFontsIn {
  public:
    explicit OnlyFontsIn(const fs::path& root) {
        fs::create_directories(root / "fonts");
        file = root / "fonts.conf";
        std::ofstream(file) << "<?xml version=\"1.0\"?>\n<fontconfig>\n  <dir>"
                            << (root / "fonts").string() << "</dir>\n  <cachedir>"
                            << (root / "cache").string() << "</cachedir>\n</fontconfig>\n";
        const char* old = getenv("FONTCONFIG_FILE");
        if (old) previous = old;
        hadPrevious = old != nullptr;
        setenv("FONTCONFIG_FILE", file.c_str(), 1);
    }
    ~OnlyFontsIn() {
        if (hadPrevious) {
            setenv("FONTCONFIG_FILE", previous.c_str(), 1);
        } else {
            unsetenv("FONTCONFIG_FILE");
        }
    }

  private:
    fs::path file;
    std::string previous;
    bool hadPrevious = false;
};

fs::path scratch(const char* name) {
    fs::path p = fs::path(::testing::TempDir()) / name;
    fs::remove_all(p);
    return p;
}

}  // namespace

TEST(SoftwareFontLookup, PrefersLiberationSansInEveryStyle) {
    for (int style = 0; style < 4; ++style) {
        FontFile regular;
        ASSERT_TRUE(findSansFont(style & 1, style & 2, regular));
        EXPECT_TRUE(fs::exists(regular.path)) << regular.path;
        // The build machine installs fonts-liberation.
        EXPECT_NE(regular.path.find("LiberationSans"), std::string::npos) << regular.path;
    }
    FontFile regular, bold;
    ASSERT_TRUE(findSansFont(false, false, regular));
    ASSERT_TRUE(findSansFont(true, false, bold));
    EXPECT_NE(regular.path, bold.path);
}

TEST(SoftwareFontLookup, FindsWhateverSansTheConfigurationHas) {
    FontFile liberation;
    ASSERT_TRUE(findSansFont(false, false, liberation));
    const fs::path root = scratch("font-lookup-other");
    OnlyFontsIn config(root);
    // A face under another name in a folder of its own: no path is assumed.
    fs::copy_file(liberation.path, root / "fonts/some-sans.ttf");
    FontFile found;
    ASSERT_TRUE(findSansFont(true, true, found));
    EXPECT_EQ(found.path, (root / "fonts/some-sans.ttf").string());
}

TEST(SoftwareFontLookup, NoFontAtAllIsNoFaceNotACrash) {
    OnlyFontsIn config(scratch("font-lookup-none"));
    FontFile found;
    EXPECT_FALSE(findSansFont(false, false, found));
    EXPECT_TRUE(found.path.empty());
}
