// The text typed into the editor's two value boxes (gain and ceiling), on
// the real panel in a software window, committed as the box commits it.
// Whatever the text, the parameter stays a number from 0 to 1, and the text
// the box then shows reads back as the same value within its two decimals.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/parameters.h"
#include "entry/vst2/plugin_entry.h"
#include "formats/vst2/tembro_limiter.h"
#include "formats/vst2/tembro_limiter_gui.h"
#include "toolkit/frame.h"
#include "toolkit/platform/software/software_frame_window.h"
#include "toolkit/platform/software/software_script.h"
#include "toolkit/text_edit.h"

namespace {

void check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

intptr_t quietHost(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

struct OpenPanel {
    OpenPanel() {
        parent = TKGUI::software::createWindow(500, 300, TKGUI::CPoint(0, 0));
        fx = VSTPluginMain(&quietHost);
        fx->dispatcher(fx, effEditOpen, 0, 0, parent, 0.f);
        gui = static_cast<TembroLimiterGUI*>(static_cast<AudioEffect*>(fx->object)->getEditor());
    }
    // A box makes its text from the value when it draws.
    void paint(TKGUI::CTextEdit* box) {
        TKGUI::software::sendPaint(gui->getFrame()->getWindow(), box->getBounds());
    }
    TKGUI::platform::Window* parent;
    AEffect* fx;
    TembroLimiterGUI* gui;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static OpenPanel panel;
    if (size == 0) return 0;
    const bool ceiling = data[0] & 1;
    // The box holds at most 255 characters; the text ends at its first zero.
    std::string typed(reinterpret_cast<const char*>(data + 1), std::min<size_t>(size - 1, 255));
    typed = typed.c_str();

    TKGUI::CTextEdit* box = ceiling ? panel.gui->panel.threshEdit : panel.gui->panel.gainEdit;
    const int32_t index = ceiling ? kThresh : kGain;
    box->setText(typed.c_str());
    panel.gui->panel.valueChanged(nullptr, box);
    const float v = panel.fx->getParameter(panel.fx, index);
    check(v >= 0.0f && v <= 1.0f, "a typed value outside 0 to 1");

    // The box shows the stored value; typing that text back changes nothing
    // beyond its rounding.
    panel.paint(box);
    char shown[256] = {};
    box->getText(shown);
    box->setText(shown);
    panel.gui->panel.valueChanged(nullptr, box);
    const float again = panel.fx->getParameter(panel.fx, index);
    check(std::fabs(again - v) <= 0.005f / 24.0f + 1e-6f, "the shown text reads back differently");
    return 0;
}
