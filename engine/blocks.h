// Building blocks shared by every algorithm routine: beat countdown, modulo
// sequences, parameter glide, slot search and stealing, envelope, oscillator
// shapes, dynamic stages with panning, and mixing. Each routine is a frame
// loop that calls these in the order its own rules give.
//
// Number formats: phases are uint16 (a full cycle is 65536), envelope levels
// are 0..T-1 with T the stage count (128 or 32), weights are 1/128 of the
// normal level, probabilities are compared against masked sequence states.
#pragma once

#include <cstdint>

#include "engine/rov.h"

// Wraps a value computed in wider arithmetic the way the 16- and 32-bit
// integers of the signal path do (explicit modular conversion, never signed
// overflow).
inline int16_t rov_s16(int64_t v) { return static_cast<int16_t>(static_cast<uint16_t>(v)); }
inline uint16_t rov_u16(int64_t v) { return static_cast<uint16_t>(v); }
inline int32_t rov_s32(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v)); }

// Integer division truncating toward zero, as C does (named for clarity where
// the rule says "truncating").
inline int32_t rov_div(int32_t a, int32_t b) { return a / b; }

constexpr int rov_block256 = 256;  // control block of the tone algorithms (frames)
constexpr int rov_block64 = 64;    // control block of the sampling algorithms (frames)

// --- 2. Beat countdown -------------------------------------------------------
// Called at the first frame of a control block. Returns true when a beat step
// is due: the countdown is then reloaded with the current Beat plus offset
// (0 in 256-frame algorithms, 2 in 64-frame ones). Otherwise the countdown
// falls by one; it stops at its 16-bit floor so that a long pause cannot wrap
// it around into a huge wait.
bool rov_beat(int16_t& voccnt, int16_t beat, bool stopped, int offset);

// --- 3. Modulo sequences -----------------------------------------------------
// x <- (m*x + 1) mod n, 32-bit signed arithmetic, remainder of signed division.
// A modulus of 0 (only a damaged setting file holds one) keeps the sequence to
// its 16 bits instead of dividing by zero.
uint16_t rov_modseq(uint16_t x, int32_t m, int16_t n);

// Advances the five standard sequences once (pitch, tonality, density,
// panning, dynamic).
void rov_sequences(rov_globphase& g, const rov_setting& s);

// --- 4. Parameter glide ------------------------------------------------------
// One glide turn at a beat step: params are the 16 parameters of the set the
// routine glides toward (parameter 15 is Chg.Dly), scale the 16 values of the
// playing scale. Returns true when the parameters were copied or moved.
bool rov_glide(rov_globphase& g, const int16_t* params, const int16_t* scale);

// Parameter i of set setnr / scale tonr of a setting.
inline const int16_t* rov_set(const rov_setting& s, int setnr) { return &s.rov_p[setnr * rov_nparams]; }
inline const int16_t* rov_scale(const rov_setting& s, int tonr) { return &s.rov_tones[tonr * rov_nvalues]; }

// --- 5. Voice slots and stealing ---------------------------------------------
struct rov_slotpick {
    int k;        // slot index, -1 when the tone is dropped
    bool stolen;  // true when a decaying slot was taken over
};
// First free slot among the first maxvoc; else, with Timbre Variation, the
// decaying slot with the lowest level below the stage count T.
rov_slotpick rov_findslot(const rov_tonephase* t, int maxvoc, bool tonalias, int stages);

// Slot limit at a routine's entry: one more than the highest slot below
// maxvoc that is not free (0 when all are free).
int rov_slotlimit(const rov_tonephase* t, int maxvoc);

// --- 6. Envelope --------------------------------------------------------------
// Envelope periods of a tone from the current Voices, Beat and Envelope.
// div is 2048 (128-stage tone and sampling algorithms) or 512 (32-stage);
// beatadd is 1 for 256-frame algorithms and 2 for 64-frame ones.
void rov_env_periods(rov_tonephase& v, int voices, int beat, int envelope, int beatadd, int div);

// Tone start: incr is the tone's phase (or position) increment; a zero
// increment frees the slot. Otherwise state 1 (level 1 unless stolen), or
// state 2 at level T-1 when the attack period is 0, or unchanged when both
// periods are 0. rov_ebase is cleared.
void rov_env_start(rov_tonephase& v, uint32_t incr, bool stolen, int stages);

// One frame of the envelope of a slot in state 1 or 2.
inline void rov_env_step(rov_tonephase& v, int stages) {
    if (v.rov_ephas == 1) {
        v.rov_ebase = rov_u16(v.rov_ebase + 1);
        if (v.rov_ebase == v.rov_eincr) {
            v.rov_ebase = 0;
            if (v.rov_ecurr < stages - 2) {
                v.rov_ecurr = rov_u16(v.rov_ecurr + 1);
            } else if (v.rov_edecr == 0) {
                v.rov_ephas = 0;
                v.rov_ecurr = 0;
            } else {
                v.rov_ecurr = rov_u16(stages - 1);
                v.rov_ephas = 2;
            }
        }
    } else if (v.rov_ephas == 2) {
        v.rov_ebase = rov_u16(v.rov_ebase + 1);
        if (v.rov_ebase == v.rov_edecr) {
            v.rov_ebase = 0;
            if (v.rov_ecurr <= 1) {
                v.rov_ephas = 0;
                v.rov_ecurr = 0;
            } else {
                v.rov_ecurr = rov_u16(v.rov_ecurr - 1);
            }
        }
    }
}

// --- 7. Dynamic stages and panning --------------------------------------------
enum rov_stage { rov_accent, rov_normal, rov_soft };

// Pan position from the panning sequence: ((panxi & 127) - 64) * var / 64 + centre.
int32_t rov_panpos(uint16_t panxi, int panvar, int panning);

// Weights of a stage at pan position p (accent 2(128-p), 2p; normal 128-p, p;
// soft 64-p/2, p/2), then a position below 0 clears the right weight and one
// above 128 the left weight.
void rov_weights(rov_tonephase& v, int32_t p, rov_stage stage);

// Emphasis shortening of the decay period: (edecr + add) / div.
inline void rov_emphasis(rov_tonephase& v, int add, int div) {
    v.rov_edecr = rov_u16((v.rov_edecr + add) / div);
}

// --- 8. Oscillator shapes ------------------------------------------------------
// Triangle with its peak at w: swings -16383..+16384 (w = 0: falling saw).
inline int32_t rov_triangle(uint32_t phi, uint32_t w) {
    if (phi < w) return static_cast<int32_t>(phi * 32767u / w) - 16383;
    const uint32_t den = 65535u - w;
    // w = 65535 cannot come from a Waveform parameter; keep the division safe.
    return static_cast<int32_t>((65535u - phi) * 32767u / (den ? den : 1u)) - 16383;
}
// Table value with linear interpolation between the 256 steps of a cycle;
// tab needs 257 entries. The division by 256 is an arithmetic shift.
inline int32_t rov_table(uint32_t phi, const int16_t* tab) {
    const uint32_t i = phi >> 8, f = phi & 255u;
    return (static_cast<int32_t>(256 - f) * tab[i] + static_cast<int32_t>(f) * tab[i + 1]) >> 8;
}
// Pulse free of direct current: (w - 65535)/2 below w, w/2 from w on.
inline int32_t rov_pulse(uint32_t phi, uint32_t w) {
    return phi < w ? (static_cast<int32_t>(w) - 65535) / 2 : static_cast<int32_t>(w) / 2;
}
// The shape chosen by the waveform kind and w.
inline int32_t rov_shape(uint16_t phi, uint16_t w, bool sawt, const int16_t* tab) {
    if (sawt) return rov_triangle(phi, w);
    if (w == 0) return rov_table(phi, tab);
    return rov_pulse(phi, w);
}

// Timbre variation of the pulse width: t = tonxi & 48; t != 0 gives (t/16)*w/4.
inline uint16_t rov_timbre(uint16_t w, int t) {
    return t ? rov_u16((t / 16) * static_cast<int32_t>(w) / 4) : w;
}

// --- 9. Mixing -------------------------------------------------------------------
// Adds one voice value v to the frame sums with the slot's weights and the
// mixing shift s. Products are formed as the 32-bit integers of the signal
// path (wrapping), then shifted arithmetically.
inline void rov_mix(const rov_tonephase& v, int32_t val, int s, uint32_t& left, uint32_t& right) {
    left += static_cast<uint32_t>(rov_s32(static_cast<int64_t>(v.rov_left) * val) >> s);
    right += static_cast<uint32_t>(rov_s32(static_cast<int64_t>(v.rov_right) * val) >> s);
}
// Stores the low 16 bits of the frame sums (no saturation).
inline void rov_store(int16_t* buffer, int32_t f, uint32_t left, uint32_t right) {
    buffer[2 * f] = rov_s16(left);
    buffer[2 * f + 1] = rov_s16(right);
}
