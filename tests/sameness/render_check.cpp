// Renders a fixed set of signals through a module (TK42R.so natively,
// TK42R_x64.dll under Wine) and writes every output sample, so that the two
// builds' outputs can be compared bit for bit:
//   tk42_render_check MODULE FILE      render into FILE
//   tk42_render_check --compare A B    compare two renders
// The signals are built from integer noise and a rotating phasor, with no C
// runtime function, so both builds feed the modules identical input.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "engine/parameters.h"
#include "tools/plughost/plugin_instance.h"
#include "tools/plughost/plugin_module.h"
#include "tools/plughost/recording_host.h"

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

template <typename T>
void render(const PluginModule& module, const Scenario& sc, std::vector<uint8_t>& out) {
    RecordingHost host;
    PluginInstance fx(host.create(module.entry()));
    if (!fx.isOpen()) {
        std::fprintf(stderr, "the module refused to create an effect\n");
        std::exit(1);
    }
    fx.start(sc.rate, 1024);
    fx.setParameter(kMode, sc.mode);
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
        // Irregular blocks, and parameters moved between them, as automation does.
        const size_t n = std::min<size_t>(frames - pos, 1 + next() % 1024);
        if (block % 3 == 0) fx.setParameter(kGain, static_cast<float>(next() % 1001) / 1000.0f);
        if (block % 4 == 1) fx.setParameter(kThresh, static_cast<float>(next() % 1001) / 1000.0f);
        if (block % 5 == 2) fx.setParameter(kAtkH, static_cast<float>(next() % 1001) / 1000.0f);
        if (block % 6 == 3) fx.setParameter(kRelH, static_cast<float>(next() % 1001) / 1000.0f);
        if (block % 7 == 4) fx.setParameter(kRelease, static_cast<float>(next() % 1001) / 1000.0f);
        if (block % 11 == 5) fx.setParameter(kShow, static_cast<float>(next() % 2));
        for (size_t i = 0; i < n; ++i) {
            inL[i] = static_cast<T>(l[pos + i]);
            inR[i] = static_cast<T>(r[pos + i]);
        }
        T* ins[2] = {inL.data(), inR.data()};
        T* outs[2] = {outL.data(), outR.data()};
        fx.process(ins, outs, static_cast<int32_t>(n));
        for (size_t i = 0; i < n; ++i) {
            const T pair[2] = {outL[i], outR[i]};
            const auto* bytes = reinterpret_cast<const uint8_t*>(pair);
            out.insert(out.end(), bytes, bytes + sizeof pair);
        }
        pos += n;
    }
    fx.stop();
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
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s MODULE FILE | --compare A B\n", argv[0]);
        return 2;
    }
    PluginModule module;
    std::string error;
    if (!module.load(argv[1], error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }
    std::vector<uint8_t> out;
    for (const Scenario& sc : kScenarios) {
        if (sc.doubles) {
            render<double>(module, sc, out);
        } else {
            render<float>(module, sc, out);
        }
    }
    FILE* f = std::fopen(argv[2], "wb");
    if (!f || std::fwrite(out.data(), 1, out.size(), f) != out.size() || std::fclose(f) != 0) {
        std::fprintf(stderr, "cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
