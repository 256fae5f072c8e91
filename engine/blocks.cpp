#include "engine/blocks.h"

#include <cstdlib>

bool rov_beat(int16_t& voccnt, int16_t beat, bool stopped, int offset) {
    if (voccnt < 1 && !stopped) {
        voccnt = rov_s16(beat + offset);
        return true;
    }
    if (voccnt > INT16_MIN) voccnt = static_cast<int16_t>(voccnt - 1);
    return false;
}

uint16_t rov_modseq(uint16_t x, int32_t m, int16_t n) {
    // m * x stays within 32 bits for every int16 m and uint16 x.
    const int32_t y = m * static_cast<int32_t>(x) + 1;
    if (n == 0) return rov_u16(y);
    return rov_u16(y % n);
}

void rov_sequences_ch(rov_globphase& g, const rov_setting& s, unsigned which, uint16_t& densxi,
                      int16_t densm, uint16_t& dynxi, int16_t dynm) {
    if (which & rov_seq_pitch) g.rov_pitxi = rov_modseq(g.rov_pitxi, 804, s.rov_pitmod);
    if (which & rov_seq_ton) g.rov_tonxi = rov_modseq(g.rov_tonxi, 1001, s.rov_tonmod);
    if (which & rov_seq_dens) densxi = rov_modseq(densxi, densm, s.rov_densmod);
    if (which & rov_seq_pan) g.rov_panxi = rov_modseq(g.rov_panxi, 700, s.rov_panmod);
    if (which & rov_seq_dyn) dynxi = rov_modseq(dynxi, dynm, s.rov_dynmod);
}

// Every family that advances the density sequence here keeps its multiplier
// in the same slot.
constexpr int densmult = rov_par::DensMult;
static_assert(par_panning::DensMode == densmult && par_dual::DensMode == densmult &&
              par_twoscales::DensMode == densmult && par_intervals::DensMode == densmult &&
              par_phrase::PhrLenMod == densmult && par_chords::StumMode == densmult);

void rov_sequences(rov_globphase& g, const rov_setting& s, unsigned which) {
    rov_sequences_ch(g, s, which, g.rov_densxi, g.rov_currp[rov_par::DensMult], g.rov_dynxi,
                     g.rov_currp[rov_par::AccMode]);
}

bool rov_glide(rov_globphase& g, const int16_t* params, const int16_t* scale, const int16_t* phrase) {
    return rov_glide(g, params, rov_glidescale{scale, nullptr, phrase});
}

bool rov_glide(rov_globphase& g, const int16_t* params, const rov_glidescale& sc) {
    g.rov_vocno = rov_u16(g.rov_vocno + 1);
    const int d = params[rov_par::ChgDly];  // beat steps between glide steps
    int16_t* const into = sc.into ? sc.into : g.rov_toncur;
    if (d == 0) {
        for (int i = 0; i < rov_ncurr; ++i) g.rov_currp[i] = params[i];
        if (sc.scale) {
            for (int i = 0; i < rov_nvalues; ++i) into[i] = sc.scale[i];
            if (sc.phrase)
                for (int i = 1; i < rov_nvalues; ++i) g.rov_phrase[i] = sc.phrase[i];
            g.rov_tonupd = 0;
        }
        g.rov_vocno = 0;
        return true;
    }
    if (static_cast<int>(g.rov_vocno) < d) return false;
    g.rov_vocno = 0;
    if (sc.scale) {
        const int u = g.rov_tonupd & 15;
        into[u] = sc.scale[u];
        if (sc.phrase && u >= 1) g.rov_phrase[u] = sc.phrase[u];
        g.rov_tonupd = static_cast<int16_t>((u + 1) & 15);
    }
    for (int i = 0; i < rov_ncurr; ++i) {
        const int32_t c = g.rov_currp[i], t = params[i];
        const int32_t step = (std::abs(t - c) + 15) / 16;
        g.rov_currp[i] = static_cast<int16_t>(c < t ? c + step : c > t ? c - step : c);
    }
    return true;
}

rov_slotpick rov_findslot(const rov_tonephase* t, int maxvoc, bool tonalias, int stages) {
    for (int k = 0; k < maxvoc; ++k)
        if (t[k].rov_ephas == 0) return {k, false};
    if (!tonalias) return {-1, false};
    const int k = rov_stealslot(t, maxvoc, stages);
    return {k, k >= 0};
}

int rov_stealslot(const rov_tonephase* t, int maxvoc, int stages) {
    int best = -1;
    int level = stages;  // only levels below the stage count qualify
    for (int k = 0; k < maxvoc; ++k)
        if (t[k].rov_ephas == 2 && t[k].rov_ecurr < level) {
            best = k;
            level = t[k].rov_ecurr;
        }
    return best;
}

int rov_slotlimit(const rov_tonephase* t, int maxvoc) {
    for (int k = maxvoc - 1; k >= 0; --k)
        if (t[k].rov_ephas != 0) return k + 1;
    return 0;
}

void rov_env_periods(rov_tonephase& v, int voices, int beat, int envelope, int beatadd, int div) {
    // Out-of-range values from a damaged setting wrap as 32-bit products would.
    const int32_t l = rov_s32(static_cast<int64_t>(beat + beatadd) * voices);
    v.rov_eincr = rov_u16(rov_s32(static_cast<int64_t>(envelope) * l) / div);
    v.rov_edecr = rov_u16(rov_s32(static_cast<int64_t>(256 - envelope) * l) / div);
}

void rov_env_begin(rov_tonephase& v, bool stolen, int stages, int32_t h) {
    v.rov_ebase = 0;
    if (v.rov_eincr != 0) {
        if (!stolen) v.rov_ecurr = 1;
        v.rov_ephas = 1;
    } else if (v.rov_edecr != 0) {
        v.rov_ephas = 2;
        v.rov_ecurr = rov_u16(static_cast<int64_t>(stages - 1) * h);
    }
}

void rov_env_start(rov_tonephase& v, uint32_t incr, bool stolen, int stages) {
    if (incr == 0) {
        v.rov_ebase = 0;
        v.rov_ephas = 0;
        v.rov_ecurr = 0;
        return;
    }
    rov_env_begin(v, stolen, stages);
}

int32_t rov_panpos(uint16_t panxi, int panvar, int panning) {
    return ((panxi & 127) - 64) * panvar / 64 + panning;
}

void rov_weights(rov_tonephase& v, int32_t p, rov_stage stage) {
    switch (stage) {
    case rov_accent:
        v.rov_left = rov_u16(2 * (128 - p));
        v.rov_right = rov_u16(2 * p);
        break;
    case rov_normal:
        v.rov_left = rov_u16(128 - p);
        v.rov_right = rov_u16(p);
        break;
    case rov_soft:
        v.rov_left = rov_u16(64 - p / 2);
        v.rov_right = rov_u16(p / 2);
        break;
    }
    if (p < 0)
        v.rov_right = 0;
    else if (p > 128)
        v.rov_left = 0;
}
