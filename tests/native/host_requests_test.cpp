#include <gtest/gtest.h>

#include <functional>

#include "tests/native/test_effect.h"

namespace {

// A host whose answer and observation can be set per test.
struct ScriptedHost {
    HostCall last{};
    int calls = 0;
    intptr_t answer = 0;
    std::function<void(AEffect*)> onCall;
};
ScriptedHost* scripted = nullptr;

intptr_t scriptedCallback(AEffect* e, int32_t opcode, int32_t index, intptr_t value, void* ptr,
                          float opt) {
    if (opcode == audioMasterVersion && !e) return 2400;
    scripted->last = {e, opcode, index, value, ptr, opt};
    scripted->calls++;
    if (scripted->onCall) scripted->onCall(e);
    return scripted->answer;
}

struct HostRequests : ::testing::Test {
    void SetUp() override {
        scripted = &host;
        fx = std::make_unique<TembroLimiter>(&scriptedCallback);
    }
    void TearDown() override { scripted = nullptr; }
    void expectLast(int32_t opcode, int32_t index = 0, intptr_t value = 0, void* ptr = nullptr,
                    float opt = 0.0f) {
        EXPECT_EQ(host.last.effect, fx->getAeffect());
        EXPECT_EQ(host.last.opcode, opcode);
        EXPECT_EQ(host.last.index, index);
        EXPECT_EQ(host.last.value, value);
        EXPECT_EQ(host.last.ptr, ptr);
        EXPECT_EQ(host.last.opt, opt);
    }
    ScriptedHost host;
    std::unique_ptr<TembroLimiter> fx;
};

}  // namespace

TEST_F(HostRequests, AutomateStoresTheValueBeforeTellingTheHost) {
    float seen = -1;
    host.onCall = [&](AEffect* e) { seen = e->getParameter(e, kRelH); };
    fx->setParameterAutomated(kRelH, 0.5f);
    expectLast(audioMasterAutomate, kRelH, 0, nullptr, 0.5f);
    EXPECT_EQ(seen, 0.5f);
}

TEST(HostRequestsWithoutHost, AutomateOnlyStoresAndDefaultsHold) {
    TembroLimiter fx(nullptr);
    fx.setParameterAutomated(kRelH, 0.25f);
    EXPECT_EQ(fx.getParameter(kRelH), 0.25f);
    EXPECT_EQ(fx.getMasterVersion(), 1);
    EXPECT_TRUE(fx.isInputConnected(0));
    EXPECT_TRUE(fx.isOutputConnected(1));
    EXPECT_EQ(fx.updateSampleRate(), 44100.0);
    EXPECT_EQ(fx.updateBlockSize(), 1024);
    EXPECT_FALSE(fx.beginEdit(0));
    EXPECT_EQ(fx.getTimeInfo(0), nullptr);
}

TEST_F(HostRequests, VersionZeroIsReportedAsOne) {
    host.answer = 0;
    EXPECT_EQ(fx->getMasterVersion(), 1);
    expectLast(audioMasterVersion);
    host.answer = 2400;
    EXPECT_EQ(fx->getMasterVersion(), 2400);
}

TEST_F(HostRequests, PinConnectedMeansAnAnswerOfZero) {
    host.answer = 0;
    EXPECT_TRUE(fx->isInputConnected(1));
    expectLast(audioMasterPinConnected, 1, 0);
    host.answer = 1;
    EXPECT_FALSE(fx->isOutputConnected(0));
    expectLast(audioMasterPinConnected, 0, 1);
}

TEST_F(HostRequests, SampleRateAndBlockSizeTakeOnlyPositiveAnswers) {
    host.answer = 48000;
    EXPECT_EQ(fx->updateSampleRate(), 48000.0);
    expectLast(audioMasterGetSampleRate);
    host.answer = 0;
    EXPECT_EQ(fx->updateSampleRate(), 48000.0);
    host.answer = -5;
    EXPECT_EQ(fx->updateBlockSize(), 1024);
    host.answer = 64;
    EXPECT_EQ(fx->updateBlockSize(), 64);
    expectLast(audioMasterGetBlockSize);
}

TEST_F(HostRequests, ArgumentPlacement) {
    host.answer = 7;
    char text[65] = "";
    int marker = 0;
    EXPECT_TRUE(fx->sizeWindow(400, 220));
    expectLast(audioMasterSizeWindow, 400, 220);
    fx->wantEvents(1);
    expectLast(audioMasterWantMidi, 0, 1);
    EXPECT_EQ(fx->tempoAt(99), 7);
    expectLast(audioMasterTempoAt, 0, 99);
    EXPECT_TRUE(fx->offlineStart(reinterpret_cast<VstAudioFile*>(&marker), 3, 2));
    expectLast(audioMasterOfflineStart, 2, 3, &marker);
    EXPECT_TRUE(fx->offlineRead(reinterpret_cast<VstOfflineTask*>(&marker), 5, false));
    expectLast(audioMasterOfflineRead, 0, 5, &marker);
    EXPECT_TRUE(fx->offlineWrite(reinterpret_cast<VstOfflineTask*>(&marker), 4));
    expectLast(audioMasterOfflineWrite, 0, 4, &marker);
    fx->setOutputSamplerate(22050.0f);
    expectLast(audioMasterSetOutputSampleRate, 0, 0, nullptr, 22050.0f);
    EXPECT_TRUE(fx->getHostVendorString(text));
    expectLast(audioMasterGetVendorString, 0, 0, text);
    EXPECT_EQ(fx->hostVendorSpecific(1, 2, &marker, 3.0f), 7);
    expectLast(audioMasterVendorSpecific, 1, 2, &marker, 3.0f);
    EXPECT_EQ(fx->canHostDo(text), 1);
    expectLast(audioMasterCanDo, 0, 0, text);
    EXPECT_TRUE(fx->beginEdit(3));
    expectLast(audioMasterBeginEdit, 3);
    EXPECT_TRUE(fx->endEdit(3));
    expectLast(audioMasterEndEdit, 3);
    fx->masterIdle();
    expectLast(audioMasterIdle);
    EXPECT_EQ(fx->offlineGetCurrentPass(), 1);
    EXPECT_EQ(fx->getPreviousPlug(0), reinterpret_cast<AEffect*>(7));
    expectLast(audioMasterGetPreviousPlug);
}

TEST_F(HostRequests, NullSelectorsAndPathsAreNotSent) {
    host.answer = 1;
    EXPECT_FALSE(fx->openFileSelector(nullptr));
    EXPECT_FALSE(fx->closeFileSelector(nullptr));
    EXPECT_FALSE(fx->getChunkFile(nullptr));
    EXPECT_EQ(host.calls, 0);
}

TEST_F(HostRequests, ResumeOfAnEffectThatTakesNoMidiSendsNothing) {
    fx->resume();
    fx->suspend();
    EXPECT_EQ(host.calls, 0);
}
