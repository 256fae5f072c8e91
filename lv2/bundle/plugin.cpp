// The LV2 entry of the instrument: ports, MIDI and transport, the session
// state, and the worker that builds instruments off the audio thread.
//
// run() renders with the instrument it holds. Anything that needs a new
// instrument (another row, a sample or setting file, a restored session) is
// built by the worker or by restore() and handed over through `pending`;
// run() takes it at the start of a block and hands the old one back through
// `retired`, which the builders free. run() itself never allocates, locks or
// does I/O.
#include <lv2/atom/atom.h>
#include <lv2/atom/util.h>
#include <lv2/core/lv2.h>
#include <lv2/log/log.h>
#include <lv2/midi/midi.h>
#include <lv2/patch/patch.h>
#include <lv2/state/state.h>
#include <lv2/time/time.h>
#include <lv2/urid/urid.h>
#include <lv2/worker/worker.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cmath>
#include <cstring>
#include <mutex>
#include <new>
#include <string>
#include <vector>

#include "files/setting_file.h"
#include "files/wavload.h"
#include "lv2/ports.h"
#include "lv2/synth.h"

namespace {

struct urids {
    LV2_URID atom_Blank, atom_Object, atom_Float, atom_Double, atom_Int, atom_Long, atom_Path, atom_Chunk, atom_URID;
    LV2_URID midi_Event, time_Position, time_speed, patch_Set, patch_property, patch_value;
    LV2_URID st_setting, st_options, st_sample, p_sample, p_setting;
};

// A request to the worker: build an instrument from this configuration (the
// setting and options as the block left them), with a new row, a sample file
// or a setting file; or free what run() has given back.
enum tl_job : uint32_t { tl_job_row, tl_job_sample, tl_job_setting, tl_job_free };
struct tl_work {
    uint32_t job;
    int32_t row;
    uint8_t setting[rov_setting_bytes];
    uint8_t options[tl_options_bytes];
    char path[1024];
};

struct tl_plugin {
    double rate = 0;
    LV2_URID_Map* map = nullptr;
    LV2_Worker_Schedule* schedule = nullptr;
    LV2_Log_Log* log = nullptr;  // nullptr: the host has no log; messages go to stderr
    LV2_URID log_error = 0;
    urids u{};

    const LV2_Atom_Sequence* events = nullptr;
    float* out[2] = {};
    const float* ctl[tl_nports] = {};

    tl_synth* cur = nullptr;
    std::atomic<tl_synth*> pending{nullptr};
    // Instruments run() has given back, for the builders to free.
    static constexpr int nretired = 4;
    std::atomic<tl_synth*> retired[nretired] = {};
    // Builders (the worker, restore) take turns; run() never waits on it.
    std::mutex build;
    std::shared_ptr<const fi_sample> sample;  // the sample of the newest build (under `build`)

    float last[tl_nports] = {};  // the control values as the last block applied them
    bool seen = false;           // `last` holds them (not before the first block after a build)
    bool awaiting = false;       // a build of another row is asked for: an instrument not started yet waits for it
    int want_row = 0;            // the row asked for while `awaiting`
    tl_work msg{};               // the request being prepared in run()

    ~tl_plugin() {
        delete cur;
        delete pending.load();
        for (auto& r : retired) delete r.load();
    }
};

// A message for the user, through the host's log (never from run()).
void say(const tl_plugin& p, const std::string& text) {
    if (p.log)
        p.log->printf(p.log->handle, p.log_error, "tessellon: %s\n", text.c_str());
    else
        std::fprintf(stderr, "tessellon: %s\n", text.c_str());
}

// The new instrument goes to run() through `pending`; what run() gave back
// is freed first. Caller holds p.build.
void free_retired(tl_plugin& p) {
    for (auto& r : p.retired) delete r.exchange(nullptr);
}

void hand_over(tl_plugin& p, tl_synth* s) {
    free_retired(p);
    delete p.pending.exchange(s);
}

// run(): the old instrument into a free slot of `retired`; false when none is free.
bool give_back(tl_plugin& p, tl_synth* old) {
    for (auto& r : p.retired) {
        tl_synth* none = nullptr;
        if (r.compare_exchange_strong(none, old)) return true;
    }
    return false;
}

tl_synth* build(tl_plugin& p, const tl_config& c) {
    try {
        p.sample = c.sample;
        return new tl_synth(c, p.rate);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

LV2_Handle instantiate(const LV2_Descriptor*, double rate, const char*, const LV2_Feature* const* features) {
    LV2_URID_Map* map = nullptr;
    LV2_Worker_Schedule* schedule = nullptr;
    LV2_Log_Log* log = nullptr;
    for (int i = 0; features && features[i]; ++i) {
        if (!std::strcmp(features[i]->URI, LV2_LOG__log)) log = static_cast<LV2_Log_Log*>(features[i]->data);
        if (!std::strcmp(features[i]->URI, LV2_URID__map)) map = static_cast<LV2_URID_Map*>(features[i]->data);
        if (!std::strcmp(features[i]->URI, LV2_WORKER__schedule))
            schedule = static_cast<LV2_Worker_Schedule*>(features[i]->data);
    }
    if (!map || !(rate >= 1000 && rate <= 768000)) return nullptr;
    auto* p = new (std::nothrow) tl_plugin;
    if (!p) return nullptr;
    p->rate = rate;
    p->map = map;
    p->schedule = schedule;
    p->log = log;
    p->log_error = map->map(map->handle, LV2_LOG__Error);
    urids& u = p->u;
    auto m = [map](const char* uri) { return map->map(map->handle, uri); };
    u.atom_Blank = m(LV2_ATOM__Blank);
    u.atom_Object = m(LV2_ATOM__Object);
    u.atom_Float = m(LV2_ATOM__Float);
    u.atom_Double = m(LV2_ATOM__Double);
    u.atom_Int = m(LV2_ATOM__Int);
    u.atom_Long = m(LV2_ATOM__Long);
    u.atom_Path = m(LV2_ATOM__Path);
    u.atom_Chunk = m(LV2_ATOM__Chunk);
    u.atom_URID = m(LV2_ATOM__URID);
    u.midi_Event = m(LV2_MIDI__MidiEvent);
    u.time_Position = m(LV2_TIME__Position);
    u.time_speed = m(LV2_TIME__speed);
    u.patch_Set = m(LV2_PATCH__Set);
    u.patch_property = m(LV2_PATCH__property);
    u.patch_value = m(LV2_PATCH__value);
    u.st_setting = m(TL_NS "setting");
    u.st_options = m(TL_NS "options");
    u.st_sample = m(TL_NS "sampleData");
    u.p_sample = m(TL_NS "sample");
    u.p_setting = m(TL_NS "settingFile");
    const tl_config def = tl_default_config();
    p->cur = build(*p, def);
    if (!p->cur) {
        delete p;
        return nullptr;
    }
    // The first block applies every port the host has set away from its default.
    for (uint32_t i = 0; i < tl_nports; ++i) p->last[i] = tl_port_default(i, def.setting);
    p->seen = true;
    return p;
}

void connect_port(LV2_Handle h, uint32_t port, void* data) {
    auto* p = static_cast<tl_plugin*>(h);
    if (port >= tl_nports) return;
    if (port == tl_p_events)
        p->events = static_cast<const LV2_Atom_Sequence*>(data);
    else if (port == tl_p_left || port == tl_p_right)
        p->out[port - tl_p_left] = static_cast<float*>(data);
    else
        p->ctl[port] = static_cast<const float*>(data);
}

int whole(float v) { return std::isfinite(v) ? static_cast<int>(std::lround(std::clamp(v, -1e6f, 1e6f))) : 0; }

// The request for a build from what the block has now.
tl_work& request(tl_plugin& p, tl_job job) {
    tl_work& w = p.msg;
    w.job = job;
    // A build asked for after another row was: that row.
    w.row = p.awaiting ? p.want_row : p.cur->row();
    p.cur->setting_bytes(w.setting);
    p.cur->options_bytes(w.options);
    w.path[0] = '\0';
    return w;
}

void send(tl_plugin& p, const tl_work& w) {
    if (p.schedule) p.schedule->schedule_work(p.schedule->handle, sizeof w, &w);
}

// The control ports: each value the host changed since the last block.
void apply_controls(tl_plugin& p) {
    tl_synth& s = *p.cur;
    if (!p.seen) {
        for (uint32_t i = tl_p_row; i < tl_nports; ++i) p.last[i] = p.ctl[i] ? *p.ctl[i] : 0.0f;
        p.seen = true;
        return;
    }
    bool opts = false;
    for (uint32_t i = tl_p_row; i < tl_nports; ++i) {
        if (!p.ctl[i]) continue;
        const float v = *p.ctl[i];
        if (v == p.last[i]) continue;
        p.last[i] = v;
        const tl_port& d = tl_ports[i];
        switch (d.kind) {
        case tl_port_row:
            if (whole(v) != s.row() && whole(v) >= 0 && whole(v) < rov_natab) {
                tl_work& w = request(p, tl_job_row);
                w.row = whole(v);
                send(p, w);
                p.awaiting = p.schedule != nullptr;
                p.want_row = w.row;
            }
            break;
        case tl_port_set: s.select_set(whole(v)); break;
        case tl_port_slot: s.set_slot(d.slot, whole(v)); break;
        case tl_port_saw: s.set_saw(v >= 0.5f); break;
        default: opts = true; break;
        }
    }
    if (opts) {
        const float* t = p.ctl[tl_nports - 3];
        const float* e = p.ctl[tl_nports - 2];
        const float* v = p.ctl[tl_nports - 1];
        s.set_options(e && *e >= 0.5f, t && *t >= 0.5f, v ? whole(*v) : 8);
    }
}

// A slot from a control change's 0..127: its lowest to its highest value.
void midi_cc(tl_synth& s, int slot, int value) {
    int low = 0, high = 0;
    s.slot_range(slot, low, high);
    s.set_slot(slot, low + ((high - low) * value + 63) / 127);
}

void midi(tl_synth& s, const uint8_t* m, uint32_t size) {
    if (size < 2) return;
    switch (lv2_midi_message_type(m)) {
    case LV2_MIDI_MSG_PGM_CHANGE:
        if (m[1] <= 9) s.select_set(m[1]);
        break;
    case LV2_MIDI_MSG_CONTROLLER:
        if (size >= 3 && m[1] >= tl_cc_first && m[1] < tl_cc_first + rov_nparams) midi_cc(s, m[1] - tl_cc_first, m[2] & 0x7f);
        break;
    default: break;
    }
}

const LV2_Atom* object_get(const LV2_Atom_Object* obj, LV2_URID key) {
    const LV2_Atom* v = nullptr;
    lv2_atom_object_get(obj, key, &v, 0);
    return v;
}

void event(tl_plugin& p, const LV2_Atom_Event* ev) {
    const urids& u = p.u;
    if (ev->body.type == u.midi_Event) {
        midi(*p.cur, reinterpret_cast<const uint8_t*>(ev + 1), ev->body.size);
        return;
    }
    if (ev->body.type != u.atom_Object && ev->body.type != u.atom_Blank) return;
    const auto* obj = reinterpret_cast<const LV2_Atom_Object*>(&ev->body);
    if (obj->body.otype == u.time_Position) {
        // The host's transport: stopped holds the tones as Pause does.
        const LV2_Atom* speed = object_get(obj, u.time_speed);
        if (speed && speed->type == u.atom_Float) p.cur->pause(reinterpret_cast<const LV2_Atom_Float*>(speed)->body == 0.0f);
        if (speed && speed->type == u.atom_Double) p.cur->pause(reinterpret_cast<const LV2_Atom_Double*>(speed)->body == 0.0);
        return;
    }
    if (obj->body.otype == u.patch_Set) {
        const LV2_Atom* prop = object_get(obj, u.patch_property);
        const LV2_Atom* value = object_get(obj, u.patch_value);
        if (!prop || prop->type != u.atom_URID || !value || value->type != u.atom_Path) return;
        const LV2_URID key = reinterpret_cast<const LV2_Atom_URID*>(prop)->body;
        if (key != u.p_sample && key != u.p_setting) return;
        tl_work& w = request(p, key == u.p_sample ? tl_job_sample : tl_job_setting);
        if (value->size == 0 || value->size > sizeof w.path) return;  // not a path this plugin can take
        std::memcpy(w.path, value + 1, value->size);
        w.path[value->size - 1] = '\0';
        send(p, w);
    }
}

void run(LV2_Handle h, uint32_t n) {
    auto* p = static_cast<tl_plugin*>(h);
    // A build is ready: the old instrument goes back to the builders (if
    // they have not freed what they got back before, the build waits a block).
    if (p->pending.load() && give_back(*p, p->cur)) {
        p->cur = p->pending.exchange(nullptr);
        p->seen = false;
        p->awaiting = false;
        if (p->schedule) {
            tl_work& w = p->msg;
            w.job = tl_job_free;
            p->schedule->schedule_work(p->schedule->handle, sizeof w.job, &w.job);
        }
    }
    apply_controls(*p);
    float* l = p->out[0];
    float* r = p->out[1];
    // The host chose another row before the first block: silence until it is built.
    const bool silent = p->awaiting && !p->cur->started();
    auto play = [p, l, r, silent](uint32_t from, uint32_t to) {
        if (!l || !r || to <= from) return;
        if (silent)
            for (uint32_t i = from; i < to; ++i) l[i] = r[i] = 0.0f;
        else
            p->cur->render(l + from, r + from, to - from);
    };
    uint32_t at = 0;
    if (p->events) {
        LV2_ATOM_SEQUENCE_FOREACH(p->events, ev) {
            const auto t = static_cast<uint32_t>(std::clamp<int64_t>(ev->time.frames, at, n));
            play(at, t);
            at = t;
            event(*p, ev);
        }
    }
    play(at, n);
}

LV2_Worker_Status work(LV2_Handle h, LV2_Worker_Respond_Function, LV2_Worker_Respond_Handle, uint32_t size,
                       const void* data) {
    auto* p = static_cast<tl_plugin*>(h);
    std::lock_guard<std::mutex> lock(p->build);
    if (size >= sizeof(uint32_t) && *static_cast<const uint32_t*>(data) == tl_job_free) {
        free_retired(*p);
        return LV2_WORKER_SUCCESS;
    }
    if (size != sizeof(tl_work)) return LV2_WORKER_ERR_UNKNOWN;
    tl_work w;
    std::memcpy(&w, data, sizeof w);
    tl_config c;
    rov_setting_read(c.setting, w.setting);
    if (!tl_options_read(c, w.options)) return LV2_WORKER_ERR_UNKNOWN;
    c.row = w.row;
    c.sample = p->sample;
    w.path[sizeof w.path - 1] = '\0';
    if (w.job == tl_job_sample) {
        auto smp = std::make_shared<fi_sample>();
        std::vector<fi_filemsg> msgs;
        // The capacity the program gives a sample.
        if (fi_sample_load(w.path, wv_options{}.bufszorig, *smp, msgs) != fi_wav::loaded) {
            std::string why;
            for (const fi_filemsg& m : msgs) why += "; " + m.text;
            say(*p, std::string("cannot load the sample '") + w.path + "'" + (why.empty() ? ": " + std::string(std::strerror(errno)) : why) +
                        "; the instrument plays on as it was");
            return LV2_WORKER_ERR_UNKNOWN;
        }
        c.sample = smp;
    } else if (w.job == tl_job_setting) {
        if (fi_setting_read(w.path, c.setting) != fi_read::ok) {
            say(*p, std::string("cannot load '") + w.path + "': not a setting file of 672 bytes; the instrument plays on as it was");
            return LV2_WORKER_ERR_UNKNOWN;
        }
        c.row = -1;  // the setting's own row
    }
    tl_synth* s = build(*p, c);
    if (!s) {
        say(*p, "no memory for the instrument; it plays on as it was");
        return LV2_WORKER_ERR_NO_SPACE;
    }
    hand_over(*p, s);
    return LV2_WORKER_SUCCESS;
}

LV2_Worker_Status work_response(LV2_Handle, uint32_t, const void*) { return LV2_WORKER_SUCCESS; }

LV2_State_Status save(LV2_Handle h, LV2_State_Store_Function store, LV2_State_Handle sh, uint32_t,
                      const LV2_Feature* const*) {
    auto* p = static_cast<tl_plugin*>(h);
    std::lock_guard<std::mutex> lock(p->build);
    // The newest build is what the session holds (one waiting for its block
    // included). A host that saves while blocks run may get a slot moved in
    // the block being rendered, or not: each value is whole (16-bit words).
    const tl_synth* s = p->pending.load();
    if (!s) s = p->cur;
    const tl_config c = s->config();
    uint8_t setting[rov_setting_bytes];
    rov_setting_write(c.setting, setting);
    uint8_t options[tl_options_bytes];
    tl_options_write(c, options);
    const uint32_t flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
    LV2_State_Status st = store(sh, p->u.st_setting, setting, sizeof setting, p->u.atom_Chunk, flags);
    if (st == LV2_STATE_SUCCESS) st = store(sh, p->u.st_options, options, sizeof options, p->u.atom_Chunk, flags);
    if (st == LV2_STATE_SUCCESS && c.sample) {
        const std::string b = tl_sample_bytes(*c.sample);
        st = store(sh, p->u.st_sample, b.data(), b.size(), p->u.atom_Chunk, flags);
    }
    return st;
}

// Safe while blocks run (state:threadSafeRestore): the new instrument is
// handed over like the worker's.
LV2_State_Status restore(LV2_Handle h, LV2_State_Retrieve_Function retrieve, LV2_State_Handle sh, uint32_t,
                         const LV2_Feature* const*) {
    auto* p = static_cast<tl_plugin*>(h);
    size_t size = 0;
    uint32_t type = 0, flags = 0;
    tl_config c;
    const void* v = retrieve(sh, p->u.st_setting, &size, &type, &flags);
    if (!v || size != rov_setting_bytes) {
        say(*p, "the saved state holds no setting of 672 bytes; the instrument plays on as it was");
        return LV2_STATE_ERR_NO_PROPERTY;
    }
    rov_setting_read(c.setting, static_cast<const uint8_t*>(v));
    v = retrieve(sh, p->u.st_options, &size, &type, &flags);
    if (v && (size != tl_options_bytes || !tl_options_read(c, static_cast<const uint8_t*>(v)))) {
        say(*p, "the saved state's options are damaged; the instrument plays on as it was");
        return LV2_STATE_ERR_BAD_TYPE;
    }
    v = retrieve(sh, p->u.st_sample, &size, &type, &flags);
    if (v) {
        auto smp = std::make_shared<fi_sample>();
        if (!tl_sample_from_bytes(v, size, *smp)) {
            say(*p, "the saved state's sample is damaged; the instrument plays on as it was");
            return LV2_STATE_ERR_BAD_TYPE;
        }
        c.sample = smp;
    }
    std::lock_guard<std::mutex> lock(p->build);
    tl_synth* s = build(*p, c);
    if (!s) return LV2_STATE_ERR_UNKNOWN;
    hand_over(*p, s);
    return LV2_STATE_SUCCESS;
}

void cleanup(LV2_Handle h) { delete static_cast<tl_plugin*>(h); }

const void* extension_data(const char* uri) {
    static const LV2_State_Interface state = {save, restore};
    static const LV2_Worker_Interface worker = {work, work_response, nullptr};
    if (!std::strcmp(uri, LV2_STATE__interface)) return &state;
    if (!std::strcmp(uri, LV2_WORKER__interface)) return &worker;
    return nullptr;
}

const LV2_Descriptor descriptor = {TL_URI, instantiate, connect_port, nullptr, run, nullptr, cleanup, extension_data};

}  // namespace

extern "C" __attribute__((visibility("default"))) const LV2_Descriptor* lv2_descriptor(uint32_t index) {
    return index == 0 ? &descriptor : nullptr;
}
