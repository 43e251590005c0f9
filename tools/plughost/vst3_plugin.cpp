#include "tools/plughost/vst3_plugin.h"

#include <cstring>

namespace plughost {

namespace {

using GetFactory = vst3::IPluginFactory* (*)();

std::string fieldText(const char* field, size_t size) {
    return std::string(field, strnlen(field, size));
}

const char* iidOf(const vst3::Uid& uid) {
    return reinterpret_cast<const char*>(uid.bytes);
}

template <typename Interface>
Interface* query(vst3::FUnknown* object, const vst3::Uid& iid) {
    void* found = nullptr;
    if (!object || object->queryInterface(iidOf(iid), &found) != vst3::kResultOk) return nullptr;
    return static_cast<Interface*>(found);
}

vst3::IPluginFactory* factoryOf(const PluginModule& module) {
    auto get = reinterpret_cast<GetFactory>(module.symbol("GetPluginFactory"));
    return get ? get() : nullptr;
}

}  // namespace

bool readVst3Module(const PluginModule& module, Vst3ModuleInfo& info, std::string& error) {
    vst3::IPluginFactory* factory = factoryOf(module);
    if (!factory) {
        error = "the module gives no factory";
        return false;
    }
    vst3::FactoryInfo fi{};
    factory->getFactoryInfo(&fi);
    info.vendor = fieldText(fi.vendor, sizeof fi.vendor);
    auto* factory2 = query<vst3::IPluginFactory2>(factory, vst3::kIPluginFactory2Iid);
    for (int32_t i = 0; i < factory->countClasses(); ++i) {
        Vst3ClassInfo c;
        vst3::ClassInfo2 ci{};
        if (factory2 && factory2->getClassInfo2(i, &ci) == vst3::kResultOk) {
            c.subCategories = fieldText(ci.subCategories, sizeof ci.subCategories);
            c.vendor = fieldText(ci.vendor, sizeof ci.vendor);
            c.version = fieldText(ci.version, sizeof ci.version);
        } else {
            vst3::ClassInfo plain{};
            factory->getClassInfo(i, &plain);
            std::memcpy(&ci, &plain, sizeof plain);
        }
        c.cid.assign(ci.cid, ci.cid + 16);
        c.category = fieldText(ci.category, sizeof ci.category);
        c.name = fieldText(ci.name, sizeof ci.name);
        info.classes.push_back(c);
    }
    if (factory2) factory2->release();
    factory->release();
    return true;
}

bool Vst3Plugin::open(const PluginModule& module, std::string& error, bool separate) {
    close();
    vst3::IPluginFactory* factory = factoryOf(module);
    if (!factory) {
        error = "the module gives no factory";
        return false;
    }
    vst3::ClassInfo info{};
    bool found = false;
    for (int32_t i = 0; i < factory->countClasses() && !found; ++i) {
        found = factory->getClassInfo(i, &info) == vst3::kResultOk &&
                std::strcmp(info.category, "Audio Module Class") == 0;
    }
    void* made = nullptr;
    if (!found ||
        factory->createInstance(reinterpret_cast<const char*>(info.cid),
                                iidOf(vst3::kIComponentIid), &made) != vst3::kResultOk ||
        !made) {
        factory->release();
        error = "the factory made no component";
        return false;
    }
    component = static_cast<vst3::IComponent*>(made);
    handler = new RecordingHandler();
    if (component->initialize(handler) != vst3::kResultOk) {
        error = "the component refused to initialise";
        factory->release();
        close();
        return false;
    }
    processor = query<vst3::IAudioProcessor>(component, vst3::kIAudioProcessorIid);
    if (!separate) controller = query<vst3::IEditController>(component, vst3::kIEditControllerIid);
    if (!controller) {
        char cid[16];
        void* made2 = nullptr;
        if (component->getControllerClassId(cid) == vst3::kResultOk &&
            factory->createInstance(cid, iidOf(vst3::kIEditControllerIid), &made2) ==
                vst3::kResultOk) {
            controller = static_cast<vst3::IEditController*>(made2);
            separateController = true;
            controller->initialize(handler);
            connect(true);
        }
    }
    factory->release();
    if (!processor || !controller) {
        error = "the plug-in lacks a processor or a controller";
        close();
        return false;
    }
    controller->setComponentHandler(handler);
    // A host hands the component's state to the controller after creating it.
    MemoryStream* stream = new MemoryStream();
    component->getState(stream);
    stream->cursor = 0;
    controller->setComponentState(stream);
    stream->release();
    return true;
}

void Vst3Plugin::connect(bool join) {
    auto* a = query<vst3::IConnectionPoint>(component, vst3::kIConnectionPointIid);
    auto* b = query<vst3::IConnectionPoint>(controller, vst3::kIConnectionPointIid);
    if (a && b) {
        if (join) {
            a->connect(b);
            b->connect(a);
        } else {
            a->disconnect(b);
            b->disconnect(a);
        }
    }
    if (a) a->release();
    if (b) b->release();
}

void Vst3Plugin::close() {
    stop();
    if (controller) {
        controller->setComponentHandler(nullptr);
        if (separateController) {
            connect(false);
            controller->terminate();
        }
        controller->release();
    }
    if (processor) processor->release();
    if (component) {
        component->terminate();
        component->release();
    }
    if (handler) handler->release();
    controller = nullptr;
    processor = nullptr;
    component = nullptr;
    handler = nullptr;
    separateController = false;
}

bool Vst3Plugin::start(double sampleRate, int32_t maxBlock, bool doubles) {
    if (!processor) return false;
    stop();
    vst3::SpeakerArrangement in = vst3::kSpeakersStereo, out = vst3::kSpeakersStereo;
    processor->setBusArrangements(&in, 1, &out, 1);
    vst3::ProcessSetup setup{0, doubles ? vst3::kSample64 : vst3::kSample32, maxBlock, sampleRate};
    if (processor->setupProcessing(setup) != vst3::kResultOk) return false;
    if (component->setActive(1) != vst3::kResultOk) return false;
    active = true;
    return processor->setProcessing(1) == vst3::kResultOk;
}

void Vst3Plugin::stop() {
    if (!active) return;
    processor->setProcessing(0);
    component->setActive(0);
    active = false;
}

template <typename T>
vst3::tresult Vst3Plugin::processAny(T** inputs, T** outputs, int32_t frames,
                                     vst3::IParameterChanges* changes, int32_t sampleSize) {
    vst3::AudioBusBuffers in{}, out{};
    in.numChannels = 2;
    out.numChannels = 2;
    std::memcpy(&in.channels32, &inputs, sizeof inputs);
    std::memcpy(&out.channels32, &outputs, sizeof outputs);
    vst3::ProcessData data{};
    data.sampleSize = sampleSize;
    data.numSamples = frames;
    data.numInputs = 1;
    data.numOutputs = 1;
    data.inputs = &in;
    data.outputs = &out;
    data.inputParameterChanges = changes;
    return processor->process(data);
}

vst3::tresult Vst3Plugin::process(float** inputs, float** outputs, int32_t frames,
                                  vst3::IParameterChanges* changes) {
    return processAny(inputs, outputs, frames, changes, vst3::kSample32);
}

vst3::tresult Vst3Plugin::process(double** inputs, double** outputs, int32_t frames,
                                  vst3::IParameterChanges* changes) {
    return processAny(inputs, outputs, frames, changes, vst3::kSample64);
}

std::vector<uint8_t> Vst3Plugin::state() const {
    if (!component) return {};
    MemoryStream* stream = new MemoryStream();
    component->getState(stream);
    std::vector<uint8_t> bytes = stream->data;
    stream->release();
    return bytes;
}

bool Vst3Plugin::setState(const std::vector<uint8_t>& bytes) {
    if (!component) return false;
    MemoryStream* stream = new MemoryStream(bytes);
    bool ok = component->setState(stream) == vst3::kResultOk;
    stream->cursor = 0;
    if (ok) ok = controller->setComponentState(stream) == vst3::kResultOk;
    stream->release();
    return ok;
}

}  // namespace plughost
