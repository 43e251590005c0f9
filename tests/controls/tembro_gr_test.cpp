// The gain-reduction meter: the frame for each reading, drawing from the
// feed, the redraw at every idle, and that clicks do nothing.
#include "editor/tembro_gr.h"

#include <cmath>
#include <limits>

#include "controls_fixture.h"
#include "engine/meter_feed.h"

using namespace TKGUI;

namespace tk42test {
namespace {

using TembroGRTest = ControlsTest;

const CRect kMeterRect(20, 160, 380, 190);

TEST_F(TembroGRTest, ReadingsSelectFramesZeroToNineteen) {
    auto* meter = add(new TembroGR(kMeterRect, 44100.0f, nullptr));
    const double inf = std::numeric_limits<double>::infinity();
    struct Case {
        double db;
        int frame;
    };
    const Case cases[] = {{1e-25, 0}, {1.0, 0},   {1.06, 1},
                          {10.0, 9},  {10.6, 10}, {19.99, 18},
                          {20.0, 19}, {35.0, 19}, {inf, 19},
                          {-3.0, 0},  {-inf, 0},  {std::numeric_limits<double>::quiet_NaN(), 0}};
    for (const Case& c : cases) EXPECT_EQ(meter->frameIndexFor(c.db), c.frame) << c.db << " dB";
}

TEST_F(TembroGRTest, StartsEmptyWithTheFallCoefficientOfTheSampleRate) {
    auto* meter = add(new TembroGR(kMeterRect, 44100.0f, nullptr));
    EXPECT_NEAR(meter->grFallCoef, 0.99984884, 1e-8);
    EXPECT_EQ(meter->grValueDb, 1e-25);
    EXPECT_EQ(meter->grSegmentCount, 20);
    EXPECT_EQ(meter->getTag(), 0);
    EXPECT_EQ(meter->getListener(), nullptr);
    EXPECT_EQ(meter->getBackground(), nullptr) << "the strip is not the view's background";
    auto* fast = add(new TembroGR(kMeterRect, 192000.0f, nullptr));
    // The same 0.15 s time constant at any rate.
    EXPECT_NEAR(std::pow(fast->grFallCoef, 192000.0 * 0.15), std::exp(-1.0), 1e-9);
}

TEST_F(TembroGRTest, DrawsTheFrameOfTheFeedsReadingFromThirtyPixelRows) {
    MeterFeed feed;
    auto* strip = new RecordingBitmap(104);
    auto* meter = add(new TembroGR(kMeterRect, 48000.0f, strip, &feed));
    strip->release();
    feed.attach(meter->grFallCoef);
    MeterReading r = feed.beginBlock();
    r.valueDb = 10.6;
    feed.endBlock(r);
    meter->draw(context);
    r.valueDb = 50.0;
    feed.endBlock(r);
    meter->setTransparent(true);
    meter->draw(context);
    ASSERT_EQ(strip->draws.size(), 2u);
    EXPECT_EQ(strip->draws[0].rect, kMeterRect);
    EXPECT_EQ(strip->draws[0].offset, CPoint(0, 300));
    EXPECT_FALSE(strip->draws[0].keyed);
    EXPECT_EQ(strip->draws[1].offset, CPoint(0, 19 * 30)) << "frame 20 is never drawn";
    EXPECT_TRUE(strip->draws[1].keyed);
}

TEST_F(TembroGRTest, WithoutAStripNothingIsDrawnAndTheFlagStays) {
    auto* meter = add(new TembroGR(kMeterRect, 44100.0f, nullptr));
    meter->setDirty(true);
    meter->draw(context);
    EXPECT_TRUE(meter->isDirty());
}

TEST_F(TembroGRTest, AlwaysDirtySoEveryIdleRedrawsItWithAnUnchangedReading) {
    auto* strip = new RecordingBitmap(104);
    auto* meter = add(new TembroGR(kMeterRect, 44100.0f, strip));
    strip->release();
    frame->draw(context);  // the first paint
    EXPECT_TRUE(meter->isDirty()) << "lastValue stays -1 against the value 0";
    const size_t afterPaint = strip->draws.size();
    frame->idle();
    frame->idle();
    frame->idle();
    EXPECT_EQ(strip->draws.size(), afterPaint + 3);
    EXPECT_EQ(meter->getLastValue(), -1.0f);
    EXPECT_EQ(meter->getValue(), 0.0f);
}

TEST_F(TembroGRTest, ClicksChangeNothing) {
    auto* meter = add(new TembroGR(kMeterRect, 44100.0f, nullptr));
    frame->mouseDown(context, CPoint(100, 170), kLButton | kControl);
    meter->mouseDown(context, CPoint(100, 170), kLButton);
    EXPECT_EQ(meter->getValue(), 0.0f);
    EXPECT_TRUE(editor.log.empty());
    EXPECT_TRUE(meter->isKindOf("TembroGR"));
    EXPECT_TRUE(meter->isKindOf("CControl"));
    EXPECT_TRUE(meter->isKindOf("CView"));
    EXPECT_FALSE(meter->isKindOf("CViewContainer"));
}

}  // namespace
}  // namespace tk42test
