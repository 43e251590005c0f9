// Shared set-up of the native logic tests: the scripted input reset, and a
// check that every reference-counted object made in a test is gone at its end.
#pragma once

#include <gtest/gtest.h>

#include "test_views.h"
#include "toolkit/button_state.h"
#include "toolkit/platform/software/software_script.h"
#include "toolkit/reference_counter.h"

namespace tk42test {

class LogicTest : public ::testing::Test {
  protected:
    void SetUp() override {
        TKGUI::software::setButtonsAndModifiers(0);
        TKGUI::software::setSystemButtonsSwapped(false);
        TKGUI::software::setCursorScreenPosition(TKGUI::CPoint(0, 0));
        TKGUI::setButtonsSwapped(false);
        liveAtStart = TKGUI::CReferenceCounter::liveObjects();
    }
    void TearDown() override {
        EXPECT_EQ(TKGUI::CReferenceCounter::liveObjects(), liveAtStart) << "objects leaked";
    }

    // A 200 x 100 frame; the test deletes it as the editor would.
    TKGUI::CFrame* makeFrame(TKGUI::CFrameEditor* editor = nullptr) {
        return new TKGUI::CFrame(TKGUI::CRect(0, 0, 200, 100), nullptr, editor);
    }
    RecordingView* view(const TKGUI::CRect& r, const std::string& name,
                        TKGUI::CColor c = TKGUI::CColor{255, 0, 0, 255}) {
        return new RecordingView(r, name, &log, c);
    }

    ViewLog log;
    int liveAtStart = 0;
};

}  // namespace tk42test
