// Writes the bundle's manifest.ttl and tk42r.ttl from the engine's parameter
// table and the port layout: CMake runs it at build time, so that names,
// symbols, units, ranges and defaults can never disagree with the code.
//   tk42_lv2_description BUNDLE_DIR DSP_BINARY UI_BINARY
// Fails (exit 1) when a default, written as text and read back by a host as
// a 32-bit float, would not map to the table's normalised default exactly,
// or an end of a range not to its end.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/limiter_engine.h"
#include "engine/limiter_state.h"
#include "formats/lv2/lv2_ports.h"

namespace {

const char* kPrefixes =
    "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix pprops: <http://lv2plug.in/ns/ext/port-props#> .\n"
    "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
    "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
    "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n\n";

// A Turtle decimal that reads back as this float.
std::string number(double value) {
    char text[64];
    const float f = static_cast<float>(value);
    for (int digits = 6; digits <= 9; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, static_cast<double>(f));
        if (std::strtof(text, nullptr) == f) break;
    }
    std::string s = f == 0.0f ? "0.0" : text;  // never "-0"
    if (s.find_first_of(".e") == std::string::npos) s += ".0";
    return s;
}

bool check(bool ok, const char* what, int32_t index) {
    if (!ok) std::fprintf(stderr, "%s of '%s' does not map back\n", what, kParameterInfo[index].id);
    return ok;
}

std::string unitOf(const ParameterInfo& p) {
    if (std::strcmp(p.unit, "dB") == 0) return "units:unit units:db ;\n";
    if (std::strcmp(p.unit, "ms") == 0) return "units:unit units:ms ;\n";
    if (std::strcmp(p.unit, "dBFS") == 0) {
        return "units:unit [\n"
               "            a units:Unit ;\n"
               "            rdfs:label \"decibels relative to full scale\" ;\n"
               "            units:symbol \"dBFS\" ;\n"
               "            units:render \"%f dBFS\"\n"
               "        ] ;\n";
    }
    return "";
}

std::string audioPort(uint32_t index, bool input, const char* symbol, const char* name) {
    return "    lv2:port [\n        a lv2:AudioPort , lv2:" +
           std::string(input ? "InputPort" : "OutputPort") + " ;\n        lv2:index " +
           std::to_string(index) + " ;\n        lv2:symbol \"" + symbol +
           "\" ;\n        lv2:name \"" + name + "\"\n    ] ;\n";
}

bool controlPort(int32_t index, std::string& out) {
    const ParameterInfo& p = kParameterInfo[index];
    double low = 0, high = 0;
    parameterRange(index, true, low, high);
    const double fallback = toReal(index, p.defaultValue, true);
    // What a host stores: the text read as a float, and what the plug-in
    // makes of it.
    auto mapped = [&](double real) {
        return fromReal(index, std::strtof(number(real).c_str(), nullptr), true);
    };
    bool ok = check(mapped(fallback) == p.defaultValue, "the default", index);
    // The float nearest a time's minimum lies a hair above it, which the
    // cube root of the time laws magnifies (0.1f ms is 1.4e-4 of Release's
    // travel): less than any knob step.
    ok = check(mapped(low) < 1e-3f, "the minimum", index) && ok;
    ok = check(mapped(high) == 1.0f, "the maximum", index) && ok;

    out += "    lv2:port [\n        a lv2:InputPort , lv2:ControlPort ;\n";
    out += "        lv2:index " + std::to_string(lv2port::portOf(index)) + " ;\n";
    out += "        lv2:symbol \"" + std::string(p.id) + "\" ;\n";
    out += "        lv2:name \"" + std::string(p.longName) + "\" ;\n";
    if (index == kRelease) {
        out += "        rdfs:comment \"Up to " + number(high) + " ms in LIMIT mode; in CLIP mode " +
               "values above " + number(toReal(index, 1.0f, false)) + " ms act as " +
               number(toReal(index, 1.0f, false)) + " ms.\" ;\n";
    }
    out += "        lv2:default " + number(fallback) + " ;\n";
    out += "        lv2:minimum " + number(low) + " ;\n";
    out += "        lv2:maximum " + number(high) + " ;\n";
    if (p.law == ParameterLaw::stepped) {
        out += "        lv2:portProperty lv2:integer , lv2:enumeration ;\n";
        for (int k = 0; k < 2; ++k) {
            out += std::string(k ? " ,\n            " : "        lv2:scalePoint ") +
                   "[ rdfs:label \"" + p.stepNames[k] + "\" ; rdf:value " + std::to_string(k) +
                   " ]";
        }
        out += "\n";
    } else {
        if (p.law == ParameterLaw::cubic) out += "        lv2:portProperty pprops:logarithmic ;\n";
        out += "        " + unitOf(p);
    }
    // The last statement of the port ends without a semicolon.
    if (out.size() >= 3 && out.compare(out.size() - 3, 3, " ;\n") == 0)
        out.replace(out.size() - 3, 3, "\n");
    out += "    ] ;\n";
    return ok;
}

bool write(const std::string& path, const std::string& text) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return false;
    }
    const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s BUNDLE_DIR DSP_BINARY UI_BINARY\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1], dsp = argv[2], gui = argv[3];
    const std::string plugin = std::string("<") + lv2port::kPluginUri + ">";
    const std::string ui = std::string("<") + lv2port::kUiUri + ">";

    std::string manifest = kPrefixes;
    manifest += plugin + "\n    a lv2:Plugin ;\n    lv2:binary <" + dsp +
                "> ;\n    rdfs:seeAlso <tk42r.ttl> .\n\n";
    manifest +=
        ui + "\n    a ui:X11UI ;\n    ui:binary <" + gui + "> ;\n    rdfs:seeAlso <tk42r.ttl> .\n";

    std::string t = kPrefixes;
    t += plugin + "\n    a lv2:Plugin , lv2:LimiterPlugin , doap:Project ;\n";
    t += "    doap:name \"TK42-R Limiter\" ;\n";
    t += "    doap:maintainer [ foaf:name \"Falden Murex\" ] ;\n";
    t += "    lv2:minorVersion 2 ;\n    lv2:microVersion 0 ;\n";
    t += "    lv2:optionalFeature lv2:hardRTCapable ;\n";
    t += "    ui:ui " + ui + " ;\n";
    t += audioPort(lv2port::kInLeft, true, "in_l", "Left in");
    t += audioPort(lv2port::kInRight, true, "in_r", "Right in");
    t += audioPort(lv2port::kOutLeft, false, "out_l", "Left out");
    t += audioPort(lv2port::kOutRight, false, "out_r", "Right out");
    bool ok = true;
    for (int32_t i = 0; i < kNumParams; ++i) ok = controlPort(i, t) && ok;
    // The reduction can reach the whole input gain plus the lowest ceiling on
    // a full-scale input; more on louder ones, which hosts only show.
    double gainLow, gainHigh, ceilingLow, ceilingHigh;
    parameterRange(kGain, true, gainLow, gainHigh);
    parameterRange(kThresh, true, ceilingLow, ceilingHigh);
    t += "    lv2:port [\n        a lv2:OutputPort , lv2:ControlPort ;\n";
    t += "        lv2:index " + std::to_string(lv2port::kReduction) + " ;\n";
    t += "        lv2:symbol \"reduction\" ;\n        lv2:name \"Gain reduction\" ;\n";
    t += "        rdfs:comment \"The reduction of the stage the meter shows, once a block.\" ;\n";
    t += "        lv2:minimum 0.0 ;\n        lv2:maximum " + number(gainHigh - ceilingLow) +
         " ;\n        units:unit units:db\n    ] ;\n";
    t += "    lv2:port [\n        a lv2:OutputPort , lv2:ControlPort ;\n";
    t += "        lv2:index " + std::to_string(lv2port::kLatency) + " ;\n";
    t += "        lv2:symbol \"latency\" ;\n        lv2:name \"Latency\" ;\n";
    t += "        rdfs:comment \"The look-ahead: " + std::to_string(kLookAhead) +
         " samples in LIMIT mode, none in CLIP mode.\" ;\n";
    t += "        lv2:designation lv2:latency ;\n";
    t += "        lv2:portProperty lv2:reportsLatency , lv2:integer ;\n";
    t += "        lv2:minimum 0 ;\n        lv2:maximum " + std::to_string(kLookAhead) +
         " ;\n        units:unit units:frame\n    ] .\n\n";

    t += ui + "\n    a ui:X11UI ;\n";
    t += "    lv2:requiredFeature ui:idleInterface , ui:parent ;\n";
    t += "    lv2:optionalFeature ui:touch , ui:resize ;\n";
    t += "    lv2:extensionData ui:idleInterface ;\n";
    t +=
        "    ui:portNotification [\n        ui:plugin " + plugin +
        " ;\n        lv2:symbol \"reduction\" ;\n        ui:notifyType ui:floatProtocol\n    ] .\n";

    if (!ok) return 1;
    return write(dir + "/manifest.ttl", manifest) && write(dir + "/tk42r.ttl", t) ? 0 : 1;
}
