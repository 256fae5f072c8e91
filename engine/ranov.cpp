// Random tones with adjustable panning: overlapping tones of random or scale
// pitch, two dynamic stages, a 128-stage envelope and four waveform families
// (triangle/saw, pulse, interpolated sine, a window of a loaded sample).
#include "engine/algs.h"
#include "engine/blocks.h"

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

    for (int32_t f = 0; f < bufsz; ++f) {
        if (f % rov_block256 == 0 && rov_beat(g.rov_voccnt, cp[rov_par::Beat], g.rov_stopped, 0)) {
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
            }
        }

        uint32_t left = 0, right = 0;
        for (int k = 0; k < kmax; ++k) {
            rov_tonephase& v = t[k];
            if (v.rov_ephas == 0) continue;  // a free slot adds nothing
            const int32_t val = (v.rov_ecurr * rov_shape(v.rov_wphas, v.rov_wpuls, v.rov_sawt, wave)) >> 4;
            rov_mix(v, val, shift, left, right);
            v.rov_wphas = rov_u16(v.rov_wphas + v.rov_wincr);
            rov_env_step(v, stages);
        }
        rov_store(buffer, f, left, right);
    }
}
