// Shared set-up of the drawing tests: the platform prepared and the blend
// library held, as a frame would hold it.
#pragma once

#include <gtest/gtest.h>

#include "pixel_reader.h"
#include "toolkit/offscreen_context.h"
#include "toolkit/platform/platform.h"

namespace tk42test {

class DrawingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        preparePlatform();
        library = TKGUI::platform::loadBlendLibrary();
    }
    void TearDown() override { TKGUI::platform::freeBlendLibrary(library); }

    TKGUI::platform::Library* library = nullptr;
};

// An off-screen context that releases itself.
struct Offscreen {
    TKGUI::COffscreenContext* context;
    Offscreen(int w, int h, TKGUI::CColor background = TKGUI::kBlackCColor)
        : context(new TKGUI::COffscreenContext(nullptr, w, h, background)) {}
    ~Offscreen() { context->release(); }
    Offscreen(const Offscreen&) = delete;
    Offscreen& operator=(const Offscreen&) = delete;
    TKGUI::COffscreenContext* operator->() const { return context; }
    Pixels pixels() const { return readPixels(context); }
};

}  // namespace tk42test
