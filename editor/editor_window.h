// Entry point of the setting editor window, for the main window.
//
// The editor runs modally: rov_editor_run returns when the user closes it
// (Exit or the window's close box), after play has stopped and the play
// buffers are freed. It needs the FLTK display to be open; it shows its own
// window over the caller's. Sound keeps playing while its message boxes are
// open.
#pragma once

#include <string>

#include "editor/editor.h"
#include "editor/tonality.h"

struct wv_program;     // the program state (audio/program.h)
class Fl_RGB_Image;

// What the editor keeps from one opening to the next: its own record (the
// backup that V restores, the pad's pitch and envelope) and the scale
// editor's (its clipboards). Whoever opens the editor keeps one for the run.
struct rov_editor_memory {
    rov_editor ed;
    ton_editor te;
};

// What the main window hands to the editor.
struct rov_editor_shell {
    // The program state: its options, foreground engine state, setting
    // banks, sample, recording and mix file, and the streaming cycle with its
    // device and wiring. The editor sets the stream's row, set, scale, engine
    // handle, notification sink and gap timer, and opens and closes it; the
    // set and scale played last stay in the stream.
    wv_program* pg = nullptr;

    // The four tracks' file names (the active setting's, which is the
    // window's caption, then banks 0..2'), which Z in Multiple play rotates
    // with the banks; the mix file's name for the mixer. Null: none.
    std::string* files[4] = {};
    const char* wavname = "";

    // The 32 x 32 icon of an icon name of the algorithm table, as a new
    // image the caller deletes (or nullptr); the window shows the row's icon.
    Fl_RGB_Image* (*icon_image)(const char* name) = nullptr;

    // What the editor keeps between openings; nullptr: it starts afresh.
    rov_editor_memory* memory = nullptr;

    // Start playing as soon as the window shows (a preset was chosen).
    bool start = false;
};

// Runs the editor on table row `algomod` (an algorithm, Multiple play or the
// empty algorithm; a number outside the table is the empty algorithm).
void rov_editor_run(int algomod, rov_editor_shell& sh);
