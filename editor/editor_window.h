// Entry point of the setting editor window, for the main window.
//
// The editor runs modally: rov_editor_run returns when the user closes it
// (Exit or the window's close box), after play has stopped and the play
// buffers are freed. It needs the window system to be up (an FLTK display);
// it opens its own window over the caller's.
#pragma once

#include <cstdint>

#include "engine/rov.h"

// What the main window hands to the editor: its option globals and the
// foreground engine state. Fields marked in/out are written back on return.
struct rov_editor_shell {
    rov_state* fg = nullptr;      // foreground engine state (ros, rog, rot, roh)
    int setnr = 0;                // in/out: playing parameter set, 0..9
    int tonr = 0;                 // out: playing scale buffer, 0..9
    const char* rovfil = "";      // file name of the active setting (caption)

    // options of the main window
    bool emphas = false;          // "&Emphasis"
    bool tonalias = false;        // "Timbre &Variation"
    int maxv = 8;                 // "Voice &Numbers", 1..64
    bool shwmorph = false;        // "S&how Morph"
    int vistyp = 0;               // visual effect, 0 none
    int fuzztyp = 0;              // fuzz type, 0 none
    bool mixfile = false;         // a harddisc mix file is open
    bool recording = false;       // a harddisc recording file is open
    int recsmpopt = -2;           // "Re&cord Samples": -2 No, -1 Manually, 0 Permanent, 5/20/100
    const int16_t* sample = nullptr;  // the loaded sample (mono 16-bit), or none
    int32_t samplen = 0;              // its length in samples

    // streaming options (the cycle's set-up reads them at opening)
    int32_t bufszorig = 32768;    // buffer size in bytes
    int32_t sampmaxidle = 6000000;  // "Time to &play", bytes
    bool emergency = false;       // "E&mergency Play"
    bool emrotate = false;        // "&Rotate"
    bool autotempo = false;       // "Buff.Bea&t"
    bool wvomeasure = true;       // "Mea&sure"
    int playpaus = 1;             // "Time &Gap Size", 1..64
    bool stereoset = true;        // 16-bit stereo (off: 8-bit mono)
    int32_t bufrest = 0;          // in/out: idle count carried between openings
};

// Runs the editor on table row `algomod` (0..20 an algorithm, 21 Multiple
// play, 22 the empty algorithm; anything else is treated as 22).
void rov_editor_run(int algomod, rov_editor_shell& sh);
