// A limiter with its real panel, hosted in a software window.
#pragma once

#include <gtest/gtest.h>

#include "entry/vst2/plugin_entry.h"
#include "formats/vst2/tembro_limiter.h"
#include "formats/vst2/tembro_limiter_gui.h"
#include "toolkit/frame.h"
#include "toolkit/platform/software/software_frame_window.h"
#include "toolkit/platform/software/software_script.h"
#include "tools/plughost/plugin_instance.h"
#include "tools/plughost/recording_host.h"

struct EditorFixture : ::testing::Test {
    void SetUp() override {
        parent = TKGUI::software::createWindow(500, 300, TKGUI::CPoint(100, 100));
        plugin = std::make_unique<PluginInstance>(host.create(&VSTPluginMain));
        ASSERT_TRUE(plugin->isOpen());
        plugin->dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
    }
    void TearDown() override {
        plugin.reset();
        TKGUI::software::destroyChildren(parent);
        TKGUI::software::destroyWindow(parent);
    }
    TembroLimiterGUI* gui() const {
        return static_cast<TembroLimiterGUI*>(
            static_cast<AudioEffect*>(plugin->record()->object)->getEditor());
    }
    bool openEditor() { return plugin->dispatch(effEditOpen, 0, 0, parent) == 1; }
    void paintAll() {
        TKGUI::software::sendPaint(gui()->getFrame()->getWindow(), TKGUI::CRect(0, 0, 400, 220));
    }
    std::string boxText(TKGUI::CTextEdit* box);
    void type(TKGUI::CTextEdit* box, const char* text);

    RecordingHost host;
    std::unique_ptr<PluginInstance> plugin;
    TKGUI::platform::Window* parent = nullptr;
};
