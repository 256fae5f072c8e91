// Tone routines that shape tones beyond the basic envelope: complex
// envelopes (a gain curve programmed in the scale memory), multiple pitch
// ranges with glissando, cluster chords with envelopes scaled by pitch, and
// an ostinato phrase with detune and phase modulation. Each is the shared
// tone skeleton with the hooks in which it differs.
#include <algorithm>

#include "engine/algs.h"
#include "engine/overtones.h"
#include "engine/phrasehooks.h"
#include "engine/scales.h"
#include "engine/toneloop.h"

namespace {

// One oscillator, three dynamic stages at the quieter weights (a half, a
// quarter, an eighth), and the one-oscillator overtone shapes whose pulse
// is divided by 2.
struct single : rov_tonehooks {
    static constexpr int oscs = 1;
    static constexpr int32_t pulsediv = 2;
    static void weights(rov_tonephase& v, int32_t p, rov_stage st) { rov_weights_low(v, p, st); }
    static void advance(const rov_ctx&, rov_tonephase& v) { rov_advance<1>(v); }
};

// --- Complex envelopes -------------------------------------------------------------
// The slot's gain g (kept in rov_wincr3) follows a curve of the scale
// memory M: from e = 2 * EnvSelect, entries e..e+8 shape the attack and
// e+8..e+16 the decay; 1024 is a gain of 128.
struct complexenv : single {
    static_assert(par_envelope::Density == int{par_dual::Density});

    // Entry i of the whole scale memory; a damaged EnvSelect wraps inside it.
    static int32_t curve(const rov_ctx& c, int32_t i) {
        constexpr int32_t n = rov_nscales * rov_nvalues;
        return c.s.rov_tones[((i % n) + n) % n];
    }
    static int32_t first(const rov_ctx& c) { return 2 * c.cp()[par_envelope::EnvSelect]; }
    static int32_t gain(const rov_tonephase& v) { return v.rov_wincr3; }
    static void setgain(rov_tonephase& v, int32_t g) { v.rov_wincr3 = rov_u16(g); }

    // Scale tone (262 is unity for Pitch) or the random pitch, then Honky
    // detunes a sounding tone by a few increment units.
    static void pitch(rov_ctx& c, rov_tonephase& v, rov_draw) {
        const int16_t* cp = c.cp();
        const uint16_t x = c.g.rov_tonxi;
        if ((x & 255) < cp[par_envelope::Tonality])
            v.rov_wincr = rov_u16(rov_scalepitch(c.g.rov_toncur[x & 15], cp[rov_par::Pitch]));
        else
            v.rov_wincr = rov_u16(8 * cp[rov_par::Pitch] +
                                  ((c.g.rov_pitxi & 127) - 64) * cp[par_envelope::PitSpread] / 4);
        const int32_t h = cp[par_envelope::Honky];
        if (h > 0 && v.rov_wincr != 0) {
            int32_t r = (c.g.rov_pitxi / 16) % (h + 1) - h / 2;
            if (h > 64) r = (h - 56) * r / 8;
            v.rov_wincr = rov_u16(v.rov_wincr + r);
        }
    }
    // A fresh attack starts at gain M[e]/8, a decay at M[e+8]/8; a stolen
    // slot's attack keeps its gain, a silent tone has none.
    template <class V>
    static void envstart(rov_ctx& c, rov_tonephase& v, bool stolen) {
        rov_env_start(v, v.rov_wincr, stolen, V::stages);
        const int32_t e = first(c);
        if (v.rov_wincr == 0)
            setgain(v, 0);
        else if (v.rov_eincr != 0) {
            if (!stolen) setgain(v, curve(c, e) / 8);
        } else if (v.rov_edecr != 0) {
            setgain(v, curve(c, e + 8) / 8);
        }
    }
    // Each rise of the attack from level L (below 126) interpolates the
    // attack curve at L/16; the end of the attack takes the decay's first
    // entry; each fall of the decay to a level L of 2 or more interpolates
    // the decay curve at (128 - L)/16 (its last sixteenth, L <= 16, fades
    // its last entry toward 0); a freed slot has gain 0.
    template <class V>
    static void envstep(rov_ctx& c, rov_tonephase& v) {
        const uint16_t was = v.rov_ephas, l = v.rov_ecurr;
        rov_env_step(v, V::stages);
        if (v.rov_ephas == 0) {
            if (was != 0) setgain(v, 0);
            return;
        }
        const int32_t e = first(c);
        if (was == 1 && v.rov_ephas == 2) {
            setgain(v, curve(c, e + 8) / 8);
        } else if (was == 1 && v.rov_ecurr > l) {
            const int32_t j = l / 16 + e, r = l % 16;
            setgain(v, ((16 - r) * curve(c, j) + r * curve(c, j + 1)) / 128);
        } else if (was == 2 && v.rov_ecurr < l && v.rov_ecurr >= 2) {
            const int32_t lv = v.rov_ecurr;
            const int32_t j = (128 - lv) / 16 + e, r = (128 - lv) % 16;
            const int32_t g = (16 - r) * curve(c, j + 8) + (lv > 16 ? r * curve(c, j + 9) : 0);
            setgain(v, g / 128);
        }
    }
    // The overtone shapes fade with the gain; v = (gain * shape) >> 1.
    static int32_t value(rov_ctx& c, rov_tonephase& v) {
        return rov_s32(int64_t{gain(v)} * rov_overtone1(v, c.tab, gain(v), pulsediv)) >> 1;
    }
    static bool kernel(const rov_ctx&, const rov_tonephase& v, rov_run& run) {
        run.level = gain(v);
        run.vshift = 1;
        return rov_overtone1_run(v, run, gain(v), pulsediv);
    }
};

// --- Multiple pitch ranges -----------------------------------------------------------
// The scale holds eight pairs of centre pitch and range. The tone glides
// from Gliss1's offset toward its target during the attack and away from it
// by Gliss2 during the decay; the sounding increment (rov_wincr2) may be
// kept to a raster so that all pitches are overtones of one base. The slot
// keeps Gliss1 in rov_wphas3, Gliss2 in rov_wincr3 and the raster in
// rov_prev; rov_wincr is the target.
struct ranges : single {
    static_assert(par_ranges::Density == int{par_dual::Density});

    static void pitch(rov_ctx& c, rov_tonephase& v, rov_draw) {
        const int16_t* cp = c.cp();
        const int16_t* sc = c.g.rov_toncur;
        const int x = c.g.rov_tonxi & 14;
        const int32_t spread = rov_s32(int64_t{cp[par_ranges::PitSpread]} * sc[x + 1]) / 512;
        v.rov_wincr = rov_u16(rov_scalepitch(sc[x], cp[rov_par::Pitch]) +
                              rov_s32(int64_t{spread} * ((c.g.rov_pitxi & 127) - 64)) / 4);
        const int32_t raster = cp[par_ranges::PitRaster];
        int32_t g = raster + 1;
        if (g > 128) g = (raster - 95) * g / 32;
        v.rov_prev = g;
        v.rov_wphas3 = rov_u16(cp[par_ranges::Gliss1]);
        v.rov_wincr3 = rov_u16(cp[par_ranges::Gliss2]);
    }
    // The sounding increment to the nearest multiple of the raster g (g > 1).
    static void raster(rov_tonephase& v) {
        const int64_t g = v.rov_prev;
        if (g > 1) v.rov_wincr2 = rov_u16((g / 2 + v.rov_wincr2) / g * g);
    }
    // A fresh attack starts Gliss1's offset away from the target, a decay on
    // it; a stolen attack keeps sounding where the stolen tone was.
    template <class V>
    static void envstart(rov_ctx& c, rov_tonephase& v, bool stolen) {
        (void)c;
        rov_env_start(v, v.rov_wincr, stolen, V::stages);
        const int64_t t = v.rov_wincr;
        if (t == 0) return;
        if (v.rov_eincr != 0) {
            if (stolen) return;
            v.rov_wincr2 = rov_u16(rov_s32((int64_t{v.rov_wphas3} - 64) * t) / 64 + t);
        } else if (v.rov_edecr != 0) {
            v.rov_wincr2 = rov_u16(t);
        } else {
            return;
        }
        raster(v);
    }
    // At each stage step the glide offset shrinks with the level during the
    // attack and grows as the level falls during the decay.
    template <class V>
    static void envstep(rov_ctx&, rov_tonephase& v) {
        const uint16_t was = v.rov_ephas;
        rov_env_step(v, V::stages);
        // A stage step resets the frame counter; a freed slot needs no pitch.
        if (v.rov_ephas == 0 || v.rov_ebase != 0) return;
        const int64_t t = v.rov_wincr, below = 127 - int64_t{v.rov_ecurr};
        if (was == 1)
            v.rov_wincr2 = rov_u16(rov_s32((int64_t{v.rov_wphas3} - 64) * below * t) / 8192 + t);
        else
            v.rov_wincr2 = rov_u16(rov_s32((int64_t{v.rov_wincr3} - 32) * below * t) / 4096 + t);
        raster(v);
    }
    static int32_t value(rov_ctx& c, rov_tonephase& v) {
        return (v.rov_ecurr * rov_overtone1(v, c.tab, v.rov_ecurr, pulsediv)) >> 2;
    }
    // The phase runs at the sounding increment.
    static void advance(const rov_ctx&, rov_tonephase& v) { v.rov_wphas = rov_u16(v.rov_wphas + v.rov_wincr2); }
    static bool kernel(const rov_ctx&, const rov_tonephase& v, rov_run& run) {
        run.incr[0] = v.rov_wincr2;
        run.vshift = 2;
        return rov_overtone1_run(v, run, v.rov_ecurr, pulsediv);
    }
};

// --- Cluster chords -------------------------------------------------------------------
// A beat step starts a cluster of tones at once; each tone's envelope is
// scaled by its pitch through the note table.
struct cluster : single {
    template <class V>
    static void control(rov_ctx& c) {
        rov_globphase& g = c.g;
        if (!rov_beat(g.rov_voccnt, c.cp()[rov_par::Beat], g.rov_stopped, 0)) return;
        V::sequences(c);
        const rov_draw draw = V::draw(c);
        V::glide(c);
        const int16_t* cp = c.cp();
        const int maxvoc = g.rov_maxvoc;
        // Cluster size from Voices and Clustering, 1 .. the voice maximum.
        int32_t m = (rov_s32(int64_t{cp[rov_par::Voices]} * cp[par_cluster::Clustering]) / 16 + 63) / 64;
        if (m < 1) m = 1;
        if (m > maxvoc) m = maxvoc;
        // Free slots among as many as Voices covers.
        const int lim = std::min({maxvoc, rov_nslots, (cp[rov_par::Voices] + 15) / 16});
        int free[rov_nslots];
        int nfree = 0;
        for (int k = 0; k < lim; ++k)
            if (c.t[k].rov_ephas == 0) free[nfree++] = k;
        if (nfree < m) {
            // Too few: with Timbre Variation one tone in the quietest decaying slot.
            if (!g.rov_tonalias) return;
            const int k = rov_stealslot(c.t, maxvoc, V::stages);
            if (k < 0) return;
            V::sequences(c);
            rov_tone_start<V>(c, {k, true}, draw);
            return;
        }
        // Each tone of the cluster draws afresh from all five sequences.
        for (int i = m - 1; i >= 0; --i) {
            V::sequences(c);
            rov_tone_start<V>(c, {free[i], false}, draw);
        }
    }
    // A scale tone from the first n scale values (n from ScaleSize, spread
    // at random by the density sequence when ScaleDistr is set), or a
    // random pitch spread wider above Pitch than below it.
    static void pitch(rov_ctx& c, rov_tonephase& v, rov_draw) {
        const int16_t* cp = c.cp();
        const rov_globphase& g = c.g;
        const uint16_t x = g.rov_tonxi;
        const int32_t size = cp[par_cluster::ScaleSize];
        if ((x & 255) < cp[par_cluster::Tonality]) {
            int32_t n = cp[par_cluster::ScaleDistr] < 1 ? size / 8 : size < 1 ? 1 : (g.rov_densxi + 16) % size;
            n = std::clamp(n, 1, 16);
            v.rov_wincr = rov_u16(rov_scalepitch(g.rov_toncur[x % n], cp[rov_par::Pitch]));
            return;
        }
        const int32_t r = (g.rov_pitxi & 127) - 64;
        const int64_t spread = cp[par_cluster::PitSpread], pit = cp[rov_par::Pitch];
        int64_t inc = rov_s32(8 * pit + rov_s32(spread * r * (pit / 32 + 1)) / 64);
        if (r > 0) {
            const int64_t q = std::abs(16384 - spread * r);
            if (q > 0) inc = rov_s32(rov_s32(inc * 16384) / q);
        }
        if (spread > 4) inc += g.rov_pitxi % (spread + 1);
        v.rov_wincr = rov_u16(inc);
    }
    // A stolen slot's tone is shortened by Clustering; EnvScaling below 60
    // shortens low tones, above 68 high ones, by a note value of the table
    // against its top note f3 (1048).
    template <class V>
    static void envstart(rov_ctx& c, rov_tonephase& v, bool stolen) {
        const int16_t* cp = c.cp();
        if (stolen) {
            int32_t l = rov_s32(int64_t{cp[rov_par::Beat] + 1} * cp[rov_par::Voices]);
            l = rov_s32(int64_t{64 - cp[par_cluster::Clustering]} * l) / 64;
            v.rov_eincr = rov_u16(rov_s32(int64_t{cp[rov_par::Envelope]} * l) / 2048);
            v.rov_edecr = rov_u16(rov_s32(int64_t{256 - cp[rov_par::Envelope]} * l) / 2048);
        }
        const int32_t es = cp[par_cluster::EnvScaling];
        if (es < 60 || es > 68) {
            const int16_t* notes = c.notes;
            const int32_t note = v.rov_wincr / 8;
            int32_t j = 0;
            while (j < 60 && notes[j] < note) ++j;
            int32_t i = es <= 64 ? 60 - (60 - es) * (60 - j) / 60 : 60 - (es - 68) * j / 60;
            i = std::clamp(i, 0, 60);  // a damaged EnvScaling stays inside the table
            const int32_t f = notes[i];
            v.rov_eincr = rov_u16((v.rov_eincr * f + 1047) / 1048);
            v.rov_edecr = rov_u16(v.rov_edecr * f / 1048);
        }
        rov_env_start(v, v.rov_wincr, stolen, V::stages);
    }
    static int32_t value(rov_ctx& c, rov_tonephase& v) {
        return (v.rov_ecurr * rov_overtone1(v, c.tab, v.rov_ecurr, pulsediv)) >> 2;
    }
    static bool kernel(const rov_ctx&, const rov_tonephase& v, rov_run& run) {
        run.vshift = 2;
        return rov_overtone1_run(v, run, v.rov_ecurr, pulsediv);
    }
};

// --- Ostinato ---------------------------------------------------------------------------
// The playing scale is a phrase (the glide copies it into the phrase memory),
// played from its base tone in order or, as Phrase falls, with random
// members; two detuned oscillators whose value may drive the sine table as
// a phase (PhaseMod, kept in rov_wincr3).
struct ostinato : rov_phrasehooks {
    static void glide(rov_ctx& c) { rov_glide(c.g, c.params, rov_glidescale{c.scale, c.g.rov_phrase, nullptr}); }
    static void pitch(rov_ctx& c, rov_tonephase& v, rov_draw) {
        const int16_t* cp = c.cp();
        rov_globphase& g = c.g;
        v.rov_wincr3 = rov_u16(cp[par_ostinato::PhaseMod]);
        int16_t& k = g.rov_phrap1;
        int32_t u;
        if (k < 1 || k > 15) {
            u = cp[rov_par::Pitch] * 262 / 32;  // every ostinato begins on the base tone
            k = 1;
        } else {
            const int j = (g.rov_tonxi & 255) < cp[par_phrase::Phrase] ? k : (g.rov_tonxi & 15);
            u = rov_s32(int64_t{cp[rov_par::Pitch]} * 8 * g.rov_phrase[j]) / 256;
            k = rov_phrasemore(k, cp[par_phrase::PhraseLen], cp[par_phrase::PhrLenMod], g.rov_densxi);
        }
        tune(c, v, u);
    }
    // The two-oscillator overtone shapes at 1/16 of the level; with
    // PhaseMod the value is a phase into the sine table.
    static int32_t value(rov_ctx& c, rov_tonephase& v) {
        int32_t val = (v.rov_ecurr * rov_overtone2(v, c.tab)) >> 4;
        const int32_t pm = v.rov_wincr3;
        if (pm > 0) {
            const int32_t y = rov_s32(int64_t{pm} * val) / 64;
            const int32_t i = (y & 65535) >> 8, f = y & 255;
            val = ((256 - f) * c.tab[i] + f * c.tab[i + 1]) >> 5;
        }
        return val;
    }
    // Kernel: the overtone shapes' run, with the phase modulation.
    static bool kernel(const rov_ctx&, const rov_tonephase& v, rov_run& run) {
        run.phasemod = v.rov_wincr3;
        return rov_overtone2_run(v, run);
    }
};

}  // namespace

ROV_ALG(ranov12) {
    (void)tablen;
    rov_tone_routine<complexenv>(roh, buffer, bufsz, setnr, tonr, tab);
}

ROV_ALG(ranov13) {
    (void)tablen;
    rov_tone_routine<ranges>(roh, buffer, bufsz, setnr, tonr, tab);
}

// The note table comes in the length argument. A caller that passes a
// length there instead of an address (a value below 65536) gets the
// engine's own table.
ROV_ALG(ranov15) {
    const int16_t* notes = tablen >= 65536 ? reinterpret_cast<const int16_t*>(tablen) : tonnotes;
    rov_tone_routine<cluster>(roh, buffer, bufsz, setnr, tonr, tab, notes);
}

ROV_ALG(ranov16) {
    (void)tablen;
    rov_tone_routine<ostinato>(roh, buffer, bufsz, setnr, tonr, tab);
}
