// Renders a fixed set of signals through a module (TK42R.so natively,
// TK42R_x64.dll under Wine, or either build's VST3 binary) and writes every
// output sample, so that the builds' and formats' outputs can be compared
// bit for bit:
//   tk42_render_check MODULE FILE          render a VST 2.4 module into FILE
//   tk42_render_check --vst3 BINARY FILE   render a VST3 module's binary
//   tk42_render_check --compare A B        compare two renders
// The signals are built from integer noise and a rotating phasor, with no C
// runtime function, so both builds feed the modules identical input.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "engine/parameters.h"
#include "tools/plughost/plugin_instance.h"
#include "tools/plughost/plugin_module.h"
#include "tools/plughost/recording_host.h"
#include "tools/plughost/vst3_plugin.h"

namespace {

struct Scenario {
    float rate;
    float mode;
    bool doubles;
};

// Loud noise bursts over a sine, with rare non-finite, huge and subnormal
// samples; the level sweeps from far below to far above the ceiling.
std::vector<double> makeSignal(size_t frames, uint32_t seed, bool right) {
    std::vector<double> s(frames);
    uint32_t x = seed;
    double c = 1.0, q = 0.0;  // phasor at about 441 Hz at 44.1 kHz
    const double cw = 0.99980261, sw = 0.01986932;
    for (size_t i = 0; i < frames; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        const double noise = static_cast<double>(x) / 4294967296.0 * 2.0 - 1.0;
        const double nc = c * cw - q * sw;
        q = c * sw + q * cw;
        c = nc;
        const double sweep = 0.02 + 3.0 * static_cast<double>(i) / static_cast<double>(frames);
        const double burst = (i % 2000) < 400 ? 1.0 : 0.1;
        double v = sweep * (0.6 * (right ? q : c) + 0.5 * burst * noise);
        if (i % 9973 == 17) v = 1e300;
        if (i % 7919 == 5) v = 1e-310;
        if (i % 15013 == 11) v = right ? -1e30 : 4e5;
        s[i] = v;
    }
    return s;
}

// The two formats driven alike: the same rate and block sizes, and the same
// parameter values taking effect at the same sample. VST 2.4 gets them
// between two process calls; VST3 gets one call with the changes at their
// sample offset.
class Vst2Render {
  public:
    explicit Vst2Render(const PluginModule& module) : fx(host.create(module.entry())) {}
    bool start(float rate) {
        if (!fx.isOpen()) return false;
        fx.start(rate, 1024);
        return true;
    }
    void change(int32_t index, float value) { pending.emplace_back(index, value); }
    template <typename T>
    void process(T** in, T** out, int32_t frames, int32_t at) {
        fx.process(in, out, at);
        for (const auto& c : pending) fx.setParameter(c.first, c.second);
        pending.clear();
        T* restIn[2] = {in[0] + at, in[1] + at};
        T* restOut[2] = {out[0] + at, out[1] + at};
        fx.process(restIn, restOut, frames - at);
    }
    void stop() { fx.stop(); }

  private:
    RecordingHost host;
    PluginInstance fx;
    std::vector<std::pair<int32_t, float>> pending;
};

class Vst3Render {
  public:
    explicit Vst3Render(const PluginModule& module) {
        std::string error;
        if (!plugin.open(module, error)) std::fprintf(stderr, "%s\n", error.c_str());
        changes = new plughost::ParamChanges();
    }
    ~Vst3Render() { changes->release(); }
    bool start(float rate, bool doubles) {
        return plugin.isOpen() && plugin.start(rate, 1024, doubles);
    }
    void change(int32_t index, float value) { pending.emplace_back(index, value); }
    template <typename T>
    void process(T** in, T** out, int32_t frames, int32_t at) {
        for (const auto& c : pending)
            changes->add(static_cast<vst3::ParamId>(c.first), at, c.second);
        pending.clear();
        plugin.process(in, out, frames, changes);
        changes->clear();
    }
    void stop() { plugin.stop(); }

  private:
    plughost::Vst3Plugin plugin;
    plughost::ParamChanges* changes;
    std::vector<std::pair<int32_t, float>> pending;
};

template <typename T, typename Render>
void render(Render& fx, const Scenario& sc, std::vector<uint8_t>& out) {
    bool started;
    if constexpr (std::is_same_v<Render, Vst3Render>) {
        started = fx.start(sc.rate, sc.doubles);
    } else {
        started = fx.start(sc.rate);
    }
    if (!started) {
        std::fprintf(stderr, "the module refused to create or start an effect\n");
        std::exit(1);
    }
    fx.change(kMode, sc.mode);
    const size_t frames = 60000;
    const std::vector<double> l = makeSignal(frames, 99, false), r = makeSignal(frames, 7, true);
    std::vector<T> inL(1024), inR(1024), outL(1024), outR(1024);
    uint32_t x = 12345;
    auto next = [&x]() {
        x = x * 1664525u + 1013904223u;
        return x >> 8;
    };
    size_t pos = 0;
    for (int block = 0; pos < frames; ++block) {
        // Irregular blocks, and parameters moved within them, as automation does.
        const size_t n = std::min<size_t>(frames - pos, 1 + next() % 1024);
        const int32_t at = block == 0 ? 0 : static_cast<int32_t>(next() % (n + 1));
        if (block % 3 == 0) fx.change(kGain, static_cast<float>(next() % 1001) / 1000.0f);
        if (block % 4 == 1) fx.change(kThresh, static_cast<float>(next() % 1001) / 1000.0f);
        if (block % 5 == 2) fx.change(kAtkH, static_cast<float>(next() % 1001) / 1000.0f);
        if (block % 6 == 3) fx.change(kRelH, static_cast<float>(next() % 1001) / 1000.0f);
        if (block % 7 == 4) fx.change(kRelease, static_cast<float>(next() % 1001) / 1000.0f);
        if (block % 11 == 5) fx.change(kShow, static_cast<float>(next() % 2));
        for (size_t i = 0; i < n; ++i) {
            inL[i] = static_cast<T>(l[pos + i]);
            inR[i] = static_cast<T>(r[pos + i]);
        }
        T* ins[2] = {inL.data(), inR.data()};
        T* outs[2] = {outL.data(), outR.data()};
        fx.process(ins, outs, static_cast<int32_t>(n), at);
        for (size_t i = 0; i < n; ++i) {
            const T pair[2] = {outL[i], outR[i]};
            const auto* bytes = reinterpret_cast<const uint8_t*>(pair);
            out.insert(out.end(), bytes, bytes + sizeof pair);
        }
        pos += n;
    }
    fx.stop();
}

template <typename Render>
void renderAll(const PluginModule& module, const Scenario& sc, std::vector<uint8_t>& out) {
    Render fx(module);
    if (sc.doubles) {
        render<double>(fx, sc, out);
    } else {
        render<float>(fx, sc, out);
    }
}

const Scenario kScenarios[] = {
    {44100.0f, 0.0f, false}, {44100.0f, 0.0f, true},  {44100.0f, 1.0f, false},
    {44100.0f, 1.0f, true},  {48000.0f, 0.0f, false}, {48000.0f, 1.0f, true},
    {96000.0f, 0.0f, true},  {96000.0f, 1.0f, false}, {192000.0f, 0.0f, false},
    {192000.0f, 1.0f, true}, {22050.0f, 0.0f, true},  {8000.0f, 1.0f, false},
};

std::string describe(const Scenario& sc) {
    char text[80];
    std::snprintf(text, sizeof text, "%.0f Hz, %s, %s", sc.rate, sc.mode < 0.5f ? "LIMIT" : "CLIP",
                  sc.doubles ? "processDoubleReplacing" : "processReplacing");
    return text;
}

bool readFile(const char* path, std::vector<uint8_t>& bytes) {
    FILE* f = std::fopen(path, "rb");
    if (!f) return false;
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.insert(bytes.end(), buf, buf + n);
    std::fclose(f);
    return true;
}

int compare(const char* a, const char* b) {
    std::vector<uint8_t> x, y;
    if (!readFile(a, x) || !readFile(b, y)) {
        std::fprintf(stderr, "cannot read %s or %s\n", a, b);
        return 1;
    }
    size_t at = 0;
    for (const Scenario& sc : kScenarios) {
        const size_t frameBytes = sc.doubles ? 16 : 8;
        const size_t bytes = 60000 * frameBytes;
        if (x.size() < at + bytes || y.size() < at + bytes) {
            std::fprintf(stderr, "a render is short at %s\n", describe(sc).c_str());
            return 1;
        }
        if (std::memcmp(&x[at], &y[at], bytes) != 0) {
            size_t i = 0;
            while (x[at + i] == y[at + i]) ++i;
            std::fprintf(stderr, "outputs differ at %s, frame %zu\n", describe(sc).c_str(),
                         i / frameBytes);
            return 1;
        }
        at += bytes;
    }
    if (x.size() != at || y.size() != at) {
        std::fprintf(stderr, "the renders differ in length\n");
        return 1;
    }
    std::printf("%zu scenarios, %zu bytes: the same bits\n", std::size(kScenarios), at);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--compare") == 0) return compare(argv[2], argv[3]);
    const bool vst3 = argc == 4 && std::strcmp(argv[1], "--vst3") == 0;
    if (argc != 3 && !vst3) {
        std::fprintf(stderr, "usage: %s [--vst3] MODULE FILE | --compare A B\n", argv[0]);
        return 2;
    }
    const char* path = argv[argc - 2];
    PluginModule module;
    std::string error;
    if (!(vst3 ? module.loadLibrary(path, error) : module.load(path, error))) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    std::vector<uint8_t> out;
    for (const Scenario& sc : kScenarios) {
        if (vst3) {
            renderAll<Vst3Render>(module, sc, out);
        } else {
            renderAll<Vst2Render>(module, sc, out);
        }
    }
    FILE* f = std::fopen(argv[argc - 1], "wb");
    if (!f || std::fwrite(out.data(), 1, out.size(), f) != out.size() || std::fclose(f) != 0) {
        std::fprintf(stderr, "cannot write %s\n", argv[argc - 1]);
        return 1;
    }
    return 0;
}
