// Building blocks shared by every algorithm routine: beat countdown, modulo
// sequences, parameter glide, slot search and stealing, envelope, oscillator
// shapes, dynamic stages with panning, and mixing. Each routine calls these
// in the order its own rules give and renders its slots in envelope runs
// (engine/runs.h).
//
// Number formats: phases are uint16 (a full cycle is 65536), envelope levels
// are 0..T-1 with T the stage count (128 or 32), weights are 1/128 of the
// normal level, probabilities are compared against masked sequence states.
#pragma once

#include <cstdint>

#include "engine/rov.h"
#include "engine/slots.h"

// Wraps a value computed in wider arithmetic the way the 16- and 32-bit
// integers of the signal path do (explicit modular conversion, never signed
// overflow).
inline int16_t rov_s16(int64_t v) { return static_cast<int16_t>(static_cast<uint16_t>(v)); }
inline uint16_t rov_u16(int64_t v) { return static_cast<uint16_t>(v); }
inline int32_t rov_s32(int64_t v) { return static_cast<int32_t>(static_cast<uint32_t>(v)); }

// Integer division truncating toward zero, as C does (named for clarity where
// a truncating division is meant).
inline int32_t rov_div(int32_t a, int32_t b) { return a / b; }

constexpr int rov_block256 = 256;  // control block of the tone algorithms (frames)
constexpr int rov_block64 = 64;    // control block of the sampling algorithms (frames)

// --- Beat countdown ----------------------------------------------------------
// Called at the first frame of a control block. Returns true when a beat step
// is due: the countdown is then reloaded with the current Beat plus offset
// (0 in 256-frame algorithms, 2 in 64-frame ones). Otherwise the countdown
// falls by one; it stops at its 16-bit floor so that a long pause cannot wrap
// it around into a huge wait.
bool rov_beat(int16_t& voccnt, int16_t beat, bool stopped, int offset);

// --- Modulo sequences --------------------------------------------------------
// x <- (m*x + 1) mod n, 32-bit signed arithmetic, remainder of signed division.
// A modulus of 0 (only a damaged setting file holds one) keeps the sequence to
// its 16 bits instead of dividing by zero.
uint16_t rov_modseq(uint16_t x, int32_t m, int16_t n);

// Which of the standard sequences a beat step advances.
enum : unsigned {
    rov_seq_pitch = 1,
    rov_seq_ton = 2,
    rov_seq_dens = 4,
    rov_seq_pan = 8,
    rov_seq_dyn = 16,
    rov_seq_all = 31,
};

// Advances the chosen sequences once (default: all five: pitch, tonality,
// density, panning, dynamic), density and dynamic with the current
// rov_par::DensMult (the family's DensMode) and AccMode as multipliers.
void rov_sequences(rov_globphase& g, const rov_setting& s, unsigned which = rov_seq_all);

// The same for a channel with its own density and dynamic states and
// multipliers (the second channel of a two-channel routine).
void rov_sequences_ch(rov_globphase& g, const rov_setting& s, unsigned which, uint16_t& densxi,
                      int16_t densm, uint16_t& dynxi, int16_t dynm);

// --- Parameter glide ---------------------------------------------------------
// One glide turn at a beat step: params are the 16 parameters of the set the
// routine glides toward (ChgDly sets the pace), scale the 16 values of the
// playing scale. With a phrase scale, every scale value i >= 1 that the turn
// copies is accompanied by value i of the phrase scale into rov_phrase[i]
// (rov_phrase[0], the running phrase's base, is never touched). Returns true
// when the parameters were copied or moved.
bool rov_glide(rov_globphase& g, const int16_t* params, const int16_t* scale,
               const int16_t* phrase = nullptr);

// Where a glide turn puts scale values: the playing scale's values go into
// `into` (the gliding copy rov_toncur, or the phrase memory of a routine
// that plays the scale as a phrase), a phrase scale alongside into
// rov_phrase[1..15]; without `scale` the turn glides the parameters only
// and leaves every scale value and rov_tonupd alone.
struct rov_glidescale {
    const int16_t* scale = nullptr;
    int16_t* into = nullptr;  // null: rov_toncur
    const int16_t* phrase = nullptr;
};
bool rov_glide(rov_globphase& g, const int16_t* params, const rov_glidescale& sc);

// Parameter i of set setnr / scale tonr of a setting.
inline const int16_t* rov_set(const rov_setting& s, int setnr) { return &s.rov_p[setnr * rov_nparams]; }
inline const int16_t* rov_scale(const rov_setting& s, int tonr) { return &s.rov_tones[tonr * rov_nvalues]; }

// --- Voice slots and stealing ------------------------------------------------
struct rov_slotpick {
    int k;        // slot index, -1 when the tone is dropped
    bool stolen;  // true when a decaying slot was taken over
};
// First free slot among the first maxvoc; else, with Timbre Variation, the
// decaying slot with the lowest level below the stage count T.
rov_slotpick rov_findslot(const rov_tonephase* t, int maxvoc, bool tonalias, int stages);
// The stealing half alone: the decaying slot with the lowest level below
// the stage count among the first maxvoc (the first on ties), or -1.
int rov_stealslot(const rov_tonephase* t, int maxvoc, int stages);

// Slot limit at a routine's entry: one more than the highest slot below
// maxvoc that is not free (0 when all are free).
int rov_slotlimit(const rov_tonephase* t, int maxvoc);

// --- Envelope -----------------------------------------------------------------
// Envelope periods of a tone from the current Voices, Beat and Envelope.
// div is 2048 (128-stage tone and sampling algorithms) or 512 (32-stage);
// beatadd is 1 for 256-frame algorithms and 2 for 64-frame ones.
void rov_env_periods(rov_tonephase& v, int voices, int beat, int envelope, int beatadd, int div);

// Tone start without the silent-pitch test: state 1 (level 1 unless stolen)
// when the attack period is non-zero, else state 2 at level (T-1)*h when the
// decay period is non-zero, else the state is left as it was. h is the level
// step (1 everywhere except the hold envelope, where levels run up to 127*h).
// rov_ebase is cleared.
void rov_env_begin(rov_tonephase& v, bool stolen, int stages, int32_t h = 1);

// Tone start: incr is the tone's phase (or position) increment; a zero
// increment frees the slot (state 0, level 0), otherwise rov_env_begin.
void rov_env_start(rov_tonephase& v, uint32_t incr, bool stolen, int stages);

// One frame of the envelope of a slot in state 1 or 2, level step h. In the
// attack the level rises by h each period while below (T-2)*h, then the slot
// decays from (T-1)*h (or is freed when there is no decay); in the decay it
// falls by h each period and the slot is freed at or below h. Returns true
// when a decay period lowered the level (some routines retune then).
inline bool rov_env_step(rov_tonephase& v, int stages, int32_t h = 1) {
    if (v.rov_ephas == 1) {
        v.rov_ebase = rov_u16(v.rov_ebase + 1);
        if (v.rov_ebase == v.rov_eincr) {
            v.rov_ebase = 0;
            if (v.rov_ecurr < static_cast<int64_t>(stages - 2) * h) {
                v.rov_ecurr = rov_u16(static_cast<int64_t>(v.rov_ecurr) + h);
            } else if (v.rov_edecr == 0) {
                v.rov_ephas = 0;
                v.rov_ecurr = 0;
            } else {
                v.rov_ecurr = rov_u16(static_cast<int64_t>(stages - 1) * h);
                v.rov_ephas = 2;
            }
        }
    } else if (v.rov_ephas == 2) {
        v.rov_ebase = rov_u16(v.rov_ebase + 1);
        if (v.rov_ebase == v.rov_edecr) {
            v.rov_ebase = 0;
            if (v.rov_ecurr <= h) {
                v.rov_ephas = 0;
                v.rov_ecurr = 0;
            } else {
                v.rov_ecurr = rov_u16(static_cast<int64_t>(v.rov_ecurr) - h);
                return true;
            }
        }
    }
    return false;
}

// --- Dynamic stages and panning -----------------------------------------------
enum rov_stage { rov_accent, rov_normal, rov_soft };

// Pan position from the panning sequence: ((panxi & 127) - 64) * var / 64 + centre.
int32_t rov_panpos(uint16_t panxi, int panvar, int panning);

// Weights of a stage at pan position p (accent 2(128-p), 2p; normal 128-p, p;
// soft 64-p/2, p/2), then a position below 0 clears the right weight and one
// above 128 the left weight.
void rov_weights(rov_tonephase& v, int32_t p, rov_stage stage);

// The quieter weights of some three-stage routines: accent (128 - p)/2 and
// p/2, normal a quarter, soft an eighth of them.
inline void rov_weights_low(rov_tonephase& v, int32_t p, rov_stage stage) {
    const int32_t d = stage == rov_accent ? 2 : stage == rov_normal ? 4 : 8;
    v.rov_left = rov_u16((128 - p) / d);
    v.rov_right = rov_u16(p / d);
}

// Emphasis shortening of the decay period: (edecr + add) / div.
inline void rov_emphasis(rov_tonephase& v, int add, int div) {
    v.rov_edecr = rov_u16((v.rov_edecr + add) / div);
}

// Three dynamic stages from the dynamic sequence d = dynxi & 127 against the
// current Accents A: accent below A/2, normal below A, else soft.
inline rov_stage rov_stage3(uint16_t dynxi, int accents) {
    const int d = dynxi & 127;
    return d < accents / 2 ? rov_accent : d < accents ? rov_normal : rov_soft;
}
// Emphasis of the three-stage algorithms: a normal tone's decay period becomes
// (period + 1) / 2, a soft tone's (period + 3) / 4; accents keep theirs.
inline void rov_emphasis3(rov_tonephase& v, rov_stage st, bool emphas) {
    if (!emphas) return;
    if (st == rov_normal) rov_emphasis(v, 1, 2);
    if (st == rov_soft) rov_emphasis(v, 3, 4);
}

// --- Oscillator shapes ---------------------------------------------------------
// Triangle from 0 up to `top` at phase w and back to 0 at the end of the cycle
// (w = 0: falling saw). w = 65535 cannot come from a Waveform parameter; the
// division is kept safe anyway.
inline int32_t rov_ramp(uint32_t phi, uint32_t w, uint32_t top) {
    if (phi < w) return static_cast<int32_t>(phi * top / w);
    const uint32_t den = 65535u - w;
    return static_cast<int32_t>((65535u - phi) * top / (den ? den : 1u));
}
// Triangle with its peak at w: swings -16383..+16384 (w = 0: falling saw).
inline int32_t rov_triangle(uint32_t phi, uint32_t w) { return rov_ramp(phi, w, 32767u) - 16383; }
// The triangle of the multi-oscillator algorithms: 0..32768.
inline int32_t rov_tri32k(uint32_t phi, uint32_t w) { return rov_ramp(phi, w, 32768u); }
// Table value with linear interpolation between the 256 steps of a cycle;
// tab needs 257 entries. The division by 256 is an arithmetic shift.
inline int32_t rov_table(uint32_t phi, const int16_t* tab) {
    const uint32_t i = phi >> 8, f = phi & 255u;
    return (static_cast<int32_t>(256 - f) * tab[i] + static_cast<int32_t>(f) * tab[i + 1]) >> 8;
}
// Half-amplitude interpolated table value (the division is a shift by 9), so
// that two oscillators can be summed.
inline int32_t rov_table9(uint32_t phi, const int16_t* tab) {
    const uint32_t i = phi >> 8, f = phi & 255u;
    return (static_cast<int32_t>(256 - f) * tab[i] + static_cast<int32_t>(f) * tab[i + 1]) >> 9;
}
// Table entry without interpolation: tab[x & 255] (x may be negative).
inline int32_t rov_tab(const int16_t* tab, int32_t x) { return tab[x & 255]; }

// Pulse with edge ramps of `ramp` phase units (32 or 256), free of direct
// current, divided by div (4, or 6 for three oscillators): it falls from w to
// w - 65535 over the first ramp units of the cycle and rises back over the
// ramp units from w on. Divisions truncate toward zero.
inline int32_t rov_rpulse(uint32_t phi, uint32_t w, uint32_t ramp, int32_t div) {
    const int32_t wi = static_cast<int32_t>(w);
    const int32_t slope = static_cast<int32_t>(65536u / ramp);
    if (phi < ramp) return (wi - slope * static_cast<int32_t>(phi)) / div;
    if (phi < w) return (wi - 65535) / div;
    if (phi < w + ramp) return (slope * static_cast<int32_t>((w - phi) & (ramp - 1)) + wi - 65535) / div;
    return wi / div;
}

// The two-oscillator shape of the dual-oscillator family: two triangles
// (0..32768 each) minus 32768 with the waveform kind set; else two half sines
// for w = 0; else two ramped pulses, each a quarter.
inline int32_t rov_dual(const rov_tonephase& v, const int16_t* tab) {
    const uint16_t w = v.rov_wpuls;
    if (v.rov_sawt) return rov_tri32k(v.rov_wphas, w) + rov_tri32k(v.rov_wphas2, w) - 32768;
    if (w == 0) return rov_table9(v.rov_wphas, tab) + rov_table9(v.rov_wphas2, tab);
    return rov_rpulse(v.rov_wphas, w, 32, 4) + rov_rpulse(v.rov_wphas2, w, 32, 4);
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

// Octave folding of a pitch value into lo..hi, up to two octaves at once:
// below lo/4 it becomes lo, from 4 hi on hi; 0 (a rest) stays 0.
inline int32_t rov_fold2(int32_t u, int32_t lo, int32_t hi) {
    if (u == 0) return 0;
    if (u <= lo / 4) return lo;
    if (u >= 4 * hi) return hi;
    if (u < lo / 2) return 4 * u;
    if (u > 2 * hi) return (u + 2) / 4;
    if (u < lo) return 2 * u;
    if (u > hi) return (u + 1) / 2;
    return u;
}

// A scale value scaled by Pitch with 262 as unity: value * Pitch * 8 / 262
// (32-bit product, wrapping like the signal path's integers).
inline int32_t rov_scalepitch(int32_t value, int32_t pitch) {
    return rov_s32(static_cast<int64_t>(value) * pitch * 8) / 262;
}

// Timbre variation of the pulse width: t = tonxi & 48; t != 0 gives (t/16)*w/4.
inline uint16_t rov_timbre(uint16_t w, int t) {
    return t ? rov_u16((t / 16) * static_cast<int32_t>(w) / 4) : w;
}

// --- Mixing ----------------------------------------------------------------------
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
