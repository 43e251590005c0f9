// The VST3 module as a host sees it: loaded from its bundle, driven through
// the factory and the interfaces only. Built natively (under the sanitizers,
// which also catch what is leaked) and for Windows (run under Wine).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "engine/parameters.h"
#include "tools/plughost/vst3_plugin.h"

namespace {

using plughost::MemoryStream;
using plughost::ParamChanges;
using plughost::Vst3Plugin;

const char* iidOf(const vst3::Uid& uid) {
    return reinterpret_cast<const char*>(uid.bytes);
}

std::string ascii(const vst3::char16* text) {
    std::string s;
    for (; *text; ++text) s += static_cast<char>(*text);
    return s;
}

std::vector<vst3::char16> utf16(const char* text) {
    std::vector<vst3::char16> s(text, text + std::strlen(text));
    s.push_back(0);
    return s;
}

std::vector<uint8_t> floatsLE(const std::vector<float>& values) {
    std::vector<uint8_t> bytes;
    for (float v : values) {
        uint32_t u;
        std::memcpy(&u, &v, 4);
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(u >> (8 * i)));
    }
    return bytes;
}

class Vst3Module : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(module.loadLibrary(TK42_VST3_BINARY, error)) << error;
    }
    vst3::IPluginFactory* factory() {
        using Get = vst3::IPluginFactory* (*)();
        auto get = reinterpret_cast<Get>(module.symbol("GetPluginFactory"));
        return get ? get() : nullptr;
    }
    void open(Vst3Plugin& plugin, bool separate = false) {
        std::string error;
        ASSERT_TRUE(plugin.open(module, error, separate)) << error;
    }
    // Sets values through the processor, as a host's automation does.
    void setThroughProcess(Vst3Plugin& plugin, const std::vector<std::pair<int, double>>& values) {
        ParamChanges* changes = new ParamChanges();
        for (auto& v : values) changes->add(static_cast<vst3::ParamId>(v.first), 0, v.second);
        float l[4] = {}, r[4] = {};
        float* io[2] = {l, r};
        EXPECT_EQ(plugin.process(io, io, 4, changes), vst3::kResultOk);
        changes->release();
    }

    PluginModule module;
};

TEST_F(Vst3Module, FactoryDescribesTheLimiterAndItsControllerWithStableIds) {
    plughost::Vst3ModuleInfo info;
    std::string error;
    ASSERT_TRUE(plughost::readVst3Module(module, info, error)) << error;
    EXPECT_EQ(info.vendor, "Falden Murex");
    ASSERT_EQ(info.classes.size(), 2u);
    const plughost::Vst3ClassInfo& fx = info.classes[0];
    EXPECT_EQ(fx.category, "Audio Module Class");
    EXPECT_EQ(fx.name, "TK42-R Limiter");
    EXPECT_EQ(fx.subCategories, "Fx|Dynamics");
    EXPECT_EQ(fx.vendor, "Falden Murex");
    EXPECT_EQ(fx.version, "2.0.0");
    EXPECT_EQ(info.classes[1].category, "Component Controller Class");
    // The id written down in the README, in the byte order of this system's
    // hosts: COM's on Windows (first three fields little-endian).
    const std::vector<uint8_t> words = {0x7D, 0x3A, 0x1C, 0x52, 0x9E, 0x4B, 0x4F, 0x06,
                                        0xA1, 0xC8, 0x2E, 0x75, 0x3B, 0x9F, 0x6D, 0x14};
    const std::vector<uint8_t> com = {0x52, 0x1C, 0x3A, 0x7D, 0x4B, 0x9E, 0x06, 0x4F,
                                      0xA1, 0xC8, 0x2E, 0x75, 0x3B, 0x9F, 0x6D, 0x14};
    EXPECT_EQ(fx.cid, vst3::kComAbi ? com : words);

    vst3::IPluginFactory* f = factory();
    ASSERT_NE(f, nullptr);
    void* found = nullptr;
    ASSERT_EQ(f->queryInterface(iidOf(vst3::kIPluginFactory3Iid), &found), vst3::kResultOk);
    auto* f3 = static_cast<vst3::IPluginFactory3*>(found);
    vst3::ClassInfoW wide{};
    ASSERT_EQ(f3->getClassInfoUnicode(0, &wide), vst3::kResultOk);
    EXPECT_EQ(ascii(wide.name), "TK42-R Limiter");
    EXPECT_EQ(ascii(wide.vendor), "Falden Murex");
    EXPECT_NE(f3->getClassInfoUnicode(2, &wide), vst3::kResultOk);
    EXPECT_NE(f3->getClassInfoUnicode(-1, &wide), vst3::kResultOk);
    f3->release();
    // Unknown classes and interfaces make nothing.
    void* made = &found;
    const vst3::Uid unknown = vst3::makeUid(1, 2, 3, 4);
    EXPECT_NE(f->createInstance(iidOf(unknown), iidOf(vst3::kIComponentIid), &made),
              vst3::kResultOk);
    EXPECT_EQ(made, nullptr);
    made = &found;
    EXPECT_NE(
        f->createInstance(reinterpret_cast<const char*>(fx.cid.data()), iidOf(unknown), &made),
        vst3::kResultOk);
    EXPECT_EQ(made, nullptr);
    EXPECT_NE(f->createInstance(nullptr, nullptr, &made), vst3::kResultOk);
    EXPECT_EQ(f->release(), 0u);
}

TEST_F(Vst3Module, BusesStayStereoWhateverArrangementIsAskedFor) {
    Vst3Plugin plugin;
    open(plugin);
    vst3::IComponent* c = plugin.component;
    EXPECT_EQ(c->getBusCount(vst3::kMediaAudio, vst3::kDirectionInput), 1);
    EXPECT_EQ(c->getBusCount(vst3::kMediaAudio, vst3::kDirectionOutput), 1);
    EXPECT_EQ(c->getBusCount(vst3::kMediaEvent, vst3::kDirectionInput), 0);
    vst3::BusInfo bus{};
    ASSERT_EQ(c->getBusInfo(vst3::kMediaAudio, vst3::kDirectionOutput, 0, bus), vst3::kResultOk);
    EXPECT_EQ(bus.channelCount, 2);
    EXPECT_EQ(c->getBusInfo(vst3::kMediaAudio, vst3::kDirectionOutput, 1, bus),
              vst3::kInvalidArgument);
    EXPECT_NE(c->getBusInfo(vst3::kMediaEvent, vst3::kDirectionInput, 0, bus), vst3::kResultOk);

    vst3::IAudioProcessor* p = plugin.processor;
    vst3::SpeakerArrangement mono = 0x1, surround = 0x3F, stereo = vst3::kSpeakersStereo;
    vst3::SpeakerArrangement two[2] = {stereo, stereo};
    EXPECT_EQ(p->setBusArrangements(&mono, 1, &mono, 1), vst3::kResultFalse);
    EXPECT_EQ(p->setBusArrangements(&surround, 1, &stereo, 1), vst3::kResultFalse);
    EXPECT_EQ(p->setBusArrangements(two, 2, two, 2), vst3::kResultFalse);
    EXPECT_EQ(p->setBusArrangements(nullptr, 1, nullptr, 1), vst3::kResultFalse);
    vst3::SpeakerArrangement now = 0;
    ASSERT_EQ(p->getBusArrangement(vst3::kDirectionInput, 0, now), vst3::kResultOk);
    EXPECT_EQ(now, stereo);
    EXPECT_EQ(p->setBusArrangements(&stereo, 1, &stereo, 1), vst3::kResultTrue);
    EXPECT_EQ(p->canProcessSampleSize(vst3::kSample32), vst3::kResultTrue);
    EXPECT_EQ(p->canProcessSampleSize(vst3::kSample64), vst3::kResultTrue);
    EXPECT_EQ(p->canProcessSampleSize(2), vst3::kResultFalse);
}

TEST_F(Vst3Module, ParametersComeFromTheTableWithRealUnitsBothWays) {
    Vst3Plugin plugin;
    open(plugin);
    vst3::IEditController* c = plugin.controller;
    ASSERT_EQ(c->getParameterCount(), kNumParams);
    for (int32_t i = 0; i < kNumParams; ++i) {
        vst3::ParameterInfo info{};
        ASSERT_EQ(c->getParameterInfo(i, info), vst3::kResultOk);
        EXPECT_EQ(info.id, static_cast<vst3::ParamId>(i));
        EXPECT_EQ(ascii(info.title), kParameterInfo[i].longName);
        EXPECT_EQ(ascii(info.units), kParameterInfo[i].unit);
        EXPECT_EQ(info.stepCount, i == kMode || i == kShow ? 1 : 0);
        EXPECT_EQ(info.defaultNormalizedValue, kParameterInfo[i].defaultValue);
        EXPECT_EQ(c->getParamNormalized(info.id), kParameterInfo[i].defaultValue);
    }
    vst3::ParameterInfo info{};
    EXPECT_EQ(c->getParameterInfo(kNumParams, info), vst3::kInvalidArgument);

    vst3::String128 text;
    ASSERT_EQ(c->getParamStringByValue(kGain, 0.5, text), vst3::kResultOk);
    EXPECT_EQ(ascii(text), "12.00");
    ASSERT_EQ(c->getParamStringByValue(kMode, 1.0, text), vst3::kResultOk);
    EXPECT_EQ(ascii(text), "CLIP");
    double v = -1.0;
    ASSERT_EQ(c->getParamValueByString(kThresh, utf16("-6 dBFS").data(), v), vst3::kResultOk);
    EXPECT_NEAR(v, 0.75, 1e-6);
    ASSERT_EQ(c->getParamValueByString(kMode, utf16("clip").data(), v), vst3::kResultOk);
    EXPECT_EQ(v, 1.0);
    EXPECT_EQ(c->getParamValueByString(kGain, utf16("loud").data(), v), vst3::kResultFalse);
    EXPECT_NEAR(c->normalizedParamToPlain(kGain, 0.25), 6.0, 1e-9);
    EXPECT_NEAR(c->plainParamToNormalized(kGain, 6.0), 0.25, 1e-6);
    // Out of range clamps, unknown ids and NaN are refused, nothing changes.
    EXPECT_EQ(c->plainParamToNormalized(kGain, 99.0), 1.0);
    EXPECT_EQ(c->setParamNormalized(kGain, 7.0), vst3::kResultOk);
    EXPECT_EQ(c->getParamNormalized(kGain), 1.0);
    EXPECT_EQ(c->setParamNormalized(kNumParams, 0.5), vst3::kInvalidArgument);
    EXPECT_EQ(c->setParamNormalized(0xFFFFFFFFu, 0.5), vst3::kInvalidArgument);
    EXPECT_EQ(c->setParamNormalized(kGain, std::nan("")), vst3::kInvalidArgument);
    EXPECT_EQ(c->getParamNormalized(kGain), 1.0);
    EXPECT_EQ(c->getParamStringByValue(99, 0.5, text), vst3::kInvalidArgument);
    EXPECT_EQ(c->getParamValueByString(99, utf16("1").data(), v), vst3::kInvalidArgument);
    // The clip release's range follows the mode: 500 ms in LIMIT, 20 ms in CLIP.
    EXPECT_NEAR(c->normalizedParamToPlain(kRelease, 1.0), 500.0, 1e-6);
    c->setParamNormalized(kMode, 1.0);
    EXPECT_NEAR(c->normalizedParamToPlain(kRelease, 1.0), 20.0, 1e-6);
}

TEST_F(Vst3Module, StateIsTheTwentyEightBytesAndBadStreamsChangeNothing) {
    Vst3Plugin a;
    open(a);
    ASSERT_TRUE(a.start(48000.0, 512, false));
    setThroughProcess(a, {{kGain, 0.5}, {kThresh, 0.75}, {kMode, 1.0}, {kShow, 1.0}});
    const std::vector<uint8_t> saved = a.state();
    ASSERT_EQ(saved.size(), 28u);

    // A new instance, its controller created apart, takes all seven back,
    // even from a stream that hands out one byte per read.
    Vst3Plugin b;
    open(b, true);
    ASSERT_TRUE(b.separateController);
    MemoryStream* trickle = new MemoryStream(saved);
    trickle->readLimit = 1;
    EXPECT_EQ(b.component->setState(trickle), vst3::kResultOk);
    trickle->cursor = 0;
    EXPECT_EQ(b.controller->setComponentState(trickle), vst3::kResultOk);
    trickle->release();
    EXPECT_EQ(b.state(), saved);
    EXPECT_EQ(b.controller->getParamNormalized(kGain), 0.5);
    EXPECT_EQ(b.controller->getParamNormalized(kMode), 1.0);
    EXPECT_EQ(b.processor->getLatencySamples(), 0u);

    std::vector<uint8_t> shortBlock(saved.begin(), saved.end() - 1);
    std::vector<float> outOfRange = {0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 7.0f};
    std::vector<float> notANumber = {0.5f, std::nanf(""), 0.5f, 0.5f, 0.5f, 0.5f, 0.5f};
    for (const std::vector<uint8_t>& bad :
         {std::vector<uint8_t>{}, shortBlock, floatsLE(outOfRange), floatsLE(notANumber)}) {
        Vst3Plugin c;
        open(c);
        EXPECT_FALSE(c.setState(bad));
        MemoryStream* stream = new MemoryStream(bad);
        EXPECT_NE(c.controller->setComponentState(stream), vst3::kResultOk);
        stream->release();
        for (int32_t i = 0; i < kNumParams; ++i) {
            EXPECT_EQ(c.controller->getParamNormalized(i), kParameterInfo[i].defaultValue);
        }
        Vst3Plugin fresh;
        open(fresh);
        EXPECT_EQ(c.state(), fresh.state());
    }
    EXPECT_NE(a.component->setState(nullptr), vst3::kResultOk);
    EXPECT_NE(a.controller->setComponentState(nullptr), vst3::kResultOk);
    EXPECT_NE(a.component->getState(nullptr), vst3::kResultOk);
}

TEST_F(Vst3Module, LatencyFollowsTheModeAndTheControllerAsksForARestart) {
    Vst3Plugin plugin;
    open(plugin);
    ASSERT_TRUE(plugin.start(44100.0, 256, false));
    EXPECT_EQ(plugin.processor->getLatencySamples(), 5u);
    EXPECT_EQ(plugin.processor->getTailSamples(), 5u);
    // The host reads the latency when asked to restart, before the change
    // reaches the processor with the audio.
    plugin.controller->setParamNormalized(kMode, 1.0);
    const std::vector<int32_t> restarts = plugin.handler->restarts();
    ASSERT_FALSE(restarts.empty());
    EXPECT_TRUE(restarts.back() & vst3::kRestartLatencyChanged);
    EXPECT_EQ(plugin.processor->getLatencySamples(), 0u);
    setThroughProcess(plugin, {{kMode, 1.0}});
    EXPECT_EQ(plugin.processor->getLatencySamples(), 0u);
    // The same with the controller created apart and connected to the component.
    Vst3Plugin apart;
    open(apart, true);
    ASSERT_TRUE(apart.separateController);
    EXPECT_EQ(apart.processor->getLatencySamples(), 5u);
    apart.controller->setParamNormalized(kMode, 1.0);
    EXPECT_EQ(apart.processor->getLatencySamples(), 0u);
    EXPECT_TRUE(apart.handler->restarts().back() & vst3::kRestartLatencyChanged);
    // A value that keeps the mode asks for nothing.
    const size_t before = plugin.handler->restarts().size();
    plugin.controller->setParamNormalized(kMode, 0.9);
    EXPECT_EQ(plugin.handler->restarts().size(), before);
}

TEST_F(Vst3Module, ProcessRefusesToRunBeforeSetupAndSurvivesOddBlocks) {
    Vst3Plugin plugin;
    open(plugin);
    float l[64], r[64];
    for (int i = 0; i < 64; ++i) l[i] = r[i] = 0.5f;
    float* io[2] = {l, r};
    EXPECT_EQ(plugin.process(io, io, 64), vst3::kNotInitialized);
    EXPECT_EQ(l[10], 0.5f);
    vst3::ProcessSetup wrongRate{0, vst3::kSample32, 64, 1000.0};
    EXPECT_NE(plugin.processor->setupProcessing(wrongRate), vst3::kResultOk);
    vst3::ProcessSetup wrongSize{0, 7, 64, 48000.0};
    EXPECT_NE(plugin.processor->setupProcessing(wrongSize), vst3::kResultOk);
    ASSERT_TRUE(plugin.start(48000.0, 64, false));

    // A flush: changes and no audio.
    ParamChanges* changes = new ParamChanges();
    changes->add(kGain, 0, 0.25);
    changes->add(kThresh, 5000, 0.5);  // beyond the block: applied at its end
    changes->add(kRelH, -3, 0.125);    // before the block: applied at its start
    changes->add(4711, 0, 0.5);        // no such parameter
    changes->add(kAtkH, 0, std::nan(""));
    vst3::ProcessData flush{};
    flush.inputParameterChanges = changes;
    EXPECT_EQ(plugin.processor->process(flush), vst3::kResultOk);
    changes->release();
    const std::vector<uint8_t> state = plugin.state();
    std::vector<float> expect = {0.25f, 0.5f, 0.25f, 0.125f, 1.0f, 0.0f, 0.0f};
    EXPECT_EQ(state, floatsLE(expect));

    // Missing input buses are silence; missing outputs write nothing.
    vst3::AudioBusBuffers out{};
    out.numChannels = 2;
    out.channels32 = io;
    vst3::ProcessData noInput{};
    noInput.numSamples = 64;
    noInput.numOutputs = 1;
    noInput.outputs = &out;
    EXPECT_EQ(plugin.processor->process(noInput), vst3::kResultOk);
    for (float s : l) EXPECT_EQ(s, 0.0f);
    vst3::AudioBusBuffers mono{};
    mono.numChannels = 1;
    mono.channels32 = io;
    noInput.outputs = &mono;
    EXPECT_EQ(plugin.processor->process(noInput), vst3::kResultOk);
    vst3::ProcessData nothing{};
    nothing.numSamples = 64;
    EXPECT_EQ(plugin.processor->process(nothing), vst3::kResultOk);
}

TEST_F(Vst3Module, ObjectsSurviveAnyReleaseOrder) {
    for (int order = 0; order < 4; ++order) {
        vst3::IPluginFactory* f = factory();
        ASSERT_NE(f, nullptr);
        vst3::ClassInfo info{};
        ASSERT_EQ(f->getClassInfo(0, &info), vst3::kResultOk);
        void* made = nullptr;
        ASSERT_EQ(f->createInstance(reinterpret_cast<const char*>(info.cid),
                                    iidOf(vst3::kIComponentIid), &made),
                  vst3::kResultOk);
        auto* component = static_cast<vst3::IComponent*>(made);
        char cid[16];
        ASSERT_EQ(component->getControllerClassId(cid), vst3::kResultOk);
        ASSERT_EQ(f->createInstance(cid, iidOf(vst3::kIEditControllerIid), &made), vst3::kResultOk);
        auto* controller = static_cast<vst3::IEditController*>(made);
        void* points[2] = {};
        component->queryInterface(iidOf(vst3::kIConnectionPointIid), &points[0]);
        controller->queryInterface(iidOf(vst3::kIConnectionPointIid), &points[1]);
        ASSERT_NE(points[0], nullptr);
        ASSERT_NE(points[1], nullptr);
        auto* a = static_cast<vst3::IConnectionPoint*>(points[0]);
        auto* b = static_cast<vst3::IConnectionPoint*>(points[1]);
        a->connect(b);
        b->connect(a);
        if (order == 0) f->release();
        if (order == 1) {
            // Released without terminate or disconnect, component first.
            a->release();
            component->release();
            b->release();
            controller->release();
        } else {
            component->initialize(nullptr);
            controller->initialize(nullptr);
            controller->terminate();
            controller->terminate();
            a->release();
            b->release();
            if (order == 2) {
                controller->release();
                component->release();
            } else {
                component->release();
                controller->release();
            }
        }
        if (order != 0) f->release();
    }
}

}  // namespace
