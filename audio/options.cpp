// The rows of the options table (audio/options.h).
#include "audio/options.h"

#include <array>
#include <cstring>

#include "audio/chain.h"
#include "audio/optrow.h"
#include "audio/refill.h"
#include "player/vis.h"

using namespace wv_optrow;

namespace {

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

// The visual effects as player/vis.h names them.
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

constinit const wv_optdesc wv_opt_progchange =
    with_dialog(row("progchange", wv_opt_number, get<&wv_options::plchdist>, set<&wv_options::plchdist>, 0, 3200),
                "Set time between program changes",
                "The number of buffers between program\nchanges can be controlled. No "
                "changes if 0\nor if buffer counter display mode is not chosen",
                10, 100);

// --- choices -----------------------------------------------------------------

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

// JACK is chosen like a device, by its own number: with --jack, or with its
// item in the device popup (which probes it as the other devices; taken
// off, the default output is chosen again).
constexpr int get_jack(const wv_options& o) { return o.wvodevno == wv_jack_devno ? 1 : 0; }
void set_jack(wv_options& o, int v) {
    if (v)
        o.wvodevno = wv_jack_devno;
    else if (o.wvodevno == wv_jack_devno)
        o.wvodevno = wv_mapper;
}
constinit const wv_optdesc wv_opt_jack =
    with_flag(with_menu(row("jack", wv_opt_toggle, get_jack, set_jack, 0, 1), 99, "&JACK"), wv_cli_play, "--jack",
              "play through JACK (ports out_left, out_right, midi_out)\n"
              "instead of the output device");
constexpr int get_jack_noconnect(const wv_options& o) { return o.jack_connect ? 0 : 1; }
void set_jack_noconnect(wv_options& o, int v) { o.jack_connect = v == 0; }
constinit const wv_optdesc wv_opt_jacknoconnect =
    with_flag(row("jacknoconnect", wv_opt_toggle, get_jack_noconnect, set_jack_noconnect, 0, 1), wv_cli_play,
              "--jack-no-connect", "with --jack: leave the ports unconnected\n"
              "(else they go to the first two playback ports)");

// --- switches ------------------------------------------------------------------

constinit const wv_optdesc wv_opt_timbre = with_flag(
    stored_toggle<&wv_options::tonalias, &fi_setup::tonalia>("timbre", 80, "Timbre &Variation", 1),
    wv_cli_engine, "--timbre", "Timbre Variation on");
constinit const wv_optdesc wv_opt_emphasis =
    with_flag(stored_toggle<&wv_options::emphas, &fi_setup::empha>("emphasis", 81, "&Emphasis", 1),
              wv_cli_engine, "--emphasis", "Emphasis on");
constinit const wv_optdesc wv_opt_emergency = with_lock(
    with_flag(stored_toggle<&wv_options::emergency, &fi_setup::emerge>("emergency", 82, "E&mergency Play", 1),
              wv_cli_play, "--emergency", "Emergency Play: keep computing when the time is up"),
    wv_lock_menu);
constinit const wv_optdesc wv_opt_rotate =
    with_flag(stored_toggle<&wv_options::emrotate, &fi_setup::emrot>("rotate", 83, "&Rotate", 1), wv_cli_play,
              "--rotate", "Rotate: when the time is up, replay the last buffers turning");
constinit const wv_optdesc wv_opt_measure =
    stored_toggle<&wv_options::wvomeasure, &fi_setup::wvomea>("measure", 84, "Mea&sure", 1);
constinit const wv_optdesc wv_opt_showmorph =
    stored_toggle<&wv_options::shwmorph, &fi_setup::shwmorph>("showmorph", 64, "S&how Morph", 2);
constinit const wv_optdesc wv_opt_bufbeat = with_lock(
    with_flag(stored_toggle<&wv_options::autotempo, &fi_setup::autotempo>("buffbeat", 63, "Buff.Bea&t", 2),
              wv_cli_play, "--buff-beat", "Buff.Beat: one beat per buffer"),
    wv_lock_menu | wv_lock_setup);

// The played format goes with the device's capabilities (audio/setup.cpp);
// --mono8 is a request of the command line, not an option it stores. Until
// a device has been probed, nothing plays 16-bit stereo.
constinit const wv_optdesc wv_opt_mono8 = with_lock(
    with_menu(row("mono8", wv_opt_toggle, get_mono8, set_mono8, 0, 1), 97, "&Mono 8 bit"), wv_lock_menu);

// --- names ------------------------------------------------------------------------

// A preset of the library (files/presets.h): its setting file, set, sample,
// banks and voice maximum, as if given one by one. It stores nothing in the
// options record; the command line resolves the name.
namespace {
constexpr int get_none(const wv_options&) { return 0; }
void set_none(wv_options&, int) {}
}  // namespace
constinit const wv_optdesc wv_opt_preset =
    with_flag(row("preset", wv_opt_name, get_none, set_none, 0, 0), wv_cli_engine, "--preset NAME",
              "a preset of the library by name (see render --list-presets):\n"
              "its setting, set, sample, banks, voices and row; other options override it");
// MIDI out (audio/midiout.h): to the output device where it carries MIDI,
// else to ALSA's sequencer. Not stored: each run asks for it.
constinit const wv_optdesc wv_opt_midi =
    with_flag(toggle<&wv_options::midi>("midi", 171, "MIDI &Out"), wv_cli_play, "--midi",
              "MIDI out: the tones as MIDI notes (one channel each, 2..16, tuned by pitch bend)\n"
              "to the JACK device's MIDI port, or to ALSA's sequencer port \"Wave Tessellon\"");

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
            out += std::to_string(d.def());
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

int wv_optdesc::def() const { return get(wv_options{}) / unit; }
