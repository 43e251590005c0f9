// The CLAP plug-in through its records only, as a host calls it: clap_entry
// (linked without the editor), the factory, the instance and its
// extensions, against a host that records what the plug-in asks of it.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

#include "engine/limiter_engine.h"
#include "formats/clap/clap_abi.h"
#include "formats/clap/clap_limiter.h"

extern "C" const clap::PluginEntry clap_entry;

namespace {

struct TestHost {
    clap::Host record{};
    bool mainThread = true;
    int restarts = 0, callbacks = 0, latencyChanges = 0, flushes = 0;
    uint32_t rescans = 0;

    TestHost() {
        record.version = clap::kVersion;
        record.hostData = this;
        record.name = record.vendor = record.url = record.versionText = "test";
        record.getExtension = [](const clap::Host*, const char* id) -> const void* {
            static const clap::HostLatency latency = {
                [](const clap::Host* h) { of(h).latencyChanges++; }};
            static const clap::HostParams params = {
                [](const clap::Host* h, uint32_t flags) { of(h).rescans |= flags; },
                [](const clap::Host*, clap::Id, uint32_t) {},
                [](const clap::Host* h) { of(h).flushes++; }};
            static const clap::HostThreadCheck threads = {
                [](const clap::Host* h) { return of(h).mainThread; },
                [](const clap::Host* h) { return !of(h).mainThread; }};
            if (!std::strcmp(id, clap::kExtLatency)) return &latency;
            if (!std::strcmp(id, clap::kExtParams)) return &params;
            if (!std::strcmp(id, clap::kExtThreadCheck)) return &threads;
            return nullptr;
        };
        record.requestRestart = [](const clap::Host* h) { of(h).restarts++; };
        record.requestProcess = [](const clap::Host*) {};
        record.requestCallback = [](const clap::Host* h) { of(h).callbacks++; };
    }
    static TestHost& of(const clap::Host* h) { return *static_cast<TestHost*>(h->hostData); }
};

struct Events {
    clap::InputEvents in{
        this,
        [](const clap::InputEvents* l) {
            return static_cast<uint32_t>(static_cast<Events*>(l->context)->list.size());
        },
        [](const clap::InputEvents* l, uint32_t i) -> const clap::EventHeader* {
            return &static_cast<Events*>(l->context)->list[i].header;
        }};
    clap::OutputEvents out{this, [](const clap::OutputEvents* l, const clap::EventHeader* e) {
                               auto* self = static_cast<Events*>(l->context);
                               // Gesture events are shorter: the rest stays zero, the value NaN.
                               clap::ParamValueEvent copy{};
                               copy.value = NAN;
                               std::memcpy(&copy, e, std::min<size_t>(e->size, sizeof copy));
                               self->sent.push_back(copy);
                               return true;
                           }};
    std::vector<clap::ParamValueEvent> list;
    std::vector<clap::ParamValueEvent> sent;

    void add(uint32_t time, clap::Id id, double value) {
        clap::ParamValueEvent e{};
        e.header = {sizeof e, time, clap::kCoreEventSpace, clap::kEventParamValue, 0};
        e.paramId = id;
        e.noteId = -1;
        e.value = value;
        list.push_back(e);
    }
};

class ClapInstance : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(clap_entry.init(""));
        factory =
            static_cast<const clap::PluginFactory*>(clap_entry.getFactory(clap::kPluginFactoryId));
        ASSERT_NE(factory, nullptr);
        plugin = make(host);
    }
    void TearDown() override {
        for (const clap::Plugin* p : made) p->destroy(p);
        clap_entry.deinit();
    }
    const clap::Plugin* make(TestHost& h) {
        const clap::Plugin* p = factory->createPlugin(factory, &h.record, "com.faldenmurex.tk42r");
        EXPECT_NE(p, nullptr);
        EXPECT_TRUE(p->init(p));
        made.push_back(p);
        return p;
    }
    template <typename T>
    const T* ext(const char* id, const clap::Plugin* p = nullptr) {
        p = p ? p : plugin;
        return static_cast<const T*>(p->getExtension(p, id));
    }
    double value(clap::Id id, const clap::Plugin* p = nullptr) {
        double v = NAN;
        EXPECT_TRUE(ext<clap::PluginParams>(clap::kExtParams, p)->getValue(p ? p : plugin, id, &v));
        return v;
    }
    void set(clap::Id id, double v, const clap::Plugin* p = nullptr) {
        Events e;
        e.add(0, id, v);
        ext<clap::PluginParams>(clap::kExtParams, p)->flush(p ? p : plugin, &e.in, &e.out);
    }
    int32_t process(Events& e, float* left, float* right, uint32_t frames) {
        float* data[2] = {left, right};
        clap::AudioBuffer in{data, nullptr, 2, 0, 0}, out{data, nullptr, 2, 0, 0};
        clap::Process p{0, frames, nullptr, &in, &out, 1, 1, &e.in, &e.out};
        return plugin->process(plugin, &p);
    }

    TestHost host;
    const clap::PluginFactory* factory = nullptr;
    const clap::Plugin* plugin = nullptr;
    std::vector<const clap::Plugin*> made;
};

struct Bytes {
    std::vector<uint8_t> data;
    size_t at = 0;
    int64_t chunk = 1 << 20;  // the most one read or write moves
    bool fail = false;
    clap::OutputStream out{this,
                           [](const clap::OutputStream* s, const void* b, uint64_t n) -> int64_t {
                               auto* self = static_cast<Bytes*>(s->context);
                               const auto* p = static_cast<const uint8_t*>(b);
                               n = std::min<uint64_t>(n, static_cast<uint64_t>(self->chunk));
                               self->data.insert(self->data.end(), p, p + n);
                               return static_cast<int64_t>(n);
                           }};
    clap::InputStream in{this, [](const clap::InputStream* s, void* b, uint64_t n) -> int64_t {
                             auto* self = static_cast<Bytes*>(s->context);
                             if (self->fail) return -1;
                             n = std::min<uint64_t>({n, self->data.size() - self->at,
                                                     static_cast<uint64_t>(self->chunk)});
                             if (n > 0) std::memcpy(b, self->data.data() + self->at, n);
                             self->at += n;
                             return static_cast<int64_t>(n);
                         }};
};

TEST_F(ClapInstance, StateSavedInPiecesLoadsIntoAFreshInstanceWithTheSameValues) {
    set(kGain, 7.5);
    set(kMode, 1.0);
    set(kRelease, 12.0);
    set(kShow, 1.0);
    Bytes saved;
    saved.chunk = 5;  // a stream that takes a few bytes at a time
    ASSERT_TRUE(ext<clap::PluginState>(clap::kExtState)->save(plugin, &saved.out));
    EXPECT_EQ(saved.data.size(), 36u);

    TestHost otherHost;
    const clap::Plugin* fresh = make(otherHost);
    saved.chunk = 3;
    ASSERT_TRUE(ext<clap::PluginState>(clap::kExtState, fresh)->load(fresh, &saved.in));
    for (clap::Id id = 0; id < kNumParams; ++id) EXPECT_EQ(value(id, fresh), value(id)) << id;
    EXPECT_TRUE(otherHost.rescans & clap::kParamRescanValues);
}

TEST_F(ClapInstance, ShortDamagedOrUnknownStreamsAreRefusedAndChangeNothing) {
    Bytes good;
    set(kGain, 3.0);
    ext<clap::PluginState>(clap::kExtState)->save(plugin, &good.out);
    set(kGain, 9.0);
    auto refused = [&](std::vector<uint8_t> data, bool fail = false) {
        Bytes b;
        b.data = std::move(data);
        b.fail = fail;
        return !ext<clap::PluginState>(clap::kExtState)->load(plugin, &b.in) && value(kGain) == 9.0;
    };
    std::vector<uint8_t> v = good.data;
    EXPECT_TRUE(refused({}));
    EXPECT_TRUE(refused(std::vector<uint8_t>(v.begin(), v.end() - 1)));  // short
    v.push_back(0);
    EXPECT_TRUE(refused(v));  // longer: not this version's
    v = good.data, v[0] = 'X';
    EXPECT_TRUE(refused(v));  // not ours
    v = good.data, v[4] = 2;
    EXPECT_TRUE(refused(v));  // a later version
    v = good.data, v[8 + 3] = 0x7F, v[8 + 2] = 0xC0;
    EXPECT_TRUE(refused(v));  // gain NaN
    v = good.data, v[8 + 3] = 0x40, v[8 + 2] = 0x00;
    EXPECT_TRUE(refused(v));                // gain 2.0, out of 0..1
    EXPECT_TRUE(refused(good.data, true));  // the host's stream fails
    EXPECT_FALSE(ext<clap::PluginState>(clap::kExtState)->load(plugin, nullptr));
    host.mainThread = false;
    EXPECT_TRUE(refused(good.data));  // not on the main thread
}

TEST_F(ClapInstance, ParametersAreRealUnitsWithTheTablesRangesStepsAndTexts) {
    const auto* params = ext<clap::PluginParams>(clap::kExtParams);
    ASSERT_EQ(params->count(plugin), 7u);
    for (uint32_t i = 0; i < 7; ++i) {
        clap::ParamInfo info{};
        ASSERT_TRUE(params->getInfo(plugin, i, &info));
        EXPECT_EQ(info.id, i);
        EXPECT_EQ((info.flags & clap::kParamIsStepped) != 0, i == kMode || i == kShow) << i;
        EXPECT_TRUE(info.minValue <= info.defaultValue && info.defaultValue <= info.maxValue);
        EXPECT_EQ(value(i), info.defaultValue) << i;
        // Text both ways gives the value back.
        char text[64];
        ASSERT_TRUE(params->valueToText(plugin, i, info.maxValue, text, sizeof text));
        double back = NAN;
        ASSERT_TRUE(params->textToValue(plugin, i, text, &back)) << text;
        EXPECT_NEAR(back, info.maxValue, 0.05 + info.maxValue * 1e-3) << text;
    }
    clap::ParamInfo info{};
    EXPECT_FALSE(params->getInfo(plugin, 7, &info));
    double v = 0;
    EXPECT_FALSE(params->getValue(plugin, 7, &v));
    char text[16];
    EXPECT_FALSE(params->valueToText(plugin, kGain, NAN, text, sizeof text));
    EXPECT_FALSE(params->textToValue(plugin, kGain, "loud", &v));
    EXPECT_FALSE(params->textToValue(plugin, 99, "1", &v));
    ASSERT_TRUE(params->valueToText(plugin, kThresh, 0.0, text, sizeof text));
    EXPECT_STREQ(text, "0.00 dBFS");
    ASSERT_TRUE(params->textToValue(plugin, kMode, "clip", &v));
    EXPECT_EQ(v, 1.0);
}

TEST_F(ClapInstance, EveryValueReadBackAndSentAgainKeepsTheSettingsBits) {
    // What a host does with automation: read the value, send it later. The
    // limiter must then run with exactly the same settings.
    for (int mode = 0; mode < 2; ++mode) {
        set(kMode, mode);
        for (int32_t i = 0; i < kRelease + 1; ++i) {
            for (float n = 0.0f; n <= 1.0f; n += 0.0009765625f * 3.0f) {
                LimiterEngine reference;
                reference.setParameter(kMode, static_cast<float>(mode));
                reference.setParameter(i, n);
                const double real = reference.realValue(i);
                set(static_cast<clap::Id>(i), real);
                ASSERT_EQ(value(i), real) << i << " " << n;
            }
        }
    }
}

TEST_F(ClapInstance, BadEventsAreIgnoredAndOutOfRangeValuesClamped) {
    Events e;
    e.add(0, 99, 1.0);
    e.add(0, kGain, NAN);
    e.add(0, kGain, INFINITY);
    e.add(0, kThresh, -100.0);
    e.add(0, kGain, 5.0);
    e.list.back().header.spaceId = 7;  // another event space
    e.add(0, kAtkH, 1.0);
    e.list.back().header.size = 20;  // too short for a value event
    ext<clap::PluginParams>(clap::kExtParams)->flush(plugin, &e.in, &e.out);
    EXPECT_EQ(value(kGain), 0.0);
    EXPECT_EQ(value(kThresh), -24.0);
    ext<clap::PluginParams>(clap::kExtParams)->flush(plugin, nullptr, nullptr);
}

TEST_F(ClapInstance, HostEventsApplyAtTheirOffsets) {
    ASSERT_TRUE(plugin->activate(plugin, 48000.0, 1, 512));
    LimiterEngine reference;
    reference.setSampleRate(48000.0f);
    std::vector<float> left(512), right(512), refL, refR;
    for (size_t i = 0; i < left.size(); ++i) {
        left[i] = 0.9f * std::sin(0.05f * i);
        right[i] = 0.7f * std::sin(0.031f * i);
    }
    refL = left, refR = right;
    Events e;
    e.add(100, kGain, 12.0);
    e.add(300, kMode, 1.0);
    e.add(300, kRelease, 5.0);  // in the mode the event before chose
    ASSERT_EQ(process(e, left.data(), right.data(), 512), clap::kProcessContinue);

    auto run = [&](int32_t from, int32_t to) {
        float* io[2] = {refL.data() + from, refR.data() + from};
        reference.process(io, io, to - from);
    };
    run(0, 100);
    reference.setRealValue(kGain, 12.0);
    run(100, 300);
    reference.setParameter(kMode, 1.0f);
    reference.setRealValue(kRelease, 5.0);
    run(300, 512);
    EXPECT_EQ(left, refL);
    EXPECT_EQ(right, refR);
    EXPECT_EQ(value(kRelease), reference.realValue(kRelease));
}

TEST_F(ClapInstance, ModeChangeWhileActiveAsksForARestartAndLatencyIsToldAtActivate) {
    const auto* latency = ext<clap::PluginLatency>(clap::kExtLatency);
    ASSERT_TRUE(plugin->activate(plugin, 44100.0, 1, 512));
    EXPECT_EQ(latency->get(plugin), 5u);
    const int told = host.latencyChanges;
    Events e;
    e.add(0, kMode, 1.0);
    float l[8] = {}, r[8] = {};
    process(e, l, r, 8);
    EXPECT_EQ(host.restarts, 0);  // never from the audio thread
    EXPECT_GT(host.callbacks, 0);
    plugin->onMainThread(plugin);
    EXPECT_EQ(host.restarts, 1);
    EXPECT_TRUE(host.rescans & clap::kParamRescanValues);  // Release's ms changed with the mode
    plugin->deactivate(plugin);
    ASSERT_TRUE(plugin->activate(plugin, 44100.0, 1, 512));
    EXPECT_EQ(host.latencyChanges, told + 1);
    EXPECT_EQ(latency->get(plugin), 0u);
}

TEST_F(ClapInstance, TheEditorsGesturesReachTheHostAsBeginValueEnd) {
    ClapLimiter* self = ClapLimiter::from(plugin);
    ASSERT_NE(self, nullptr);
    self->editorGesture({Gesture::begin, kThresh, 0});
    self->editorGesture({Gesture::value, kThresh, 0.5f});
    self->editorGesture({Gesture::end, kThresh, 0});
    self->editorGesture({Gesture::value, 42, 0.5f});  // no such parameter
    EXPECT_EQ(host.flushes, 3);
    EXPECT_EQ(value(kThresh), -12.0);  // the engine has it at once
    Events e;
    ext<clap::PluginParams>(clap::kExtParams)->flush(plugin, &e.in, &e.out);
    ASSERT_EQ(e.sent.size(), 3u);
    EXPECT_EQ(e.sent[0].header.type, clap::kEventParamGestureBegin);
    EXPECT_EQ(e.sent[1].header.type, clap::kEventParamValue);
    EXPECT_EQ(e.sent[1].value, -12.0);
    EXPECT_EQ(e.sent[2].header.type, clap::kEventParamGestureEnd);
    for (const auto& s : e.sent) EXPECT_EQ(s.paramId, static_cast<clap::Id>(kThresh));
    // A typed value is set and told, not recorded.
    self->editorGesture({Gesture::typed, kGain, 0.25f});
    ASSERT_TRUE(plugin->activate(plugin, 44100.0, 1, 64));
    Events wrongThread;  // active: flush from the main thread is ignored
    ext<clap::PluginParams>(clap::kExtParams)->flush(plugin, &wrongThread.in, &wrongThread.out);
    EXPECT_TRUE(wrongThread.sent.empty());
    Events during;
    float l[4] = {}, r[4] = {};
    process(during, l, r, 4);
    ASSERT_EQ(during.sent.size(), 1u);
    EXPECT_TRUE(during.sent[0].header.flags & clap::kEventDontRecord);
    EXPECT_EQ(during.sent[0].value, 6.0);
}

TEST_F(ClapInstance, TheMainThreadEditsSavesAndLoadsWhileTheAudioThreadProcesses) {
    // As a session runs: automation and blocks on the audio thread, the
    // editor's gestures, value reads, saves and loads on the main thread.
    // ThreadSanitizer checks the hand-offs.
    ASSERT_TRUE(plugin->activate(plugin, 48000.0, 1, 256));
    ClapLimiter* self = ClapLimiter::from(plugin);
    std::atomic<bool> stop{false};
    std::atomic<int> begins{0};
    std::thread audio([&] {
        std::vector<float> l(256), r(256);
        for (int block = 0; !stop.load(); ++block) {
            for (size_t i = 0; i < l.size(); ++i)
                l[i] = r[i] = 0.8f * std::sin(0.02f * (i + block));
            Events e;
            e.add(block % 256, kGain, (block % 25) * 0.5);
            if (block % 50 == 0) e.add(0, kMode, (block / 50) % 2);
            process(e, l.data(), r.data(), 256);
            for (const auto& s : e.sent) begins += s.header.type == clap::kEventParamGestureBegin;
            for (float v : l) ASSERT_TRUE(std::isfinite(v));
        }
    });
    Bytes saved;
    for (int i = 0; i < 300; ++i) {
        self->editorGesture({Gesture::begin, kThresh, 0});
        self->editorGesture({Gesture::value, kThresh, (i % 10) / 10.0f});
        self->editorGesture({Gesture::end, kThresh, 0});
        value(kRelease);
        saved.data.clear(), saved.at = 0;
        ASSERT_TRUE(ext<clap::PluginState>(clap::kExtState)->save(plugin, &saved.out));
        ASSERT_TRUE(ext<clap::PluginState>(clap::kExtState)->load(plugin, &saved.in));
        plugin->onMainThread(plugin);
        self->takeChanged();
    }
    // Let the audio thread send what is queued.
    while (begins.load() < 1) std::this_thread::yield();
    stop = true;
    audio.join();
}

TEST_F(ClapInstance, OddProcessCallsAreRefusedOrGetSilence) {
    Events none;
    float l[16], r[16];
    std::fill(l, l + 16, 0.5f), std::fill(r, r + 16, 0.5f);
    EXPECT_EQ(process(none, l, r, 16), clap::kProcessError);  // not active
    EXPECT_FALSE(plugin->activate(plugin, 1.0e9, 1, 16));     // a rate it cannot run at
    ASSERT_TRUE(plugin->activate(plugin, 96000.0, 1, 16));
    EXPECT_FALSE(plugin->activate(plugin, 96000.0, 1, 16));  // twice
    EXPECT_EQ(process(none, l, r, 0), clap::kProcessContinue);
    // One channel where two are needed: silence, not a read past the list.
    float* one[1] = {l};
    clap::AudioBuffer mono{one, nullptr, 1, 0, 0};
    clap::Process p{0, 16, nullptr, &mono, &mono, 1, 1, nullptr, nullptr};
    EXPECT_EQ(plugin->process(plugin, &p), clap::kProcessContinue);
    EXPECT_EQ(l[15], 0.0f);
    p.audioInputs = nullptr;
    p.audioInputsCount = 0;
    EXPECT_EQ(plugin->process(plugin, &p), clap::kProcessContinue);
    EXPECT_EQ(plugin->process(plugin, nullptr), clap::kProcessError);
    EXPECT_EQ(ClapLimiter::from(nullptr), nullptr);
    EXPECT_EQ(factory->createPlugin(factory, &host.record, "com.other.plugin"), nullptr);
    EXPECT_EQ(factory->createPlugin(factory, nullptr, "com.faldenmurex.tk42r"), nullptr);
    EXPECT_EQ(plugin->getExtension(plugin, "clap.gui"), nullptr);  // linked without the editor
}

}  // namespace
