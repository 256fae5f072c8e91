// The player pad's window (FLTK).
#pragma once

#include "player/pad.h"

// Runs the pad modally on the block `w` with the active set `setnr`; the
// caller's window keeps receiving the sound's events meanwhile.
void pad_dialog_run(wvpl_par& w, int setnr);
