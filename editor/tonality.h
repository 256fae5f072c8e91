// The scale editor without its window: sixteen values of one scale buffer,
// edited in place while the sound may play, in five edit modes (pitch values
// on the note table, envelopes, waveforms, modulation tables, LFO shapes),
// with a preset and a clipboard per mode. The window turns its events into
// these calls and shows the view they leave.
#pragma once

#include <cstdint>
#include <string>

#include "editor/editor.h"
#include "editor/teswin.h"

constexpr int ton_nmodes = 5;
constexpr int ton_max = 1024;  // slider range 0..1024

// What the setting editor hands over: the scale being edited (inside the
// playing setting's rov_tones), the note tables, the scale number and the
// row being played (in Multiple play the active setting's standard row).
struct tonscal {
    int16_t* rovtones = nullptr;
    const int16_t* tnotes = nullptr;     // tonnotes_n values, the last an end mark
    const char (*tnames)[4] = nullptr;   // their names
    int ttonr = 0;
    int algo = 0;
};

// Presets ("&Init") per mode.
extern const int16_t tonini[ton_nmodes][16];

// What the dialog shows.
struct ton_view {
    std::string caption;
    std::string status;
    const char* modename = "&Tone";
    int16_t pos[16] = {};  // slider positions
};

// The scale editor's state; it lives as long as the program, so that the
// clipboards survive closing (the mode and the reset copy are retaken at
// every opening).
struct ton_editor {
    tonscal ts;
    int mode = 0;
    int16_t resetcopy[16] = {};
    int shownext = 0;
    int16_t tonsav1[ton_nmodes][16] = {
        {65, 131, 175, 196, 233, 262, 294, 330, 349, 392, 440, 466, 524, 698, 784, 932},
        {0, 30, 160, 900, 400, 250, 330, 700, 500, 350, 250, 180, 320, 600, 400, 200},
        {512, 384, 260, 180, 120, 80, 40, 10, 0, 30, 190, 340, 570, 790, 680, 560},
        {512, 640, 768, 896, 1024, 1024, 1024, 1024, 1024, 1024, 1024, 1024, 1024, 768, 256, 0},
        {0, 512, 768, 896, 1024, 896, 768, 512, 0, 1024, 0, 1024, 0, 1024, 0, 1024},
    };
    ton_view view;
};

// Caption of the dialog by row and scale number.
const char* ton_caption(int algo, int tonr);
// Caption of the mode button.
const char* ton_modename(int mode);
// Rows whose numbered buttons ask "Assign scale number to soundscape ?"
// before the scale editor opens.
bool ton_asks_assign(int algo);

void ton_open(ton_editor& te, const tonscal& ts);
// Slider i (0..15) moved; `pos` is the thumb position of the thumb codes.
void ton_scroll(ton_editor& te, int i, rov_scrollcode code, int pos);
void ton_reset(ton_editor& te);   // "&Reset"
void ton_init(ton_editor& te);    // "&Init"
void ton_show(ton_editor& te);    // "&Show"
void ton_mode(ton_editor& te);    // mode button
void ton_store(ton_editor& te);   // "Sto&re"
void ton_load(ton_editor& te);    // "&Load"

// Shift-click help at (x, y) in dialog units: every place has one.
rov_helpbox ton_help(const ton_editor& te, int x, int y);

// "key=value" lines of what the dialog shows (caption, status, mode, pos0..15).
std::string ton_dump(const ton_editor& te);
