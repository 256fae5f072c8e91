// The phrase routines: fantasy around a given phrase, a two-channel session
// and jazzy playing that records its own phrases. A beat step starts a phrase
// on a scale tone or plays the running phrase's next step, transposed to its
// first tone, and every pitch is folded by octaves into the range of Pitch
// and PitRange.
#include "engine/phrase.h"

#include <algorithm>

#include "engine/algs.h"
#include "engine/overtones.h"
#include "engine/phrasehooks.h"

int32_t rov_foldlo(int32_t pitch, int32_t pitrange) { return rov_u16((64 - pitrange / 4) * (pitch * 3 / 32)); }

int32_t rov_foldhi(int32_t pitch, int32_t pitrange) {
    int32_t d = 24 - pitrange / 16;
    if (d == 0) d = 1;
    return rov_u16((pitch * 12 + 24) / d * 24);
}

int32_t rov_fold(int32_t u, int32_t lo, int32_t hi) {
    if (u < lo / 8) return 0;
    if (u >= 8 * hi) return hi;
    if (u < lo / 4) return 8 * u;
    if (u > 4 * hi) return (u + 4) / 8;
    if (u < lo / 2) return 4 * u;
    if (u > 2 * hi) return (u + 2) / 4;
    if (u < lo) return 2 * u;
    if (u > hi) return (u + 1) / 2;
    return u;
}

int16_t rov_phrasemore(int16_t k, int32_t phraselen, int32_t phrlenmod, uint16_t z) {
    return static_cast<int16_t>((8 * k < phraselen || z < phrlenmod) && k < 15 ? k + 1 : 0);
}

int32_t rov_phrasestep(const rov_globphase& g, int16_t& k, int32_t phraselen, int32_t phrlenmod, uint16_t z) {
    const int32_t u = g.rov_phrase[0] * g.rov_phrase[k] / 262;
    k = rov_phrasemore(k, phraselen, phrlenmod, z);
    return u;
}

namespace {

// A scale tone scaled by Pitch/32 (from the tonality state x).
int32_t scaletone(const rov_ctx& c) {
    return c.g.rov_toncur[c.g.rov_tonxi & 15] * c.cp()[rov_par::Pitch] / 32;
}

// --- Fantasy ---------------------------------------------------------------------
// Scales in pairs: the even scale is the phrase, the odd one the pitches.
// Every beat step seeks a slot; a stolen slot starts afresh.
struct fantasy : rov_phrasehooks {
    static void glide(rov_ctx& c) {
        const int even = c.tonr & ~1;
        rov_glide(c.g, c.params, rov_scale(c.s, even + 1), rov_scale(c.s, even));
    }
    // Outside a phrase: a scale tone, which starts a phrase when
    // (x & 255) < Phrase. Inside: the phrase step.
    static int32_t next(rov_ctx& c) {
        const int16_t* cp = c.cp();
        rov_globphase& g = c.g;
        int16_t& k = g.rov_phrap1;
        if (k < 1 || k > 15) {
            const int32_t u = scaletone(c);
            if ((g.rov_tonxi & 255) < cp[par_phrase::Phrase]) {
                g.rov_phrase[0] = rov_s16(u);
                k = 1;
            }
            return u;
        }
        return rov_phrasestep(g, k, cp[par_phrase::PhraseLen], cp[par_phrase::PhrLenMod], g.rov_densxi);
    }
    static void pitch(rov_ctx& c, rov_tonephase& v, rov_draw) { tune(c, v, next(c)); }
    // Envelope detune: each fall of the decay retunes oscillator 2 so that
    // the detune drifts by (DetEnv - 32)/32 per stage below full level.
    template <class V>
    static void envstep(rov_ctx& c, rov_tonephase& v) {
        if (!rov_env_step(v, V::stages)) return;
        const int16_t* cp = c.cp();
        const int64_t d = (cp[par_phrase::DetEnv] - 32) * (127 - v.rov_ecurr) / 32 + cp[par_phrase::Detune];
        v.rov_wincr2 = rov_u16(rov_s32(d * v.rov_wincr) / 512 + v.rov_wincr);
    }
    static int32_t shape(const rov_tonephase& v, const int16_t* tab) { return rov_overtone2(v, tab); }
    static int32_t value(rov_ctx& c, rov_tonephase& v) { return (v.rov_ecurr * shape(v, c.tab)) >> 4; }
    // Kernel: the two-oscillator overtone shapes.
    static bool kernel(const rov_ctx&, const rov_tonephase& v, rov_run& run) { return rov_overtone2_run(v, run); }
};

// --- Jazzy -----------------------------------------------------------------------
// One scale of pitches; the phrase is recorded by the routine itself. A
// stolen slot keeps its phases and level; no envelope detune.
struct jazzy : fantasy {
    static void glide(rov_ctx& c) { rov_glide(c.g, c.params, c.scale); }
    static bool fresh(bool stolen) { return !stolen; }
    // Outside a phrase and a recording: a scale tone, which starts a phrase
    // when (x & 255) < Phrase, as a recording when (pitxi & 255) < PhrCreate.
    // Recording (17..31): the scale value becomes phrase step k - 16.
    static int32_t next(rov_ctx& c) {
        const int16_t* cp = c.cp();
        rov_globphase& g = c.g;
        int16_t& k = g.rov_phrap1;
        if (k >= 1 && k <= 15)
            return rov_phrasestep(g, k, cp[par_phrase::PhraseLen], cp[par_phrase::PhrLenMod], g.rov_densxi);
        const int16_t value = g.rov_toncur[g.rov_tonxi & 15];
        const int32_t u = scaletone(c);
        if (k >= 17 && k <= 31) {
            g.rov_phrase[k - 16] = value;
            k = static_cast<int16_t>(k < 31 ? k + 1 : 0);
        } else if ((g.rov_tonxi & 255) < cp[par_phrase::Phrase]) {
            g.rov_phrase[0] = rov_s16(u);
            k = (g.rov_pitxi & 255) < cp[par_phrase::PhrCreate] ? 17 : 1;
        }
        return u;
    }
    static void pitch(rov_ctx& c, rov_tonephase& v, rov_draw) { tune(c, v, next(c)); }
    template <class V>
    static void envstep(rov_ctx&, rov_tonephase& v) {
        rov_env_step(v, V::stages);
    }
    // Overtones m = w/256 + 1 times as fast up to 2048, fading with the
    // envelope with m = w/256 - 7 up to 4096; else as the dual oscillator.
    static int32_t shape(const rov_tonephase& v, const int16_t* tab) {
        const int32_t w = v.rov_wpuls;
        if (v.rov_sawt || w == 0 || w > 4096) return rov_dual(v, tab);
        if (w <= 2048) return (rov_fundamentals(v, tab) + rov_overtones(v, tab, w / 256 + 1, 256)) >> 2;
        return (((rov_overtones(v, tab, w / 256 - 7, 256) * v.rov_ecurr) >> 7) + rov_fundamentals(v, tab)) >> 2;
    }
    static int32_t value(rov_ctx& c, rov_tonephase& v) { return (v.rov_ecurr * shape(v, c.tab)) >> 4; }
    static bool kernel(const rov_ctx&, const rov_tonephase& v, rov_run& run) {
        const int32_t w = v.rov_wpuls;
        if (v.rov_sawt || w == 0 || w > 4096) return rov_dual_run(v, run);
        run.oscs = 2;
        if (w <= 2048) rov_ot_run(run, {1, 8}, {w / 256 + 1, 8}, 1, 0, 2);
        else rov_ot_run(run, {1, 8}, {w / 256 - 7, 8}, v.rov_ecurr, 7, 2);
        return true;
    }
};

// --- Session ---------------------------------------------------------------------
// Two channels share the slots, the phrase memory and the sequences. Channel
// 1 plays the even set of the pair through the glide and takes free slots
// only; channel 2 plays the odd set directly and may steal. Each channel has
// its own countdown, density and dynamic sequences and phrase position.
struct session : rov_tonehooks {
    static constexpr int oscs = 1;

    static int even(const rov_ctx& c) { return c.setnr & ~1; }
    // A set's remembered scale; a damaged number falls back to the playing scale.
    static const int16_t* setscale(const rov_ctx& c, int set) {
        const int n = c.s.rov_tonindx[set];
        return rov_scale(c.s, n >= 0 && n < rov_nscales ? n : c.tonr);
    }

    template <class V>
    static void control(rov_ctx& c) {
        const int ev = c.setnr & ~1, entry = c.setnr;
        if (rov_beat(c.g.rov_voccnt, c.g.rov_currp[rov_par::Beat], c.g.rov_stopped, 0)) {
            c.ch = 0;
            c.setnr = ev;
            rov_beat_step<V>(c);
        }
        const int16_t* odd = rov_set(c.s, ev + 1);
        if (rov_beat(c.g.rov_voccnt2, odd[rov_par::Beat], c.g.rov_stopped, 0)) {
            c.ch = 1;
            c.chp = odd;
            c.setnr = ev + 1;
            rov_beat_step<V>(c);
        }
        c.ch = 0;
        c.chp = nullptr;
        c.setnr = entry;
    }
    // Pitch, tonality and panning are shared; density and dynamic are the
    // channel's own, with its set's PhrLenMod and AccMode as multipliers.
    static void sequences(rov_ctx& c) {
        const int16_t* cp = c.cp();
        rov_globphase& g = c.g;
        if (c.ch == 0)
            rov_sequences_ch(g, c.s, rov_seq_all, g.rov_densxi, cp[par_phrase::PhrLenMod], g.rov_dynxi,
                             cp[rov_par::AccMode]);
        else
            rov_sequences_ch(g, c.s, rov_seq_all, g.rov_densxi2, cp[par_phrase::PhrLenMod], g.rov_dynxi2,
                             cp[rov_par::AccMode]);
    }
    static uint16_t dynxi(const rov_ctx& c) { return c.ch ? c.g.rov_dynxi2 : c.g.rov_dynxi; }
    static uint16_t densxi(const rov_ctx& c) { return c.ch ? c.g.rov_densxi2 : c.g.rov_densxi; }
    // Timbre flag b: Timbre Variation on and the voice maximum covering the
    // odd set's Voices.
    static rov_draw draw(const rov_ctx& c) {
        return c.g.rov_tonalias && c.g.rov_maxvoc >= rov_set(c.s, even(c) + 1)[rov_par::Voices] / 16 ? 1 : 0;
    }
    // Only channel 1 glides: toward the even set, its scale as the pitches
    // and the odd set's scale as the phrase.
    static void glide(rov_ctx& c) {
        if (c.ch != 0) return;
        const int ev = even(c);
        rov_glide(c.g, rov_set(c.s, ev), setscale(c, ev), setscale(c, ev + 1));
    }
    template <class V>
    static rov_slotpick pick(const rov_ctx& c) {
        return rov_findslot(c.t, c.g.rov_maxvoc, c.ch == 1 && c.g.rov_tonalias, V::stages);
    }
    static uint16_t width(const rov_ctx& c, rov_draw) { return rov_u16(c.cp()[rov_par::Waveform] * 256); }
    // Outside the phrases: a scale tone, which may start the first phrase
    // (pulse width / 3 under b) or the second (2/3). The second phrase
    // (16..31) reads channel 1's steps from the odd set's scale and channel
    // 2's from the scale memory at 2 * Select.
    static void pitch(rov_ctx& c, rov_tonephase& v, rov_draw b) {
        const int16_t* cp = c.cp();
        rov_globphase& g = c.g;
        int16_t& k = c.ch ? g.rov_phrap2 : g.rov_phrap1;
        const uint16_t z = densxi(c);
        int32_t u;
        bool second;
        if (k < 1 || k > 31) {
            u = scaletone(c);
            second = false;
            if ((g.rov_tonxi & 255) < cp[par_phrase::Phrase]) {
                if (c.ch == 0 || g.rov_phrap1 < 1 || g.rov_phrap1 > 31) g.rov_phrase[0] = rov_s16(u);
                second = (g.rov_pitxi & 127) < cp[par_phrase::Phrase2];
                k = second ? 17 : 1;
                if (b) v.rov_wpuls = rov_u16(second ? 2 * v.rov_wpuls / 3 : v.rov_wpuls / 3);
            }
        } else if (k >= 16) {
            int32_t step;
            if (c.ch == 0) {
                step = setscale(c, even(c) + 1)[k - 16];
            } else {
                // Select beyond 72 (a damaged setting) stays inside the scale memory.
                const int i =
                    std::clamp(2 * cp[par_phrase::Select] + k - 16, 0, rov_nscales * rov_nvalues - 1);
                step = c.s.rov_tones[i];
            }
            u = g.rov_phrase[0] * step / 262;
            if (b) v.rov_wpuls = rov_u16(2 * v.rov_wpuls / 3);
            const bool more = (k - 16) * 8 < cp[par_phrase::PhraseLen] || z < cp[par_phrase::PhrLenMod];
            k = static_cast<int16_t>(more && k < 31 ? k + 1 : 0);
        } else {
            u = rov_phrasestep(g, k, cp[par_phrase::PhraseLen], cp[par_phrase::PhrLenMod], z);
            if (b) v.rov_wpuls = rov_u16(v.rov_wpuls / 3);
        }
        v.rov_wincr = rov_u16(rov_phrasehooks::fold(c, u));
    }
    // One oscillator: the overtone shapes fading with the level, the pulse
    // divided by 4.
    static int32_t shape(const rov_tonephase& v, const int16_t* tab) {
        return rov_overtone1(v, tab, v.rov_ecurr, 4);
    }
    static int32_t value(rov_ctx& c, rov_tonephase& v) { return (v.rov_ecurr * shape(v, c.tab)) >> 4; }
    // Kernel: every one-oscillator overtone shape.
    static bool kernel(const rov_ctx&, const rov_tonephase& v, rov_run& run) { return rov_overtone1_run(v, run, v.rov_ecurr, 4); }
    static void advance(const rov_ctx&, rov_tonephase& v) { rov_advance<1>(v); }
};

}  // namespace

ROV_ALG(ranov8) {
    (void)tablen;
    rov_tone_routine<fantasy>(roh, buffer, bufsz, setnr, tonr, tab);
}

ROV_ALG(ranov9) {
    (void)tablen;
    rov_tone_routine<session>(roh, buffer, bufsz, setnr, tonr, tab);
}

ROV_ALG(ranov10) {
    (void)tablen;
    rov_tone_routine<jazzy>(roh, buffer, bufsz, setnr, tonr, tab);
}
