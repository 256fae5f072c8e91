// Multiple play: the active setting and the three setting banks sound as
// four tracks, each computed by its own setting's algorithm on its own
// engine state, halved and summed into the play buffer.
#pragma once

#include <cstdint>

#include "audio/refill.h"
#include "audio/status.h"
#include "engine/banks.h"

// A track's row is played: a routine exists and it is neither the looping
// slice, Multiple play itself nor the empty algorithm.
bool wv_track_playable(int row);

// A track on `row` sounds: the row is played and, for a sampling row, the
// loaded sample (or the sine table standing in for none) is long enough.
bool wv_track_sounds(int row, const wv_sample& sample);

// Multiple play needs an echo copy: one of the four settings' own rows is
// the echo algorithm.
bool wv_mult_echo(const rov_setting& active, const rov_banks& b);

// One four-track buffer into `out` (2 x frames words). Track 0 is `fg`
// (its handle, set, scale and row: the active setting's own algorithm),
// computed straight into `out`; tracks 1..3 are the banks, computed into
// `scratch` through the handle `rohmult`. A track that is not played adds
// nothing (track 0 clears `out` first, over `clearwords` words); the others
// are halved and added with 16-bit wrap-around. With `levels` each track's
// peak goes to levels->lev[2 + k] (0 for a silent track). `echo` is the
// echo routine's source. No allocation.
void wv_mult_fill(int16_t* out, int32_t clearwords, int16_t* scratch, int32_t frames, const wv_source& fg,
                  rov_banks& b, rov_handle& rohmult, const int16_t* echo, wv_levelset* levels);

// The refill of a turn in Multiple play: the other play buffer becomes the
// next one to send (flipping rov_pl1load2 as wv_tick_fill does) and is
// filled with the four tracks. `fg.row` is the active setting's own row.
void wv_tick_multiple(wvplay& pb, const wv_source& fg, rov_banks& b, rov_handle& rohmult, int16_t* scratch,
                      int32_t frames, wv_levelset* levels);

// A bank whose global phase was never prepared for play (loaded before the
// editor ever opened: no voice maximum) gets the option copies that the
// editor gives the active setting, so that its track can sound.
void wv_mult_prepare_banks(rov_banks& b, int maxv, bool emphas, bool tonalias);

// The Z button in Multiple play: the active setting and the banks rotate
// (rov_bank_rotate). The buffer the cycle sends next stays the same, so the
// sound goes on without a skip.
void wv_mult_rotate(rov_banks& b, const rov_handle& fg, int& setnr, int& tonr);
