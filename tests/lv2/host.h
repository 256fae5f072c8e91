// A small LV2 host on liblilv for the plugin's tests: loads the bundle from
// the build tree, maps URIDs, connects every port, feeds an atom sequence of
// MIDI and transport events, runs a worker between blocks, and saves and
// restores state.
#pragma once

#include <lilv/lilv.h>
#include <lv2/atom/forge.h>
#include <lv2/midi/midi.h>
#include <lv2/patch/patch.h>
#include <lv2/state/state.h>
#include <lv2/time/time.h>
#include <lv2/urid/urid.h>
#include <lv2/worker/worker.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "engine/rov.h"
#include "lv2/ports.h"

struct lv2_world {
    LilvWorld* world = nullptr;
    const LilvPlugin* plugin = nullptr;
    std::map<std::string, LV2_URID> ids;
    std::vector<std::string> uris{""};
    LV2_URID_Map map{this, [](LV2_URID_Map_Handle h, const char* uri) { return static_cast<lv2_world*>(h)->id(uri); }};
    LV2_URID_Unmap unmap{this, [](LV2_URID_Unmap_Handle h, LV2_URID u) {
                             auto* w = static_cast<lv2_world*>(h);
                             return u < w->uris.size() ? w->uris[u].c_str() : static_cast<const char*>(nullptr);
                         }};

    lv2_world() {
        setenv("LV2_PATH", TESS_BUILD_DIR "/lv2:/usr/lib/lv2", 1);
        world = lilv_world_new();
        lilv_world_load_all(world);
        LilvNode* uri = lilv_new_uri(world, TL_URI);
        plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uri);
        lilv_node_free(uri);
    }
    ~lv2_world() { lilv_world_free(world); }
    LV2_URID id(const char* uri) {
        auto [it, fresh] = ids.emplace(uri, static_cast<LV2_URID>(uris.size()));
        if (fresh) uris.emplace_back(uri);
        return it->second;
    }
};

struct lv2_inst {
    lv2_world& w;
    LilvInstance* inst = nullptr;
    float ctl[tl_nports] = {};
    std::vector<float> left, right;
    alignas(8) uint8_t seq[8192] = {};
    LV2_Atom_Forge forge;
    LV2_Atom_Forge_Frame frame;
    // The worker: requests of a block wait in a buffer made beforehand and
    // are worked off after the block, as a host's worker thread would.
    std::vector<uint8_t> work;
    std::size_t nwork = 0;
    std::vector<uint32_t> worksizes;
    std::size_t nsizes = 0;
    LV2_Worker_Schedule sched{this, [](LV2_Worker_Schedule_Handle h, uint32_t size, const void* data) {
                                  auto* in = static_cast<lv2_inst*>(h);
                                  if (in->nwork + size > in->work.size() || in->nsizes == in->worksizes.size())
                                      return LV2_WORKER_ERR_NO_SPACE;
                                  std::memcpy(in->work.data() + in->nwork, data, size);
                                  in->nwork += size;
                                  in->worksizes[in->nsizes++] = size;
                                  return LV2_WORKER_SUCCESS;
                              }};
    LV2_Feature fmap{LV2_URID__map, &w.map}, funmap{LV2_URID__unmap, &w.unmap}, fsched{LV2_WORKER__schedule, &sched};
    const LV2_Feature* features[4] = {&fmap, &funmap, &fsched, nullptr};

    lv2_inst(lv2_world& world, double rate, uint32_t block) : w(world), left(block), right(block), work(1 << 16), worksizes(64) {
        inst = lilv_plugin_instantiate(w.plugin, rate, features);
        if (!inst) return;
        rov_setting def{};
        rov_default_setting(def);
        for (uint32_t i = 0; i < tl_nports; ++i) {
            ctl[i] = tl_port_default(i, def);
            void* buf = i == tl_p_events ? static_cast<void*>(seq)
                        : i == tl_p_left ? static_cast<void*>(left.data())
                        : i == tl_p_right ? static_cast<void*>(right.data())
                                          : static_cast<void*>(&ctl[i]);
            lilv_instance_connect_port(inst, i, buf);
        }
        lv2_atom_forge_init(&forge, &w.map);
        begin();
        lilv_instance_activate(inst);
    }
    ~lv2_inst() {
        if (!inst) return;
        lilv_instance_deactivate(inst);
        lilv_instance_free(inst);
    }
    // A new (empty) event sequence for the next block.
    void begin() {
        lv2_atom_forge_set_buffer(&forge, seq, sizeof seq);
        lv2_atom_forge_sequence_head(&forge, &frame, 0);
    }
    void midi(uint32_t at, uint8_t a, uint8_t b, uint8_t c = 0) {
        const uint8_t m[3] = {a, b, c};
        lv2_atom_forge_frame_time(&forge, at);
        lv2_atom_forge_atom(&forge, (a & 0xf0) == 0xc0 ? 2 : 3, w.map.map(w.map.handle, LV2_MIDI__MidiEvent));
        lv2_atom_forge_write(&forge, m, (a & 0xf0) == 0xc0 ? 2 : 3);
    }
    void transport(uint32_t at, float speed) {
        LV2_Atom_Forge_Frame f;
        lv2_atom_forge_frame_time(&forge, at);
        lv2_atom_forge_object(&forge, &f, 0, w.map.map(w.map.handle, LV2_TIME__Position));
        lv2_atom_forge_key(&forge, w.map.map(w.map.handle, LV2_TIME__speed));
        lv2_atom_forge_float(&forge, speed);
        lv2_atom_forge_pop(&forge, &f);
    }
    // A patch:Set of one of the plugin's path parameters (`key` is "sample" or "settingFile").
    void patch_set(uint32_t at, const char* key, const std::string& path) {
        LV2_Atom_Forge_Frame f;
        auto id = [this](const char* u) { return w.map.map(w.map.handle, u); };
        lv2_atom_forge_frame_time(&forge, at);
        lv2_atom_forge_object(&forge, &f, 0, id(LV2_PATCH__Set));
        lv2_atom_forge_key(&forge, id(LV2_PATCH__property));
        lv2_atom_forge_urid(&forge, id((std::string(TL_NS) + key).c_str()));
        lv2_atom_forge_key(&forge, id(LV2_PATCH__value));
        lv2_atom_forge_path(&forge, path.c_str(), static_cast<uint32_t>(path.size() + 1));
        lv2_atom_forge_pop(&forge, &f);
    }
    // One block of n frames (n <= block), with the events given since begin().
    void run(uint32_t n) {
        lv2_atom_forge_pop(&forge, &frame);
        lilv_instance_run(inst, n);
        begin();
    }
    // The worker's turn between blocks.
    void do_work() {
        const auto* iface = static_cast<const LV2_Worker_Interface*>(
            lilv_instance_get_extension_data(inst, LV2_WORKER__interface));
        std::size_t at = 0;
        for (std::size_t k = 0; k < nsizes; ++k) {
            iface->work(lilv_instance_get_handle(inst), [](LV2_Worker_Respond_Handle, uint32_t, const void*) {
                return LV2_WORKER_SUCCESS; }, nullptr, worksizes[k], work.data() + at);
            at += worksizes[k];
        }
        nwork = nsizes = 0;
    }
    // `frames` frames in blocks of `block` (the last one shorter), interleaved.
    std::vector<float> render(std::size_t frames, uint32_t block) {
        std::vector<float> out;
        out.reserve(2 * frames);
        while (out.size() < 2 * frames) {
            const auto n = static_cast<uint32_t>(std::min<std::size_t>(block, frames - out.size() / 2));
            run(n);
            do_work();
            for (uint32_t i = 0; i < n; ++i) {
                out.push_back(left[i]);
                out.push_back(right[i]);
            }
        }
        return out;
    }
};
