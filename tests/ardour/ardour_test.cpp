// The Linux modules inside a real host that nobody here wrote: Ardour 7's
// plug-in scanners, and a headless session on the dummy audio backend that
// plays real audio through the plug-in, exports it, and is saved and opened
// again. Every test runs for the VST 2.4 module and for the VST3 bundle.
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

#include "engine/parameters.h"
#include "tests/ardour/host_process.h"
#include "tests/ardour/session_audio.h"
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

// What differs between the two formats in Ardour.
struct Format {
    const char* name;
    const char* product;       // the module file, or the bundle folder
    const char* installed;     // where in the home it goes
    const char* pathVariable;  // the variable that tells Ardour that folder
    const char* scanner;
    const char* index;  // the scanner's index: file extension and element
    const char* indexElement;
    const char* pluginType;  // ARDOUR.PluginType
    const char* moduleFile;  // the binary, inside the installed path
    bool plainValues;        // Ardour's controls in the plug-in's real units
    const char* controllableNames;
};

const Format kVst2{"VST2",
                   TK42_PRODUCT_MODULE,
                   ".lxvst/TK42R.so",
                   "LXVST_PATH",
                   TK42_ARDOUR_SCANNER,
                   ".v2i",
                   "VST2Info",
                   "LXVST",
                   "",
                   false,
                   "Gain|Thresh|Atk H|Rel H|Release|Mode|Show"};
const Format kVst3{"VST3",
                   TK42_VST3_BUNDLE,
                   ".vst3/TK42R.vst3",
                   "VST3_PATH",
                   TK42_ARDOUR_VST3_SCANNER,
                   ".v3i",
                   "VST3Info",
                   "VST3",
                   "Contents/x86_64-linux/TK42R.so",
                   true,
                   "Input gain|Ceiling|Limit attack|Limit release|Clip release|Mode|Meter shows"};

// Test names say the format, not the parameter's address.
void PrintTo(const Format* format, std::ostream* out) {
    *out << format->name;
}

// The value Ardour shows and takes for parameter i: the normalised value for
// VST 2.4, the real value for VST3.
double hostValue(const Format& format, int i) {
    if (!format.plainValues) return kParameters[i];
    return toReal(i, kParameters[i], isLimitMode(kParameters[kMode]));
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
class ArdourTest : public ::testing::TestWithParam<const Format*> {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/tk42-ardour-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
        installed = root / "home" / format().installed;
        fs::create_directories(installed.parent_path());
        fs::copy(format().product, installed, fs::copy_options::recursive);
        module = *format().moduleFile ? installed / format().moduleFile : installed;
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
        c.environment = {
            "HOME=" + (root / "home").string(),
            "XDG_CONFIG_HOME=" + (root / "config").string(),
            "XDG_CACHE_HOME=" + (root / "cache").string(),
            "XDG_DATA_HOME=" + (root / "data").string(),
            std::string(format().pathVariable) + "=" + installed.parent_path().string(),
            "LD_LIBRARY_PATH=" + std::string(TK42_ARDOUR_LIBS)};
        c.environment.insert(c.environment.end(), extra.begin(), extra.end());
        c.crashReporter = TK42_CRASH_REPORTER;
        c.pluginFile = module.string();
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
        return runRetrying(command({format().scanner, "-f", installed.string()}, {}, 60), "scan");
    }

    HostRun lua(const std::string& script, std::vector<std::string> environment,
                const std::string& what, const std::vector<fs::path>& leftovers) {
        environment.push_back("TK42_SESSION_DIR=" + (root / kSession).string());
        environment.push_back(std::string("TK42_SESSION_NAME=") + kSession);
        environment.push_back(std::string("TK42_PLUGIN_TYPE=") + format().pluginType);
        return runRetrying(
            command({TK42_ARDOUR_LUA, std::string(TK42_LUA_DIR) + "/" + script}, environment, 120),
            what, leftovers);
    }

    static const Format& format() { return *GetParam(); }

    fs::path root, installed, module;
    RunCounts counts;
};

TEST_P(ArdourTest, ScannerIndexesNameVendorAndChannels) {
    scan();
    std::string index;
    for (const auto& entry : fs::recursive_directory_iterator(root / "cache")) {
        if (entry.path().extension() == format().index) index = readFile(entry.path());
    }
    ASSERT_FALSE(index.empty()) << "the scanner wrote no index";
    std::smatch info;
    ASSERT_TRUE(std::regex_search(index, info,
                                  std::regex(std::string("<") + format().indexElement + "[^>]*>")))
        << index;
    const std::string element = info[0];
    EXPECT_EQ(attribute(element, "name"), "TK42-R Limiter");
    EXPECT_EQ(attribute(element, "n_inputs"), "2");
    EXPECT_EQ(attribute(element, "n_outputs"), "2");
    if (format().plainValues) {
        EXPECT_EQ(attribute(element, "vendor"), "Falden Murex");
        EXPECT_EQ(attribute(element, "category"), "Fx|Dynamics");
        EXPECT_EQ(attribute(element, "uid"), "7D3A1C529E4B4F06A1C82E753B9F6D14");
        EXPECT_EQ(attribute(element, "version"), "2.0.0");
        EXPECT_EQ(attribute(element, "n_aux_inputs"), "0");
        EXPECT_EQ(attribute(element, "n_midi_inputs"), "0");
    } else {
        EXPECT_EQ(attribute(element, "creator"), "Falden Murex");
        EXPECT_EQ(attribute(element, "id"), "1414214706");  // 'TK42'
        EXPECT_EQ(attribute(element, "has_editor"), "1");
        EXPECT_EQ(attribute(element, "is_instrument"), "0");
        EXPECT_EQ(attribute(element, "can_process_replace"), "1");
    }
}

// The plug-in on a stereo track of a saved session: its settings survive
// closing and opening the session (through its state chunk alone), and the
// exported mix of a signal that peaks at +6 dBFS, raised by a further 12 dB,
// never exceeds the -6 dBFS ceiling.
TEST_P(ArdourTest, SessionLimitsRealAudioAndBringsItsParametersBack) {
    if (scan().outcome != HostRun::Outcome::Finished) return;

    std::ostringstream values;
    values.precision(9);
    for (int i = 0; i < 7; ++i) values << (i ? "," : "") << hostValue(format(), i);
    if (lua("create_session.lua", {"TK42_PARAMETERS=" + values.str()}, "create", {root / kSession})
            .outcome != HostRun::Outcome::Finished) {
        return;
    }

    const fs::path sessionFile = root / kSession / (std::string(kSession) + ".ardour");
    std::string text = readFile(sessionFile);
    std::smatch chunk;
    ASSERT_TRUE(std::regex_search(text, chunk, std::regex("<chunk[^>]*>([^<]*)</chunk>")));
    std::vector<uint8_t> state = base64(chunk[1]);
    if (format().plainValues) state = componentState(state);
    ASSERT_EQ(state.size(), 28u);
    for (int i = 0; i < 7; ++i) {
        float v;
        std::memcpy(&v, &state[4 * i], 4);
        // VST3: Ardour turned the real value back into the normalised one.
        EXPECT_NEAR(v, kParameters[i], format().plainValues ? 1e-6 : 0.0)
            << "parameter " << i << " in the saved chunk";
    }
    // Ardour also writes each parameter's value beside the chunk. Make those
    // wrong (each range's lowest value or below): what comes back must have
    // come through the chunk.
    text = std::regex_replace(
        text,
        std::regex(std::string("(<Controllable name=\"(") + format().controllableNames +
                   ")\"[^>]*"
                   " value=\")[^\"]*\""),
        format().plainValues ? "$01-24\"" : "$010.125\"");
    writeFile(sessionFile, text);

    DemoSignal demo(4.0);
    SessionAudio audio;
    audio.sampleRate = DemoSignal::kSampleRate;
    double inputPeak = 0;
    for (uint64_t n = 0; n < demo.frames(); ++n) {
        double l, r;
        DemoSignal::frame(n, l, r);
        audio.left.push_back(static_cast<float>(l));
        audio.right.push_back(static_cast<float>(r));
        inputPeak = std::max({inputPeak, std::fabs(l), std::fabs(r)});
    }
    std::string error;
    ASSERT_TRUE(addRegionToTrack((root / kSession).string(), kSession, kTrack, audio, error))
        << error;

    const fs::path exported = root / "export/limited.wav";
    HostRun run =
        lua("export_session.lua",
            {"TK42_EXPORT_DIR=" + exported.parent_path().string(), "TK42_EXPORT_NAME=limited",
             std::string("TK42_EXPORT_PRESET=") + kExportPreset,
             "TK42_EXPORT_FRAMES=" + std::to_string(audio.left.size())},
            "export", {exported.parent_path()});
    if (run.outcome != HostRun::Outcome::Finished) return;

    std::smatch printed;
    ASSERT_TRUE(std::regex_search(run.output, printed, std::regex("tk42: parameters ([^\n]*)")))
        << run.output;
    std::istringstream reopened(printed[1].str());
    for (int i = 0; i < 7; ++i) {
        std::string v;
        std::getline(reopened, v, ',');
        const double expected = hostValue(format(), i);
        EXPECT_NEAR(std::stod(v), expected, 1e-7 + 1e-6 * std::fabs(expected))
            << "parameter " << i << " after reopening";
    }

    WavReader reader;
    ASSERT_TRUE(reader.open(exported.string(), error)) << error;
    ASSERT_EQ(reader.format().channels, 2);
    EXPECT_EQ(reader.frames(), audio.left.size());
    double peak = 0, energy = 0;
    std::vector<double> block(2 * 4096);
    for (size_t got; (got = reader.read(block.data(), 4096)) > 0;) {
        for (size_t i = 0; i < 2 * got; ++i) {
            peak = std::max(peak, std::fabs(block[i]));
            energy += block[i] * block[i];
        }
    }
    std::cout << "ardour: input peak " << 20 * std::log10(inputPeak) << " dBFS, +12 dB gain, "
              << "exported peak " << 20 * std::log10(peak) << " dBFS" << std::endl;
    // With the gain, the input goes at least 12 dB over the ceiling.
    EXPECT_GT(inputPeak * 4, kCeiling * 4);
    EXPECT_LE(peak, kCeiling * (1 + 1e-6)) << "the ceiling did not hold";
    // Limited, not silenced: the loudest moments sit at the ceiling.
    EXPECT_GT(peak, kCeiling * 0.9);
    EXPECT_GT(energy, 0.0);
}

INSTANTIATE_TEST_SUITE_P(Formats, ArdourTest, ::testing::Values(&kVst2, &kVst3),
                         [](const ::testing::TestParamInfo<const Format*>& info) {
                             return std::string(info.param->name);
                         });

}  // namespace
