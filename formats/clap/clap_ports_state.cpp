// The small extensions: one stereo port each way, the state through the
// host's streams, and the latency.
#include <cstdio>
#include <cstring>

#include "formats/clap/clap_extensions.h"
#include "formats/clap/clap_limiter.h"

namespace {

uint32_t portCount(const clap::Plugin* p, bool) {
    return ClapLimiter::from(p) ? 1 : 0;
}

bool portInfo(const clap::Plugin* p, uint32_t index, bool isInput, clap::AudioPortInfo* out) {
    if (!ClapLimiter::from(p) || index != 0 || !out) return false;
    std::memset(out, 0, sizeof *out);
    out->id = 0;
    std::snprintf(out->name, sizeof out->name, "%s", isInput ? "Input" : "Output");
    // Both ports in one precision: the engine runs a block in one.
    out->flags =
        clap::kPortIsMain | clap::kPortSupports64Bits | clap::kPortRequiresCommonSampleSize;
    out->channelCount = 2;
    out->portType = clap::kPortStereo;
    // Output 0 may share input 0's buffers.
    out->inPlacePair = 0;
    return true;
}

bool save(const clap::Plugin* p, const clap::OutputStream* stream) {
    ClapLimiter* self = ClapLimiter::from(p);
    return self && self->save(stream);
}

bool load(const clap::Plugin* p, const clap::InputStream* stream) {
    ClapLimiter* self = ClapLimiter::from(p);
    return self && self->load(stream);
}

uint32_t latency(const clap::Plugin* p) {
    ClapLimiter* self = ClapLimiter::from(p);
    return self ? self->latency() : 0;
}

}  // namespace

const clap::PluginAudioPorts kClapAudioPorts = {portCount, portInfo};
const clap::PluginState kClapState = {save, load};
const clap::PluginLatency kClapLatency = {latency};
