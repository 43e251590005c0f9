#include "tools/tk42host/delay_probe.h"

#include <cmath>
#include <vector>

namespace {

// -80 dBFS: far below any ceiling even after +24 dB of input gain, so the
// impulse passes the effect unlimited.
constexpr double kImpulse = 1e-4;
// Longest delay looked for; a larger reported delay is not believed either.
constexpr int32_t kMaxDelay = 1 << 20;
constexpr int32_t kProbeFrames = 1 << 16;

template <typename T>
int32_t probe(const PluginInstance& scratch, int32_t blockSize) {
    std::vector<T> inL(blockSize), inR(blockSize), outL(blockSize), outR(blockSize);
    double largest = 0.0;
    int32_t where = 0;
    for (int32_t done = 0; done < kProbeFrames; done += blockSize) {
        std::fill(inL.begin(), inL.end(), T(0));
        std::fill(inR.begin(), inR.end(), T(0));
        if (done == 0) inL[0] = inR[0] = static_cast<T>(kImpulse);
        T* in[2] = {inL.data(), inR.data()};
        T* out[2] = {outL.data(), outR.data()};
        scratch.process(in, out, blockSize);
        for (int32_t i = 0; i < blockSize; ++i) {
            const double m = std::fmax(std::fabs(static_cast<double>(outL[i])),
                                       std::fabs(static_cast<double>(outR[i])));
            if (m > largest) largest = m, where = done + i;
        }
    }
    return where;
}

}  // namespace

bool findDelay(const PluginModule& module, RecordingHost& host, const PluginInstance& fx,
               float sampleRate, int32_t blockSize, bool doublePrecision, DelayMeasurement& delay,
               std::string& error) {
    const int32_t reported = fx.record()->initialDelay;
    if (reported > 0 && reported <= kMaxDelay) {
        delay.frames = reported;
        delay.reported = true;
        return true;
    }
    PluginInstance scratch(host.create(module.entry()));
    if (!scratch.isOpen()) {
        error = "the module refused a second instance for measuring its delay";
        return false;
    }
    const std::vector<uint8_t> state = fx.chunk();
    if (!state.empty()) scratch.setChunk(state);
    for (int32_t i = 0; i < fx.record()->numParams; ++i)
        scratch.setParameter(i, fx.getParameter(i));
    scratch.start(sampleRate, blockSize);
    delay.frames =
        doublePrecision ? probe<double>(scratch, blockSize) : probe<float>(scratch, blockSize);
    delay.reported = false;
    scratch.stop();
    return true;
}
