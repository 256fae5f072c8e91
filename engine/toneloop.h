// The skeleton shared by the tone routines that start one tone per beat step:
// a control step at the first frame of each control block, a beat step
// (sequences, draws, glide, slot, tone start), and between control steps
// every slot below the slot limit rendered and mixed in envelope runs (see
// engine/runs.h), each run by the routine's vector kernel where it has one
// for the slot's shape, else frame by frame.
//
// A routine is a struct of static hooks handed to rov_tone_routine. The base
// rov_tonehooks holds the dual-oscillator rules (and reads the family's own
// slots by their par_dual names); a routine that differs from another
// derives from it and declares only the hooks it changes, so the skeleton
// reads each decision from the most derived struct.
#pragma once

#include "engine/blocks.h"
#include "engine/runs.h"
#include "engine/toneev.h"

// Everything one call works on.
struct rov_ctx {
    const rov_setting& s;
    rov_globphase& g;
    rov_tonephase* t;
    const int16_t* params;  // the playing set (16 parameters)
    const int16_t* scale;   // the playing scale (16 values)
    const int16_t* tab;     // the routine's table argument: sine table, or the echo source
    int setnr;
    int tonr;
    int32_t bufsz;
    int shift;              // mixing shift: rov_volshift + 1
    int kmax;               // slot limit: slots below it are computed
    int32_t noise = 0;      // per-frame phase offset (noise routines)
    // Per-frame extra phase of oscillator 1 summed from the chunk's start
    // (mod 65536; entry i is the sum before frame i), or none.
    const int32_t* drift = nullptr;
    int32_t driftsum[rov_chunk + 1 + rov_chunkpad] = {};  // padded for a vector load
    int32_t frame = 0;      // chunk frame the frame-by-frame loop is at
    int32_t delay = 0;      // echo delay in interleaved samples (echo routine)
    int ch = 0;             // channel whose beat step runs (two-channel routine)
    const int16_t* chp = nullptr;  // that channel's parameters, if not the gliding ones
    // The parameters a beat step works with: the gliding copy rov_currp, or
    // the second channel's set read directly.
    const int16_t* cp() const { return chp ? chp : g.rov_currp; }
    const int16_t* notes = nullptr;     // the note-value table, for a routine that is handed one
    rov_toneevs* ev = nullptr;          // where tone starts and ends go (rov_handle::ev)
    int32_t f0 = 0;                     // buffer frame of the chunk's first frame
    bool scalar = true;                 // the scalar form of the runs only
    rov_tabpairs* pairs = nullptr;      // the table's pairs, built at first use
    bool paired = false;
    const rov_tabpairs& tabpairs() {
        if (!paired) pairs->build(tab);
        paired = true;
        return *pairs;
    }
};

// Phase advance of one, two or three oscillators.
template <int oscs>
inline void rov_advance(rov_tonephase& v) {
    v.rov_wphas = rov_u16(v.rov_wphas + v.rov_wincr);
    if (oscs > 1) v.rov_wphas2 = rov_u16(v.rov_wphas2 + v.rov_wincr2);
    if (oscs > 2) v.rov_wphas3 = rov_u16(v.rov_wphas3 + v.rov_wincr3);
}

// The tone-start draw of a beat step (pulse-width variation and the like).
using rov_draw = int;

struct rov_tonehooks {
    static constexpr int stages = 128;  // envelope stage count
    static constexpr int perdiv = 2048; // divisor of the envelope periods
    static constexpr int oscs = 2;      // oscillators per slot

    // A control block starts at every 256th frame.
    static bool block(const rov_ctx&, int32_t f) { return f % rov_block256 == 0; }
    static void on_block(rov_ctx&) {}
    // Before the slots render frames f0..f0+n-1: the routine's per-frame state.
    static void on_chunk(rov_ctx&, int32_t, int32_t) {}

    static void sequences(rov_ctx& c) { rov_sequences(c.g, c.s); }
    // Timbre draw t = tonxi & 48 while Timbre Variation is on and the voice
    // maximum covers Voices (in sixteenths).
    static rov_draw draw(const rov_ctx& c) {
        return c.g.rov_tonalias && c.g.rov_maxvoc * 16 >= c.cp()[rov_par::Voices] ? (c.g.rov_tonxi & 48) : 0;
    }
    static void glide(rov_ctx& c) { rov_glide(c.g, c.params, c.scale); }
    // A tone when (densxi & 127) < Density, in a free or stolen slot.
    template <class V>
    static rov_slotpick pick(const rov_ctx& c) {
        if ((c.g.rov_densxi & 127) >= c.cp()[par_dual::Density]) return {-1, false};
        return rov_findslot(c.t, c.g.rov_maxvoc, c.g.rov_tonalias, V::stages);
    }
    // A stolen slot keeps its phases and level.
    static bool fresh(bool stolen) { return !stolen; }
    static uint16_t width(const rov_ctx& c, rov_draw t) {
        return rov_timbre(rov_u16(c.cp()[rov_par::Waveform] * 256), t);
    }
    // Scale tone scaled by Pitch/32 or random pitch; the second oscillator
    // Detune/512 above the first.
    static void pitch(rov_ctx& c, rov_tonephase& v, rov_draw) {
        const int16_t* cp = c.cp();
        const uint16_t x = c.g.rov_tonxi;
        if ((x & 255) < cp[par_dual::Tonality])
            v.rov_wincr = rov_u16(c.g.rov_toncur[x & 15] * cp[rov_par::Pitch] / 32);
        else
            v.rov_wincr =
                rov_u16(8 * cp[rov_par::Pitch] + ((c.g.rov_pitxi & 127) - 64) * cp[par_dual::PitSpread] / 4);
        v.rov_wincr2 =
            rov_u16(rov_s32(static_cast<int64_t>(v.rov_wincr) * cp[par_dual::Detune]) / 512 + v.rov_wincr);
    }
    template <class V>
    static void envstart(rov_ctx&, rov_tonephase& v, bool stolen) {
        rov_env_start(v, v.rov_wincr, stolen, V::stages);
    }
    // Three dynamic stages at pan position panxi & 127.
    static void weights(rov_tonephase& v, int32_t p, rov_stage st) { rov_weights(v, p, st); }
    static int32_t panpos(const rov_ctx& c) { return c.g.rov_panxi & 127; }
    // The dynamic sequence the stage is drawn from.
    static uint16_t dynxi(const rov_ctx& c) { return c.g.rov_dynxi; }

    // Voice value: both oscillators, the level with 1/16, then the one-pole
    // low-pass of Filter (0..64, in 1/64) whose memory is rov_prev.
    static int32_t value(rov_ctx& c, rov_tonephase& v) {
        int32_t val = (v.rov_ecurr * rov_dual(v, c.tab)) >> 4;
        const int32_t fl = c.cp()[par_dual::Filter];
        if (fl > 0)
            val = rov_s32(static_cast<int64_t>(fl) * v.rov_prev + static_cast<int64_t>(64 - fl) * val) >> 6;
        v.rov_prev = val;
        return val;
    }
    static void advance(const rov_ctx&, rov_tonephase& v) { rov_advance<2>(v); }
    // The kernel form of value() for the slot's shape: fills the shape
    // fields of a run (phases, increments, width, level and weights are the
    // slot's), or false where the frames must be computed one by one.
    static bool kernel(const rov_ctx& c, const rov_tonephase& v, rov_run& run) {
        return c.cp()[par_dual::Filter] <= 0 && rov_dual_run(v, run);
    }
    // r frames at a constant level from frame f of the chunk, by the kernel
    // when there is one, else through value() and advance(). This value()
    // keeps the filter memory: its run's last frame is then left to value().
    template <class V>
    static void run(rov_ctx& c, rov_tonephase& v, int32_t f, int32_t r, rov_sums& sums) {
        constexpr bool memory = static_cast<int32_t (*)(rov_ctx&, rov_tonephase&)>(&V::value) == &value;
        constexpr int32_t last = memory ? 1 : 0;
        rov_run run = rov_run_of(v, c.shift);
        if (!c.scalar && r >= rov_kernel_min && V::kernel(c, v, run)) {
            if (run.level != 0)  // a silent run adds nothing
                rov_vec_run(run, rov_reads_table(run) ? c.tabpairs() : *c.pairs, f, r - last, sums);
            uint16_t* const phases[3] = {&v.rov_wphas, &v.rov_wphas2, &v.rov_wphas3};
            rov_run_advance(run, V::oscs, phases, f, r - last);
            f += r - last;
            r = last;
        }
        for (int32_t i = f; i < f + r; ++i) {
            c.frame = i;
            rov_mix(v, V::value(c, v), c.shift, sums.left[i], sums.right[i]);
            V::advance(c, v);
        }
    }
    template <class V>
    static void envstep(rov_ctx&, rov_tonephase& v) {
        rov_env_step(v, V::stages);
    }
    static void store(rov_ctx&, int16_t* buffer, int32_t f, uint32_t left, uint32_t right) {
        rov_store(buffer, f, left, right);
    }

    // The control step of a block: the beat countdown, then the beat step.
    template <class V>
    static void control(rov_ctx& c);
};

// Tone start in slot k (a fixed order: later hooks read what earlier ones set).
template <class V>
void rov_tone_start(rov_ctx& c, rov_slotpick pick, rov_draw draw) {
    rov_tonephase& v = c.t[pick.k];
    const int16_t* cp = c.cp();
    if (pick.k >= c.kmax) c.kmax = pick.k + 1;
    const bool fresh = V::fresh(pick.stolen);
    if (fresh) {
        v.rov_wphas = 0;
        if (V::oscs > 1) v.rov_wphas2 = 0;
        if (V::oscs > 2) v.rov_wphas3 = 0;
    }
    v.rov_wpuls = V::width(c, draw);
    V::pitch(c, v, draw);
    rov_env_periods(v, cp[rov_par::Voices], cp[rov_par::Beat], cp[rov_par::Envelope], 1, V::perdiv);
    V::template envstart<V>(c, v, !fresh);
    const rov_stage st = rov_stage3(V::dynxi(c), cp[rov_par::Accents]);
    rov_emphasis3(v, st, c.g.rov_emphas);
    V::weights(v, V::panpos(c), st);
    v.rov_sawt = c.s.rov_saw[c.setnr];
    if (c.ev) rov_ev_start(*c.ev, c.t, pick.k, c.f0, false);
}

// Beat step: sequences, draw, glide, slot, tone.
template <class V>
void rov_beat_step(rov_ctx& c) {
    V::sequences(c);
    const rov_draw draw = V::draw(c);
    V::glide(c);
    const rov_slotpick pick = V::template pick<V>(c);
    if (pick.k >= 0) rov_tone_start<V>(c, pick, draw);
}

template <class V>
void rov_tonehooks::control(rov_ctx& c) {
    if (rov_beat(c.g.rov_voccnt, c.cp()[rov_par::Beat], c.g.rov_stopped, 0)) rov_beat_step<V>(c);
}

// The routine: entry, then chunk by chunk: the control step where a block
// starts, the routine's per-frame state, every slot's runs up to the next
// block start, and the chunk's frames stored.
template <class V>
void rov_tone_routine(rov_handle* roh, int16_t* buffer, int32_t bufsz, int setnr, int tonr,
                      const int16_t* tab, const int16_t* notes = nullptr) {
    rov_ctx c{*roh->s, *roh->g, roh->t, rov_set(*roh->s, setnr), rov_scale(*roh->s, tonr), tab, setnr, tonr,
              bufsz, roh->g->rov_volshift + 1, 0};
    c.notes = notes;
    c.kmax = rov_slotlimit(c.t, c.g.rov_maxvoc);
    c.scalar = roh->scalar;
    c.ev = roh->ev;
    rov_tabpairs pairs;
    c.pairs = &pairs;
    rov_sums sums;
    for (int32_t f0 = 0; f0 < bufsz;) {
        c.f0 = f0;
        if (V::block(c, f0)) {
            V::on_block(c);
            V::template control<V>(c);
        }
        const int32_t end = std::min(bufsz, f0 + rov_chunk);
        int32_t f1 = f0 + 1;
        while (f1 < end && !V::block(c, f1)) ++f1;
        const int32_t n = f1 - f0;
        V::on_chunk(c, f0, n);
        sums.clear(n);
        // Every slot below the limit is rendered, free ones included: their
        // level is 0, but a filter memory keeps decaying.
        for (int k = 0; k < c.kmax; ++k) {
            rov_tonephase& v = c.t[k];
            rov_voice_runs(
                v, n, [&](int32_t f, int32_t r) { V::template run<V>(c, v, f, r, sums); },
                [&] { V::template envstep<V>(c, v); });
        }
        for (int32_t i = 0; i < n; ++i) V::store(c, buffer, f0 + i, sums.left[i], sums.right[i]);
        if (c.ev) rov_ev_scan(*c.ev, c.t, f0, f1, false);
        f0 = f1;
    }
}
