// The rows of the options table (audio/options.h).
#include "audio/options.h"

#include <array>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <type_traits>

#include "audio/blowup.h"
#include "audio/refill.h"
#include "files/setup_file.h"
#include "player/fuzz.h"
#include "player/vis.h"

namespace {

// The value of option field M, and setting it.
template <auto M>
constexpr int get(const wv_options& o) {
    return static_cast<int>(o.*M);
}
template <auto M>
void set(wv_options& o, int v) {
    using T = std::remove_cvref_t<decltype(o.*M)>;
    if constexpr (std::is_same_v<T, bool>)
        o.*M = v != 0;
    else
        o.*M = static_cast<T>(v);
}

// The setup file's field F.
template <auto F>
long stored(const fi_setup& f) {
    return static_cast<long>(f.*F);
}
template <auto F>
void store(fi_setup& f, int v) {
    f.*F = static_cast<std::remove_cvref_t<decltype(f.*F)>>(v);
}

// The buffer size takes its loop step with it, and a loaded size loses its
// low ten bits.
void set_bufsize(wv_options& o, int v) {
    o.bufszorig = v & ~1023;
    o.bufincr = wv_bufincr(o.bufszorig);
}

// "Mono 8 bit" is on while stereo is off; it goes off only on a device that
// plays 16-bit stereo.
constexpr int get_mono8(const wv_options& o) { return o.stereoset ? 0 : 1; }
void set_mono8(wv_options& o, int v) {
    if (v)
        o.stereoset = false;
    else if (o.stereo16)
        o.stereoset = true;
}

// The latency is stored only when it is not the default: a default setup
// stays the 42 bytes that every version reads alike.
void store_latency(fi_setup& f, int v) { f.latency = static_cast<int16_t>(v != wv_latency_default_ms ? v : 0); }

// A row: the parts every kind has; the rest is filled in per kind below.
// The default is the value of a default wv_options.
constexpr wv_optdesc row(const char* key, wv_optkind kind, int (*g)(const wv_options&), void (*s)(wv_options&, int),
                         int lo, int hi) {
    wv_optdesc d{};
    d.key = key;
    d.kind = kind;
    d.get = g;
    d.set = s;
    d.lo = lo;
    d.hi = hi;
    d.def = g(wv_options{});
    d.unit = 1;
    return d;
}

constexpr wv_optdesc with_menu(wv_optdesc d, int id, const char* text) {
    d.menu_id = id;
    d.menu = text;
    return d;
}

// `c`: an array of the choices.
template <class C>
constexpr wv_optdesc with_choices(wv_optdesc d, int first_id, const char* popup, const C& c) {
    d.menu_id = first_id;
    d.menu = popup;
    d.choices = std::data(c);
    d.nchoices = static_cast<int>(std::size(c));
    return d;
}

constexpr wv_optdesc with_dialog(wv_optdesc d, const char* title, const char* help, int sstep, int lstep) {
    d.title = title;
    d.help = help;
    d.sstep = sstep;
    d.lstep = lstep;
    return d;
}

constexpr wv_optdesc with_setup(wv_optdesc d, long (*g)(const fi_setup&), void (*s)(fi_setup&, int), int record,
                                long lo, long hi) {
    d.stored = g;
    d.store = s;
    d.record = record;
    d.stored_lo = lo;
    d.stored_hi = hi;
    return d;
}

constexpr wv_optdesc with_flag(wv_optdesc d, wv_cligroup group, const char* flag, const char* usage) {
    d.cli = group;
    d.flag = flag;
    d.usage = usage;
    return d;
}

// The option holds the value times `unit`, the default too.
constexpr wv_optdesc with_unit(wv_optdesc d, int unit) {
    d.unit = unit;
    d.def /= unit;
    return d;
}

constexpr wv_optdesc with_lock(wv_optdesc d, int lock) {
    d.lock = lock;
    return d;
}

constexpr wv_optdesc with_effect(wv_optdesc d, const wv_effect* e) {
    d.effect = e;
    return d;
}

// A switch that is on or off.
template <auto M>
constexpr wv_optdesc toggle(const char* key, int id, const char* text) {
    return with_menu(row(key, wv_opt_toggle, get<M>, set<M>, 0, 1), id, text);
}

// A switch stored in the setup file as one byte.
template <auto M, auto F>
constexpr wv_optdesc stored_toggle(const char* key, int id, const char* text, int record) {
    return with_setup(toggle<M>(key, id, text), stored<F>, store<F>, record, 0, 255);
}

// The effects' choices as their DSP names them (player/fuzz.h,
// audio/blowup.h, player/vis.h); a fuzz type asks for its degree.
constexpr std::array<wv_choice, wv_fuzz_types> fuzz_types = [] {
    std::array<wv_choice, wv_fuzz_types> c{};
    for (int k = 0; k < wv_fuzz_types; ++k)
        c[k] = {k, wv_fuzz_names[k].menu, wv_fuzz_names[k].name, k != wv_fuzz_none ? &wv_opt_fuzzlevel : nullptr};
    return c;
}();
constexpr std::array<wv_choice, wv_blow_nmethods> blowup_methods = [] {
    std::array<wv_choice, wv_blow_nmethods> c{};
    for (int k = 0; k < wv_blow_nmethods; ++k) c[k] = {k, wv_blow_methods[k].menu, nullptr};
    return c;
}();
constexpr std::array<wv_choice, vis_count> visuals = [] {
    std::array<wv_choice, vis_count> c{};
    for (int k = 0; k < vis_count; ++k) c[k] = {k, vis_names[k], nullptr};
    return c;
}();
const wv_choice displays[] = {
    {wv_disp_off, "&Off", nullptr},     {wv_disp_credit, "Cre&dit", nullptr},
    {wv_disp_buffer, "&Buffer", nullptr, &wv_opt_progchange}, {wv_disp_time, "&Time", nullptr},
    {wv_disp_level, "&Level", nullptr}, {wv_disp_alllevels, "&All Levels", nullptr},
};
const wv_choice times_to_play[] = {
    {wv_ttp_test, "&Test", "test"},
    {wv_ttp_short, "&Short", "short"},
    {wv_ttp_normal, "&Normal", "normal"},
    {wv_ttp_long, "&Long", "long"},
};
const wv_choice sample_recordings[] = {
    {-2, "&No", nullptr}, {-1, "&Manually", nullptr}, {0, "&Permanent", nullptr},
    {5, "&5", nullptr},   {20, "&20", nullptr},       {100, "&100", nullptr},
};
const wv_choice devices[] = {
    {static_cast<int>(wv_mapper), "&WAVE MAPPER", "mapper"}, {0, "&0", nullptr}, {1, "&1", nullptr},
    {2, "&2", nullptr}, {3, "&3", nullptr},
};

}  // namespace

// The output effects: their stages are defined beside their DSP.
extern const wv_effect wv_fuzz_effect;
extern const wv_effect wv_blowup_effect;

// --- numbers with a parameter dialog ---------------------------------------

constinit const wv_optdesc wv_opt_bufsize = with_flag(
    with_setup(with_dialog(with_unit(with_menu(row("bufsize", wv_opt_number, get<&wv_options::bufszorig>, set_bufsize,
                                                   3, 512),
                                               45, "&Buffer Size"),
                                      1024),
                           "Buffer Size in Kilobyte",
                           "Select the size of the buffers for\nplaying soundscapes and for a sample", 1, 16),
               stored<&fi_setup::bufsiz0>, store<&fi_setup::bufsiz0>, 1, 3072, 1048576),
    wv_cli_engine, "--buffer-kb K", "buffer size in KiB, {R} (default {D})");

constinit const wv_optdesc wv_opt_voices = with_flag(
    with_setup(with_dialog(with_menu(row("voices", wv_opt_number, get<&wv_options::maxv>, set<&wv_options::maxv>, 1,
                                         64),
                                     48, "Voice &Numbers"),
                           "Maximum Number of Voices",
                           "Select the maximum number of tones playing\nsimultaneously. If you try to "
                           "play more tones,\nthey are partially omitted, or they are cut by\n"
                           "subsequent tones",
                           1, 4),
               stored<&fi_setup::maxvoc>, store<&fi_setup::maxvoc>, 1, 1, 64),
    wv_cli_engine, "--voices N", "voice maximum {R} (default {D})");

constinit const wv_optdesc wv_opt_gap = with_flag(
    with_setup(with_dialog(with_menu(row("gap", wv_opt_number, get<&wv_options::playpaus>,
                                         set<&wv_options::playpaus>, 1, 64),
                                     65, "Time &Gap Size"),
                           "Pauses between buffers",
                           "Adjust the time gaps between playing buffers\nif emergency play or "
                           "harddisc recording\nis active",
                           1, 4),
               stored<&fi_setup::playpaus>, store<&fi_setup::playpaus>, 2, 1, 64),
    wv_cli_play, "--gap N", "gap length factor {R} of gap mode (default {D})");

constinit const wv_optdesc wv_opt_latency = with_flag(
    with_setup(with_dialog(with_menu(row("latency", wv_opt_number, get<&wv_options::latency_ms>,
                                         set<&wv_options::latency_ms>, wv_latency_min_ms, wv_latency_max_ms),
                                     66, "L&atency"),
                           "Latency in Milliseconds",
                           "How much sound the sound server holds\nahead of you (at most half a buffer).\n"
                           "More rides out a busy machine;\nStart does not wait for it",
                           10, 100),
               stored<&fi_setup::latency>, store_latency, 1, wv_latency_min_ms, wv_latency_max_ms),
    wv_cli_play, "--latency MS",
    "sound the sound server holds ahead, {R} ms (default {D};\n"
    "at most half a buffer): more rides out a busy machine");

constinit const wv_optdesc wv_opt_mixlevel = with_flag(
    with_setup(with_dialog(row("mixlevel", wv_opt_number, get<&wv_options::playbmix>, set<&wv_options::playbmix>, 0,
                               wv_mix_level_max),
                           "Set playback level of file",
                           "Set the level in percentage\n(100 = unchanged) for mixing a 16 bit *.WAV\n"
                           "file into the playback",
                           1, wv_mix_level_page),
               stored<&fi_setup::playbmix>, store<&fi_setup::playbmix>, 2, 0, wv_mix_level_max),
    wv_cli_engine, "--mix-level P", "its level in percent, {R} (default {D})");

constinit const wv_optdesc wv_opt_fuzzlevel = with_flag(
    with_setup(with_dialog(row("fuzzlevel", wv_opt_number, get<&wv_options::fuzzlev>, set<&wv_options::fuzzlev>,
                               wv_fuzz_degree_min, wv_fuzz_degree_max),
                           "Set fuzz degree", "Set the degree of distorsion\nof the output signal",
                           wv_fuzz_degree_step, wv_fuzz_degree_page),
               stored<&fi_setup::fuzzlev>, store<&fi_setup::fuzzlev>, 2, wv_fuzz_degree_min, wv_fuzz_degree_max),
    wv_cli_engine, "--fuzz-degree D", "fuzz degree {R} (default {D})");

constinit const wv_optdesc wv_opt_progchange =
    with_dialog(row("progchange", wv_opt_number, get<&wv_options::plchdist>, set<&wv_options::plchdist>, 0, 3200),
                "Set time between program changes",
                "The number of buffers between program\nchanges can be controlled. No "
                "changes if 0\nor if buffer counter display mode is not chosen",
                10, 100);

// --- choices -----------------------------------------------------------------

constinit const wv_optdesc wv_opt_fuzztype = with_effect(
    with_flag(with_setup(with_choices(row("fuzztype", wv_opt_choice, get<&wv_options::fuzztyp>,
                                          set<&wv_options::fuzztyp>, 0, wv_fuzz_types - 1),
                                      152, "&Fuzz", fuzz_types),
                         stored<&fi_setup::fuzztyp>, store<&fi_setup::fuzztyp>, 2, 0, 32767),
              wv_cli_engine, "--fuzz TYPE", "fuzz type {R}: {N}"),
    &wv_fuzz_effect);

constinit const wv_optdesc wv_opt_blowup = with_effect(
    with_flag(with_setup(with_choices(row("blowup", wv_opt_choice, get<&wv_options::blowopt>,
                                          set<&wv_options::blowopt>, 0, wv_blow_nmethods - 1),
                                      130, "&Blow Up", blowup_methods),
                         stored<&fi_setup::blowopt>, store<&fi_setup::blowopt>, 2, 0, wv_blow_nmethods - 1),
              wv_cli_engine, "--blowup M",
              "blow-up method {R}: the routine computes 1/2 or 1/4 of the\n"
              "frames and the output is stretched back at a higher rate:\n"
              "0 none (default), 1 stepped 2x, 2 linear 2x, 3 cubic 2x,\n"
              "4 stepped 4x, 5 linear 4x, 6 cubic 4x (dropped for a set\n"
              "whose raised rate would pass 44100 Hz)"),
    &wv_blowup_effect);

constinit const wv_optdesc wv_opt_visual =
    with_setup(with_choices(row("visual", wv_opt_choice, get<&wv_options::vistyp>, set<&wv_options::vistyp>, 0,
                                vis_count - 1),
                            161, "&Visual Effects", visuals),
               stored<&fi_setup::vistyp>, store<&fi_setup::vistyp>, 2, 0, 32767);

constinit const wv_optdesc wv_opt_display =
    with_setup(with_choices(row("display", wv_opt_choice, get<&wv_options::dispmode>, set<&wv_options::dispmode>,
                                wv_disp_off, wv_disp_alllevels),
                            wv_disp_off, "D&isplay", displays),
               stored<&fi_setup::dispmode>, store<&fi_setup::dispmode>, 2, wv_disp_off, wv_disp_alllevels);

constinit const wv_optdesc wv_opt_timetoplay = with_flag(
    with_setup(with_choices(row("timetoplay", wv_opt_choice, get<&wv_options::sampmaxidle>,
                                set<&wv_options::sampmaxidle>, 0, 0),
                            76, "Time to &play", times_to_play),
               stored<&fi_setup::sampmaxid>, store<&fi_setup::sampmaxid>, 1, 50000, 50000000),
    wv_cli_play, "--time-to-play T",
    "sound without user activity before the emergency:\n"
    "test, short, normal (default) or long");

// The setup file keeps any number of buffers (below -2: none); the device
// goes with its probe: both are read in audio/setup.cpp.
constinit const wv_optdesc wv_opt_recsamples =
    with_choices(row("recsamples", wv_opt_choice, get<&wv_options::recsmpopt>, set<&wv_options::recsmpopt>, 0, 0),
                 91, "Re&cord Samples", sample_recordings);

constinit const wv_optdesc wv_opt_device = with_flag(
    with_choices(row("device", wv_opt_choice, get<&wv_options::wvodevno>, set<&wv_options::wvodevno>, 0, 3),
                 86, "&Output Device", devices),
    wv_cli_play, "--device D", "output device: mapper (the default output) or {R}");

// --- switches ------------------------------------------------------------------

namespace {

constinit const wv_optdesc opt_timbre = with_flag(
    stored_toggle<&wv_options::tonalias, &fi_setup::tonalia>("timbre", 80, "Timbre &Variation", 1),
    wv_cli_engine, "--timbre", "Timbre Variation on");
constinit const wv_optdesc opt_emphasis =
    with_flag(stored_toggle<&wv_options::emphas, &fi_setup::empha>("emphasis", 81, "&Emphasis", 1),
              wv_cli_engine, "--emphasis", "Emphasis on");
constinit const wv_optdesc opt_emergency = with_lock(
    with_flag(stored_toggle<&wv_options::emergency, &fi_setup::emerge>("emergency", 82, "E&mergency Play", 1),
              wv_cli_play, "--emergency", "Emergency Play: keep computing when the time is up"),
    wv_lock_menu);
constinit const wv_optdesc opt_rotate =
    with_flag(stored_toggle<&wv_options::emrotate, &fi_setup::emrot>("rotate", 83, "&Rotate", 1), wv_cli_play,
              "--rotate", "Rotate: when the time is up, replay the last buffers turning");
constinit const wv_optdesc opt_measure =
    stored_toggle<&wv_options::wvomeasure, &fi_setup::wvomea>("measure", 84, "Mea&sure", 1);
constinit const wv_optdesc opt_showmorph =
    stored_toggle<&wv_options::shwmorph, &fi_setup::shwmorph>("showmorph", 64, "S&how Morph", 2);
constinit const wv_optdesc opt_bufbeat = with_lock(
    with_flag(stored_toggle<&wv_options::autotempo, &fi_setup::autotempo>("buffbeat", 63, "Buff.Bea&t", 2),
              wv_cli_play, "--buff-beat", "Buff.Beat: one beat per buffer"),
    wv_lock_menu | wv_lock_setup);

}  // namespace

// The played format goes with the device's capabilities (audio/setup.cpp);
// --mono8 is a request of the command line, not an option it stores. Until
// a device has been probed, nothing plays 16-bit stereo.
constinit const wv_optdesc wv_opt_mono8 = with_lock(
    with_menu(row("mono8", wv_opt_toggle, get_mono8, set_mono8, 0, 1), 97, "&Mono 8 bit"), wv_lock_menu);

// In the order of the usage texts.
constinit const wv_optdesc* const wv_optlist[] = {
    &wv_opt_voices,     &opt_timbre,       &opt_emphasis,     &wv_opt_bufsize,  &wv_opt_mixlevel,
    &wv_opt_blowup,     &wv_opt_fuzztype,  &wv_opt_fuzzlevel, &wv_opt_progchange,
    &wv_opt_device,     &wv_opt_timetoplay, &opt_emergency,   &opt_rotate,      &wv_opt_gap,
    &wv_opt_latency,    &opt_bufbeat,      &opt_measure,      &opt_showmorph,   &wv_opt_mono8,
    &wv_opt_visual,     &wv_opt_display,   &wv_opt_recsamples,
};
const int wv_optlist_n = static_cast<int>(sizeof wv_optlist / sizeof wv_optlist[0]);

const wv_optdesc* wv_opt(const char* key) {
    for (const wv_optdesc* d : wv_optlist)
        if (std::strcmp(d->key, key) == 0) return d;
    return nullptr;
}

const wv_optdesc* wv_opt_of_menu(int id, int* choice) {
    if (id == 0) return nullptr;
    for (const wv_optdesc* d : wv_optlist) {
        if (d->kind == wv_opt_choice) {
            if (id >= d->menu_id && id < d->menu_id + d->nchoices) {
                if (choice) *choice = id - d->menu_id;
                return d;
            }
        } else if (d->menu_id == id) {
            if (choice) *choice = -1;
            return d;
        }
    }
    return nullptr;
}

bool wv_opt_choice_named(const wv_optdesc& d, const char* name, int& value) {
    for (int k = 0; k < d.nchoices; ++k) {
        if (d.choices[k].name && std::strcmp(d.choices[k].name, name) == 0) {
            value = d.choices[k].value;
            return true;
        }
    }
    return false;
}

std::string wv_opt_text(const std::string& t, const wv_optdesc& d, const char* to) {
    std::string out;
    for (std::size_t i = 0; i < t.size(); ++i) {
        const char c = t[i] == '{' && i + 2 < t.size() && t[i + 2] == '}' ? t[i + 1] : 0;
        if (c == 'R') {
            out += std::to_string(d.lo) + to + std::to_string(d.hi);
        } else if (c == 'D') {
            out += std::to_string(d.def);
        } else if (c == 'N') {
            const char* sep = "";
            for (int k = 0; k < d.nchoices; ++k) {
                if (!d.choices[k].name) continue;
                out += sep + std::string(d.choices[k].name);
                sep = ", ";
            }
        } else {
            out += t[i];
            continue;
        }
        i += 2;
    }
    return out;
}
