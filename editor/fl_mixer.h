// The quad track mixer's window (FLTK).
#pragma once

#include "player/mixer.h"

// Runs the mixer modally on the record `m`; the caller's window keeps
// receiving the sound's events meanwhile.
void qu_dialog_run(qumix& m);
