// A minimal LV2 host for timing a peer plug-in: loads one plug-in by URI with
// lilv, gives it the URID map it requires, sets its control inputs by symbol
// and runs it on in-memory stereo audio.
#pragma once

#include <lilv/lilv.h>
#include <lv2/urid/urid.h>

#include <map>
#include <string>
#include <vector>

class Lv2Peer {
  public:
    Lv2Peer() = default;
    ~Lv2Peer();
    Lv2Peer(const Lv2Peer&) = delete;
    Lv2Peer& operator=(const Lv2Peer&) = delete;

    // False with a message when the plug-in is missing or will not start.
    // A bundle folder (with its trailing slash), if given, is loaded besides
    // the installed ones.
    bool open(const char* uri, double rate, const std::map<std::string, float>& controls,
              std::string& error, const char* bundle = nullptr);
    // One block of at most maxFrames, in place of the plug-in's audio ports.
    void run(const float* inL, const float* inR, float* outL, float* outR, int frames);

    static constexpr int kMaxFrames = 4096;

  private:
    struct Port {
        enum Kind { audioIn, audioOut, controlIn, controlOut, atomIn, atomOut, other } kind;
        uint32_t index;
    };
    static uint32_t mapUri(void* handle, const char* uri);

    LilvWorld* world = nullptr;
    LilvInstance* instance = nullptr;
    std::vector<Port> ports;
    std::vector<float> controls;  // one value per port
    std::vector<uint32_t> audioIns, audioOuts;
    std::vector<std::vector<uint64_t>> atomBuffers;  // 8-byte aligned, per atom port
    std::vector<std::string> uris;                   // the URID map: id = position + 1
    uint32_t sequenceUrid = 0, chunkUrid = 0;
    LV2_URID_Map uridMap{};
    LV2_Feature mapFeature{};
};
