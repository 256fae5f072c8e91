// Tone events: on request every routine reports each tone it starts and
// each tone that ends (or is stolen) into a collector named by the engine
// handle (rov_handle::ev, null: nobody asks, and nothing is done beyond one
// test of that pointer where a tone starts and one per control block).
//
// A start is reported where the routine starts the tone, at the first
// frame of the control block; an end at the end of the control block in
// which the slot fell free (a tone stolen by a new one ends where that one
// starts). A tone found sounding in a slot the collector did not see start
// (a tone played by hand on the pad, between two buffers) is reported at the
// start of the block in which it is first seen. The collector has a fixed
// capacity: nothing is allocated while the routines run; what does not fit
// is counted in `dropped`.
#pragma once

#include <cstdint>

#include "engine/rov.h"

enum class rov_evkind : uint8_t { start, end };

struct rov_toneev {
    uint32_t frame = 0;    // frame of the routine's buffer (plus the collector's base)
    uint32_t incr = 0;     // phase increment (a cycle is 65536) or sample step (1/256 word per frame)
    uint16_t left = 0;     // weights at the start, 128 = normal level
    uint16_t right = 0;
    uint8_t slot = 0;
    uint8_t track = 0;     // Multiple play's track 0..3 (0 elsewhere)
    rov_evkind kind = rov_evkind::start;
    bool sample = false;   // incr is a sample step, not an oscillator's increment
};

constexpr int rov_ntracks = 4;
constexpr uint32_t rov_toneev_cap = 2048;

struct rov_toneevs {
    rov_toneev ev[rov_toneev_cap];
    uint32_t n = 0;
    uint32_t dropped = 0;
    uint32_t base = 0;      // added to the frames of the routine's buffer
    uint8_t track = 0;      // the track the next routine call computes
    // The slots heard sounding: the list's own, or those of a list kept
    // beside others that take turns with it (one per play buffer).
    bool own[rov_ntracks][rov_nslots] = {};
    bool (*sounding)[rov_nslots] = own;

    rov_toneevs() = default;
    rov_toneevs(const rov_toneevs&) = delete;
    rov_toneevs& operator=(const rov_toneevs&) = delete;

    // Empties the list; the slots stay as they were heard.
    void clear() {
        n = dropped = 0;
        base = 0;
    }
    // Forgets every sounding slot too (a start of play frees them all).
    void reset() {
        clear();
        for (int t = 0; t < rov_ntracks; ++t)
            for (int k = 0; k < rov_nslots; ++k) sounding[t][k] = false;
    }
};

// A tone has just been set up in slot k at frame `frame` of the routine's
// buffer. A tone the slot still held ends there. A slot the start left free
// (a zero increment) starts nothing.
void rov_ev_start(rov_toneevs& e, const rov_tonephase* t, int k, int32_t frame, bool sample);

// After a control block of frames [from, to): slots that fell free end at
// `to`, slots sounding unseen start at `from`. `sample`: the routine steps
// through a sample.
void rov_ev_scan(rov_toneevs& e, const rov_tonephase* t, int32_t from, int32_t to, bool sample);
