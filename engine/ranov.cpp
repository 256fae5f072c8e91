// Random tones with adjustable panning: overlapping tones of random or scale
// pitch, two dynamic stages, a 128-stage envelope and four waveform families
// (triangle/saw, pulse, interpolated sine, a window of a loaded sample).
#include "engine/algs.h"
#include "engine/blocks.h"
#include "engine/runs.h"
#include "engine/toneev.h"

namespace {

constexpr int stages = 128;

// Start of the 257-value wave window inside a loaded sample, chosen by the
// Waveform parameter (0..256 spans the whole sample).
const int16_t* window_start(const int16_t* sample, int32_t span, int16_t waveform) {
    int64_t start = static_cast<int64_t>(waveform) * span / 257;
    // A damaged Waveform value must not move the window out of the sample.
    if (start < 0) start = 0;
    if (start > span - 1) start = span - 1;
    return sample + start;
}

// A voice value of a run: (level * shape) >> 4, mixed into the sums.
// Scalar form: the blocks frame by frame.
void run_scalar(rov_tonephase& v, const int16_t* wave, int shift, int32_t f, int32_t r, rov_sums& sums) {
    uint16_t phi = v.rov_wphas;
    for (int32_t i = f; i < f + r; ++i) {
        const int32_t val = (v.rov_ecurr * rov_shape(phi, v.rov_wpuls, v.rov_sawt, wave)) >> 4;
        rov_mix(v, val, shift, sums.left[i], sums.right[i]);
        phi = rov_u16(phi + v.rov_wincr);
    }
    v.rov_wphas = phi;
}

// Vector form: the shape chosen once for the run (rov_shape's choice).
void run_vector(rov_tonephase& v, const rov_tabpairs& pairs, int shift, int32_t f, int32_t r, rov_sums& sums) {
    rov_run run = rov_run_of(v, shift);
    if (v.rov_sawt) {
        run.kind = rov_kind::ramp32767;
        run.offset = -16383;
    } else {
        run.kind = v.rov_wpuls == 0 ? rov_kind::table : rov_kind::pulse;
    }
    rov_vec_run(run, pairs, f, r, sums);
    uint16_t* const phases[3] = {&v.rov_wphas, nullptr, nullptr};
    rov_run_advance(run, 1, phases, f, r);
}

}  // namespace

ROV_ALG(ranov) {
    const rov_setting& s = *roh->s;
    rov_globphase& g = *roh->g;
    rov_tonephase* t = roh->t;
    const int16_t* const params = rov_set(s, setnr);
    const int16_t* const scale = rov_scale(s, tonr);
    const int16_t* const cp = g.rov_currp;

    const int shift = g.rov_volshift + 1;
    const int32_t span = tablen > 256 ? static_cast<int32_t>(tablen - 256) : 0;
    const int16_t* wave = span > 0 ? window_start(tab, span, cp[rov_par::Waveform]) : tab;
    int kmax = rov_slotlimit(t, g.rov_maxvoc);
    const bool scalar = roh->scalar;
    rov_tabpairs pairs;
    const int16_t* paired = nullptr;  // the wave the pairs were built from
    rov_sums sums;

    for (int32_t f0 = 0; f0 < bufsz;) {
        if (f0 % rov_block256 == 0 && rov_beat(g.rov_voccnt, cp[rov_par::Beat], g.rov_stopped, 0)) {
            rov_sequences(g, s);
            const int timbre =
                g.rov_tonalias && g.rov_maxvoc * 16 >= cp[rov_par::Voices] ? (g.rov_tonxi & 48) : 0;
            if (rov_glide(g, params, scale) && span > 0)
                wave = window_start(tab, span, cp[rov_par::Waveform]);

            const rov_slotpick pick = (g.rov_densxi & 127) < cp[par_panning::Density]
                                          ? rov_findslot(t, g.rov_maxvoc, g.rov_tonalias, stages)
                                          : rov_slotpick{-1, false};
            if (pick.k >= 0) {
                rov_tonephase& v = t[pick.k];
                if (pick.k >= kmax) kmax = pick.k + 1;
                if (!pick.stolen) v.rov_wphas = 0;
                v.rov_wpuls = rov_timbre(rov_u16(cp[rov_par::Waveform] * 256), timbre);
                if ((g.rov_tonxi & 255) < cp[par_panning::Tonality])
                    v.rov_wincr = rov_u16(8 * g.rov_toncur[g.rov_tonxi & 15]);
                else
                    v.rov_wincr = rov_u16(8 * cp[rov_par::Pitch] +
                                          ((g.rov_pitxi & 127) - 64) * cp[par_panning::PitSpread] / 4);
                // With a sample loaded and Saw off (as of the slot's previous
                // tone) the tone plays the sample window at 1/8 increment.
                if (span > 0 && v.rov_sawt == 0) {
                    v.rov_wpuls = 0;
                    v.rov_wincr = static_cast<uint16_t>(v.rov_wincr / 8);
                }
                rov_env_periods(v, cp[rov_par::Voices], cp[rov_par::Beat], cp[rov_par::Envelope], 1, 2048);
                rov_env_start(v, v.rov_wincr, pick.stolen, stages);
                const int32_t p = rov_panpos(g.rov_panxi, cp[par_panning::PanVar], cp[par_panning::Panning]);
                if ((g.rov_dynxi & 127) < cp[rov_par::Accents]) {
                    rov_weights(v, p, rov_accent);
                } else {
                    if (g.rov_emphas) rov_emphasis(v, 2, 3);
                    rov_weights(v, p, rov_normal);
                }
                v.rov_sawt = s.rov_saw[setnr];
                if (roh->ev) rov_ev_start(*roh->ev, t, pick.k, f0, false);
            }
        }

        // The frames up to the next control block, slot by slot; a free
        // slot adds nothing and its phase stands still.
        const int32_t n = std::min(bufsz - f0, rov_block256 - f0 % rov_block256);
        if (!scalar && paired != wave) {
            pairs.build(wave);
            paired = wave;
        }
        sums.clear(n);
        for (int k = 0; k < kmax; ++k) {
            rov_tonephase& v = t[k];
            rov_voice_runs(
                v, n,
                [&](int32_t f, int32_t r) {
                    if (v.rov_ephas == 0) return;
                    if (scalar || r < rov_kernel_min)
                        run_scalar(v, wave, shift, f, r, sums);
                    else
                        run_vector(v, pairs, shift, f, r, sums);
                },
                [&] { rov_env_step(v, stages); });
        }
        rov_store_chunk(buffer, f0, n, sums);
        if (roh->ev) rov_ev_scan(*roh->ev, t, f0, f0 + n, false);
        f0 += n;
    }
}
