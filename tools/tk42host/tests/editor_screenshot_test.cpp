// The editor command opens an editor in a window of the host, lets it paint
// and saves exactly its pixels (under Wine, with a stand-in editor).
#include <gtest/gtest.h>

#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

#include "tools/tk42host/tests/test_files.h"

TEST(EditorScreenshot, SavesThePixelsTheEditorPainted) {
    TempDir dir;
    const std::string png = dir.file("editor.png");
    const HostRun run = runHost({"editor", TK42_FAKE_WITH_EDITOR, "--screenshot", png});
    ASSERT_EQ(run.code, 0) << run.err;
    int width = 0, height = 0, channels = 0;
    unsigned char* pixels = stbi_load(png.c_str(), &width, &height, &channels, 3);
    ASSERT_NE(pixels, nullptr);
    EXPECT_EQ(width, 80);
    EXPECT_EQ(height, 60);
    auto at = [&](int x, int y) {
        const unsigned char* p = pixels + 3 * (y * width + x);
        return std::vector<int>{p[0], p[1], p[2]};
    };
    EXPECT_EQ(at(2, 2), (std::vector<int>{10, 200, 30}));
    EXPECT_EQ(at(79, 59), (std::vector<int>{10, 200, 30}));
    EXPECT_EQ(at(10, 10), (std::vector<int>{255, 0, 0}));
    EXPECT_EQ(at(29, 29), (std::vector<int>{255, 0, 0}));
    EXPECT_EQ(at(30, 30), (std::vector<int>{10, 200, 30}));
    stbi_image_free(pixels);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"editor.png"});
}

TEST(EditorScreenshot, TheRealPanelShowsItsArtworkAndItsControls) {
    TempDir dir;
    const std::string png = dir.file("panel.png");
    const HostRun run = runHost({"editor", TK42_TEST_MODULE, "--screenshot", png});
    ASSERT_EQ(run.code, 0) << run.err;
    int width = 0, height = 0, channels = 0;
    unsigned char* shot = stbi_load(png.c_str(), &width, &height, &channels, 3);
    ASSERT_NE(shot, nullptr);
    EXPECT_EQ(width, 400);
    EXPECT_EQ(height, 220);
    int pw = 0, ph = 0, pc = 0;
    unsigned char* panel = stbi_load(TK42_PANEL_PNG, &pw, &ph, &pc, 3);
    ASSERT_NE(panel, nullptr) << TK42_PANEL_PNG;
    auto same = [&](int x, int y) {
        const int i = 3 * (y * 400 + x);
        return shot[i] == panel[i] && shot[i + 1] == panel[i + 1] && shot[i + 2] == panel[i + 2];
    };
    // Away from the controls the window shows the panel image itself...
    for (auto [x, y] : {std::pair{5, 5}, {200, 140}, {395, 215}, {120, 150}}) {
        EXPECT_TRUE(same(x, y)) << x << "," << y;
    }
    // ...and the knobs and the meter are drawn over it.
    EXPECT_FALSE(same(70, 65) && same(60, 55) && same(80, 75));
    EXPECT_FALSE(same(29, 175) && same(371, 175));
    stbi_image_free(panel);
    stbi_image_free(shot);
}
