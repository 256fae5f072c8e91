// Overtone shapes: the table sine with overtones synced to the phase, whose
// kind is chosen by the pulse width w (up to 16384), a pulse or ramped
// pulses above it and triangles with the waveform kind set. One-oscillator
// and two-oscillator forms, with the run each has a vector kernel for.
// The overtones read the table without interpolation; s(x) = tab[x & 255].
#pragma once

#include <cstdint>

#include "engine/blocks.h"
#include "engine/runs.h"

// Overtone sines of two oscillators: s(phi1 * m / d) + s(phi2 * m / d).
inline int32_t rov_overtones(const rov_tonephase& v, const int16_t* tab, int32_t m, int32_t d) {
    return rov_tab(tab, v.rov_wphas * m / d) + rov_tab(tab, v.rov_wphas2 * m / d);
}
// Fundamental sines of two oscillators without interpolation.
inline int32_t rov_fundamentals(const rov_tonephase& v, const int16_t* tab) {
    return tab[v.rov_wphas >> 8] + tab[v.rov_wphas2 >> 8];
}

// The overtone forms for 0 < w <= 16384 as a run of the overtones kind:
// the fundamental tab[phi >> 8] plus an overtone phi * m / 512 (weighted by
// l/128 or (127 - l)/128), or a pair of overtones; shifted by `shift`.
inline void rov_overtone_forms(rov_run& run, int32_t w, int32_t l, int shift) {
    const rov_otread fund{2, 9};
    if (w <= 4096) rov_ot_run(run, fund, {w / 256 + 2, 9}, 1, 0, shift);
    else if (w <= 8192) rov_ot_run(run, fund, {w / 256 - 14, 9}, l, 7, shift);
    else if (w <= 12288) rov_ot_run(run, fund, {w / 256 - 30, 9}, 127 - l, 7, shift);
    else rov_ot_run(run, {w / 128 - 97, 9}, {w / 128 - 95, 9}, 1, 0, shift);
}

// One oscillator: table sine (w = 0); with an overtone (w/256 + 2)/2 times
// as fast (up to 4096); an overtone weighted by `l`/128 (8192) or by
// (127 - l)/128 (12288), m = w/256 - 14 or - 30; an overtone pair (16384);
// above, a pulse with 256-unit edge ramps divided by `pdiv`; with the
// waveform kind set, the triangle -16384..16384. `l` is the weight the
// overtones fade with: the level, or a routine's own gain.
inline int32_t rov_overtone1(const rov_tonephase& v, const int16_t* tab, int32_t l, int32_t pdiv) {
    const int32_t w = v.rov_wpuls;
    const int32_t phi = v.rov_wphas;
    if (v.rov_sawt) return rov_tri32k(v.rov_wphas, v.rov_wpuls) - 16384;
    const int32_t f = tab[phi >> 8];
    if (w == 0) return f;
    if (w <= 4096) return (f + rov_tab(tab, phi * (w / 256 + 2) / 512)) >> 1;
    if (w <= 8192) return ((rov_s32(int64_t{rov_tab(tab, phi * (w / 256 - 14) / 512)} * l) >> 7) + f) >> 1;
    if (w <= 12288)
        return ((rov_s32(int64_t{rov_tab(tab, phi * (w / 256 - 30) / 512)} * (127 - l)) >> 7) + f) >> 1;
    if (w <= 16384)
        return (rov_tab(tab, phi * (w / 128 - 97) / 512) + rov_tab(tab, phi * (w / 128 - 95) / 512)) >> 1;
    return rov_rpulse(v.rov_wphas, v.rov_wpuls, 256, pdiv);
}
// The kernel of rov_overtone1: the triangle, the table sine, the overtone
// forms (l as for rov_overtone1), or the ramped pulse above 16384 (divided
// by pdiv). The run's level is the caller's.
inline bool rov_overtone1_run(const rov_tonephase& v, rov_run& run, int32_t l, int32_t pdiv) {
    const int32_t w = v.rov_wpuls;
    run.oscs = 1;
    if (v.rov_sawt) {
        run.kind = rov_kind::ramp32768;
        run.offset = -16384;
    } else if (w == 0) {
        run.kind = rov_kind::table0;
    } else if (w <= 16384) {
        rov_overtone_forms(run, w, l, 1);
    } else {
        run.kind = rov_kind::rpulse;
        run.ramp = 256;
        run.div = pdiv;
    }
    return true;
}

// Two oscillators: dual sine; dual sine with overtones synced to each
// oscillator (up to 4096); overtones fading with the envelope (8192) or
// growing as it decays (12288); two overtone pairs (16384); ramped pulses
// above; triangles with the waveform kind set (the dual oscillator's shapes
// where these are its own).
inline int32_t rov_overtone2(const rov_tonephase& v, const int16_t* tab) {
    const int32_t w = v.rov_wpuls, l = v.rov_ecurr;
    if (v.rov_sawt || w == 0 || w > 16384) return rov_dual(v, tab);
    if (w <= 4096) return (rov_fundamentals(v, tab) + rov_overtones(v, tab, w / 256 + 2, 512)) >> 2;
    if (w <= 8192) return (((rov_overtones(v, tab, w / 256 - 14, 512) * l) >> 7) + rov_fundamentals(v, tab)) >> 2;
    if (w <= 12288)
        return (((rov_overtones(v, tab, w / 256 - 30, 512) * (127 - l)) >> 7) + rov_fundamentals(v, tab)) >> 2;
    return (rov_overtones(v, tab, w / 128 - 97, 512) + rov_overtones(v, tab, w / 128 - 95, 512)) >> 2;
}
inline bool rov_overtone2_run(const rov_tonephase& v, rov_run& run) {
    const int32_t w = v.rov_wpuls;
    if (v.rov_sawt || w == 0 || w > 16384) return rov_dual_run(v, run);
    run.oscs = 2;
    rov_overtone_forms(run, w, v.rov_ecurr, 2);
    return true;
}
