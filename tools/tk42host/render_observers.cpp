#include "tools/tk42host/render_observers.h"

#include <chrono>
#include <cmath>

namespace {

// Frames quieter than -100 dBFS carry no signal whose reduction means much.
constexpr double kSignalFloor = 1e-5;
constexpr double kCeilingTolerance = 1e-6;

}  // namespace

LevelMeters::LevelMeters(Side side, double sampleRate, int channels, bool truePeaks)
    : side(side), channels(channels), truePeaks(truePeaks), meter(sampleRate, channels) {}

bool LevelMeters::block(const PumpBlock& b, std::string&) {
    const auto started = std::chrono::steady_clock::now();
    const double* const* x = side == Input ? b.input : b.output;
    const size_t n = side == Input ? b.inputFrames : b.outputFrames;
    if (truePeaks) {
        for (int c = 0; c < channels; ++c) peaks[c].add(x[c], n);
    }
    meter.add(x[0], x[1], n);
    spent += std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return true;
}

double LevelMeters::truePeak() const {
    return std::fmax(peaks[0].peak(), peaks[1].peak());
}

double LevelMeters::samplePeak() const {
    return std::fmax(peaks[0].samplePeakValue(), peaks[1].samplePeakValue());
}

bool ReductionWatch::block(const PumpBlock& b, std::string&) {
    const bool stereo = b.channels == 2;
    reductions.assign(b.outputFrames, 0.0);
    for (size_t i = 0; i < b.outputFrames; ++i) {
        const double yl = std::fabs(b.output[0][i]);
        const double yr = stereo ? std::fabs(b.output[1][i]) : 0.0;
        if (ceiling > 0) {
            const double limit = ceiling + kCeilingTolerance;
            above += (yl > limit) + (stereo && yr > limit);
        }
        const double peakOut = std::fmax(yl, yr);
        const double peakIn =
            std::fmax(std::fabs(b.alignedInput[0][i]), std::fabs(b.alignedInput[1][i])) * gain;
        if (peakIn > kSignalFloor && peakOut > 0) {
            const double r = std::fmax(0.0, 20.0 * std::log10(peakIn / peakOut));
            reductions[i] = r;
            largest = std::fmax(largest, r);
            sum += r;
            ++counted;
        }
    }
    return true;
}

bool PlotFeed::block(const PumpBlock& b, std::string&) {
    const std::vector<double>& r = reduction.lastBlock();
    for (size_t i = 0; i < b.outputFrames; ++i) {
        const double in[2] = {b.alignedInput[0][i], b.alignedInput[1][i]};
        const double out[2] = {b.output[0][i], b.channels == 2 ? b.output[1][i] : b.output[0][i]};
        recorder.add(in, out, r[i]);
    }
    return true;
}

bool SinkFeed::block(const PumpBlock& b, std::string& error) {
    const size_t channels = static_cast<size_t>(b.channels);
    interleaved.resize(b.outputFrames * channels);
    for (size_t i = 0; i < b.outputFrames; ++i) {
        for (size_t c = 0; c < channels; ++c) interleaved[i * channels + c] = b.output[c][i];
    }
    return b.outputFrames == 0 || sink.write(interleaved.data(), b.outputFrames, error);
}
