#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "tests/native/test_effect.h"

namespace {

// An editor that records what the dispatcher hands it.
struct ProbeEditor : AEffEditor {
    explicit ProbeEditor(AudioEffect* fx, bool* destroyed) : AEffEditor(fx), destroyed(destroyed) {}
    ~ProbeEditor() override { *destroyed = true; }
    bool onKeyDown(VstKeyCode& key) override {
        lastKey = key;
        return keyAnswer;
    }
    bool onKeyUp(VstKeyCode& key) override {
        lastKey = key;
        return keyAnswer;
    }
    bool setKnobMode(int32_t mode) override {
        knobMode = mode;
        return true;
    }
    bool getRect(ERect** r) override {
        *r = &rect;
        return true;
    }
    bool* destroyed;
    VstKeyCode lastKey{-1, 0, 0};
    bool keyAnswer = true;
    int32_t knobMode = -1;
    ERect rect{0, 0, 220, 400};
};

// Keeps the order of close and destruction visible after the object is gone.
std::vector<std::string>* lifeLog = nullptr;

struct LoggingLimiter : TembroLimiter {
    using TembroLimiter::TembroLimiter;
    ~LoggingLimiter() override { lifeLog->push_back("destroyed"); }
    void close() override { lifeLog->push_back("close"); }
};

intptr_t quietHost(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 0;
}

}  // namespace

TEST(Dispatcher, FixedAnswers) {
    HostedEffect fx;
    EXPECT_EQ(fx.dispatch(effGetVstVersion), 2400);
    EXPECT_EQ(fx.dispatch(effGetPlugCategory), 1);
    EXPECT_EQ(fx.dispatch(effGetVendorVersion), 2000);
    EXPECT_EQ(fx.dispatch(effGetTailSize), 0);
    EXPECT_EQ(fx.dispatch(effIdentify), 0x4E764566);
    EXPECT_EQ(fx.dispatch(effGetCurrentMidiProgram), -1);
    EXPECT_EQ(fx.dispatch(effSetTotalSampleToProcess, 0, 4096), 4096);
    EXPECT_EQ(fx.dispatch(effGetProgram), 0);
}

TEST(Dispatcher, CanDoAnswersMinusOneForEveryTextAndZeroForNull) {
    HostedEffect fx;
    for (const char* t : {"receiveVstMidiEvent", "", "sendVstEvents", "bypass"}) {
        std::string text = t;
        EXPECT_EQ(fx.dispatch(effCanDo, 0, 0, &text[0]), -1) << t;
    }
    EXPECT_EQ(fx.dispatch(effCanDo, 0, 0, nullptr), 0);
}

TEST(Dispatcher, EveryIndexCanBeAutomated) {
    HostedEffect fx;
    for (int32_t i : {-1, 0, 6, 7, 1000}) EXPECT_EQ(fx.dispatch(effCanBeAutomated, i), 1) << i;
}

TEST(Dispatcher, DeprecatedUnknownAndNegativeOpcodesAnswerZero) {
    HostedEffect fx;
    for (int32_t op : {9,  16, 17, 18, 20, 21, 28, 30, 31,   32, 36,  37,
                       43, 46, 53, 54, 55, 57, 80, 81, 1000, -1, -100}) {
        EXPECT_EQ(fx.dispatch(op, 1, 1, nullptr, 1.0f), 0) << "opcode " << op;
    }
}

TEST(Dispatcher, NeutralAnswersOfTheExtendedTier) {
    HostedEffect fx;
    // Opcodes whose answer here is a plain 0, whatever their arguments.
    for (int32_t op : {effProcessEvents,
                       effGetInputProperties,
                       effGetOutputProperties,
                       effOfflineNotify,
                       effOfflinePrepare,
                       effOfflineRun,
                       effProcessVarIo,
                       effSetSpeakerArrangement,
                       effSetBypass,
                       effVendorSpecific,
                       effGetParameterProperties,
                       effGetMidiProgramName,
                       effGetMidiProgramCategory,
                       effHasMidiProgramsChanged,
                       effGetMidiKeyName,
                       effBeginSetProgram,
                       effEndSetProgram,
                       effStartProcess,
                       effStopProcess,
                       effSetPanLaw,
                       effBeginLoadBank,
                       effBeginLoadProgram,
                       effSetProcessPrecision,
                       effGetNumMidiInputChannels,
                       effGetNumMidiOutputChannels}) {
        EXPECT_EQ(fx.dispatch(op, 0, 1, nullptr, 0.5f), 0) << "opcode " << op;
    }
    char text[64] = "x";
    EXPECT_EQ(fx.dispatch(effString2Parameter, 0, 0, text), 0);
    EXPECT_EQ(fx.dispatch(effGetProgramNameIndexed, 0, 0, text), 0);
    EXPECT_EQ(fx.dispatch(effShellGetNextPlugin, 0, 0, text), 0);
}

TEST(Dispatcher, SetProgramWithNoProgramsLeavesProgramZero) {
    HostedEffect fx;
    fx.dispatch(effSetProgram, 0, 0);
    fx.dispatch(effSetProgram, 0, 5);
    EXPECT_EQ(fx.dispatch(effGetProgram), 0);
}

TEST(Dispatcher, SpeakerArrangementIsNullAndNullPlacesAreSkipped) {
    HostedEffect fx;
    auto* in = reinterpret_cast<VstSpeakerArrangement*>(0x1);
    auto* out = reinterpret_cast<VstSpeakerArrangement*>(0x1);
    EXPECT_EQ(fx.dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<intptr_t>(&in), &out), 0);
    EXPECT_EQ(in, nullptr);
    EXPECT_EQ(out, nullptr);
    out = reinterpret_cast<VstSpeakerArrangement*>(0x1);
    EXPECT_EQ(fx.dispatch(effGetSpeakerArrangement, 0, 0, &out), 0);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(fx.dispatch(effGetSpeakerArrangement, 0, 0, nullptr), 0);
}

TEST(Dispatcher, NullTextPointersAreAnsweredWithZeroNotACrash) {
    HostedEffect fx;
    for (int32_t op : {effGetProgramName, effSetProgramName, effGetParamLabel, effGetParamDisplay,
                       effGetParamName, effGetEffectName, effGetVendorString, effGetProductString,
                       effCanDo, effGetChunk, effSetChunk}) {
        EXPECT_EQ(fx.dispatch(op, 0, 28, nullptr), 0) << "opcode " << op;
    }
}

TEST(Dispatcher, MainsChangedSendsNoHostRequest) {
    HostedEffect fx;
    fx.host.clearLog();
    fx.dispatch(effMainsChanged, 0, 1);
    fx.dispatch(effMainsChanged, 0, 0);
    EXPECT_TRUE(fx.host.calls().empty());
}

TEST(Dispatcher, SampleRateAndBlockSizeAreStored) {
    HostedEffect fx;
    fx.dispatch(effSetSampleRate, 0, 0, nullptr, 96000.0f);
    fx.dispatch(effSetBlockSize, 0, 256);
    EXPECT_EQ(fx.limiter().getSampleRate(), 96000.0f);
    EXPECT_EQ(fx.limiter().getBlockSize(), 256);
}

TEST(Dispatcher, EditorOpcodesWithoutAnEditorAnswerZero) {
    HostedEffect fx;
    ERect* rect = reinterpret_cast<ERect*>(0x1);
    EXPECT_EQ(fx.dispatch(effEditGetRect, 0, 0, &rect), 0);
    EXPECT_EQ(fx.dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(0x1234)), 0);
    EXPECT_EQ(fx.dispatch(effEditClose), 0);
    EXPECT_EQ(fx.dispatch(effEditIdle), 0);
    EXPECT_EQ(fx.dispatch(effEditKeyDown, 0, 13, nullptr, 1.0f), 0);
    EXPECT_EQ(fx.dispatch(effEditKeyUp, 0, 13, nullptr, 1.0f), 0);
    EXPECT_EQ(fx.dispatch(effSetEditKnobMode, 0, 2), 0);
}

TEST(Dispatcher, KeyOpcodesBuildTheKeyRecord) {
    HostedEffect fx;
    bool destroyed = false;
    auto* editor = new ProbeEditor(&fx.limiter(), &destroyed);
    fx.limiter().setEditor(editor);

    EXPECT_EQ(fx.dispatch(effEditKeyDown, 0, 13, nullptr, 1.0f), 1);
    EXPECT_EQ(editor->lastKey.character, 0);
    EXPECT_EQ(editor->lastKey.virt, 13);
    EXPECT_EQ(editor->lastKey.modifier, 1);

    // virt takes the low byte of value; modifier the low byte of the truncated opt.
    editor->keyAnswer = false;
    EXPECT_EQ(fx.dispatch(effEditKeyUp, 'a', 0x1FF, nullptr, 2.9f), 0);
    EXPECT_EQ(editor->lastKey.character, 'a');
    EXPECT_EQ(editor->lastKey.virt, 0xFF);
    EXPECT_EQ(editor->lastKey.modifier, 2);

    // A modifier value no int can hold is no modifier (converting it would be
    // undefined behaviour, which the sanitizer build stops on).
    for (float opt : {5.1e15f, -3e9f, std::numeric_limits<float>::infinity(),
                      std::numeric_limits<float>::quiet_NaN()}) {
        editor->lastKey.modifier = 0xAA;
        fx.dispatch(effEditKeyDown, 'b', 13, nullptr, opt);
        EXPECT_EQ(editor->lastKey.character, 'b');
        EXPECT_EQ(editor->lastKey.modifier, 0);
    }
    fx.dispatch(effEditKeyDown, 'b', 13, nullptr, -1.0f);
    EXPECT_EQ(editor->lastKey.modifier, 0xFF);

    EXPECT_EQ(fx.dispatch(effSetEditKnobMode, 0, 2), 1);
    EXPECT_EQ(editor->knobMode, 2);

    ERect* rect = nullptr;
    EXPECT_EQ(fx.dispatch(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right, 400);
    EXPECT_EQ(fx.dispatch(effEditGetRect, 0, 0, nullptr), 0);

    fx.plugin->close();
    EXPECT_TRUE(destroyed);
}

TEST(Dispatcher, CloseRunsCloseThenDestroysTheEffectAndAnswersOne) {
    std::vector<std::string> log;
    lifeLog = &log;
    auto* fx = new LoggingLimiter(&quietHost);
    AEffect* e = fx->getAeffect();
    EXPECT_EQ(e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f), 1);
    EXPECT_EQ(log, (std::vector<std::string>{"close", "destroyed"}));
    lifeLog = nullptr;
}
