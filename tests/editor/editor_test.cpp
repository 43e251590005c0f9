// The limiter's panel on the software platform: layout and initial values,
// the two-way wiring with the parameters, typed values, and the lifecycle
// cases real hosts produce.
#include <gtest/gtest.h>

#include <thread>

#include "editor/tembro_gr.h"
#include "editor/tembro_knob.h"
#include "tests/editor/editor_fixture.h"
#include "toolkit/draw_context.h"
#include "toolkit/frame.h"
#include "toolkit/horizontal_switch.h"
#include "toolkit/on_off_button.h"
#include "toolkit/reference_counter.h"
#include "toolkit/text_edit.h"

namespace sw = TKGUI::software;

TEST_F(EditorFixture, RectangleIsThePanelsSizeBeforeAnyOpen) {
    EXPECT_EQ(plugin->record()->flags, 0x1031);
    ERect* rect = nullptr;
    EXPECT_EQ(plugin->dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->bottom, 220);
    EXPECT_EQ(rect->right, 400);
    EXPECT_EQ(plugin->dispatch(effEditGetRect, 0, 0, nullptr), 0);
}

TEST_F(EditorFixture, FreshPanelShowsTheDefaults) {
    ASSERT_TRUE(openEditor());
    TembroLimiterGUI* g = gui();
    ASSERT_NE(g->getFrame(), nullptr);
    EXPECT_EQ(sw::childWindowCount(parent), 1);
    EXPECT_EQ(g->panel.gainKnob->frameOffset().y, 0);
    EXPECT_EQ(g->panel.threshKnob->frameOffset().y, 96 * 80);
    EXPECT_EQ(g->panel.atkHKnob->frameOffset().y, 24 * 40);
    EXPECT_EQ(g->panel.relHKnob->frameOffset().y, 24 * 40);
    EXPECT_EQ(g->panel.releaseKnob->frameOffset().y, 96 * 40);
    EXPECT_EQ(g->panel.modeButton->getValue(), 0.0f);
    EXPECT_EQ(g->panel.showSwitch->getValue(), 0.0f);
    EXPECT_EQ(boxText(g->panel.gainEdit), "0.00");
    EXPECT_EQ(boxText(g->panel.threshEdit), "-0.00");
    EXPECT_EQ(g->panel.gainKnob->dragRange, 480.0f);
    EXPECT_EQ(g->panel.releaseKnob->getWheelStep(), 0.125f);
    EXPECT_EQ(g->panel.threshKnob->getDefaultValue(), 1.0f);
    EXPECT_EQ(g->panel.gainKnob->getTag(), 0);
    EXPECT_EQ(g->panel.showSwitch->getTag(), 6);
    EXPECT_EQ(g->panel.gainEdit->getTag(), 1001);
    EXPECT_EQ(g->panel.threshEdit->getTag(), 1002);
}

TEST_F(EditorFixture, ConvertersPrintTwoDecimalsAndTheNegativeZero) {
    char text[256];
    LimiterPanel::gainToText(0.5f, text);
    EXPECT_STREQ(text, "12.00");
    LimiterPanel::gainToText(1.0f, text);
    EXPECT_STREQ(text, "24.00");
    LimiterPanel::threshToText(0.0f, text);
    EXPECT_STREQ(text, "-24.00");
    LimiterPanel::threshToText(0.75f, text);
    EXPECT_STREQ(text, "-6.00");
    LimiterPanel::threshToText(1.0f, text);
    EXPECT_STREQ(text, "-0.00");
}

TEST_F(EditorFixture, TypedValuesSetTheParameterWithoutAutomation) {
    ASSERT_TRUE(openEditor());
    TembroLimiterGUI* g = gui();
    host.clearLog();
    type(g->panel.gainEdit, "12");
    EXPECT_EQ(plugin->getParameter(kGain), 0.5f);
    EXPECT_EQ(g->panel.gainKnob->getValue(), 0.5f);
    EXPECT_EQ(g->panel.gainKnob->frameOffset().y, 48 * 80);
    EXPECT_EQ(boxText(g->panel.gainEdit), "12.00");
    EXPECT_TRUE(host.callsWith(audioMasterAutomate).empty());

    type(g->panel.threshEdit, "-6");
    EXPECT_EQ(plugin->getParameter(kThresh), 0.75f);
    EXPECT_EQ(boxText(g->panel.threshEdit), "-6.00");
    type(g->panel.threshEdit, "-6 dB");
    EXPECT_EQ(plugin->getParameter(kThresh), 0.75f);

    type(g->panel.gainEdit, "30");
    EXPECT_EQ(boxText(g->panel.gainEdit), "24.00");
    type(g->panel.threshEdit, "-40");
    EXPECT_EQ(boxText(g->panel.threshEdit), "-24.00");
    type(g->panel.gainEdit, "abc");
    EXPECT_EQ(boxText(g->panel.gainEdit), "0.00");
    type(g->panel.threshEdit, "abc");
    EXPECT_EQ(boxText(g->panel.threshEdit), "-0.00");
    type(g->panel.gainEdit, "1e400");
    EXPECT_EQ(plugin->getParameter(kGain), 1.0f);
    // A text that reads as not-a-number is taken as no number.
    type(g->panel.gainEdit, "nan");
    EXPECT_EQ(plugin->getParameter(kGain), 0.0f);
    EXPECT_TRUE(host.callsWith(audioMasterAutomate).empty());
}

TEST_F(EditorFixture, ControlChangesAreAutomatedAndOtherTagsIgnored) {
    ASSERT_TRUE(openEditor());
    TembroLimiterGUI* g = gui();
    host.clearLog();
    g->panel.modeButton->setValue(1.0f);
    g->panel.valueChanged(nullptr, g->panel.modeButton);
    EXPECT_EQ(plugin->getParameter(kMode), 1.0f);
    auto automated = host.callsWith(audioMasterAutomate);
    ASSERT_EQ(automated.size(), 1u);
    EXPECT_EQ(automated[0].index, kMode);
    EXPECT_EQ(automated[0].opt, 1.0f);

    const auto before = plugin->chunk();
    for (int32_t tag : {7, 1000, -1}) {
        g->panel.gainKnob->setTag(tag);
        g->panel.gainKnob->setValue(0.9f);
        g->panel.valueChanged(nullptr, g->panel.gainKnob);
    }
    EXPECT_EQ(plugin->chunk(), before);
    plugin->setParameter(7, 0.5f);
    EXPECT_EQ(plugin->chunk(), before);
}

TEST_F(EditorFixture, HostChangesMoveTheControls) {
    ASSERT_TRUE(openEditor());
    TembroLimiterGUI* g = gui();
    plugin->setParameter(kRelH, 0.5f);
    EXPECT_EQ(g->panel.relHKnob->getValue(), 0.5f);
    plugin->setParameter(kGain, 2.0f);  // the effect clamps; the panel shows what it stored
    EXPECT_EQ(g->panel.gainKnob->getValue(), 1.0f);
    EXPECT_EQ(boxText(g->panel.gainEdit), "24.00");
}

TEST_F(EditorFixture, ChangesFromAnotherThreadWaitForTheNextIdle) {
    ASSERT_TRUE(openEditor());
    TembroLimiterGUI* g = gui();
    std::thread automation([&] { plugin->setParameter(kRelH, 0.75f); });
    automation.join();
    EXPECT_EQ(plugin->getParameter(kRelH), 0.75f);
    EXPECT_EQ(g->panel.relHKnob->getValue(), 0.25f);  // no control touched off the UI thread
    plugin->dispatch(effEditIdle);
    EXPECT_EQ(g->panel.relHKnob->getValue(), 0.75f);
}

TEST_F(EditorFixture, ClosedPanelIgnoresChangesAndTheNextOpenShowsThem) {
    ASSERT_TRUE(openEditor());
    plugin->dispatch(effEditClose);
    EXPECT_EQ(gui()->getFrame(), nullptr);
    EXPECT_EQ(gui()->panel.relHKnob, nullptr);
    EXPECT_EQ(sw::childWindowCount(parent), 0);
    plugin->setParameter(kRelH, 0.5f);
    ASSERT_TRUE(openEditor());
    EXPECT_EQ(gui()->panel.relHKnob->getValue(), 0.5f);
}

TEST_F(EditorFixture, MeterFeedFollowsTheOpenPanel) {
    auto& fx = *static_cast<TembroLimiter*>(plugin->record()->object);
    EXPECT_FALSE(fx.meterFeed().isAttached());
    ASSERT_TRUE(openEditor());
    EXPECT_TRUE(fx.meterFeed().isAttached());
    EXPECT_NEAR(fx.meterFeed().fallCoef(), 0.99984884, 1e-8);
    plugin->dispatch(effEditClose);
    EXPECT_FALSE(fx.meterFeed().isAttached());
}

TEST_F(EditorFixture, OpeningTwiceReplacesThePanelInsteadOfLeakingIt) {
    const int objects = TKGUI::CReferenceCounter::liveObjects();
    ASSERT_TRUE(openEditor());
    ASSERT_TRUE(openEditor());
    EXPECT_EQ(sw::childWindowCount(parent), 1);
    plugin->dispatch(effEditClose);
    EXPECT_EQ(TKGUI::CReferenceCounter::liveObjects(), objects);
}

TEST_F(EditorFixture, CloseOfTheEffectWithThePanelOpenClosesIt) {
    ASSERT_TRUE(openEditor());
    EXPECT_EQ(plugin->close(), 1);
    EXPECT_EQ(sw::childWindowCount(parent), 0);
}

TEST_F(EditorFixture, HostDestroyingItsWindowBeforeEditCloseIsSafe) {
    ASSERT_TRUE(openEditor());
    sw::destroyChildren(parent);
    plugin->dispatch(effEditIdle);
    plugin->dispatch(effEditClose);
    // The module is still usable: a new open works.
    ASSERT_TRUE(openEditor());
    EXPECT_EQ(sw::childWindowCount(parent), 1);
}

TEST_F(EditorFixture, ControlClickResetsTheCeilingKnobToItsDefault) {
    ASSERT_TRUE(openEditor());
    TembroLimiterGUI* g = gui();
    auto* context = new TKGUI::CDrawContext(g->getFrame(), nullptr, g->getFrame()->getWindow());
    plugin->setParameter(kThresh, 0.5f);
    host.clearLog();
    g->panel.threshKnob->mouseDown(context, TKGUI::CPoint(330, 65), 17);  // Control + left button
    auto automated = host.callsWith(audioMasterAutomate);
    ASSERT_EQ(automated.size(), 1u);
    EXPECT_EQ(automated[0].index, kThresh);
    EXPECT_EQ(automated[0].opt, 1.0f);
    EXPECT_EQ(plugin->getParameter(kThresh), 1.0f);
    host.clearLog();
    paintAll();  // the knob shows its new value
    g->panel.threshKnob->mouseDown(context, TKGUI::CPoint(330, 65), 17);
    // Taking the focus marks the knob dirty, so the toolkit reports the
    // click once more; it may only ever report the default.
    for (const HostCall& c : host.callsWith(audioMasterAutomate)) EXPECT_EQ(c.opt, 1.0f);
    EXPECT_EQ(plugin->getParameter(kThresh), 1.0f);
    context->release();
}
