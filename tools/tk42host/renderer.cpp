#include "tools/tk42host/renderer.h"

#include <chrono>
#include <cmath>
#include <vector>

#include "tools/tk42host/interruption.h"
#include "tools/tk42host/loudness_meter.h"
#include "tools/tk42host/true_peak_meter.h"

namespace {

using Clock = std::chrono::steady_clock;

// Frames quieter than -100 dBFS carry no signal whose reduction means much.
constexpr double kSignalFloor = 1e-5;
constexpr double kCeilingTolerance = 1e-6;

double seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

}  // namespace

bool Renderer::run(FrameSource& source, FrameSink& sink, ProgressBar& progress, RenderStats& stats,
                   std::string& error) {
    const int channels = source.format().channels;
    if (channels < 1 || channels > 2) {
        error = "only mono and stereo sources can be rendered";
        return false;
    }
    return config.doublePrecision ? runAs<double>(source, sink, progress, stats, error)
                                  : runAs<float>(source, sink, progress, stats, error);
}

template <typename T>
bool Renderer::runAs(FrameSource& source, FrameSink& sink, ProgressBar& progress,
                     RenderStats& stats, std::string& error) {
    const int channels = source.format().channels;
    const size_t block = static_cast<size_t>(config.blockSize);
    const uint64_t inputFrames = source.frames();
    const uint64_t delay = static_cast<uint64_t>(config.delay);
    const uint64_t drop = config.compensateDelay ? delay : 0;
    const uint64_t toProcess = inputFrames + drop;

    std::vector<double> interleaved(block * channels), written(block * channels);
    std::vector<T> inL(block), inR(block), outL(block), outR(block);
    T* in[2] = {inL.data(), inR.data()};
    T* out[2] = {outL.data(), outR.data()};
    // The input frames the output lines up with, delay frames back, for
    // measuring the gain reduction: slot n % (delay + 1) holds input frame n
    // (left, right) until frame n + delay + 1 overwrites it.
    std::vector<double> aligned(2 * (delay + 1), 0.0);
    // Per channel, the block's input as read and its output as kept, for the meters.
    std::vector<double> metered[2][2] = {{std::vector<double>(block), std::vector<double>(block)},
                                         {std::vector<double>(block), std::vector<double>(block)}};
    TruePeakMeter inMeters[2], outMeters[2];
    const double rate = static_cast<double>(source.format().sampleRate);
    inputLoudness = std::make_unique<LoudnessMeter>(rate, channels);
    outputLoudness = std::make_unique<LoudnessMeter>(rate, channels);
    double reductionSum = 0;
    uint64_t reductionFrames = 0;

    stats = RenderStats();
    stats.ceilingKnown = config.ceiling > 0;
    stats.ceilingLinear = config.ceiling;
    const Clock::time_point started = Clock::now();
    Clock::duration inPlugin{}, inMetering{};

    for (uint64_t done = 0; done < toProcess;) {
        if (interruptRequested()) {
            error = "interrupted by " + interruptCause();
            return false;
        }
        const size_t n = static_cast<size_t>(std::min<uint64_t>(block, toProcess - done));
        const uint64_t available = done < inputFrames ? inputFrames - done : 0;
        const size_t wanted = static_cast<size_t>(std::min<uint64_t>(n, available));
        if (wanted > 0 && source.read(interleaved.data(), wanted) != wanted) {
            error = source.failed() ? source.error() : "the input ended early";
            return false;
        }
        for (size_t i = 0; i < n; ++i) {
            double l = 0, r = 0;
            if (i < wanted) {
                l = interleaved[i * channels];
                r = channels == 2 ? interleaved[i * channels + 1] : l;
                if (!std::isfinite(l)) l = 0, ++stats.nonFiniteInput;
                if (!std::isfinite(r)) r = 0, stats.nonFiniteInput += channels == 2;
                metered[0][0][i] = l;
                metered[0][1][i] = r;
            }
            inL[i] = static_cast<T>(l);
            inR[i] = static_cast<T>(r);
        }

        const Clock::time_point before = Clock::now();
        fx.process(in, out, static_cast<int32_t>(n));
        inPlugin += Clock::now() - before;

        size_t kept = 0;
        const size_t ringSize = static_cast<size_t>(delay) + 1;
        size_t slot = static_cast<size_t>(done % ringSize);
        for (size_t i = 0; i < n; ++i, slot = slot + 1 == ringSize ? 0 : slot + 1) {
            const uint64_t frame = done + i;
            aligned[2 * slot] = static_cast<double>(inL[i]);
            aligned[2 * slot + 1] = static_cast<double>(inR[i]);
            if (frame < drop) continue;
            const double yl = static_cast<double>(outL[i]);
            const double yr = static_cast<double>(outR[i]);
            written[kept * channels] = yl;
            if (channels == 2) written[kept * channels + 1] = yr;

            metered[1][0][kept] = yl;
            metered[1][1][kept] = yr;
            const double peakOut = std::fmax(std::fabs(yl), channels == 2 ? std::fabs(yr) : 0.0);
            if (stats.ceilingKnown) {
                const double limit = config.ceiling + kCeilingTolerance;
                stats.aboveCeiling +=
                    (std::fabs(yl) > limit) + (channels == 2 && std::fabs(yr) > limit);
            }
            double reduction = 0;
            double alignedIn[2] = {0, 0};
            if (frame >= delay) {
                // Input frame - delay sits in the slot after this frame's.
                const size_t from = 2 * (slot + 1 == ringSize ? 0 : slot + 1);
                alignedIn[0] = aligned[from];
                alignedIn[1] = aligned[from + 1];
                const double peakIn =
                    std::fmax(std::fabs(aligned[from]), std::fabs(aligned[from + 1])) *
                    config.inputGain;
                if (peakIn > kSignalFloor && peakOut > 0) {
                    reduction = std::fmax(0.0, 20.0 * std::log10(peakIn / peakOut));
                    if (reduction > stats.maxReductionDb) stats.maxReductionDb = reduction;
                    reductionSum += reduction;
                    ++reductionFrames;
                }
            }
            if (plot) {
                const double outFrame[2] = {yl, channels == 2 ? yr : yl};
                plot->add(alignedIn, outFrame, reduction);
            }
            ++kept;
        }
        const Clock::time_point metering = Clock::now();
        for (int c = 0; c < channels; ++c) {
            if (config.meterInput) inMeters[c].add(metered[0][c].data(), wanted);
            if (config.meterOutputPeaks) outMeters[c].add(metered[1][c].data(), kept);
        }
        if (config.meterInput)
            inputLoudness->add(metered[0][0].data(), metered[0][1].data(), wanted);
        outputLoudness->add(metered[1][0].data(), metered[1][1].data(), kept);
        inMetering += Clock::now() - metering;
        if (kept > 0 && !sink.write(written.data(), kept, error)) return false;
        done += n;
        progress.update(done, toProcess);
    }
    progress.finish();
    if (plot) plot->finish();

    stats.frames = inputFrames;
    for (int c = 0; c < channels; ++c) {
        stats.inputTruePeak = std::fmax(stats.inputTruePeak, inMeters[c].peak());
        stats.outputTruePeak = std::fmax(stats.outputTruePeak, outMeters[c].peak());
        stats.inputSamplePeak = std::fmax(stats.inputSamplePeak, inMeters[c].samplePeakValue());
        stats.outputSamplePeak = std::fmax(stats.outputSamplePeak, outMeters[c].samplePeakValue());
    }
    const Clock::time_point metering = Clock::now();
    stats.inputLoudness = inputLoudness->figures();
    stats.outputLoudness = outputLoudness->figures();
    inMetering += Clock::now() - metering;
    stats.meteringSeconds = seconds(inMetering);
    stats.averageReductionDb = reductionFrames ? reductionSum / reductionFrames : 0.0;
    stats.pluginSeconds = seconds(inPlugin);
    stats.totalSeconds = seconds(Clock::now() - started);
    return true;
}
