// Entry point of the setting editor window, for the main window.
//
// The editor runs modally: rov_editor_run returns when the user closes it
// (Exit or the window's close box), after play has stopped and the play
// buffers are freed. It needs the FLTK display to be open; it shows its own
// window over the caller's. Sound keeps playing while its message boxes are
// open.
#pragma once

#include <string>

#include "engine/banks.h"

struct wv_stream;      // the streaming cycle (audio/stream.h)
class Fl_RGB_Image;

// What the main window hands to the editor. Fields marked in/out are written
// back on return.
struct rov_editor_shell {
    // The streaming cycle with its device, the program's options (ws->opt,
    // the main window's own record) and the loaded sample (`sample`). The
    // editor sets its row, set, scale, engine handle, notification sink and
    // gap timer, and opens and closes it.
    wv_stream* ws = nullptr;
    rov_state* fg = nullptr;      // foreground engine state (ros, rog, rot, roh)
    int setnr = 0;                // in/out: playing parameter set, 0..9
    int tonr = 0;                 // out: playing scale buffer, 0..9
    const char* rovfil = "";      // file name of the active setting (caption)

    // The setting banks and the four tracks' file names (the active
    // setting's, then banks 0..2'), which Z in Multiple play rotates; the
    // mix file's name for the mixer. Null: none.
    rov_banks* banks = nullptr;
    std::string* files[4] = {};
    const char* wavname = "";

    // Facts of other parts of the program.
    bool mixfile = false;         // a harddisc mix file is open
    bool recording = false;       // a harddisc recording file is open

    // The 32 x 32 icon of an icon name of the algorithm table, as a new
    // image the caller deletes (or nullptr); the window shows the row's icon.
    Fl_RGB_Image* (*icon_image)(const char* name) = nullptr;
};

// Runs the editor on table row `algomod` (an algorithm, Multiple play or the
// empty algorithm; a number outside the table is the empty algorithm).
void rov_editor_run(int algomod, rov_editor_shell& sh);
