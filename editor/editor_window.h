// Entry point of the setting editor window, for the main window.
//
// The editor runs modally: rov_editor_run returns when the user closes it
// (Exit or the window's close box), after play has stopped and the play
// buffers are freed. It needs the FLTK display to be open; it shows its own
// window over the caller's. Sound keeps playing while its message boxes are
// open.
#pragma once

#include "engine/rov.h"

struct wv_stream;      // the streaming cycle (audio/stream.h)
class Fl_RGB_Image;

// What the main window hands to the editor. Fields marked in/out are written
// back on return.
struct rov_editor_shell {
    // The streaming cycle with its device, options (wv_options: buffer size,
    // time to play, emphasis, timbre variation, voice maximum ...), device
    // state and the loaded sample (`sample`). The editor sets its row, set,
    // scale, engine handle, notification sink and gap timer, and opens and
    // closes it.
    wv_stream* ws = nullptr;
    rov_state* fg = nullptr;      // foreground engine state (ros, rog, rot, roh)
    int setnr = 0;                // in/out: playing parameter set, 0..9
    int tonr = 0;                 // out: playing scale buffer, 0..9
    const char* rovfil = "";      // file name of the active setting (caption)

    // Options of the main window that the cycle does not hold.
    bool shwmorph = false;        // "S&how Morph"
    int vistyp = 0;               // visual effect, 0 none
    int fuzztyp = 0;              // fuzz type, 0 none
    bool mixfile = false;         // a harddisc mix file is open
    bool recording = false;       // a harddisc recording file is open
    int recsmpopt = -2;           // "Re&cord Samples": -2 No, -1 Manually, 0 Permanent, 5/20/100

    // The 32 x 32 icon of an icon name of the algorithm table, as a new
    // image the caller deletes (or nullptr); the window shows the row's icon.
    Fl_RGB_Image* (*icon_image)(const char* name) = nullptr;
};

// Runs the editor on table row `algomod` (0..20 an algorithm, 21 Multiple
// play, 22 the empty algorithm; anything else is treated as 22).
void rov_editor_run(int algomod, rov_editor_shell& sh);
