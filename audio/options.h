// The program's options: one record that the main window owns (and the
// setup file will fill), that the setting editor reads and that the
// streaming cycle reads and writes. The command line builds one of its own.
// Nothing keeps a copy: the editor and the cycle hold a pointer to it.
#pragma once

#include <cstdint>
#include <string>

#include "audio/device.h"

// The device number that chooses the JACK output (audio/jackdev.h) instead
// of the default layer's devices; stored in a setup file as -2.
constexpr unsigned wv_jack_devno = 0xfffffffeu;

// Values of sampmaxidle ("Time to play"), bytes of sound without user activity.
constexpr int32_t wv_ttp_test = 120000;
constexpr int32_t wv_ttp_short = 1200000;
constexpr int32_t wv_ttp_normal = 6000000;
constexpr int32_t wv_ttp_long = 24000000;

// The output stream's latency ("Latency", --latency): how much sound the
// sound server holds ahead of the listener, in milliseconds. More rides out a
// busy machine (the player's thread may wait that long for the processor
// without a dropout); it costs only the delay of a volume change or a Stop,
// since each buffer is computed long before it sounds. Start does not wait
// for it. The stream never holds more than half a buffer (audio/sdldev.h).
constexpr int wv_latency_min_ms = 20, wv_latency_max_ms = 2000, wv_latency_default_ms = 200;

// Display modes of the status line (they are also the ids of their menu items).
enum wv_dispmode : int {
    wv_disp_off = 49,
    wv_disp_credit = 50,
    wv_disp_buffer = 51,
    wv_disp_time = 52,
    wv_disp_level = 53,
    wv_disp_alllevels = 54,
};

struct wv_options {
    // --- the streaming cycle ---
    int32_t bufszorig = 32768;       // buffer size, bytes ("Buffer Size")
    int32_t bufincr = 512;           // loop algorithm's step, shorts: set with the buffer size, 512 after Buff.Beat
    int32_t sampmaxidle = wv_ttp_normal;  // "Time to play"
    int playpaus = 1;                // gap length factor, 1..64 ("Time Gap Size")
    bool autotempo = false;          // "Buff.Beat"
    bool emergency = false;          // "Emergency Play"
    bool emrotate = false;           // "Rotate"
    bool wvomeasure = true;          // "Measure"
    int blowopt = 0;                 // blow-up method (audio/blowup.h)

    // --- the engine's option copies ---
    bool emphas = false;             // "Emphasis"
    bool tonalias = false;           // "Timbre Variation"
    int maxv = 8;                    // voice maximum 1..64

    // --- effects, display, editor ---
    bool shwmorph = false;           // "S&how Morph"
    int playbmix = 50;               // mix file level, percent
    int plchdist = 0;                // buffers between automatic program changes, 0..3200
    int fuzztyp = 0;                 // fuzz type (player/fuzz.h)
    int fuzzlev = 100;               // fuzz degree (player/fuzz.h)
    int vistyp = 0;                  // visual effect (player/vis.h)
    int recsmpopt = -2;              // background sample recording: -2 no, -1 manual, 0 permanent, 5/20/100
    int dispmode = wv_disp_credit;   // status line mode

    // --- the output device: chosen, what it can do, what is played ---
    unsigned wvodevno = wv_mapper;   // output device
    wv_caps woc;                     // capabilities of the selected device
    bool stereo16 = false;           // the device offers 16-bit stereo
    bool stereoset = false;          // play 16-bit stereo; off: "Mono 8 bit"
    int latency_ms = wv_latency_default_ms;  // server buffer of the output stream
    bool jack_connect = true;        // JACK: connect to the system's playback ports
    bool midi = false;               // "MIDI Out": the tones as MIDI, with the sound
};

// The status line shows levels: the cycle then only measures the CPU charge.
inline bool wv_levels(const wv_options& o) { return o.dispmode == wv_disp_level || o.dispmode == wv_disp_alllevels; }

// "Mono 8 bit": stereo off; on again only if the device offers 16-bit stereo.
inline void wv_mono8_toggle(wv_options& o) {
    if (o.stereoset)
        o.stereoset = false;
    else if (o.stereo16)
        o.stereoset = true;
}

// --- The table of options -------------------------------------------------
// Every option the user sets is one row: the value it drives, its range and
// default, its menu item (or the popup of its choices), its parameter
// dialog, its field in the setup file and its command-line flag with the
// usage text. The menus, the commands, the setup file, the command line and
// its usage texts read these rows, and the manual page is completed from them
// at build time, so that an option is declared once. An output effect's
// row also names the stage it adds to the output chain (audio/chain.h) and
// is defined beside that stage: a new effect is its DSP, its stage file
// (stage, wv_effect, row) and its field, row and list entry here.

struct fi_setup;
struct wv_effect;
struct wv_optdesc;

// One choice of a choice option.
struct wv_choice {
    int value;         // the option's value
    const char* menu;  // menu text with its & mnemonic
    const char* name;  // command-line name (also taken there); nullptr: none
    const wv_optdesc* then = nullptr;  // the dialog chosen with it (fuzz: its degree)
};

// wv_opt_name: a name given on the command line only (a preset); it holds
// no value of the record.
enum wv_optkind : int { wv_opt_toggle, wv_opt_number, wv_opt_choice, wv_opt_name };

// Which command lines take a flag.
enum wv_cligroup : int { wv_cli_none, wv_cli_engine, wv_cli_play };

// While a harddisc recording is open the option is locked: its menu item is
// grayed and does nothing, and (wv_lock_setup) a loaded setup keeps it.
enum wv_lock : int { wv_lock_menu = 1, wv_lock_setup = 2 };

struct wv_optdesc {
    const char* key;   // short name, unique
    wv_optkind kind;
    int (*get)(const wv_options&);      // the value (toggles: 0 or 1)
    void (*set)(wv_options&, int);      // sets it, with what follows from it
    int lo, hi;        // range, as the user sees the value
    int unit;          // the option holds the value times unit (buffer: KiB)
    int lock;          // wv_lock bits

    // The main window: the item (toggles and dialogs) or the first choice's
    // id (the others follow); the item's text, or the popup's for choices.
    int menu_id;
    const char* menu;
    const wv_choice* choices;  // kind wv_opt_choice: nchoices of them
    int nchoices;
    // The parameter dialog: title and help text, small and large step.
    const char* title;
    const char* help;
    int sstep, lstep;

    // The setup file: the field (nullptr: not stored), which record holds it,
    // and the values a loaded file may hold (outside: the option stays).
    long (*stored)(const fi_setup&);
    void (*store)(fi_setup&, int);
    int record;
    long stored_lo, stored_hi;

    // The command line: the flag with the name of its value, the usage text
    // ({R} the range "lo..hi", {D} the default, {N} the choices' names; each
    // line after the first is indented under the first), and which commands
    // take it.
    const char* flag;
    const char* usage;
    wv_cligroup cli;

    // An output effect: the stage of the chain it drives.
    const wv_effect* effect;

    // The default, as the user sees the value: that of a default wv_options.
    int def() const;
};

// The row of `key`; nullptr when there is none.
const wv_optdesc* wv_opt(const char* key);
// The row whose item (or one of whose choices) has menu id `id`; nullptr
// when none has. `choice` gets the choice's index (-1 for an item).
const wv_optdesc* wv_opt_of_menu(int id, int* choice = nullptr);
// The value of the choice called `name`; false when none is.
bool wv_opt_choice_named(const wv_optdesc& d, const char* name, int& value);
// A text of the option with {R} (the range, its ends joined by `to`), {D}
// (the default) and {N} (the choices' names) filled in.
std::string wv_opt_text(const std::string& t, const wv_optdesc& d, const char* to);

// The rows. Each is defined beside what it drives: the output effects' rows
// beside their stage (audio/fuzzstage.cpp, audio/blowup.cpp), the others in
// audio/options.cpp. A row is built with the helpers of audio/optrow.h.
extern const wv_optdesc wv_opt_bufsize, wv_opt_voices, wv_opt_gap, wv_opt_latency, wv_opt_mixlevel,
    wv_opt_fuzzlevel, wv_opt_progchange, wv_opt_fuzztype, wv_opt_blowup, wv_opt_visual, wv_opt_display,
    wv_opt_timetoplay, wv_opt_recsamples, wv_opt_device, wv_opt_jack, wv_opt_jacknoconnect, wv_opt_mono8, wv_opt_timbre, wv_opt_emphasis,
    wv_opt_emergency, wv_opt_rotate, wv_opt_measure, wv_opt_showmorph, wv_opt_bufbeat, wv_opt_preset, wv_opt_midi;

// Every row; the usage texts add those they do not place themselves in
// this order.
inline constexpr const wv_optdesc* wv_optlist[] = {
    &wv_opt_preset,   &wv_opt_voices,   &wv_opt_timbre,     &wv_opt_emphasis,  &wv_opt_bufsize,   &wv_opt_mixlevel,
    &wv_opt_blowup,   &wv_opt_fuzztype,   &wv_opt_fuzzlevel, &wv_opt_progchange,
    &wv_opt_device,   &wv_opt_jack,       &wv_opt_jacknoconnect, &wv_opt_timetoplay, &wv_opt_emergency, &wv_opt_rotate,    &wv_opt_gap,
    &wv_opt_latency,  &wv_opt_bufbeat,    &wv_opt_measure,   &wv_opt_showmorph, &wv_opt_mono8,
    &wv_opt_visual,   &wv_opt_display,    &wv_opt_recsamples, &wv_opt_midi,
};
inline constexpr int wv_optlist_n = static_cast<int>(sizeof wv_optlist / sizeof wv_optlist[0]);
