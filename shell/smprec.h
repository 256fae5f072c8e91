// The main window's sample functions: "&Record Sample" records a whole new
// sample from the input device, "&Test Sample" plays the sample once. Both
// block the window until the sound is complete (through sh_ui::wait).
#pragma once

#include "audio/samplerec.h"
#include "shell/commands.h"

// The rate a recording takes now: the output rate when it is 11025, 22050
// or 44100 Hz, else the rate of the last recording.
int32_t sh_record_rate(const sh_state& st);

void sh_record_sample(sh_state& st, const sh_ui& ui);
void sh_test_sample(sh_state& st, const sh_ui& ui);

// Background recording while the editor plays: points the recorder at the
// sample (none when no sample is loaded) with the recording format.
void sh_background_target(sh_state& st, wv_samplerec& r);
// After the editor: a background recording that brought new material marks
// the sample unsaved; one that filled the whole sample gives it the
// recording's rate.
void sh_background_done(sh_state& st, wv_samplerec& r);
