// The scale editor's window and the question before it opens (FLTK).
#pragma once

#include "editor/tonality.h"

// "Assign scale number to soundscape ?" with Yes and No; true for Yes.
bool ton_ask_assign();

// Runs the scale editor modally on `ts` and returns when it closed (OK or
// the close box). The caller's window keeps receiving the sound's events.
void ton_dialog_run(ton_editor& te, const tonscal& ts);
