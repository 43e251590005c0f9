// The params extension: the engine's table in real units, ids = indices.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "formats/clap/clap_extensions.h"
#include "formats/clap/clap_limiter.h"

namespace {

bool validId(clap::Id id) {
    return id < static_cast<clap::Id>(kNumParams);
}

uint32_t count(const clap::Plugin* p) {
    return ClapLimiter::from(p) ? kNumParams : 0;
}

bool info(const clap::Plugin* p, uint32_t index, clap::ParamInfo* out) {
    if (!ClapLimiter::from(p) || !out || !validId(index)) return false;
    const int32_t i = static_cast<int32_t>(index);
    const ParameterInfo& t = kParameterInfo[i];
    std::memset(out, 0, sizeof *out);
    out->id = index;
    out->flags = clap::kParamIsAutomatable;
    if (t.law == ParameterLaw::stepped) out->flags |= clap::kParamIsStepped | clap::kParamIsEnum;
    std::snprintf(out->name, sizeof out->name, "%s", t.longName);
    // Release reaches 500 ms in LIMIT mode and 20 ms in CLIP mode; a CLAP
    // range may not change while the plug-in runs, so it is the wider one,
    // and values above 20 ms mean 20 ms in CLIP mode.
    parameterRange(i, true, out->minValue, out->maxValue);
    // The default as the engine starts (in LIMIT mode).
    out->defaultValue = toReal(i, t.defaultValue, true);
    return true;
}

bool value(const clap::Plugin* p, clap::Id id, double* out) {
    ClapLimiter* self = ClapLimiter::from(p);
    return self && out && self->value(id, *out);
}

bool toText(const clap::Plugin* p, clap::Id id, double real, char* text, uint32_t capacity) {
    ClapLimiter* self = ClapLimiter::from(p);
    if (!self || !validId(id) || !text || capacity == 0 || !std::isfinite(real)) return false;
    const int32_t i = static_cast<int32_t>(id);
    const bool limitMode = self->limiter().limitMode();
    char number[48];
    formatReal(i, fromReal(i, real, limitMode), limitMode, number, sizeof number);
    const char* unit = kParameterInfo[i].unit;
    std::snprintf(text, capacity, unit[0] ? "%s %s" : "%s", number, unit);
    return true;
}

bool fromText(const clap::Plugin* p, clap::Id id, const char* text, double* out) {
    ClapLimiter* self = ClapLimiter::from(p);
    double real = 0;
    if (!self || !validId(id) || !out || !parseReal(static_cast<int32_t>(id), text, real))
        return false;
    double low = 0, high = 0;
    parameterRange(static_cast<int32_t>(id), true, low, high);
    *out = std::fmin(std::fmax(real, low), high);
    return true;
}

void flush(const clap::Plugin* p, const clap::InputEvents* in, const clap::OutputEvents* out) {
    if (ClapLimiter* self = ClapLimiter::from(p)) self->flush(in, out);
}

}  // namespace

const clap::PluginParams kClapParams = {count, info, value, toText, fromText, flush};
