// Tone routines whose timbre or control comes from curves in the scale
// memory: an ostinato played with a programmable half waveform or
// waveshaping function (with vibrato or a waveform sweep during the decay),
// and random pitches under two slow controls (LFOs) shaped by the playing
// scale.
#include <algorithm>

#include "engine/algs.h"
#include "engine/phrasehooks.h"
#include "engine/toneloop.h"

namespace {

// --- Complex waveforms ----------------------------------------------------------------
// Scales in pairs: the even scale is the phrase, the odd one its possible
// first tones. A wave table W of sixteen values around the middle value 512
// (the scale memory from WaveSel on, kept in rov_prev) is half a waveform
// that replaces the triangle (Phas off) or a transfer function that shapes
// the enveloped triangle (Phas on). The slot keeps its vibrato or sweep
// amount in rov_wincr3.
struct waveforms : rov_phrasehooks {
    static rov_draw draw(const rov_ctx&) { return 0; }  // the pulse width is not varied
    // With Chg.Dly 128 the glide leaves the scale values alone.
    static void glide(rov_ctx& c) {
        const int even = c.tonr & ~1;
        rov_glidescale sc;
        if (c.params[rov_par::ChgDly] < 128) sc = {rov_scale(c.s, even + 1), nullptr, rov_scale(c.s, even)};
        rov_glide(c.g, c.params, sc);
    }
    // Outside a phrase: a phrase starts on B = rov_toncur[x & 15], which
    // becomes its base rov_phrase[0]. Inside: step k in order, or a random
    // step as Phrase falls, relative to the base (262 = unison); the phrase
    // goes on while 8k < PhraseLen.
    static void pitch(rov_ctx& c, rov_tonephase& v, rov_draw) {
        const int16_t* cp = c.cp();
        rov_globphase& g = c.g;
        v.rov_wincr3 = rov_u16(2 * cp[par_ostinato::Vibrato]);
        v.rov_prev = cp[par_ostinato::WaveSel];
        int16_t& k = g.rov_phrap1;
        int32_t u;
        if (k < 1 || k > 15) {
            const int32_t b = g.rov_toncur[g.rov_tonxi & 15];
            g.rov_phrase[0] = rov_s16(b);
            u = rov_s32(int64_t{cp[rov_par::Pitch]} * 8 * b) >> 8;
            k = 1;
        } else {
            const int j = (g.rov_tonxi & 255) < cp[par_phrase::Phrase] ? k : (g.rov_tonxi & 15);
            const int32_t base = rov_s32(int64_t{cp[rov_par::Pitch]} * 8 * g.rov_phrase[0]) >> 8;
            u = rov_s32(int64_t{g.rov_phrase[j]} * base) / 262;
            k = rov_phrasemore(k, cp[par_phrase::PhraseLen], 0, 0);  // no random lengthening
        }
        tune(c, v, u);
    }

    // The wave table of a slot: sixteen values of the scale memory from its
    // WaveSel on (a damaged WaveSel keeps all sixteen inside the memory).
    static const int16_t* table(const rov_ctx& c, const rov_tonephase& v) {
        const int32_t at = std::clamp<int32_t>(v.rov_prev, 0, rov_nscales * rov_nvalues - rov_nvalues);
        return &c.s.rov_tones[at];
    }
    // The half waveform at triangle value x (-16384..16384): W read forward
    // while the phase rises, backward while it falls, each value taken
    // against 512 and mirrored for x < 0.
    static int32_t halfwave(const int16_t* w, int32_t x, bool rising) {
        const int32_t a = x < 0 ? -x : x;
        const int32_t i = a >> 11, f = a & 2047;
        const int32_t lo = rising ? i : (16 - i) & 15, hi = rising ? i + 1 : 15 - i;
        const int32_t wl = w[lo] - 512, wh = w[hi] - 512;
        const int32_t y = x < 0 ? (2048 - f) * -wl + -wh * f : (2048 - f) * wl + wh * f;
        return y >> 6;
    }
    // The transfer function: W[i] is the output at input (i + 1) * 16384,
    // 0 at 0, odd around 0.
    static int32_t transfer(const int16_t* w, int32_t v) {
        const bool neg = v < 1;
        const int32_t a = neg ? -v : v;
        const int32_t i = (a >> 14) & 15, f = a & 16383;
        const int32_t wl = i == 0 ? 0 : w[i - 1] - 512, wh = w[i] - 512;
        const int32_t y = neg ? (16384 - f) * -wl + -wh * f : (16384 - f) * wl + wh * f;
        return y >> 5;
    }
    // One oscillator: the triangle -16384..16384 peaking at w, or the half
    // waveform in its place with Phas off.
    static int32_t osc(const int16_t* w, uint16_t phi, uint32_t width, bool phas) {
        const int32_t x = rov_tri32k(phi, width) - 16384;
        return phas ? x : halfwave(w, x, phi < width);
    }
    // Oscillator 2 sounds only with Detune above 0.
    static int32_t value(rov_ctx& c, rov_tonephase& v) {
        const int16_t* w = table(c, v);
        const bool phas = v.rov_sawt != 0;
        const int32_t l = v.rov_ecurr;
        int32_t val;
        if (c.cp()[par_phrase::Detune] < 1)
            val = (l * osc(w, v.rov_wphas, v.rov_wpuls, phas)) >> 3;
        else
            val = ((osc(w, v.rov_wphas, v.rov_wpuls, phas) + osc(w, v.rov_wphas2, v.rov_wpuls, phas)) * l) >> 4;
        return phas ? transfer(w, val) : val;
    }
    // Kernel: the halfwave run with the slot's table, one oscillator or two.
    static bool kernel(const rov_ctx& c, const rov_tonephase& v, rov_run& run) {
        const int16_t* w = table(c, v);
        run.kind = rov_kind::halfwave;
        run.wave[0] = 512;
        for (int i = 0; i < 16; ++i) run.wave[1 + i] = w[i];
        run.transfer = v.rov_sawt != 0;
        run.oscs = c.cp()[par_phrase::Detune] < 1 ? 1 : 2;
        run.vshift = run.oscs == 1 ? 3 : 4;
        return true;
    }
    // Vibrato on oscillator 1 by the low bits of level l, for amount a:
    // below 32 the fastest and widest, each further 32 slower.
    static int32_t vibrato(int32_t a, int32_t l) {
        if (a < 32) return (l & 7) < 2 || (l & 7) > 5 ? 2 * a : -2 * a;
        if (a < 64) return (l & 15) < 4 || (l & 15) > 11 ? a - 32 : -(a - 32);
        if (a < 96) return (l & 31) < 8 || (l & 31) > 23 ? (a - 64) / 2 : -(a - 64) / 2;
        const int32_t m = l & 63;
        if (m < 8 || m > 55) return (a - 96) / 2;
        if (m >= 24 && m <= 39) return -(a - 96) / 2;
        return 0;
    }
    // At each decay stage step, before the level falls: the vibrato, or
    // under Timbre Variation the waveform sweep, which narrows w by 8a.
    template <class V>
    static void envstep(rov_ctx& c, rov_tonephase& v) {
        const int32_t a = v.rov_wincr3;
        if (v.rov_ephas == 2 && rov_u16(v.rov_ebase + 1) == v.rov_edecr && a != 0) {
            if (!c.g.rov_tonalias)
                v.rov_wincr = rov_u16(v.rov_wincr + vibrato(a, v.rov_ecurr));
            else if (8 * a < v.rov_wpuls)
                v.rov_wpuls = rov_u16(v.rov_wpuls - 8 * a);
        }
        rov_env_step(v, V::stages);
    }
};

// --- Slow controls ------------------------------------------------------------------------
// Two LFOs, each a loop of eight points of the playing scale as stored
// (values 0..7 and 8..15, 0 to 1024), with their phases (0..4095) in the
// density and dynamic sequence states, modulate the tone length, pitch,
// spread, envelope, beat and waveform. A 32-stage envelope, one dynamic
// stage, table sine or triangle.
struct lfo : rov_tonehooks {
    static constexpr int stages = 32;
    static constexpr int oscs = 1;

    // The phase moves by the set's speed, faster above `knee`.
    static uint16_t phase(uint16_t at, int32_t s, int32_t knee, int32_t sub, int32_t div) {
        if (s > knee) s = (s - sub) * s / div;
        // A damaged negative speed keeps the phase inside the loop.
        return rov_u16(((at + s) % 4096 + 4096) % 4096);
    }
    // The curve's value at a phase: eight points 512 phase units apart.
    static int32_t value_at(const int16_t* pts, uint16_t ph) {
        const int32_t i = (ph >> 9) & 7, f = ph & 511;
        return ((512 - f) * pts[i] + pts[(i + 1) & 7] * f) / 512;
    }

    template <class V>
    static void control(rov_ctx& c) {
        rov_globphase& g = c.g;
        if (!rov_beat(g.rov_voccnt, g.rov_currp[rov_par::Beat], g.rov_stopped, 0)) return;
        rov_sequences(g, c.s, rov_seq_pitch | rov_seq_ton);
        g.rov_densxi = phase(g.rov_densxi, c.params[par_lfo::LFO1speed], 192, 184, 8);
        rov_sequences(g, c.s, rov_seq_pan);
        g.rov_dynxi = phase(g.rov_dynxi, c.params[par_lfo::LFO2speed], 96, 92, 4);
        const int16_t* curves = c.scale;
        int32_t l2 = value_at(curves + 8, g.rov_dynxi);
        if (c.s.rov_saw[c.setnr]) l2 -= g.rov_tonxi;  // Rand
        l2 = std::clamp(l2, 0, 1024);
        const int32_t l1 = std::clamp(value_at(curves, g.rov_densxi), 0, 1024);
        const int16_t* cp = g.rov_currp;
        g.rov_voccnt = rov_s16(rov_s32(int64_t{cp[par_lfo::LFO2Beat]} * l2) / 1024 + cp[rov_par::Beat]);
        const bool b = g.rov_tonalias && g.rov_maxvoc * 16 >= cp[rov_par::Voices];
        rov_glide(g, c.params, rov_glidescale{});
        const rov_slotpick pick = rov_findslot(c.t, g.rov_maxvoc, g.rov_tonalias, stages);
        if (pick.k >= 0) start(c, pick, l1, l2, b);
    }
    // Tone start from the current parameters and the LFO values l1, l2;
    // b: Timbre Variation with the voice maximum covering Voices, where
    // LFO1 moves the pitch (LFO2Env acts as LFO1Pitch) and the envelope is
    // not modulated.
    static void start(rov_ctx& c, rov_slotpick pick, int64_t l1, int64_t l2, bool b) {
        const int16_t* cp = c.g.rov_currp;
        rov_tonephase& v = c.t[pick.k];
        if (pick.k >= c.kmax) c.kmax = pick.k + 1;
        if (!pick.stolen) v.rov_wphas = 0;
        const int64_t wave = cp[par_lfo::LFO1Wave], form = cp[rov_par::Waveform];
        v.rov_wpuls = rov_u16(((128 - wave) * form + (wave * l1 / 1024) * form) * 2);
        const int64_t env = cp[par_lfo::LFO2Env], pit = cp[rov_par::Pitch];
        int64_t inc = b ? ((env * l1 / 1024 + (64 - env)) * pit) / 8 : 8 * pit;
        const int64_t sp = cp[par_lfo::LFO2Spread], spread = cp[par_lfo::PitSpread];
        inc += ((((128 - sp) * spread + (sp * l2 / 1024) * spread) / 128) * ((c.g.rov_pitxi & 127) - 64)) / 4;
        v.rov_wincr = rov_u16(inc);
        const int64_t voice = cp[par_lfo::LFO1Voice];
        const int64_t len = (((voice * l1 / 1024 + (128 - voice)) * cp[rov_par::Voices]) / 128) * (cp[rov_par::Beat] + 1);
        const int64_t e = b ? cp[rov_par::Envelope] : ((env * l2 / 1024 + (64 - env)) * cp[rov_par::Envelope]) / 64;
        v.rov_eincr = rov_u16(len * e / 512);
        v.rov_edecr = rov_u16((256 - e) * len / 512);
        rov_env_start(v, v.rov_wincr, pick.stolen, stages);
        const int32_t p = c.g.rov_panxi & 127;
        v.rov_left = rov_u16((128 - p) / 2);
        v.rov_right = rov_u16(p / 2);
        if (c.ev) rov_ev_start(*c.ev, c.t, pick.k, c.f0, false);
    }
    // Table sine without interpolation, or the triangle peaking at w; the
    // 32 levels are the gain.
    static int32_t value(rov_ctx& c, rov_tonephase& v) {
        const uint16_t w = v.rov_wpuls;
        const int32_t s = w == 0 ? c.tab[v.rov_wphas >> 8] : rov_tri32k(v.rov_wphas, w) - 16384;
        return v.rov_ecurr * s;
    }
    static void advance(const rov_ctx&, rov_tonephase& v) { rov_advance<1>(v); }
    static bool kernel(const rov_ctx&, const rov_tonephase& v, rov_run& run) {
        run.vshift = 0;
        if (v.rov_wpuls == 0) {
            run.kind = rov_kind::table0;
        } else {
            run.kind = rov_kind::ramp32768;
            run.offset = -16384;
        }
        return true;
    }
};

}  // namespace

ROV_ALG(ranov17) {
    (void)tablen;
    rov_tone_routine<waveforms>(roh, buffer, bufsz, setnr, tonr, tab);
}

ROV_ALG(ranov18) {
    (void)tablen;
    rov_tone_routine<lfo>(roh, buffer, bufsz, setnr, tonr, tab);
}
