// The editor base on the software platform: the host's editor requests,
// gestures, the knob mode, OLE pairing and the idle pump's timing.
#include <gtest/gtest.h>

#include "formats/vst2/aeff_gui_editor.h"
#include "tests/native/test_effect.h"
#include "toolkit/frame.h"
#include "toolkit/knob_mode.h"
#include "toolkit/platform/software/software_script.h"
#include "toolkit/view.h"

namespace sw = TKGUI::software;
using TKGUI::CFrame;
using TKGUI::CPoint;
using TKGUI::CRect;

namespace {

struct CountingFrame : CFrame {
    using CFrame::CFrame;
    void idle() override { ++idles; }
    int idles = 0;
};

// A view that takes keys and wheel turns, and remembers them.
struct ProbeView : TKGUI::CView {
    explicit ProbeView(const CRect& r) : CView(r) { setWantsFocus(true); }
    int32_t keyDown(TKGUI::CKeyCode& key) override { return key.virt == 13 ? 1 : -1; }
    bool mouseWheel(TKGUI::CDrawContext*, const CPoint& where, TKGUI::CMouseWheelAxis,
                    float distance) override {
        lastWhere = where;
        lastDistance = distance;
        return true;
    }
    CPoint lastWhere;
    float lastDistance = 0;
};

struct TestEditor : AEffGUIEditor {
    explicit TestEditor(AudioEffect* fx) : AEffGUIEditor(fx) { editorRect = {0, 0, 220, 400}; }
    ~TestEditor() override { closeFrame(); }
    bool open(void* parent) override {
        AEffEditor::open(parent);
        frame = new CountingFrame(CRect(0, 0, 400, 220),
                                  static_cast<TKGUI::platform::Window*>(parent), this);
        return true;
    }
    void close() override {
        closeFrame();
        AEffEditor::close();
    }
    void closeFrame() {
        delete frame;
        frame = nullptr;
    }
    CountingFrame* counting() const { return static_cast<CountingFrame*>(frame); }
};

struct EditorGlue : ::testing::Test {
    void SetUp() override {
        sw::setTickCount(100000);
        editor = new TestEditor(&fx.limiter());
    }
    HostedEffect fx;
    TestEditor* editor = nullptr;
};

}  // namespace

TEST_F(EditorGlue, RegistersItselfAndAnswersTheRectangleWhileClosed) {
    EXPECT_EQ(fx.record()->flags, 0x1031);
    ERect* rect = nullptr;
    EXPECT_EQ(fx.dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, 220);
    EXPECT_EQ(rect->right, 400);
}

TEST_F(EditorGlue, KnobModeIsModuleWideAndReadByTheFrame) {
    EXPECT_EQ(fx.dispatch(effSetEditKnobMode, 0, 1), 1);
    fx.dispatch(effEditOpen);
    EXPECT_EQ(editor->getFrame()->getKnobMode(), 1);
    fx.dispatch(effSetEditKnobMode, 0, 2);
    EXPECT_EQ(TKGUI::hostKnobMode(), 2);
}

TEST_F(EditorGlue, KeysAreHandledOnlyWhenTheFrameSaysSo) {
    EXPECT_EQ(fx.dispatch(effEditKeyDown, 0, 13, nullptr, 0.0f), 0);  // closed
    fx.dispatch(effEditOpen);
    EXPECT_EQ(fx.dispatch(effEditKeyDown, 0, 13, nullptr, 0.0f), 0);  // no focus view
    auto* probe = new ProbeView(CRect(10, 10, 50, 50));
    editor->getFrame()->addView(probe);
    editor->getFrame()->setFocusView(probe);
    EXPECT_EQ(fx.dispatch(effEditKeyDown, 0, 13, nullptr, 0.0f), 1);
    EXPECT_EQ(fx.dispatch(effEditKeyDown, 0, 14, nullptr, 0.0f), 0);
    EXPECT_EQ(fx.dispatch(effEditKeyUp, 0, 13, nullptr, 0.0f), 0);  // the probe takes no key-ups
}

TEST_F(EditorGlue, WheelGoesToTheViewUnderTheCursorInFrameCoordinates) {
    EXPECT_FALSE(editor->onWheel(1.0f));
    auto* parent = sw::createWindow(400, 220, CPoint(300, 200));
    fx.dispatch(effEditOpen, 0, 0, parent);
    auto* probe = new ProbeView(CRect(10, 10, 50, 50));
    editor->getFrame()->addView(probe);
    sw::setCursorScreenPosition(CPoint(320, 230));
    EXPECT_TRUE(editor->onWheel(2.0f));
    EXPECT_EQ(probe->lastWhere.x, 20);
    EXPECT_EQ(probe->lastWhere.y, 30);
    EXPECT_EQ(probe->lastDistance, 2.0f);
    sw::setCursorScreenPosition(CPoint(390, 390));
    EXPECT_FALSE(editor->onWheel(1.0f));
    fx.dispatch(effEditClose);
    sw::destroyWindow(parent);
}

TEST_F(EditorGlue, OnlyParameterGesturesReachTheHost) {
    fx.host.clearLog();
    editor->beginEdit(3);
    editor->endEdit(3);
    editor->beginEdit(1001);
    editor->endEdit(1002);
    editor->endEdit(7);
    editor->beginEdit(-1);
    const auto begins = fx.host.callsWith(audioMasterBeginEdit);
    const auto ends = fx.host.callsWith(audioMasterEndEdit);
    ASSERT_EQ(begins.size(), 1u);
    ASSERT_EQ(ends.size(), 1u);
    EXPECT_EQ(begins[0].index, 3);
    EXPECT_EQ(ends[0].index, 3);
}

TEST_F(EditorGlue, PumpIdleWorksAtMostAboutEveryFiftyMilliseconds) {
    fx.dispatch(effEditOpen);
    CountingFrame* frame = editor->counting();
    fx.host.clearLog();

    // More than 100 ms after construction: works at once, without sleeping.
    sw::setTickCount(100200);
    sw::postPaintRequest();
    sw::postPaintRequest();
    uint32_t slept = sw::totalSleptMilliseconds();
    editor->pumpIdle();
    EXPECT_EQ(sw::totalSleptMilliseconds(), slept);
    EXPECT_EQ(frame->idles, 1);
    EXPECT_EQ(sw::pendingPaintRequests(), 1);  // at most one paint handled
    EXPECT_EQ(fx.host.callsWith(audioMasterIdle).size(), 1u);

    // 10 ms later: a 4 ms sleep and nothing else.
    sw::setTickCount(100210);
    slept = sw::totalSleptMilliseconds();
    editor->pumpIdle();
    EXPECT_EQ(sw::totalSleptMilliseconds(), slept + 4);
    EXPECT_EQ(frame->idles, 1);
    EXPECT_EQ(fx.host.callsWith(audioMasterIdle).size(), 1u);

    // Within the last 50 ms before the next tick: sleeps, then works.
    sw::setTickCount(100250);
    editor->pumpIdle();
    EXPECT_EQ(frame->idles, 2);
    EXPECT_EQ(fx.host.callsWith(audioMasterIdle).size(), 2u);
    EXPECT_EQ(sw::pendingPaintRequests(), 0);
}

namespace {
TestEditor* reentered = nullptr;
int reentryIdles = -1;
intptr_t reenteringHost(AEffect* e, int32_t opcode, int32_t, intptr_t, void*, float) {
    if (opcode == audioMasterVersion) return 2400;
    if (opcode == audioMasterIdle && reentered) {
        // A host that serves its own editor idle from inside the idle request.
        const int before = reentered->counting()->idles;
        e->dispatcher(e, effEditIdle, 0, 0, nullptr, 0.0f);
        reentryIdles = reentered->counting()->idles - before;
    }
    return 1;
}
}  // namespace

TEST(EditorGlueReentry, EditIdleFromInsideTheHostIdleRequestDoesNothing) {
    sw::setTickCount(500000);
    AEffect* e = VSTPluginMain(&reenteringHost);
    auto* editor = new TestEditor(static_cast<AudioEffect*>(e->object));
    e->dispatcher(e, effEditOpen, 0, 0, nullptr, 0.0f);
    reentered = editor;
    sw::setTickCount(501000);
    editor->pumpIdle();
    EXPECT_EQ(reentryIdles, 0);
    EXPECT_EQ(editor->counting()->idles, 1);
    reentered = nullptr;
    e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f);
}

TEST(EditorGlueOle, OneSetUpPerEditorUndoneWithIt) {
    const int before = sw::oleDepth();
    {
        HostedEffect fx;
        new TestEditor(&fx.limiter());
        EXPECT_EQ(sw::oleDepth(), before + 1);
    }
    EXPECT_EQ(sw::oleDepth(), before);
}
