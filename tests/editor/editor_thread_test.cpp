// The panel opening, idling and closing over and over on the user-interface
// thread while another thread processes audio and automates every parameter.
// Under ThreadSanitizer any unsynchronised access between the two fails the
// run; everywhere it must not crash or leak.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

#include "tests/editor/editor_fixture.h"
#include "toolkit/reference_counter.h"

#ifndef TK42_EDITOR_CYCLES
#define TK42_EDITOR_CYCLES 10
#endif

TEST_F(EditorFixture, OpenIdleCloseWhileAudioAndAutomationRun) {
    AEffect* e = plugin->record();
    const int objects = TKGUI::CReferenceCounter::liveObjects();
    std::atomic<bool> stop{false};
    std::atomic<bool> finite{true};
    std::thread audio([&] {
        std::vector<float> L(128), R(128);
        int block = 0;
        while (!stop.load()) {
            for (int i = 0; i < 128; ++i) {
                L[i] = 1.5f * std::sin(0.02f * static_cast<float>(block * 128 + i));
                R[i] = 0.5f * L[i];
            }
            e->setParameter(e, block % kNumParams, static_cast<float>(block % 11) / 10.0f);
            float* io[2] = {L.data(), R.data()};
            e->processReplacing(e, io, io, 128);
            if (!std::isfinite(L[0])) finite = false;
            ++block;
        }
    });
    for (int cycle = 0; cycle < TK42_EDITOR_CYCLES; ++cycle) {
        ASSERT_TRUE(openEditor());
        plugin->dispatch(effEditIdle);
        paintAll();
        plugin->dispatch(effEditIdle);
        plugin->dispatch(effEditClose);
    }
    stop = true;
    audio.join();
    EXPECT_TRUE(finite);
    EXPECT_EQ(TKGUI::CReferenceCounter::liveObjects(), objects);
}

// Hosts set the rate from their engine's thread when the audio device
// restarts, whatever the user-interface thread is doing: the panel reads the
// rate for its meter as it opens. Under ThreadSanitizer an unsynchronised
// read fails the run.
TEST_F(EditorFixture, OpensWhileTheRateChangesOnAnotherThread) {
    AEffect* e = plugin->record();
    std::atomic<bool> stop{false};
    std::thread engine([&] {
        const float rates[] = {44100.f, 48000.f, 96000.f, 192000.f};
        for (int i = 0; !stop.load(); ++i) {
            e->dispatcher(e, effMainsChanged, 0, 0, nullptr, 0.f);
            e->dispatcher(e, effSetSampleRate, 0, 0, nullptr, rates[i % 4]);
            e->dispatcher(e, effMainsChanged, 0, 1, nullptr, 0.f);
            std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
    });
    for (int cycle = 0; cycle < 20; ++cycle) {
        ASSERT_TRUE(openEditor());
        plugin->dispatch(effEditIdle);
        plugin->dispatch(effEditClose);
    }
    stop = true;
    engine.join();
    const float rate = static_cast<AudioEffect*>(e->object)->getSampleRate();
    EXPECT_TRUE(rate == 44100.f || rate == 48000.f || rate == 96000.f || rate == 192000.f);
}
