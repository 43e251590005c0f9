// One VST3 plug-in as a host drives it, through its module's factory and the
// interfaces only: the component with its audio processor, and the edit
// controller (the component itself when it offers one, else one created
// from the class the component names, connected to it).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "formats/vst3/vst3_controller.h"
#include "formats/vst3/vst3_factory.h"
#include "formats/vst3/vst3_processor.h"
#include "tools/plughost/plugin_module.h"
#include "tools/plughost/vst3_host_objects.h"

namespace plughost {

struct Vst3ClassInfo {
    std::vector<uint8_t> cid;
    std::string category, name, subCategories, vendor, version;
};

// The factory's description of the module, read through IPluginFactory2.
struct Vst3ModuleInfo {
    std::string vendor;
    std::vector<Vst3ClassInfo> classes;
};

// Reads the module's factory; false with a message when it has none.
bool readVst3Module(const PluginModule& module, Vst3ModuleInfo& info, std::string& error);

class Vst3Plugin {
  public:
    Vst3Plugin() = default;
    ~Vst3Plugin() { close(); }
    Vst3Plugin(const Vst3Plugin&) = delete;
    Vst3Plugin& operator=(const Vst3Plugin&) = delete;

    // Creates and initialises the first "Audio Module Class" of the module.
    // separate: create the controller apart even where the component is one.
    bool open(const PluginModule& module, std::string& error, bool separate = false);
    void close();
    bool isOpen() const { return component != nullptr; }

    // setupProcessing, setActive and setProcessing, as a host does before
    // processing; false when the plug-in refused one of them.
    bool start(double sampleRate, int32_t maxBlock, bool doubles);
    void stop();
    // One process call on two channels; changes (may be null) go in as the
    // block's parameter changes.
    vst3::tresult process(float** inputs, float** outputs, int32_t frames,
                          vst3::IParameterChanges* changes = nullptr);
    vst3::tresult process(double** inputs, double** outputs, int32_t frames,
                          vst3::IParameterChanges* changes = nullptr);

    // The component's state, and the state given to both roles as a host
    // restoring a session does.
    std::vector<uint8_t> state() const;
    bool setState(const std::vector<uint8_t>& bytes);

    vst3::IComponent* component = nullptr;
    vst3::IAudioProcessor* processor = nullptr;
    vst3::IEditController* controller = nullptr;
    bool separateController = false;
    RecordingHandler* handler = nullptr;

  private:
    template <typename T>
    vst3::tresult processAny(T** inputs, T** outputs, int32_t frames,
                             vst3::IParameterChanges* changes, int32_t sampleSize);
    void connect(bool join);

    bool active = false;
};

}  // namespace plughost
