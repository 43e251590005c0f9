// The audio thread and the user-interface thread at once, as hosts do it:
// audio with automation of every parameter on one thread; parameter changes,
// state saves and the meter coming and going on another. Run under
// ThreadSanitizer, a race fails the test run.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "entry/vst2/plugin_entry.h"
#include "formats/vst2/tembro_limiter.h"

namespace {

intptr_t host(AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
    return opcode == audioMasterVersion ? 2400 : 1;
}

}  // namespace

TEST(ThreadStress, AudioAutomationAndEditorThreadShareTheEffectSafely) {
    AEffect* e = VSTPluginMain(&host);
    ASSERT_NE(e, nullptr);
    auto* fx = static_cast<TembroLimiter*>(e->object);
    e->dispatcher(e, effSetSampleRate, 0, 0, nullptr, 48000.0f);
    std::atomic<bool> stop{false};
    std::atomic<bool> finite{true};

    std::thread audio([&] {
        std::vector<float> L(256), R(256);
        for (int block = 0; block < 4000; ++block) {
            for (int i = 0; i < 256; ++i) {
                L[i] = std::sin(0.01f * static_cast<float>(block * 256 + i)) * 1.5f;
                R[i] = -L[i];
            }
            // Automation arrives on the audio thread between blocks.
            e->setParameter(e, block % kNumParams, static_cast<float>(block % 17) / 16.0f);
            float* io[2] = {L.data(), R.data()};
            e->processReplacing(e, io, io, 256);
            if (!std::isfinite(L[0])) finite = false;
        }
        stop = true;
    });

    int turns = 0;
    while (!stop) {
        fx->meterFeed().attach(fx->meterFallCoef());
        e->setParameter(e, turns % kNumParams, 0.5f);
        (void)fx->meterFeed().reading();
        void* chunk = nullptr;
        e->dispatcher(e, effGetChunk, 0, 0, &chunk, 0.0f);
        fx->meterFeed().detach();
        ++turns;
    }
    audio.join();
    EXPECT_TRUE(finite);
    EXPECT_GT(turns, 0);
    e->dispatcher(e, effClose, 0, 0, nullptr, 0.0f);
}
