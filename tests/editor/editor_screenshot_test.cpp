// A picture of the panel as the software platform draws it, for people to
// look at (build/native/tests/editor/editor-software.png).
#include <gtest/gtest.h>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

#include <vector>

#include "tests/editor/editor_fixture.h"

TEST_F(EditorFixture, ScreenshotOfTheOpenedPanel) {
    ASSERT_TRUE(openEditor());
    paintAll();
    TKGUI::platform::Window* window = gui()->getFrame()->getWindow();
    std::vector<unsigned char> rgb(400 * 220 * 3);
    for (int y = 0; y < 220; ++y) {
        for (int x = 0; x < 400; ++x) {
            const uint32_t p = TKGUI::software::pixelAt(window, x, y);
            unsigned char* out = &rgb[3 * (y * 400 + x)];
            out[0] = static_cast<unsigned char>(p >> 16);
            out[1] = static_cast<unsigned char>(p >> 8);
            out[2] = static_cast<unsigned char>(p);
        }
    }
    const std::string path = std::string(TK42_SCREENSHOT_DIR) + "/editor-software.png";
    ASSERT_NE(stbi_write_png(path.c_str(), 400, 220, 3, rgb.data(), 400 * 3), 0);
    // The opaque panel fills the window, and a knob is drawn over it.
    const uint32_t corner = TKGUI::software::pixelAt(window, 3, 3);
    EXPECT_EQ(corner >> 24, 0xFFu);
    EXPECT_NE(TKGUI::software::pixelAt(window, 70, 65), TKGUI::software::pixelAt(window, 5, 5));
}
