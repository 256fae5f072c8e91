// One tone by hand: fills a free voice record of the running engine state.
#include "engine/plyov.h"

#include "engine/rows.h"

const int16_t looptab[looptab_n] = {1024, 768, 640, 512, 384, 320, 256, 192, 160,
                                    128,  96,  80,  64,  48,  40,  32,  24};

namespace {

// The loop length of a sampling row from the sample length and the running
// Loop Length (c7) and Loop Coarse (c8) values.
int64_t loop_length(rov_padloop loop, int64_t sl, int64_t c7, int64_t c8, int detune) {
    int64_t den = 1, l = 4;
    switch (loop) {
    case rov_padloop::fine_coarse:
        den = c8 * 128 + c7 + 1;
        l = den > 0 ? sl / den : sl;
        break;
    case rov_padloop::table:
        if (c7 >= 112 && c7 <= 128) {
            l = looptab[c7 - 112];
            if (l > sl / 2) l = sl / 2;
            l += detune / 8;
        } else {
            if (c7 > 64) c7 = sl < 12000 ? (c7 - 60) * c7 / 4 : sl < 24000 ? (c7 - 62) * c7 / 2 : (c7 - 63) * c7;
            den = c7 + 16;
            l = den > 0 ? sl * 16 / den : sl;
        }
        break;
    case rov_padloop::none:
    case rov_padloop::sixteenths:
    case rov_padloop::scale_pairs:
        den = c8 * 128 + c7 + 16;
        l = den > 0 ? sl * 16 / den : sl;
        break;
    }
    // Damaged running values (a negative divisor) must not make a loop
    // longer than the sample.
    if (l > sl) l = sl;
    return l < 4 ? 4 : l;
}

}  // namespace

int plyov(wvpl_par* wpp) {
    if (!wpp || !wpp->wvpl_roh || wpp->wvpl_sl < 0) return -1;
    rov_handle& h = *wpp->wvpl_roh;
    const rov_globphase& g = *h.g;
    const rov_setting& s = *h.s;
    const int row = wpp->wvpl_alg;
    const bool sampling = rov_row_sampling(row);
    const rov_paddesc& pad = rov_row(row).pad;
    if (sampling && (!wpp->wvpl_smp || wpp->wvpl_sl <= 0)) return -1;

    int k = -1;
    for (int v = 0; v < g.rov_maxvoc && v < wvpl_maxvoices; ++v) {
        if (h.t[v].rov_ephas == 0) {
            k = v;
            break;
        }
    }
    if (k < 0) return -1;
    rov_tonephase& v = h.t[k];
    const int e = pad.stages;
    const int c7 = g.rov_currp[7], c8 = g.rov_currp[8];
    const uint16_t* p = wpp->wvpl_p;

    if (sampling) {
        const int64_t sl = wpp->wvpl_sl;
        const int64_t l = loop_length(pad.loop, sl, c7, c8, p[wvpl_slider::Detune]);
        v.rov_sphas = 0;
        v.rov_sleng = static_cast<uint32_t>(l * 256);
        int64_t start = static_cast<int64_t>(p[wvpl_slider::Pulsewidth]) * sl / 257;
        if (start > sl - l) start = sl - l;
        if (start < 0) start = 0;
        // The multiple-loop row reads its loops from the active setting's
        // scales: its start is an index into rov_tones there.
        const bool from_scales = pad.loop == rov_padloop::scale_pairs;
        v.rov_sbeg = static_cast<uint32_t>(from_scales ? (2 * c8 < 0 ? 0 : 2 * c8 % (rov_nscales * rov_nvalues)) : start);
        v.rov_sincr = wpp->wvpl_pit;
    } else {
        v.rov_wphas = v.rov_wphas2 = v.rov_wphas3 = 0;
        v.rov_wpuls = static_cast<uint16_t>(p[wvpl_slider::Pulsewidth] * 256);
        const int32_t pit = wpp->wvpl_pit;
        v.rov_wincr = static_cast<uint16_t>(pad.direct ? pit * 8 : (pit * 131 + 7) / 16);
        const int32_t w = v.rov_wincr;
        v.rov_wincr2 = static_cast<uint16_t>(w + w * p[wvpl_slider::Detune] / 2048);
        switch (pad.osc3) {
        case rov_padosc3::glissando:
            v.rov_wphas3 = static_cast<uint16_t>(c7);
            v.rov_wincr3 = p[wvpl_slider::Detune];
            break;
        case rov_padosc3::envelope: {
            int i = 2 * c8 + (wpp->wvpl_env * p[wvpl_slider::Length] < e ? 8 : 0);
            // A damaged running value must not read outside the scales.
            const int n = rov_nscales * rov_nvalues;
            i = ((i % n) + n) % n;
            const int16_t* tones = &s.rov_tones[0];
            v.rov_wincr3 = static_cast<uint16_t>(tones[i] / 8);
            break;
        }
        case rov_padosc3::phase_mod: v.rov_wincr3 = static_cast<uint16_t>(c8); break;
        case rov_padosc3::vibrato: v.rov_wincr3 = static_cast<uint16_t>(2 * c8); break;
        case rov_padosc3::detuned: v.rov_wincr3 = static_cast<uint16_t>(w - w * p[wvpl_slider::Detune] / 2600); break;
        }
    }

    const int32_t len = p[wvpl_slider::Length];
    v.rov_eincr = static_cast<uint16_t>(wpp->wvpl_env * len / e);
    v.rov_edecr = static_cast<uint16_t>((256 - wpp->wvpl_env) * len / e);

    int32_t prev = 1;
    switch (pad.memory) {
    case rov_padmemory::raster: {
        const int32_t c4 = g.rov_currp[4];
        prev = c4 > 128 ? (c4 - 96) * c4 / 32 : c4;
        break;
    }
    case rov_padmemory::detune: prev = p[wvpl_slider::Detune] / 8; break;
    case rov_padmemory::wave: prev = g.rov_currp[6]; break;
    case rov_padmemory::zero: prev = 0; break;
    case rov_padmemory::one: break;
    }
    v.rov_prev = prev;

    v.rov_ebase = 0;
    if (v.rov_eincr != 0) {
        v.rov_ephas = 1;
        v.rov_ecurr = 1;
    } else if (v.rov_edecr != 0) {
        v.rov_ephas = 2;
        v.rov_ecurr = static_cast<uint16_t>(e - 1);
    }

    const int32_t vol = p[wvpl_slider::Volume] + 32;
    const int32_t pan = p[wvpl_slider::Panorama] / 4;
    v.rov_right = static_cast<uint16_t>(pan * vol / 64);
    v.rov_left = static_cast<uint16_t>((64 - pan) * vol / 64);
    const int set = wpp->wvpl_setnr < 0 || wpp->wvpl_setnr > 9 ? 0 : wpp->wvpl_setnr;
    v.rov_sawt = s.rov_saw[set];
    return v.rov_ephas != 0 ? k : -1;
}
