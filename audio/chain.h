// The pieces of the output chain and of the buffer sizing that the streaming
// cycle applies around the refill: Buff.Beat, the blow-up rate rule, the
// replay of rows without a routine, the gap shapings and the 8-bit conversion.
// Pure functions on plain buffers, so each can be tested alone.
#pragma once

#include <cstdint>

#include "audio/refill.h"

// Stretch factor of each blow-up method (blowopt 0..6).
extern const int blowtab[7];
// The stretch factor of a method, 1 for none (and for values outside 0..6).
int wv_blowfactor(int blowopt);

// Rate and frame count of one buffer under a blow-up method: when the raised
// rate index would pass 48 (44100 Hz) the method is dropped for this buffer,
// else the frames are divided by the factor and the index raised by 6 per
// factor step (12 for 2x, 24 for 4x).
struct wv_blowup {
    int method;        // 0: no blow-up for this buffer
    int rateidx;       // index into pbrates for the device
    int32_t frames;    // frames the algorithm computes
};
wv_blowup wv_blowup_for(int rateidx, int blowopt, int32_t frames);

// Buff.Beat: the buffer size in bytes that holds one beat of the playing set.
// beat = parameter 11 of the set; sampling = the row's algorithm type is 1;
// blowopt the chosen blow-up method (its factor multiplies the beat).
int32_t wv_beat_size(int beat, bool sampling, int blowopt);

// Rows 21 and 22 without a routine: the buffer keeps its content from two
// turns before, scaled by p = parameter 15 of the set: 0 clears the 2*frames
// words, 1..127 scales by p/128 (truncating), 128 and above leaves it.
void wv_replay_scale(int16_t* buf, int32_t frames, int p);

// The refill of a turn for a row without a routine (21 without the Multiple
// play scratch buffer, 22): the other buffer becomes the next one to send and
// its old content is replayed, scaled as above. Flips rov_pl1load2 exactly as
// wv_tick_fill does. The echo copy follows when kept.
void wv_tick_replay(wvplay& pb, rov_globphase& g, int32_t frames, int p);

// Start of play for a row without a routine: both buffers zero-filled over
// bufsize/2 - 512 words; buffer 1 is sent next and the loop position reset,
// as wv_start_fill leaves them.
void wv_start_silence(wvplay& pb, rov_globphase& g);

// Gap shapings of a refilled buffer in gap mode; bufsize in bytes. N =
// bufsize/2 - 512 is the first spare word behind the played part; both
// shapings write it.
// Rotate: the sound turns once across the stereo field, fading in on the left
// and out on the right.
void wv_shape_rotate(int16_t* buf, int32_t bufsize);
// A 256-word fade at both ends of the played part.
void wv_shape_fade(int16_t* buf, int32_t bufsize);

// 8-bit mono of `frames` interleaved stereo frames with Volume v (parameter
// 14): k = 32767 / (260 - v), byte = (128 + L/k + R/k) mod 256, the divisions
// truncating towards zero.
void wv_to8bit(const int16_t* in, int32_t frames, int volume, uint8_t* out);
