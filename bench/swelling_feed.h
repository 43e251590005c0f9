// The editor benchmarks' audio: a 220 Hz tone at 48 kHz whose level swells
// and fades 1.5 times a second, so that the meter keeps moving. It is fed to
// the effect from a thread of its own, in 256-frame blocks at about real
// time, for as long as the feed exists.
#pragma once

#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

#include "tools/plughost/plugin_instance.h"

class SwellingFeed {
  public:
    explicit SwellingFeed(PluginInstance& fx) : audio([this, &fx] { run(fx); }) {}
    ~SwellingFeed() {
        stop = true;
        audio.join();
    }
    SwellingFeed(const SwellingFeed&) = delete;
    SwellingFeed& operator=(const SwellingFeed&) = delete;

  private:
    static constexpr int kBlock = 256;

    void run(PluginInstance& fx) {
        constexpr double kTwoPi = 6.283185307179586;
        std::vector<float> left(kBlock), right(kBlock);
        for (long n = 0; !stop; n += kBlock) {
            for (int i = 0; i < kBlock; ++i) {
                const double t = double(n + i) / 48000.0;
                const double level = 0.5 + 0.5 * std::sin(kTwoPi * 1.5 * t);
                left[i] = right[i] = float(level * std::sin(kTwoPi * 220.0 * t));
            }
            float* io[2] = {left.data(), right.data()};
            fx.process(io, io, kBlock);
            std::this_thread::sleep_for(std::chrono::microseconds(5333));
        }
    }

    std::atomic<bool> stop{false};
    std::thread audio;  // last: it starts once the rest is made
};
