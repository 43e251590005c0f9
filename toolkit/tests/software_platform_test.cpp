// What the software platform promises its users beyond drawing: the embedded
// resource table, the scripted clock, paint requests and the checked-in
// test images.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "logic_fixture.h"
#include "test_images.h"
#include "toolkit/platform/platform.h"

using namespace TKGUI;
using namespace tk42test;

namespace {

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

}  // namespace

TEST_F(LogicTest, EmbeddedResourcesAreFoundByNumberAndType) {
    const uint8_t* data = nullptr;
    size_t size = 0;
    ASSERT_TRUE(platform::findResource(kRgbaImage, "PNG", &data, &size));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(data), size),
              readFile(TK42_IMAGES_DIR "/rgba.png"));
    EXPECT_FALSE(platform::findResource(kRgbaImage, "BMP", &data, &size));
    EXPECT_FALSE(platform::findResource(kMissingImage, "PNG", &data, &size));
}

TEST_F(LogicTest, SleepingAdvancesTheScriptedClock) {
    software::setTickCount(0xFFFFFFFEu);
    const uint32_t slept = software::totalSleptMilliseconds();
    platform::sleepMilliseconds(4);
    EXPECT_EQ(platform::tickCount(), 2u) << "the tick count wraps at 32 bits";
    EXPECT_EQ(software::totalSleptMilliseconds(), slept + 4);
}

TEST_F(LogicTest, OnePendingPaintIsDispatchedAtATime) {
    while (software::pendingPaintRequests() > 0) platform::dispatchOnePendingPaint();
    software::postPaintRequest();
    software::postPaintRequest();
    platform::dispatchOnePendingPaint();
    EXPECT_EQ(software::pendingPaintRequests(), 1);
    platform::dispatchOnePendingPaint();
    platform::dispatchOnePendingPaint();
    EXPECT_EQ(software::pendingPaintRequests(), 0);
}

TEST_F(LogicTest, CheckedInTestImagesAreWhatTheGeneratorMakes) {
    const std::string dir = ::testing::TempDir() + "tk42_images";
    std::string command = "mkdir -p '" + dir + "' && '" TK42_MAKE_TEST_IMAGES "' '" + dir + "'";
    ASSERT_EQ(std::system(command.c_str()), 0);
    for (const char* name : {"rgba.png", "rgb.png", "palette.png", "grey.png", "grey_alpha.png",
                             "strip.png", "broken.png", "plain.bmp"}) {
        EXPECT_EQ(readFile(dir + "/" + name), readFile(std::string(TK42_IMAGES_DIR "/") + name))
            << name << " differs: remake the images with tk42_make_test_images";
    }
}
