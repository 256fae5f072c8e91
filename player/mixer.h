// The quad track mixer without its window: what its controls show and what
// each control does to the engine state. The record it works on points
// straight into the four tracks' global phases and the program's options,
// so every change is heard with the next computed buffer and stays after
// the dialog closes.
#pragma once

#include <cstdint>
#include <string>

// One track: S0 (the active setting) or one of the three banks.
struct onetrmix {
    const char* qu_file = "";          // the setting file the track came from
    int16_t qu_alg = 0;                // the track setting's rov_stdalg
    int16_t* qu_shift = nullptr;       // the track's rov_volshift
    int8_t* qu_stopped = nullptr;      // the track's rov_stopped
    int qu_setnr = 0;                  // the track's playing set
};

struct qumix {
    const char* qu_wav = "";           // the mix file's name (may be empty)
    bool qu_hdrf = false;              // the mix file is open
    int* qu_pbmix = nullptr;           // mix level in percent
    int qu_pbmix_max = 0;              // its range 0..max and the slider's page step,
    int qu_pbmix_page = 1;             // as the option declares them (the mix is the output's)
    int16_t qu_fztyp = 0;              // the fuzz type at opening
    int* qu_fzlev = nullptr;           // fuzz degree (its range: player/fuzz.h)
    int qu_mainalg = 0;                // the row being played; Multiple play for four tracks
    onetrmix qutr[4];
};

// The sliders: tracks 0..3, then the file level and the fuzz degree.
enum qu_slider { qu_sl_file = 4, qu_sl_fuzz = 5 };

// Scroll codes of a slider message.
enum qu_code { qu_lineleft, qu_lineright, qu_pageleft, qu_pageright, qu_thumb, qu_other };

struct qu_trackview {
    std::string name;     // "%s, setting %d"
    std::string db;       // "%d dB"
    bool enabled = false; // mute box and slider can be operated
    bool mute = false;    // mute box checked
    int pos = 0;          // slider position, 0..12
};

struct qu_view {
    std::string wav;
    qu_trackview tr[4];
    bool file_enabled = false;
    int file_pos = 0;
    std::string file_label = "File level";
    bool fuzz_enabled = false;
    int fuzz_pos = 0;
    std::string fuzz_label = "Fuzz degree";
};

struct qu_dlg {
    qumix* qum = nullptr;
    qu_view view;
};

constexpr const char* qu_title = "Quad Track Player Mixer";
constexpr const char* qu_help_caption = "Mixer";
extern const char* const qu_help_text;

// What a control's tooltip and Shift + click tell: the lines of the help
// text that speak of it (everything for the window's own buttons).
enum qu_helpitem { qu_hi_mute, qu_hi_track, qu_hi_level, qu_hi_all };
std::string qu_help_of(qu_helpitem item);

// Digital volume of a track (16 - rov_volshift) and its slider's range.
constexpr int qu_track_max = 12;

// The record for the tracks of a play: row `mainalg`, track k's file name,
// setting, global phase fields and set number; the options' mix level and
// fuzz. Tracks 1..3 may be left empty outside Multiple play.
void qu_open(qu_dlg& d, qumix* m);

// Track k (0..3) can be operated: not the loop algorithm, and only track 0
// outside Multiple play.
bool qu_track_enabled(const qumix& m, int k);

// The mute box of track k: flips its rov_stopped between 0 and 1.
void qu_mute(qu_dlg& d, int k);

// A slider message: track 0..3, qu_sl_file or qu_sl_fuzz; `pos` for the
// thumb. Disabled sliders change nothing.
void qu_scroll(qu_dlg& d, int slider, qu_code code, int pos = 0);

// What the dialog shows as "key=value" lines, for tests driving the window.
std::string qu_dump(const qu_dlg& d);
