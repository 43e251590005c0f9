// The UI descriptor: an X11 UI embedded in the host's ui:parent window and
// driven by the host through ui:idleInterface. ui:touch (gestures) and
// ui:resize (the panel's size) are used where the host offers them.
#include <cstring>
#include <new>

#include "formats/lv2/lv2_descriptor.h"
#include "formats/lv2/lv2_limiter_ui.h"

namespace {

const void* featureData(const LV2_Feature* const* features, const char* uri) {
    if (!features) return nullptr;
    for (const LV2_Feature* const* f = features; *f; ++f) {
        if ((*f)->URI && std::strcmp((*f)->URI, uri) == 0) return (*f)->data;
    }
    return nullptr;
}

Lv2LimiterUi* uiOf(LV2UI_Handle handle) {
    return static_cast<Lv2LimiterUi*>(handle);
}

// Null, and the host goes on without the panel, for another plug-in's URI,
// without a parent window, or when no window can be made (no display).
LV2UI_Handle instantiate(const LV2UI_Descriptor*, const char* pluginUri, const char*,
                         LV2UI_Write_Function write, LV2UI_Controller controller,
                         LV2UI_Widget* widget, const LV2_Feature* const* features) {
    if (!pluginUri || std::strcmp(pluginUri, lv2port::kPluginUri) != 0) return nullptr;
    // The parent is the host's X window id, carried in the pointer.
    void* parent = const_cast<void*>(featureData(features, LV2_UI__parent));
    if (!parent) return nullptr;
    Lv2LimiterUi::HostCalls calls;
    calls.write = write;
    calls.controller = controller;
    calls.touch = static_cast<const LV2UI_Touch*>(featureData(features, LV2_UI__touch));
    Lv2LimiterUi* ui = nullptr;
    try {
        ui = new Lv2LimiterUi(calls);
        if (!ui->open(static_cast<TKGUI::platform::Window*>(parent))) {
            delete ui;
            return nullptr;
        }
    } catch (...) {
        delete ui;
        return nullptr;
    }
    if (widget) *widget = reinterpret_cast<LV2UI_Widget>(ui->windowId());
    const auto* resize = static_cast<const LV2UI_Resize*>(featureData(features, LV2_UI__resize));
    if (resize && resize->ui_resize)
        resize->ui_resize(resize->handle, LimiterPanel::kWidth, LimiterPanel::kHeight);
    return ui;
}

void cleanup(LV2UI_Handle handle) {
    delete uiOf(handle);
}

void portEvent(LV2UI_Handle handle, uint32_t port, uint32_t size, uint32_t format,
               const void* buffer) {
    if (handle) uiOf(handle)->portEvent(port, size, format, buffer);
}

int idle(LV2UI_Handle handle) {
    return handle ? uiOf(handle)->idle() : 1;
}

const LV2UI_Idle_Interface kIdle = {idle};

const void* extensionData(const char* uri) {
    if (uri && std::strcmp(uri, LV2_UI__idleInterface) == 0) return &kIdle;
    return nullptr;
}

const LV2UI_Descriptor kDescriptor = {lv2port::kUiUri, instantiate, cleanup, portEvent,
                                      extensionData};

}  // namespace

const LV2UI_Descriptor& limiterUiDescriptor() {
    return kDescriptor;
}
