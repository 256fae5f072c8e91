// Engine records: one setting, its running global phase, the 64 voice slots
// and the handle that names all three. Every algorithm routine keeps all its
// memory in these records, so any number of engine states can be driven side
// by side by the same routines.
#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/smpmem.h"

constexpr int rov_nsets = 10;     // parameter sets per setting
constexpr int rov_nparams = 16;   // parameters per set
constexpr int rov_nscales = 10;   // scales per setting
constexpr int rov_nvalues = 16;   // values per scale
constexpr int rov_ncurr = 13;     // parameters 0..12 glide; 13..15 are read directly
constexpr int rov_nslots = 64;    // voice slots per engine state

// One sound setting; also the whole body of a setting file (672 bytes, see
// rov_setting_write / rov_setting_read for the byte layout).
struct rov_setting {
    int16_t rov_p[rov_nsets * rov_nparams];      // set n at 16n..16n+15
    int8_t rov_saw[rov_nsets];                   // per set: the algorithm's switch, 0 or 1
    int8_t rov_tonindx[rov_nsets];               // per set: scale remembered with it, 0..9
    int16_t rov_densmod;                         // modulus of the density sequence
    int16_t rov_dynmod;                          // modulus of the dynamic sequence
    int16_t rov_tonmod;                          // modulus of the tonality sequence
    int16_t rov_pitmod;                          // modulus of the pitch sequence
    int16_t rov_panmod;                          // modulus of the panning sequence
    int16_t rov_tones[rov_nscales * rov_nvalues];  // scale n at 16n..16n+15
    int16_t rov_stdalg;                          // the row (rows.h) the setting belongs to
};

constexpr std::size_t rov_setting_bytes = 672;

// Little-endian serialization, independent of the host's struct layout.
void rov_setting_write(const rov_setting& s, uint8_t out[rov_setting_bytes]);
void rov_setting_read(rov_setting& s, const uint8_t in[rov_setting_bytes]);

// Running state of one playing setting.
struct rov_globphase {
    int16_t rov_currp[rov_ncurr];   // gliding copies of parameters 0..12
    int16_t rov_vocdist;            // Beat of the playing set at start (not read by routines)
    int16_t rov_voccnt;             // control blocks until the next beat step (signed)
    int16_t rov_vocdist2;           // second channel's Beat / block stretch
    int16_t rov_voccnt2;            // second channel's countdown
    uint16_t rov_vocno;             // beat steps since the last glide step
    uint16_t rov_pitxi;             // pitch sequence state
    int16_t rov_toncur[rov_nvalues];  // gliding copy of the playing scale
    int16_t rov_phrase[32];         // phrase memory; 0..15 loaded at start
    int16_t rov_phrap1;             // phrase position, channel 1
    int16_t rov_phrap2;             // phrase position, channel 2
    int16_t rov_tonupd;             // next scale index (0..15) the glide copies
    uint16_t rov_tonxi;             // tonality sequence state
    uint16_t rov_densxi;            // density sequence state
    uint16_t rov_densxi2;           // second channel's density sequence state
    uint16_t rov_panxi;             // panning sequence state
    uint16_t rov_dynxi;             // dynamic sequence state
    uint16_t rov_dynxi2;            // second channel's dynamic sequence state
    int8_t rov_pl1load2;            // play buffer sent next by the streaming cycle (0 or 1)
    int8_t rov_emphas;              // Emphasis option copy
    int8_t rov_tonalias;            // Timbre Variation option copy
    int8_t rov_stopped;             // pause: no beat steps while non-zero
    int8_t rov_maxvoc;              // voice slots in use, 1..64
    int8_t rov_resv1;
    int16_t rov_volshift;           // base right shift of the mixer, 11..14
};

// One voice slot. Tone algorithms use the oscillator fields, sampling
// algorithms the rov_s* fields; the envelope, weights and filter memory are
// shared by both views, so one slot array serves both.
struct rov_tonephase {
    // tone view: phases and increments, a full cycle is 65536
    uint16_t rov_wphas;     // phase of oscillator 1
    uint16_t rov_wphas2;    // phase of oscillator 2
    uint16_t rov_wphas3;    // phase of oscillator 3
    uint16_t rov_wpuls;     // pulse width / triangle peak, 0..65535; 0 selects the table
    uint16_t rov_wincr;     // phase increment per frame, oscillator 1
    uint16_t rov_wincr2;    // phase increment per frame, oscillator 2
    uint16_t rov_wincr3;    // phase increment per frame, oscillator 3
    // sample view: positions in 1/256 sample (24.8 fixed point)
    uint32_t rov_sphas;     // play position within the loop
    uint32_t rov_sbeg;      // index of the loop's first sample inside the sample
    uint32_t rov_sleng;     // loop length
    uint16_t rov_sincr;     // position increment per frame
    // shared
    uint16_t rov_ephas;     // envelope state: 0 free, 1 attack, 2 decay
    uint16_t rov_eincr;     // frames per attack stage
    uint16_t rov_edecr;     // frames per decay stage
    uint16_t rov_ecurr;     // envelope level, 0..127 (0..31 in 32-stage algorithms)
    uint16_t rov_ebase;     // frame counter within the current stage
    uint16_t rov_left;      // left weight, 128 = normal level
    uint16_t rov_right;     // right weight, 128 = normal level
    int32_t rov_prev;       // previous output value (filter memory)
    union {
        int8_t rov_sawt;    // tone view: waveform kind, copy of rov_saw[setnr] at tone start
        int8_t rov_sloop;   // sample view: loop switch at tone start
    };
    union {
        int8_t rov_resv3;
        int8_t rov_aux1;    // sample view: per-algorithm use
    };
    union {
        int16_t rov_resv4;
        int16_t rov_aux2;   // sample view: per-algorithm use
    };
};
using rov_sampphase = rov_tonephase;

// TESS_SCALAR=1 in the environment: handles start on the scalar form of the
// voice runs (engine/runs.h).
bool rov_scalar_env();

struct rov_toneevs;  // engine/toneev.h

struct rov_handle {
    rov_setting* s;
    rov_globphase* g;
    rov_tonephase* t;  // first of rov_nslots slots
    rov_smparea smp{};  // the buffer the sample handed to the routines lives in
    bool scalar = rov_scalar_env();  // runs in the scalar form (the reference), not the vector kernels
    rov_toneevs* ev = nullptr;  // where tone starts and ends are reported; null: nowhere
};

// One complete engine state (the foreground state, or one bank track).
struct rov_state {
    rov_setting s;
    rov_globphase g;
    rov_tonephase t[rov_nslots];
    rov_handle h;
};

// Zeroes the state and points its handle at its own records.
void rov_state_init(rov_state& st);

// Algorithm routine. Arguments 6 and 7 depend on the row's algtyp: the sine
// table (or sample, or echo source) and its length, or for algtyp 3 the
// address of the note-value table.
using rov_alg = void (*)(rov_handle* roh, int16_t* buffer, int32_t bufsz, int setnr, int tonr,
                         const int16_t* tab, intptr_t tablen);

struct rov_algtab {
    const char* icon;    // icon resource name
    int ixpos, iypos;    // icon position in the main window
    int mitem;           // menu command that selects the row
    rov_alg alg;         // routine, or nullptr
    int beat;            // 1: 64-frame blocks, Beat+3; 2: 256-frame blocks, Beat+1; 0 none
    int algtyp;          // 0 sine, 1 sample, 2 echo buffer, 3 note table
    const char* title;   // title of the row's information box
};

// Rows of the algorithm table (engine/rows.h).
extern const int rov_natab;

// Sine table: 256 steps of one cycle plus a closing entry, peak 20860.
extern const int16_t sinemd[65];
// The whole cycle (257 entries), computed from sinemd at compile time.
extern const int16_t* const sintab;

// Playback rates indexed by parameter 13 of a set (Hz).
constexpr int pbrates_n = 51;
extern const int32_t pbrates[pbrates_n];
// pbrates[index] with the index kept to the table (a damaged setting may hold any value).
int32_t rov_rate(int index);

// The built-in default setting.
void rov_default_setting(rov_setting& s);

// A setting from ten rows of a set's sixteen parameters, its switch and its
// scale number, and ten scales; the moduli are the standard ones (120, 120,
// 1753, 1753, 1753) and the algorithm is row 1.
constexpr int rov_setrow = rov_nparams + 2;
void rov_setting_build(rov_setting& s, const int16_t sets[rov_nsets][rov_setrow],
                       const int16_t scales[rov_nscales][rov_nvalues]);

// Right shift of the mixer for a voice maximum.
int16_t rov_volshift_for(int maxv);

// Caller's duties when the setting editor opens: the option copies.
void rov_open(rov_handle* roh, bool emphas, bool tonalias, int maxv);

// Caller's duties at the start of play: free all slots and reset the global
// phase from set setnr and scale tonr (row decides the Session and Ostinato
// special cases).
void rov_start(rov_handle* roh, int row, int setnr, int tonr);
