// Runs of the sampling routines: per frame of a run the routine walks its
// loop and leaves the two sample words around the play position and the
// 8-bit fraction between them (a value that needs no interpolation, such as
// a cross-faded one, as x0 with fraction 0); the run then adds
// level * (((256 - fr) * x0 + fr * x1) >> 8) to the frame sums with the
// slot's weights and the mixing shift, as rov_mix does. Scalar form and a
// vector kernel that give the same sums.
#pragma once

#include <cstdint>

#include "engine/runs.h"

// Per-frame words and fractions of one chunk (indexed by chunk frame).
struct rov_smpframes {
    alignas(64) int32_t x0[rov_chunk + rov_chunkpad] = {};
    alignas(64) int32_t x1[rov_chunk + rov_chunkpad] = {};
    alignas(64) int32_t fr[rov_chunk + rov_chunkpad] = {};
};

struct rov_smprun {
    int32_t level = 0;             // gain of the run
    uint32_t left = 0, right = 0;  // weights
    int shift = 0;                 // mixing shift
};

// The value of frame i: the interpolation, shifted by 8.
inline int32_t rov_smpvalue(const rov_smpframes& x, int32_t i) {
    return ((256 - x.fr[i]) * x.x0[i] + x.fr[i] * x.x1[i]) >> 8;
}

// Scalar form: frames f..f+r-1 into the sums.
inline void rov_smprun_scalar(const rov_smprun& run, const rov_smpframes& x, int32_t f, int32_t r, rov_sums& sums) {
    for (int32_t i = f; i < f + r; ++i) {
        const int32_t val = run.level * rov_smpvalue(x, i);
        sums.left[i] += static_cast<uint32_t>(rov_s32(static_cast<int64_t>(run.left) * val) >> run.shift);
        sums.right[i] += static_cast<uint32_t>(rov_s32(static_cast<int64_t>(run.right) * val) >> run.shift);
    }
}

// Vector form of the same.
void rov_vec_smprun(const rov_smprun& run, const rov_smpframes& x, int32_t f, int32_t r, rov_sums& sums);

// A stretch of a loop's frames between two loop decisions: frame j (of n)
// plays at position pos + j * incr (8 fraction bits, no wrap), i.e. words
// w[k] and w[k + 1] with k = ((pos + j * incr) >> 8) - (pos >> 8), every one
// of them readable. Fills frames f.. of x with the two words and the
// fraction (interp), or with the word alone (x1 and fr 0); may write up to
// rov_chunkpad frames of x beyond the stretch.
void rov_vec_smpwalk(const int16_t* w, uint32_t pos, uint32_t incr, int32_t n, bool interp, rov_smpframes& x,
                     int32_t f);

// One loop segment of a multiple-loop slot over a stretch: frame j plays at
// position (pos + j * incr) mod m, reached from pos + j * incr by at most
// `wraps` subtractions of m (pos + j * incr < 2^32); its word index held at
// kcap, interpolated between w[k] and w[k + 1], every one of them readable.
struct rov_segwalk {
    const int16_t* w;
    uint32_t pos, m;
    uint32_t kcap;
    int32_t wraps;
};

// A stretch of frames f..f+n-1 (n at most 16): segment a's value, or with
// a fade (fades) (aux * a + (32 - aux) * b) >> 5, each position moving on
// by incr per frame.
// (Left uninitialised: a run fills as many as it walks.)
struct rov_multistretch {
    rov_segwalk a, b;
    int32_t f, n;
    int32_t aux;
    uint32_t incr;
    bool fades;
};

// The stretches' frames into x as x0 (x1 and fr 0), leaving the x0 of
// other frames; x1 and fr are 0 up to rov_chunkpad frames beyond each.
void rov_vec_multiwalk(const rov_multistretch* st, int32_t count, rov_smpframes& x);
