// Refilling the play buffers: which routine computes a buffer, with which
// arguments, into which buffer. Device-independent: the streaming cycle calls
// it for every buffer it sends, and the offline render calls it in the same
// order, so rendering and playing cannot drift apart.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/rows.h"

// Frames per play buffer for a buffer size in bytes: the last 256 frames'
// worth of the block are never played.
inline int32_t wv_frames(int32_t bufsize) { return bufsize / 4 - 256; }

// A loaded sample (16-bit mono), or none.
struct wv_sample {
    const int16_t* data = nullptr;
    int32_t len = 0;
    rov_smparea area{};  // the buffer the words live in (the routines may read around them)
};

// The two play buffers and the loop algorithm's write position. Storage is
// allocated once, when the editor opens.
struct wvplay {
    int32_t bufszorig = 0;   // allocation size in bytes
    int32_t bufsize = 0;     // size in effect, bytes
    std::vector<int16_t> data[2];  // sample data of play buffers 0 and 1
    int32_t bufincr = 512;         // loop algorithm's step, in shorts
    int32_t bufcurrp = 0;          // loop algorithm's write position, in shorts
    int32_t bufcurrn = 0;          // loop algorithm's buffer, 0 or 1
};

// Buffer sizes in bytes and the loop algorithm's step (in shorts) for each;
// both end with a 0.
constexpr int wv_nbufsz = 18;
extern const int32_t bufsztab[wv_nbufsz + 1];
extern const int32_t bufincrtab[wv_nbufsz + 1];

// The loop step for a buffer size: its bufincrtab entry, 512 for a size that
// is not in bufsztab.
int32_t wv_bufincr(int32_t bufszorig);

// Words of one play buffer of a size in bytes: those behind the 32-byte
// device header of the block.
inline std::size_t wv_words(int32_t bufszorig) { return static_cast<std::size_t>((bufszorig - 32) / 2); }

// Allocates the buffers for a size in bytes and takes the loop step for that size.
void wv_alloc(wvplay& pb, int32_t bufszorig);

// What one refill needs to know of the engine and the shell.
struct wv_source {
    rov_handle* roh = nullptr;
    int row = 0;           // row (rows.h) being played
    int setnr = 0;         // playing parameter set
    int tonr = 0;          // playing scale
    wv_sample sample;      // the loaded sample, if any
    const int16_t* echo = nullptr;  // the output chain's clean copy of the last buffer, if it keeps one
};

// Arguments 6 and 7 of the routine call for a row.
struct wv_args {
    const int16_t* tab;
    intptr_t len;
    rov_smparea area{};  // the sample's buffer (rov_handle::smp of the call)
};
wv_args wv_algargs(int row, const wv_sample& sample, const int16_t* echo);

// Fills play buffer j with `frames` frames by the row's routine. `first`
// marks the first buffer of a start: its echo source is buffer 1,
// zero-filled before. Later buffers read the chain's echo copy when there is
// one, else the other play buffer.
void wv_fill(wvplay& pb, const wv_source& src, int j, int32_t frames, bool first);

// The second half of a start: buffer 1 is computed (after buffer 0 was
// computed with first = true and sent), buffer 1 is sent next (rov_pl1load2 =
// 1) and the loop position is reset.
void wv_start_second(wvplay& pb, const wv_source& src, int32_t frames);

// Start of play: buffer 0 and buffer 1 are computed, buffer 1 is sent next
// (rov_pl1load2 = 1) and the loop position is reset. Buffer 0 is sent first.
void wv_start_fill(wvplay& pb, const wv_source& src, int32_t frames);

// The buffer the next turn sends: 1 if rov_pl1load2 is set, else 0.
inline int wv_sendindex(const rov_globphase& g) { return g.rov_pl1load2 ? 1 : 0; }

// One turn after buffer wv_sendindex() was sent: the other buffer is refilled
// and becomes the next one to send. A looping-slice row instead computes
// only one slice (wv_loop_slice); the rest of both buffers is replayed as it is.
void wv_tick_fill(wvplay& pb, const wv_source& src, int32_t frames);

// The loop algorithm's refill: bufincr/2 frames computed by the row's routine
// at word bufcurrp of buffer bufcurrn; the position then moves on by bufincr
// words, or back to 0 in the other buffer once it has reached the last step
// of the played part (bufsize/2 - 512 words).
void wv_loop_slice(wvplay& pb, const wv_source& src);
