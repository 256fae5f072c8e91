// The program's options: one record that the main window owns (and the
// setup file will fill), that the setting editor reads and that the
// streaming cycle reads and writes. The command line builds one of its own.
// Nothing keeps a copy: the editor and the cycle hold a pointer to it.
#pragma once

#include <cstdint>

#include "audio/device.h"

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
    int blowopt = 0;                 // blow-up method 0..6

    // --- the engine's option copies ---
    bool emphas = false;             // "Emphasis"
    bool tonalias = false;           // "Timbre Variation"
    int maxv = 8;                    // voice maximum 1..64

    // --- effects, display, editor ---
    bool shwmorph = false;           // "S&how Morph"
    int playbmix = 50;               // mix file level, percent
    int plchdist = 0;                // buffers between automatic program changes, 0..3200
    int fuzztyp = 0;                 // fuzz type 0..7
    int fuzzlev = 100;               // fuzz degree 0..1600
    int vistyp = 0;                  // visual effect 0..7
    int recsmpopt = -2;              // background sample recording: -2 no, -1 manual, 0 permanent, 5/20/100
    int dispmode = wv_disp_credit;   // status line mode

    // --- the output device: chosen, what it can do, what is played ---
    unsigned wvodevno = wv_mapper;   // output device
    wv_caps woc;                     // capabilities of the selected device
    bool stereo16 = false;           // the device offers 16-bit stereo
    bool stereoset = false;          // play 16-bit stereo; off: "Mono 8 bit"
    int latency_ms = wv_latency_default_ms;  // server buffer of the output stream
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
