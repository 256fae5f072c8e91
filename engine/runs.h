// Voice runs: the shape every tone routine renders in. A buffer is cut into
// chunks of at most rov_chunk frames that start at control-block starts (and
// at the routine's other per-frame events); per chunk each slot renders its
// frames into 32-bit frame sums, one envelope run at a time: the frames up
// to the envelope's next step, at a constant level, weights and shape. The
// sums wrap modulo 2^32, so the order of the slots does not matter; the
// chunk is then stored as 16-bit frames.
//
// Runs come in two forms that give the same sums: the scalar form, the
// reference, and vector kernels (run-time dispatched to the processor's SIMD
// extension). Each engine state's handle chooses (rov_handle::scalar);
// TESS_SCALAR=1 in the environment makes the scalar form every handle's default.
#pragma once

#include <algorithm>
#include <cstdint>

#include "engine/blocks.h"

constexpr int32_t rov_chunk = 256;    // most frames per pass over the slots
constexpr int32_t rov_chunkpad = 16;  // room after a chunk for a vector's lanes beyond the run
constexpr int32_t rov_kernel_min = 8; // shorter runs are cheaper frame by frame than by a kernel call

// Frame sums of one chunk: left and right, each 32-bit and wrapping.
struct rov_sums {
    alignas(64) uint32_t left[rov_chunk + rov_chunkpad];
    alignas(64) uint32_t right[rov_chunk + rov_chunkpad];
    rov_sums() { clear(rov_chunk + rov_chunkpad); }
    void clear(int32_t n) {
        std::fill_n(left, n, 0u);
        std::fill_n(right, n, 0u);
    }
};

// Name of the SIMD target the vector kernels run on (e.g. "AVX3", "AVX2").
const char* rov_simd_target();

// Frames a slot in state 1 or 2 renders at its current level before the
// envelope steps: the stage's frame counter runs from rov_ebase up to the
// stage period (1..65536, as the 16-bit counter wraps).
inline int32_t rov_env_run(const rov_tonephase& v) {
    const uint16_t period = v.rov_ephas == 1 ? v.rov_eincr : v.rov_edecr;
    return ((period - v.rov_ebase - 1) & 0xffff) + 1;
}

// Renders n frames of slot v run by run: render(f, r) renders frames f..f+r-1
// at the current level and advances the phases; then step() runs the
// envelope's frame for the last of them, with the frame counter moved on
// over the others (no step falls among them). A free slot is one run.
template <class Render, class Step>
inline void rov_voice_runs(rov_tonephase& v, int32_t n, Render&& render, Step&& step) {
    for (int32_t f = 0; f < n;) {
        if (v.rov_ephas == 0) {
            render(f, n - f);
            return;
        }
        const int32_t r = std::min(n - f, rov_env_run(v));
        render(f, r);
        v.rov_ebase = rov_u16(v.rov_ebase + r - 1);
        step();
        f += r;
    }
}

// Stores a chunk's sums as frames f0.. of the buffer (low 16 bits).
inline void rov_store_chunk(int16_t* buffer, int32_t f0, int32_t n, const rov_sums& s) {
    for (int32_t i = 0; i < n; ++i) rov_store(buffer, f0 + i, s.left[i], s.right[i]);
}

// --- Run kernels -----------------------------------------------------------------
// Shapes of one oscillator the kernels know, each as the block it mirrors.
enum class rov_kind : uint8_t {
    ramp32767,  // rov_ramp(phi, w, 32767) (rov_triangle without its offset)
    ramp32768,  // rov_tri32k
    table,      // rov_table: interpolated table, >> 8
    table9,     // rov_table9: interpolated table, >> 9
    pulse,      // rov_pulse: (w - 65535)/2 below w, w/2 from w on
    rpulse,     // rov_rpulse(phi, w, ramp, div): the pulse with edge ramps
    table0,     // tab[phi >> 8]: the table without interpolation
    halfwave,   // the triangle -16384..16384 through a wave table (see rov_run::wave)
    rect,       // the full-height rectangle: w - 65535 below w, w from w on
    overtones,  // table values at multiples of the phase (see rov_run::ot)
    fold,       // rov_ramp(phi, w, 32767) amplified by k/1024, folded over 15 bits, - 16384
    sync,       // rov_tri32k at the phase times k/1024 (16 bits), - 16384
};

inline bool rov_reads_table(rov_kind k) {
    return k == rov_kind::table || k == rov_kind::table9 || k == rov_kind::table0 || k == rov_kind::overtones;
}

// One table read of the overtones kind: tab[trunc(phi * mul / 2^shift) & 255]
// (the table without interpolation; mul may be negative).
struct rov_otread {
    int32_t mul = 1;
    int shift = 8;
};

// One run of one slot: the oscillators' phases (uint16 in uint32, a cycle is
// 65536) step by their increments each frame; the voice value is
// (level * (shape(phi1) + .. + shape(phi_oscs) + offset)) >> vshift, mixed
// with the weights and shift as rov_mix does.
struct rov_run {
    rov_kind kind = rov_kind::table;
    int oscs = 1;          // oscillators summed, 1..3
    int32_t offset = 0;    // added to the sum of the shapes
    int vshift = 4;        // right shift of level * shape
    uint32_t phase[3] = {0, 0, 0};  // phases at the run's first frame
    uint32_t incr[3] = {0, 0, 0};   // increments per frame
    uint32_t w = 0;        // pulse width / triangle peak
    uint32_t ramp = 32;    // rpulse: edge ramp in phase units (a power of two)
    int32_t div = 4;       // rpulse: divisor
    int32_t level = 0;     // envelope level (gain)
    uint32_t left = 0, right = 0;  // weights
    int shift = 0;         // mixing shift
    // Extra phase of oscillator 1 summed frame by frame from the chunk's
    // start (mod 65536, indexed by chunk frame), or none.
    const int32_t* drift = nullptr;
    // halfwave: wave[0] = 512, wave[1 + i] = value i of the sixteen-value
    // wave table W around the middle 512. Each oscillator's triangle x (peak
    // at w) becomes W's half waveform (read forward while the phase rises,
    // backward while it falls, mirrored below 0), or with `transfer` stays
    // the triangle; after the level and vshift the voice value then passes
    // W as a transfer function.
    int32_t wave[17] = {};
    bool transfer = false;
    // overtones: per oscillator a = read ot[0], b = read ot[1] (none without
    // `two`); the shape is (sum a + ((sum b * otgain) >> otgshift)) >> otshift.
    rov_otread ot[2];
    bool two = true;
    int32_t otgain = 1;
    int otgshift = 0;
    int otshift = 0;
    // fold and sync: the factor k (its low 32 bits; only the low bits of the
    // quotient are kept) and whether it is negative; the oscillators are
    // the first and, with oscs 2, the third.
    uint32_t k = 0;
    bool kneg = false;
    // Above 0: the voice value v (level applied) becomes a phase into the
    // interpolated table, tab at trunc(phasemod * v / 64) mod 65536, >> 5.
    int32_t phasemod = 0;
};

// The kernels read the table's pairs.
inline bool rov_reads_table(const rov_run& run) { return rov_reads_table(run.kind) || run.phasemod > 0; }

// Fills the overtones fields: reads a (and b), the gain and the shifts.
inline void rov_ot_run(rov_run& run, rov_otread a, rov_otread b, int32_t gain, int gshift, int shift) {
    run.kind = rov_kind::overtones;
    run.ot[0] = a;
    run.ot[1] = b;
    run.two = true;
    run.otgain = gain;
    run.otgshift = gshift;
    run.otshift = shift;
}

// A run starting at slot v's current state: its phases, increments, width,
// level and weights (the shape's fields are the caller's).
inline rov_run rov_run_of(const rov_tonephase& v, int shift) {
    rov_run run;
    run.phase[0] = v.rov_wphas;
    run.phase[1] = v.rov_wphas2;
    run.phase[2] = v.rov_wphas3;
    run.incr[0] = v.rov_wincr;
    run.incr[1] = v.rov_wincr2;
    run.incr[2] = v.rov_wincr3;
    run.w = v.rov_wpuls;
    run.level = v.rov_ecurr;
    run.left = v.rov_left;
    run.right = v.rov_right;
    run.shift = shift;
    return run;
}

// The run of rov_dual's shape: two triangles, two half-amplitude table
// sines, or two ramped pulses of a quarter.
inline bool rov_dual_run(const rov_tonephase& v, rov_run& run) {
    run.oscs = 2;
    if (v.rov_sawt) {
        run.kind = rov_kind::ramp32768;
        run.offset = -32768;
    } else {
        run.kind = v.rov_wpuls == 0 ? rov_kind::table9 : rov_kind::rpulse;
    }
    return true;
}

// Interpolated table pairs: entry i holds tab[i] in its low and tab[i+1] in
// its high 16 bits, so one load fetches both ends of an interpolation.
// The entries themselves (w) serve lookups without interpolation.
struct rov_tabpairs {
    alignas(64) int32_t p[256];
    alignas(64) int16_t w[256];
    void build(const int16_t* tab) {
        std::copy_n(tab, 256, w);
        for (int i = 0; i < 256; ++i)
            p[i] = static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint16_t>(tab[i])) |
                                        (static_cast<uint32_t>(static_cast<uint16_t>(tab[i + 1])) << 16));
    }
};

// Adds r frames of a run to the sums at frames f.. (vector form; lanes past
// the run add nothing). The slot's phases are not touched.
void rov_vec_run(const rov_run& run, const rov_tabpairs& tab, int32_t f, int32_t r, rov_sums& sums);

// Moves the first n phases of a run from chunk frame f on by r frames.
inline void rov_run_advance(const rov_run& run, int n, uint16_t* const phases[3], int32_t f, int32_t r) {
    for (int j = 0; j < n; ++j) *phases[j] = rov_u16(*phases[j] + static_cast<int64_t>(r) * run.incr[j]);
    if (run.drift) *phases[0] = rov_u16(*phases[0] + run.drift[f + r] - run.drift[f]);
}

// The triangle's divisions of the vector form for every phase of a cycle:
// out[phi] = rov_ramp(phi, w, top) (top 32767 or 32768), for the exhaustive test.
void rov_vec_ramp_cycle(uint32_t w, uint32_t top, int32_t* out);

// The ramped pulse's division of the vector form: out[i] = x[i] / div for
// |x[i]| < 2^17 and div 4 or 6, n a multiple of 64 (for the exhaustive test).
void rov_vec_divide(const int32_t* x, int32_t n, int32_t div, int32_t* out);
