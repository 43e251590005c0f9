// The Linux module inside a real host that nobody here wrote: Ardour 7's
// plug-in scanner, and a headless session on the dummy audio backend that
// plays real audio through the plug-in, exports it, and is saved and opened
// again. The VST 2.4 module, the LV2 bundle and the VST3 bundle each.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <regex>
#include <sstream>

#include "engine/limiter_engine.h"
#include "tests/ardour/host_process.h"
#include "tests/ardour/session_audio.h"
#include "tk42_version.h"
#include "tools/tk42host/demo_signal.h"
#include "tools/tk42host/wav_reader.h"

namespace fs = std::filesystem;

namespace {

// Ardour 7.3 itself sometimes dies in a headless run with any Linux VST
// module (heap corruption in the host, seen with other makers' modules too):
// a run the host crashed is tried again, up to this many runs in all.
constexpr int kTries = 4;
constexpr const char* kSession = "limited";
constexpr const char* kTrack = "Limited";
constexpr const char* kExportPreset = "6b1c5f5e-0d4e-4a8e-9d43-54b2a7e1c042";
// Gain +12 dB, ceiling -6 dBFS, attack, release and clip release off their
// defaults, LIMIT mode, the meter on the clip stage.
const float kParameters[7] = {0.5f, 0.75f, 0.3f, 0.4f, 0.6f, 0.0f, 1.0f};
const double kCeiling = std::pow(10.0, -6.0 / 20.0);

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeFile(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::vector<uint8_t> base64(const std::string& text) {
    std::vector<uint8_t> out;
    uint32_t bits = 0;
    int count = 0;
    for (char c : text) {
        const char* table = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        const char* at = c ? std::strchr(table, c) : nullptr;
        if (!at) continue;
        bits = (bits << 6) | static_cast<uint32_t>(at - table);
        count += 6;
        if (count >= 8) {
            count -= 8;
            out.push_back(static_cast<uint8_t>(bits >> count));
        }
    }
    return out;
}

// The component's bytes inside Ardour's VST3 chunk (a preset container: a
// header with the offset of a list of chunks, "Comp" the component's).
std::vector<uint8_t> componentState(const std::vector<uint8_t>& chunk) {
    auto u32 = [&](size_t at) {
        uint32_t v = 0;
        for (int i = 3; i >= 0; --i) v = (v << 8) | chunk[at + i];
        return v;
    };
    auto u64 = [&](size_t at) { return u32(at) | (static_cast<uint64_t>(u32(at + 4)) << 32); };
    if (chunk.size() < 48 || std::memcmp(chunk.data(), "VST3", 4) != 0) return {};
    const uint64_t list = u64(40);
    if (list + 8 > chunk.size() || std::memcmp(&chunk[list], "List", 4) != 0) return {};
    const uint32_t count = u32(list + 4);
    for (uint32_t i = 0; i < count && list + 8 + 20 * (i + 1) <= chunk.size(); ++i) {
        const size_t entry = list + 8 + 20 * i;
        const uint64_t offset = u64(entry + 4), size = u64(entry + 12);
        if (std::memcmp(&chunk[entry], "Comp", 4) == 0 && offset + size <= chunk.size()) {
            return std::vector<uint8_t>(chunk.begin() + offset, chunk.begin() + offset + size);
        }
    }
    return {};
}

// An attribute of the first element that matches, or empty.
std::string attribute(const std::string& element, const std::string& name) {
    std::smatch m;
    if (!std::regex_search(element, m, std::regex(" " + name + "=\"([^\"]*)\""))) return "";
    return m[1];
}

// One Ardour home of its own: configuration, plug-in cache and the module in
// the user's plug-in folder, so that nothing of the machine's Ardour set-up
// is used or changed.
class ArdourTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/tk42-ardour-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        module = root / "home/.lxvst/TK42R.so";
        pluginFile = module;
        fs::create_directories(module.parent_path());
        fs::copy_file(TK42_PRODUCT_MODULE, module);
        // Ardour ignores an index older than the module, comparing the
        // index's whole-second time with the module's exact one: a module
        // copied in the second of the scan would look newer than its index.
        // Date it back, as if installed a minute before.
        fs::last_write_time(module, fs::last_write_time(module) - std::chrono::minutes(1));
        // Float samples, so that the ceiling can be checked to the last bit.
        writeFile(root / "config/ardour7/export/tk42-float.preset",
                  std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n") +
                      "<ExportPreset id=\"" + kExportPreset + "\" name=\"TK42 float\">\n" +
                      "  <ExportFormat id=\"20b4ab09-6452-4cb3-bd66-b921cdbd2942\"/>\n"
                      "  <ExportFilename><Folder relative=\"1\" path=\"export\"/>"
                      "<Field name=\"timespan\" enabled=\"1\"/></ExportFilename>\n"
                      "</ExportPreset>\n");
    }

    void TearDown() override {
        // How often Ardour crashed, test by test, for ./test.sh to show.
        const std::string summary =
            std::string(testing::UnitTest::GetInstance()->current_test_info()->name()) + ": " +
            std::to_string(counts.runs) + " Ardour runs, " + std::to_string(counts.hostCrashes) +
            " crashed in Ardour\n";
        std::cout << summary;
        std::ofstream(TK42_ARDOUR_SUMMARY, std::ios::app) << summary;
        if (!HasFailure())
            fs::remove_all(root);
        else
            std::cout << "kept for inspection: " << root << std::endl;
    }

    HostCommand command(std::vector<std::string> argv, std::vector<std::string> extra,
                        int timeoutSeconds) {
        HostCommand c;
        c.argv = std::move(argv);
        c.environment = {"HOME=" + (root / "home").string(),
                         "XDG_CONFIG_HOME=" + (root / "config").string(),
                         "XDG_CACHE_HOME=" + (root / "cache").string(),
                         "XDG_DATA_HOME=" + (root / "data").string(),
                         "LXVST_PATH=" + module.parent_path().string(),
                         "LV2_PATH=" + (root / "home/.lv2").string(),
                         "VST3_PATH=" + (root / "home/.vst3").string(),
                         "LD_LIBRARY_PATH=" + std::string(TK42_ARDOUR_LIBS)};
        c.environment.insert(c.environment.end(), extra.begin(), extra.end());
        c.crashReporter = TK42_CRASH_REPORTER;
        c.pluginFile = pluginFile.string();
        c.timeoutSeconds = timeoutSeconds;
        return c;
    }

    // Runs until a run ends other than by a crash in the host, at most kTries
    // runs, and fails the test unless that run finished. What a crashed run
    // left behind is removed before the next.
    HostRun runRetrying(HostCommand c, const std::string& what,
                        const std::vector<fs::path>& leftovers = {}) {
        const int crashesBefore = counts.hostCrashes;
        HostRun run =
            runRetryingHostCrashes(c, kTries, counts, [&](int attempt, HostCommand& next) {
                for (const fs::path& p : leftovers) fs::remove_all(p);
                next.logFile = (root / (what + "-" + std::to_string(attempt) + ".log")).string();
            });
        if (counts.hostCrashes > crashesBefore) {
            std::cout << "ardour: " << what << ": " << counts.hostCrashes - crashesBefore
                      << " runs crashed in Ardour" << std::endl;
        }
        EXPECT_EQ(run.outcome, HostRun::Outcome::Finished) << what << " " << run.describe() << "\n"
                                                           << run.output;
        return run;
    }

    HostRun scan() {
        return runRetrying(command({TK42_ARDOUR_SCANNER, "-f", module.string()}, {}, 60), "scan");
    }

    HostRun lua(const std::string& script, std::vector<std::string> environment,
                const std::string& what, const std::vector<fs::path>& leftovers) {
        environment.push_back("TK42_SESSION_DIR=" + (root / kSession).string());
        environment.push_back(std::string("TK42_SESSION_NAME=") + kSession);
        return runRetrying(
            command({TK42_ARDOUR_LUA, std::string(TK42_LUA_DIR) + "/" + script}, environment, 120),
            what, leftovers);
    }

    // What opening the saved session again and exporting it gave: the seven
    // values the session brought back and the exported mix's levels.
    struct Exported {
        bool ran = false;
        std::vector<double> values;
        double inputPeak = 0, peak = 0, energy = 0;
        uint64_t frames = 0, exportedFrames = 0;
        SessionAudio input;
        std::vector<double> mix;  // the export, interleaved
    };

    // Writes the demo signal (peaking near +6 dBFS) into the saved session
    // as a region on the track, opens the session and exports the mix.
    Exported exportDemo() {
        Exported e;
        DemoSignal demo(4.0);
        SessionAudio audio;
        audio.sampleRate = DemoSignal::kSampleRate;
        for (uint64_t n = 0; n < demo.frames(); ++n) {
            double l, r;
            DemoSignal::frame(n, l, r);
            audio.left.push_back(static_cast<float>(l));
            audio.right.push_back(static_cast<float>(r));
            e.inputPeak = std::max({e.inputPeak, std::fabs(l), std::fabs(r)});
        }
        e.frames = audio.left.size();
        e.input = audio;
        std::string error;
        EXPECT_TRUE(addRegionToTrack((root / kSession).string(), kSession, kTrack, audio, error))
            << error;
        if (!error.empty()) return e;

        const fs::path exported = root / "export/limited.wav";
        HostRun run =
            lua("export_session.lua",
                {"TK42_EXPORT_DIR=" + exported.parent_path().string(), "TK42_EXPORT_NAME=limited",
                 std::string("TK42_EXPORT_PRESET=") + kExportPreset,
                 "TK42_EXPORT_FRAMES=" + std::to_string(audio.left.size())},
                "export", {exported.parent_path()});
        if (run.outcome != HostRun::Outcome::Finished) return e;

        std::smatch printed;
        EXPECT_TRUE(std::regex_search(run.output, printed, std::regex("tk42: parameters ([^\n]*)")))
            << run.output;
        std::istringstream reopened(printed[1].str());
        for (std::string v; std::getline(reopened, v, ',');) e.values.push_back(std::stod(v));

        WavReader reader;
        EXPECT_TRUE(reader.open(exported.string(), error)) << error;
        if (!error.empty()) return e;
        EXPECT_EQ(reader.format().channels, 2);
        e.exportedFrames = reader.frames();
        std::vector<double> block(2 * 4096);
        for (size_t got; (got = reader.read(block.data(), 4096)) > 0;) {
            for (size_t i = 0; i < 2 * got; ++i) {
                e.peak = std::max(e.peak, std::fabs(block[i]));
                e.energy += block[i] * block[i];
            }
            e.mix.insert(e.mix.end(), block.begin(), block.begin() + 2 * got);
        }
        e.ran = true;
        return e;
    }

    // Ardour lines the track up by the latency the plug-in reports: the
    // export is the limiter's output with its look-ahead taken off, bit for
    // bit. Only where the region's fades (64 samples at each end, which the
    // limiter's release carries on for a while) have no part in it: from
    // the second second to a tenth of a second before the end.
    void expectLinedUpOutputOf(LimiterEngine& engine, const Exported& e) {
        engine.setSampleRate(float(e.input.sampleRate));
        std::vector<float> left = e.input.left, right = e.input.right;
        for (size_t at = 0; at < left.size(); at += 512) {
            float* io[2] = {left.data() + at, right.data() + at};
            engine.process(io, io, int32_t(std::min<size_t>(512, left.size() - at)));
        }
        ASSERT_EQ(e.mix.size(), 2 * left.size());
        const size_t delay = size_t(engine.latencySamples());
        size_t different = 0;
        for (size_t n = e.input.sampleRate; n + e.input.sampleRate / 10 < left.size(); ++n) {
            different += e.mix[2 * n] != left[n + delay];
            different += e.mix[2 * n + 1] != right[n + delay];
        }
        EXPECT_EQ(different, 0u) << "the export is not the limiter's output lined up";
    }

    // The VST3 bundle in the user's VST3 folder, indexed by Ardour's VST3
    // scanner (which a session needs before it can find the plug-in).
    HostRun installAndScanVst3() {
        bundle = root / "home/.vst3/TK42R.vst3";
        fs::create_directories(bundle.parent_path());
        fs::copy(TK42_VST3_BUNDLE, bundle, fs::copy_options::recursive);
        pluginFile = bundle / "Contents/x86_64-linux/TK42R.so";
        fs::last_write_time(pluginFile, fs::last_write_time(pluginFile) - std::chrono::minutes(1));
        return runRetrying(command({TK42_ARDOUR_VST3_SCANNER, "-f", bundle.string()}, {}, 60),
                           "scan");
    }

    void expectLimited(const Exported& e) {
        std::cout << "ardour: input peak " << 20 * std::log10(e.inputPeak) << " dBFS, +12 dB gain, "
                  << "exported peak " << 20 * std::log10(e.peak) << " dBFS" << std::endl;
        EXPECT_EQ(e.exportedFrames, e.frames);
        // With the gain, the input goes at least 12 dB over the ceiling.
        EXPECT_GT(e.inputPeak * 4, kCeiling * 4);
        EXPECT_LE(e.peak, kCeiling * (1 + 1e-6)) << "the ceiling did not hold";
        // Limited, not silenced: the loudest moments sit at the ceiling.
        EXPECT_GT(e.peak, kCeiling * 0.9);
        EXPECT_GT(e.energy, 0.0);
    }

    // The opening tag of the plug-in's entry in the scanner's index file with
    // this extension; empty (and the test failed) when there is none.
    std::string scannedElement(const char* extension, const char* tag) {
        std::string index;
        for (const auto& entry : fs::recursive_directory_iterator(root / "cache")) {
            if (entry.path().extension() == extension) index = readFile(entry.path());
        }
        std::smatch info;
        if (index.empty() ||
            !std::regex_search(index, info, std::regex(std::string("<") + tag + "[^>]*>"))) {
            ADD_FAILURE() << "the scanner wrote no " << tag << " index: " << index;
            return {};
        }
        return info[0];
    }

    fs::path root, module, pluginFile, bundle;
    RunCounts counts;
};

TEST_F(ArdourTest, ScannerIndexesNameVendorChannelsAndEditor) {
    scan();
    const std::string element = scannedElement(".v2i", "VST2Info");
    ASSERT_FALSE(element.empty());
    EXPECT_EQ(attribute(element, "name"), "TK42-R Limiter");
    EXPECT_EQ(attribute(element, "creator"), "Falden Murex");
    EXPECT_EQ(attribute(element, "id"), "1414214706");  // 'TK42'
    EXPECT_EQ(attribute(element, "n_inputs"), "2");
    EXPECT_EQ(attribute(element, "n_outputs"), "2");
    EXPECT_EQ(attribute(element, "has_editor"), "1");
    EXPECT_EQ(attribute(element, "is_instrument"), "0");
    EXPECT_EQ(attribute(element, "can_process_replace"), "1");
}

// The plug-in on a stereo track of a saved session: its settings survive
// closing and opening the session (through its state chunk alone), and the
// exported mix of a signal that peaks at +6 dBFS, raised by a further 12 dB,
// never exceeds the -6 dBFS ceiling.
TEST_F(ArdourTest, SessionLimitsRealAudioAndBringsItsParametersBack) {
    if (scan().outcome != HostRun::Outcome::Finished) return;

    std::ostringstream values;
    for (int i = 0; i < 7; ++i) values << (i ? "," : "") << kParameters[i];
    if (lua("create_session.lua", {"TK42_PLUGIN_TYPE=LXVST", "TK42_PARAMETERS=" + values.str()},
            "create", {root / kSession})
            .outcome != HostRun::Outcome::Finished) {
        return;
    }

    const fs::path sessionFile = root / kSession / (std::string(kSession) + ".ardour");
    std::string text = readFile(sessionFile);
    std::smatch chunk;
    ASSERT_TRUE(std::regex_search(text, chunk, std::regex("<chunk[^>]*>([^<]*)</chunk>")));
    const std::vector<uint8_t> state = base64(chunk[1]);
    ASSERT_EQ(state.size(), 28u);
    for (int i = 0; i < 7; ++i) {
        float v;
        std::memcpy(&v, &state[4 * i], 4);
        EXPECT_EQ(v, kParameters[i]) << "parameter " << i << " in the saved chunk";
    }
    // Ardour also writes each parameter's value beside the chunk. Make those
    // wrong: what comes back must have come through the chunk.
    text = std::regex_replace(
        text,
        std::regex("(<Controllable name=\"(Gain|Thresh|Atk H|Rel H|Release|Mode|Show)\"[^>]*"
                   " value=\")[^\"]*\""),
        "$010.125\"");
    writeFile(sessionFile, text);

    const Exported e = exportDemo();
    if (!e.ran) return;
    ASSERT_EQ(e.values.size(), 7u);
    for (int i = 0; i < 7; ++i)
        EXPECT_NEAR(e.values[i], kParameters[i], 1e-7) << "parameter " << i << " after reopening";
    expectLimited(e);
}

#ifdef TK42_LV2_BUNDLE
// The LV2 bundle on the same track: its seven port values (real units) come
// back when the session is opened again, and the exported mix holds the
// ceiling. Ardour compensates the latency the plug-in reports.
TEST_F(ArdourTest, Lv2SessionLimitsRealAudioAndBringsItsPortValuesBack) {
    const fs::path bundle = root / "home/.lv2/tk42r.lv2";
    fs::create_directories(bundle);
    for (const auto& entry : fs::directory_iterator(TK42_LV2_BUNDLE))
        fs::copy_file(entry.path(), bundle / entry.path().filename());
    pluginFile = bundle / "tk42r.so";

    // Gain +12 dB and ceiling -6 dBFS as for the VST 2.4 module, the other
    // five off their defaults.
    const double ports[7] = {12.0, -6.0, 2.5, 300.0, 50.0, 0.0, 1.0};
    std::ostringstream values;
    for (int i = 0; i < 7; ++i) values << (i ? "," : "") << ports[i];
    if (lua("create_session.lua", {"TK42_PLUGIN_TYPE=LV2", "TK42_PARAMETERS=" + values.str()},
            "create", {root / kSession})
            .outcome != HostRun::Outcome::Finished) {
        return;
    }
    const std::string text = readFile(root / kSession / (std::string(kSession) + ".ardour"));
    EXPECT_NE(text.find("urn:faldenmurex:tk42r"), std::string::npos)
        << "not the LV2 in the session";

    const Exported e = exportDemo();
    if (!e.ran) return;
    ASSERT_EQ(e.values.size(), 7u);
    for (int i = 0; i < 7; ++i)
        EXPECT_NEAR(e.values[i], ports[i], 1e-5) << "port " << i << " after reopening";
    expectLimited(e);

    LimiterEngine engine;
    engine.setRealValue(kMode, float(ports[kMode]));
    for (int32_t i = 0; i < kNumParams; ++i) engine.setRealValue(i, float(ports[i]));
    expectLinedUpOutputOf(engine, e);
}
#endif

TEST_F(ArdourTest, Vst3ScannerIndexesNameVendorCategoryAndChannels) {
    installAndScanVst3();
    const std::string element = scannedElement(".v3i", "VST3Info");
    ASSERT_FALSE(element.empty());
    EXPECT_EQ(attribute(element, "name"), "TK42-R Limiter");
    EXPECT_EQ(attribute(element, "vendor"), "Falden Murex");
    EXPECT_EQ(attribute(element, "category"), "Fx|Dynamics");
    EXPECT_EQ(attribute(element, "uid"), "7D3A1C529E4B4F06A1C82E753B9F6D14");
    EXPECT_EQ(attribute(element, "version"), TK42_VERSION_STRING);
    EXPECT_EQ(attribute(element, "n_inputs"), "2");
    EXPECT_EQ(attribute(element, "n_outputs"), "2");
    EXPECT_EQ(attribute(element, "n_aux_inputs"), "0");
    EXPECT_EQ(attribute(element, "n_midi_inputs"), "0");
}

// The VST3 bundle on the same track: the seven values (real units in
// Ardour) come back through the component's 28 bytes alone, the exported
// mix holds the ceiling, and it is the limiter's output lined up by the
// latency the bundle reports.
TEST_F(ArdourTest, Vst3SessionLimitsRealAudioAndBringsItsParametersBack) {
    if (installAndScanVst3().outcome != HostRun::Outcome::Finished) return;

    const bool limit = isLimitMode(kParameters[kMode]);
    double real[7];
    std::ostringstream values;
    values.precision(9);
    for (int i = 0; i < 7; ++i) {
        real[i] = toReal(i, kParameters[i], limit);
        values << (i ? "," : "") << real[i];
    }
    if (lua("create_session.lua", {"TK42_PLUGIN_TYPE=VST3", "TK42_PARAMETERS=" + values.str()},
            "create", {root / kSession})
            .outcome != HostRun::Outcome::Finished) {
        return;
    }

    const fs::path sessionFile = root / kSession / (std::string(kSession) + ".ardour");
    std::string text = readFile(sessionFile);
    std::smatch chunk;
    ASSERT_TRUE(std::regex_search(text, chunk, std::regex("<chunk[^>]*>([^<]*)</chunk>")));
    const std::vector<uint8_t> state = componentState(base64(chunk[1]));
    ASSERT_EQ(state.size(), 28u) << "no component state of 28 bytes in Ardour's chunk";
    float saved[7];
    for (int i = 0; i < 7; ++i) {
        std::memcpy(&saved[i], &state[4 * i], 4);
        // Ardour turned the real value back into the normalised one.
        EXPECT_NEAR(saved[i], kParameters[i], 1e-6) << "parameter " << i << " in the saved chunk";
    }
    // The values Ardour writes beside the chunk made wrong (each range's
    // lowest or below): what comes back must have come through the chunk.
    text = std::regex_replace(text,
                              std::regex("(<Controllable name=\"(Input gain|Ceiling|Limit attack|"
                                         "Limit release|Clip release|Mode|Meter shows)\"[^>]*"
                                         " value=\")[^\"]*\""),
                              "$01-24\"");
    writeFile(sessionFile, text);

    const Exported e = exportDemo();
    if (!e.ran) return;
    ASSERT_EQ(e.values.size(), 7u);
    for (int i = 0; i < 7; ++i) {
        EXPECT_NEAR(e.values[i], real[i], 1e-7 + 1e-6 * std::fabs(real[i]))
            << "parameter " << i << " after reopening";
    }
    expectLimited(e);
    LimiterEngine engine;
    for (int32_t i = 0; i < kNumParams; ++i) engine.setParameter(i, saved[i]);
    expectLinedUpOutputOf(engine, e);
}

}  // namespace
