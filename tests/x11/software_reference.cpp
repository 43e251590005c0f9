#include "tests/x11/software_reference.h"

#include <memory>

#include "entry/vst2/plugin_entry.h"
#include "toolkit/platform/software/software_frame_window.h"
#include "toolkit/platform/software/software_script.h"
#include "tools/plughost/plugin_instance.h"
#include "tools/plughost/recording_host.h"

namespace sw = TKGUI::software;

std::vector<uint32_t> softwarePanel(const std::vector<std::pair<int32_t, float>>& values) {
    std::vector<uint32_t> pixels;
    RecordingHost host;
    auto fx = std::make_unique<PluginInstance>(host.create(&VSTPluginMain));
    TKGUI::platform::Window* parent = sw::createWindow(500, 300, TKGUI::CPoint(100, 100));
    for (const auto& [index, value] : values) {
        if (fx->isOpen()) fx->setParameter(index, value);
    }
    if (fx->isOpen() && fx->dispatch(effEditOpen, 0, 0, parent) == 1) {
        TKGUI::platform::Window* panel = sw::lastChildOf(parent);
        sw::sendPaint(panel, TKGUI::CRect(0, 0, 400, 220));
        for (int y = 0; y < 220; ++y) {
            for (int x = 0; x < 400; ++x) pixels.push_back(sw::pixelAt(panel, x, y) & 0xFFFFFF);
        }
        fx->dispatch(effEditClose);
    }
    fx.reset();
    sw::destroyChildren(parent);
    sw::destroyWindow(parent);
    return pixels;
}
