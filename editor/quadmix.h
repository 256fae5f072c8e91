// The mixer's record for the tracks of the playing cycle: the active
// setting's global phase as track 0, the banks' as tracks 1 to 3, the
// program's mix level and fuzz degree.
#pragma once

#include "audio/stream.h"
#include "player/mixer.h"

// `files` are the four tracks' setting file names (null: empty), `wav` the
// mix file's name and `mixopen` whether it is open.
void qu_build(qumix& m, wv_stream& ws, const char* const files[4], const char* wav, bool mixopen);
