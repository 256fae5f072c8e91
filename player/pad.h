// The player pad without its window: six sliders, three mode buttons, the
// player area (clicks play a tone or change the running scale) and the help
// boxes. The window turns its events into these calls, shows the view they
// leave and draws the lines they list.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/plyov.h"
#include "player/controls.h"

constexpr int pad_area_w = 256;    // the player area: client x 0..256
constexpr int pad_nsliders = 6;

// Button texts.
const char* pad_modetext(int mode);   // wvpl_mode 0..5
const char* pad_pitltext(int pitl);   // wvpl_pitl 0..2
const char* pad_pitqtext(int pitq);   // wvpl_pitq 0..3

// The setting editor's preparation at each of its openings. `sample` and
// `len` are what the algorithm call receives (null and 0 without a sample).
void pad_prepare(wvpl_par& w, int algomod, rov_handle* roh, const int16_t* sample, int32_t len);

// A line to draw in the player area, in client pixels.
struct pad_line {
    int x0, y0, x1, y1;
    bool red;
};

struct pad_view {
    char label[pad_nsliders][12] = {};  // texts above the sliders
    int16_t pos[pad_nsliders] = {};     // slider positions
    int16_t max[pad_nsliders] = {};     // slider ranges (0..max)
    const char* qtz = "&Qtz";           // pitch mode button
    const char* mid = "&Mid";           // pitch range button
    const char* env = "&Env";           // mode button
    std::vector<pad_line> lines;        // what the last click drew (cleared by the next)
    int voice = -1;                     // voice the last click started, or -1
    int played = 0;                     // tones started since opening
};

struct pad_dlg {
    wvpl_par* wvp = nullptr;
    pad_view view;
};

// Opening, with the active parameter set.
void pad_open(pad_dlg& d, wvpl_par* w, int setnr);
void pad_mode(pad_dlg& d);    // button 118
void pad_range(pad_dlg& d);   // button 119
void pad_pitq(pad_dlg& d);    // button 120
// Slider i (0..5) moved; `pos` is the thumb position of the thumb codes.
void pad_scroll(pad_dlg& d, int i, rov_scrollcode code, int pos);
// Left click without Shift at client pixel (x, y).
void pad_click(pad_dlg& d, int x, int y);
// The parts of the pad that have a help box of their own: sliders 0..5,
// the three mode buttons and the player area (also everything else).
enum pad_part { pad_part_qtz = pad_nsliders, pad_part_mid, pad_part_env, pad_part_area };
rov_helpbox pad_part_help(int part);
// The part whose help a Shift-click at (x, y), in dialog units, shows.
int pad_part_at(int x, int y);
// Shift + left click at (x, y) in dialog units: every place has a box.
inline rov_helpbox pad_help(int x, int y) { return pad_part_help(pad_part_at(x, y)); }
// The short name shown under slider i.
const char* pad_slider_name(int i);

// "key=value" lines of what the pad shows (label0..5, pos0..5, buttons).
std::string pad_dump(const pad_dlg& d);
