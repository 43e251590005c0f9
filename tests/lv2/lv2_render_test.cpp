// The bundle in three LV2 hosts nobody here wrote, ffmpeg's lv2 filter,
// lv2file and lilv's lv2apply (which refuses plug-ins that need any host
// feature), on real recordings (Debian's lmms-common and hydrogen-data):
// their output never exceeds the ceiling and, once the delay the plug-in
// reports on its latency port is taken off, equals bit for bit what the
// VST 2.4 module gives through tk42host (which compensates the delay).
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <lv2/core/lv2.h>
#include <stdlib.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/limiter_state.h"
#include "formats/lv2/lv2_ports.h"
#include "tests/common/ceiling_tolerance.h"
#include "tools/tk42host/wav_reader.h"

namespace fs = std::filesystem;

namespace {

struct Case {
    const char* recording;
    double gainDb, ceilingDb;
    bool clip;
    double clipReleaseMs;  // 0: the default
};

const Case kCases[] = {
    {"/usr/share/lmms/samples/beats/jungle01.ogg", 9.0, -3.0, false, 0.0},
    {"/usr/share/hydrogen/data/drumkits/rumpf_kit_z01_h2/beats_06-21.flac", 12.0, -6.0, true, 5.0},
    {"/usr/share/lmms/samples/beats/break02.ogg", 18.0, -1.0, false, 120.0},
};

std::string fmt(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", v);
    return text;
}

bool run(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

struct Audio {
    std::vector<double> samples;  // interleaved stereo
    unsigned rate = 0;
};

Audio readWav(const std::string& path) {
    Audio a;
    WavReader reader;
    std::string error;
    EXPECT_TRUE(reader.open(path, error)) << path << ": " << error;
    if (!error.empty()) return a;
    EXPECT_EQ(reader.format().channels, 2);
    a.rate = reader.format().sampleRate;
    a.samples.resize(size_t(reader.frames()) * 2);
    EXPECT_EQ(reader.read(a.samples.data(), reader.frames()), reader.frames());
    return a;
}

// The delay the DSP binary reports on its latency port in this mode.
int reportedDelay(double rate, bool clip) {
    void* module = dlopen(TK42_LV2_BUNDLE "/tk42r.so", RTLD_NOW | RTLD_LOCAL);
    if (!module) return -1;
    auto entry = reinterpret_cast<LV2_Descriptor_Function>(dlsym(module, "lv2_descriptor"));
    const LV2_Descriptor* d = entry ? entry(0) : nullptr;
    int delay = -1;
    if (LV2_Handle h = d ? d->instantiate(d, rate, TK42_LV2_BUNDLE "/", nullptr) : nullptr) {
        float mode = clip ? 1.0f : 0.0f, latency = -1.0f;
        d->connect_port(h, lv2port::portOf(kMode), &mode);
        d->connect_port(h, lv2port::kLatency, &latency);
        d->activate(h);
        d->run(h, 0);
        delay = static_cast<int>(latency);
        d->cleanup(h);
    }
    dlclose(module);
    return delay;
}

class TempDir {
  public:
    TempDir() {
        char pattern[] = "/tmp/tk42-lv2-XXXXXX";
        path = mkdtemp(pattern) ? pattern : "";
    }
    ~TempDir() {
        if (!path.empty()) fs::remove_all(path);
    }
    std::string file(const std::string& name) const { return path + "/" + name; }
    std::string path;
};

// Samples of `out`, delayed by `delay` frames, against `ref`.
void expectSameBits(const Audio& out, const Audio& ref, int delay, double ceiling,
                    const char* host) {
    SCOPED_TRACE(host);
    ASSERT_EQ(out.samples.size(), ref.samples.size());
    const size_t shift = size_t(delay) * 2;
    size_t different = 0, first = 0;
    for (size_t i = 0; i + shift < ref.samples.size(); ++i) {
        if (out.samples[i + shift] != ref.samples[i] && different++ == 0) first = i;
    }
    EXPECT_EQ(different, 0u) << "first at sample " << first << " of " << ref.samples.size();
    double peak = 0;
    for (double s : out.samples) peak = std::max(peak, std::fabs(s));
    EXPECT_LE(peak, ceiling * (1 + ceilingTolerance(out.rate))) << "the ceiling did not hold";
    EXPECT_GT(peak, ceiling * 0.9) << "limited, not silenced";
}

TEST(Lv2Hosts, FfmpegLv2fileAndLv2applyGiveTheVst2ModulesBitsUnderTheCeiling) {
    setenv("LV2_PATH", TK42_LV2_DIR, 1);
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.recording);
        TempDir dir;
        const std::string in = dir.file("in.wav");
        ASSERT_TRUE(run(std::string(TK42_FFMPEG) + " -nostdin -v error -y -i " + c.recording +
                        " -ac 2 -c:a pcm_f32le " + in));

        std::string units = " --gain-db " + fmt(c.gainDb) + " --ceiling-db " + fmt(c.ceilingDb) +
                            (c.clip ? " --mode clip" : " --mode limit");
        std::string ports = "gain=" + fmt(c.gainDb) + "|ceiling=" + fmt(c.ceilingDb) +
                            "|mode=" + (c.clip ? "1" : "0");
        std::string lv2fileArgs = " -p gain:" + fmt(c.gainDb) + " -p ceiling:" + fmt(c.ceilingDb) +
                                  " -p mode:" + (c.clip ? "1" : "0");
        std::string lv2applyArgs = " -c gain " + fmt(c.gainDb) + " -c ceiling " + fmt(c.ceilingDb) +
                                   " -c mode " + (c.clip ? "1" : "0");
        if (c.clipReleaseMs > 0) {
            units += " --clip-release-ms " + fmt(c.clipReleaseMs);
            ports += "|clip_release=" + fmt(c.clipReleaseMs);
            lv2fileArgs += " -p clip_release:" + fmt(c.clipReleaseMs);
            lv2applyArgs += " -c clip_release " + fmt(c.clipReleaseMs);
        }
        const std::string ref = dir.file("vst2.wav");
        ASSERT_TRUE(run(std::string(TK42HOST) + " render " + TK42_PRODUCT_MODULE + " " + in + " " +
                        ref + units + " --format float32 --quiet"));
        const std::string ffmpegOut = dir.file("ffmpeg.wav");
        ASSERT_TRUE(run(std::string(TK42_FFMPEG) + " -nostdin -v error -y -i " + in +
                        " -af 'lv2=p=urn\\\\:faldenmurex\\\\:tk42r:c=" + ports +
                        "' -c:a pcm_f32le " + ffmpegOut));
        const std::string lv2fileOut = dir.file("lv2file.wav");
        ASSERT_TRUE(run(std::string(TK42_LV2FILE) + " -i " + in + " -o " + lv2fileOut +
                        lv2fileArgs + " " + lv2port::kPluginUri));
        const std::string lv2applyOut = dir.file("lv2apply.wav");
        ASSERT_TRUE(run(std::string(TK42_LV2APPLY) + " -i " + in + " -o " + lv2applyOut +
                        lv2applyArgs + " " + lv2port::kPluginUri));

        const Audio reference = readWav(ref);
        ASSERT_FALSE(reference.samples.empty());
        const int delay = reportedDelay(reference.rate, c.clip);
        EXPECT_EQ(delay, c.clip ? 0 : kLookAhead);
        const double ceiling = std::pow(10.0, c.ceilingDb / 20.0);
        expectSameBits(readWav(ffmpegOut), reference, delay, ceiling, "ffmpeg");
        expectSameBits(readWav(lv2fileOut), reference, delay, ceiling, "lv2file");
        expectSameBits(readWav(lv2applyOut), reference, delay, ceiling, "lv2apply");
    }
}

}  // namespace
