#include "tools/tk42host/block_pump.h"

#include <chrono>
#include <cmath>

#include "tools/tk42host/interruption.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

bool stopRequested(const PumpConfig& config) {
    return interruptRequested() || (config.cancel && config.cancel->load());
}

template <typename T>
PumpResult pumpAs(FrameSource& source, BlockProcessor& processor, const PumpConfig& config,
                  const std::vector<PumpObserver*>& observers, const PumpProgress& progress) {
    PumpResult result;
    const int channels = source.format().channels;
    const size_t block = static_cast<size_t>(config.blockSize);
    const uint64_t inputFrames = source.frames();
    const uint64_t delay = static_cast<uint64_t>(config.delay);
    const uint64_t drop = config.compensateDelay ? delay : 0;
    const uint64_t toProcess = inputFrames + drop;

    std::vector<double> interleaved(block * channels);
    std::vector<T> inL(block), inR(block), outL(block), outR(block);
    T* in[2] = {inL.data(), inR.data()};
    T* out[2] = {outL.data(), outR.data()};
    // The processor's input frames the output lines up with, delay frames
    // back: slot n % (delay + 1) holds input frame n (left, right) until
    // frame n + delay + 1 overwrites it.
    const size_t ringSize = static_cast<size_t>(delay) + 1;
    std::vector<double> ring(2 * ringSize, 0.0);
    std::vector<double> read[2] = {std::vector<double>(block), std::vector<double>(block)};
    std::vector<double> kept[2] = {std::vector<double>(block), std::vector<double>(block)};
    std::vector<double> aligned[2] = {std::vector<double>(block), std::vector<double>(block)};
    PumpBlock b;
    b.channels = channels;
    for (int c = 0; c < 2; ++c) {
        b.input[c] = read[channels == 2 ? c : 0].data();
        b.output[c] = kept[c].data();
        b.alignedInput[c] = aligned[c].data();
    }

    const Clock::time_point started = Clock::now();
    Clock::duration inProcessor{};
    for (uint64_t done = 0; done < toProcess;) {
        if (stopRequested(config)) {
            result.end = PumpEnd::Stopped;
            return result;
        }
        const size_t n = static_cast<size_t>(std::min<uint64_t>(block, toProcess - done));
        const uint64_t available = done < inputFrames ? inputFrames - done : 0;
        const size_t wanted = static_cast<size_t>(std::min<uint64_t>(n, available));
        if (wanted > 0 && source.read(interleaved.data(), wanted) != wanted) {
            result.end = PumpEnd::InputFailed;
            result.error = source.failed() ? source.error() : "the input ended early";
            return result;
        }
        for (size_t i = 0; i < n; ++i) {
            double l = 0, r = 0;
            if (i < wanted) {
                l = interleaved[i * channels];
                r = channels == 2 ? interleaved[i * channels + 1] : l;
                if (!std::isfinite(l)) l = 0, ++result.nonFiniteInput;
                if (!std::isfinite(r)) r = 0, result.nonFiniteInput += channels == 2;
                read[0][i] = l;
                read[1][i] = r;
            }
            inL[i] = static_cast<T>(l * config.trim);
            inR[i] = static_cast<T>(r * config.trim);
        }

        const Clock::time_point before = Clock::now();
        processor.process(in, out, static_cast<int32_t>(n));
        inProcessor += Clock::now() - before;

        size_t k = 0;
        size_t slot = static_cast<size_t>(done % ringSize);
        for (size_t i = 0; i < n; ++i, slot = slot + 1 == ringSize ? 0 : slot + 1) {
            ring[2 * slot] = static_cast<double>(inL[i]);
            ring[2 * slot + 1] = static_cast<double>(inR[i]);
            const uint64_t frame = done + i;
            if (frame < drop) continue;
            kept[0][k] = static_cast<double>(outL[i]);
            kept[1][k] = static_cast<double>(outR[i]);
            // Input frame - delay sits in the slot after this frame's.
            const size_t from = 2 * (slot + 1 == ringSize ? 0 : slot + 1);
            aligned[0][k] = frame >= delay ? ring[from] : 0.0;
            aligned[1][k] = frame >= delay ? ring[from + 1] : 0.0;
            ++k;
        }
        b.inputFrames = wanted;
        b.outputFrames = k;
        for (PumpObserver* o : observers) {
            if (!o->block(b, result.error)) {
                result.end = PumpEnd::ObserverFailed;
                return result;
            }
        }
        done += n;
        if (progress) progress(done, toProcess);
    }
    for (PumpObserver* o : observers) o->finish();
    result.frames = inputFrames;
    result.processSeconds = seconds(inProcessor);
    result.totalSeconds = seconds(Clock::now() - started);
    return result;
}

}  // namespace

PumpResult pump(FrameSource& source, BlockProcessor& processor, const PumpConfig& config,
                const std::vector<PumpObserver*>& observers, const PumpProgress& progress) {
    const int channels = source.format().channels;
    if (channels < 1 || channels > 2) {
        PumpResult r;
        r.end = PumpEnd::InputFailed;
        r.error = "only mono and stereo sources can be rendered";
        return r;
    }
    return config.doublePrecision ? pumpAs<double>(source, processor, config, observers, progress)
                                  : pumpAs<float>(source, processor, config, observers, progress);
}
