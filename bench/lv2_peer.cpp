#include "bench/lv2_peer.h"

#include <lv2/atom/atom.h>
#include <lv2/urid/urid.h>

#include <cmath>
#include <cstring>

namespace {

constexpr size_t kAtomCapacity = 8192;

}  // namespace

uint32_t Lv2Peer::mapUri(void* handle, const char* uri) {
    auto* self = static_cast<Lv2Peer*>(handle);
    for (size_t i = 0; i < self->uris.size(); ++i) {
        if (self->uris[i] == uri) return static_cast<uint32_t>(i + 1);
    }
    self->uris.emplace_back(uri);
    return static_cast<uint32_t>(self->uris.size());
}

Lv2Peer::~Lv2Peer() {
    if (instance) {
        lilv_instance_deactivate(instance);
        lilv_instance_free(instance);
    }
    if (world) lilv_world_free(world);
}

bool Lv2Peer::open(const char* uri, double rate, const std::map<std::string, float>& values,
                   std::string& error, const char* bundle) {
    world = lilv_world_new();
    lilv_world_load_all(world);
    if (bundle) {
        LilvNode* bundleNode = lilv_new_file_uri(world, nullptr, bundle);
        lilv_world_load_bundle(world, bundleNode);
        lilv_node_free(bundleNode);
    }
    LilvNode* uriNode = lilv_new_uri(world, uri);
    const LilvPlugin* plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uriNode);
    lilv_node_free(uriNode);
    if (!plugin) {
        error = std::string("LV2 plug-in not installed: ") + uri;
        return false;
    }
    uridMap.handle = this;
    uridMap.map = &Lv2Peer::mapUri;
    mapFeature.URI = LV2_URID__map;
    mapFeature.data = &uridMap;
    const LV2_Feature* features[] = {&mapFeature, nullptr};
    sequenceUrid = mapUri(this, LV2_ATOM__Sequence);
    chunkUrid = mapUri(this, LV2_ATOM__Chunk);

    LilvNode* audio = lilv_new_uri(world, LV2_CORE__AudioPort);
    LilvNode* control = lilv_new_uri(world, LV2_CORE__ControlPort);
    LilvNode* atom = lilv_new_uri(world, LV2_ATOM__AtomPort);
    LilvNode* input = lilv_new_uri(world, LV2_CORE__InputPort);
    const uint32_t count = lilv_plugin_get_num_ports(plugin);
    std::vector<float> mins(count), maxs(count), defaults(count);
    lilv_plugin_get_port_ranges_float(plugin, mins.data(), maxs.data(), defaults.data());
    controls.assign(count, 0.0f);
    atomBuffers.resize(count);
    for (uint32_t i = 0; i < count; ++i) {
        const LilvPort* port = lilv_plugin_get_port_by_index(plugin, i);
        const bool in = lilv_port_is_a(plugin, port, input);
        Port p{Port::other, i};
        if (lilv_port_is_a(plugin, port, audio)) {
            p.kind = in ? Port::audioIn : Port::audioOut;
            (in ? audioIns : audioOuts).push_back(i);
        } else if (lilv_port_is_a(plugin, port, control)) {
            p.kind = in ? Port::controlIn : Port::controlOut;
            const char* symbol = lilv_node_as_string(lilv_port_get_symbol(plugin, port));
            const auto it = values.find(symbol);
            controls[i] =
                it != values.end() ? it->second : (std::isnan(defaults[i]) ? 0.0f : defaults[i]);
        } else if (lilv_port_is_a(plugin, port, atom)) {
            p.kind = in ? Port::atomIn : Port::atomOut;
            atomBuffers[i].assign(kAtomCapacity / 8, 0);
        }
        ports.push_back(p);
    }
    lilv_node_free(audio);
    lilv_node_free(control);
    lilv_node_free(atom);
    lilv_node_free(input);
    if (audioIns.size() != 2 || audioOuts.size() != 2) {
        error = "the peer is not a stereo plug-in";
        return false;
    }
    instance = lilv_plugin_instantiate(plugin, rate, features);
    if (!instance) {
        error = "the peer would not instantiate";
        return false;
    }
    for (const Port& p : ports) {
        if (p.kind == Port::controlIn || p.kind == Port::controlOut) {
            lilv_instance_connect_port(instance, p.index, &controls[p.index]);
        } else if (p.kind == Port::atomIn || p.kind == Port::atomOut) {
            lilv_instance_connect_port(instance, p.index, atomBuffers[p.index].data());
        }
    }
    lilv_instance_activate(instance);
    return true;
}

void Lv2Peer::run(const float* inL, const float* inR, float* outL, float* outR, int frames) {
    for (const Port& p : ports) {
        if (p.kind != Port::atomIn && p.kind != Port::atomOut) continue;
        // An empty input sequence; an output buffer offered at full capacity.
        auto* seq = reinterpret_cast<LV2_Atom_Sequence*>(atomBuffers[p.index].data());
        if (p.kind == Port::atomIn) {
            seq->atom.size = sizeof(LV2_Atom_Sequence_Body);
            seq->atom.type = sequenceUrid;
            seq->body.unit = 0;
            seq->body.pad = 0;
        } else {
            seq->atom.size = kAtomCapacity - sizeof(LV2_Atom);
            seq->atom.type = chunkUrid;
        }
    }
    lilv_instance_connect_port(instance, audioIns[0], const_cast<float*>(inL));
    lilv_instance_connect_port(instance, audioIns[1], const_cast<float*>(inR));
    lilv_instance_connect_port(instance, audioOuts[0], outL);
    lilv_instance_connect_port(instance, audioOuts[1], outR);
    lilv_instance_run(instance, static_cast<uint32_t>(frames));
}
