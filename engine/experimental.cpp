// The experimental tone routines: dual oscillator (also the loop algorithm's
// routine), two scales, ambient echo with chords and fuzz, intervals with
// noise, and stumbling chords / triple oscillator. Each is the shared tone
// skeleton with the hooks in which it differs from the dual oscillator.
#include <algorithm>

#include "engine/algs.h"
#include "engine/phrase.h"
#include "engine/toneloop.h"

namespace {

// --- Dual oscillator -----------------------------------------------------------
// Two oscillators Detune/512 apart, three dynamic stages, a one-pole filter.
struct dual : rov_tonehooks {};

// --- Two scales ------------------------------------------------------------------
// One oscillator, a 32-stage envelope, a second scale chosen from the whole
// scale memory, quieter dynamic stages and low-precision shapes.
struct twoscales : rov_tonehooks {
    // The density test is the dual oscillator's.
    static_assert(par_twoscales::Density == int{par_dual::Density});

    static constexpr int stages = 32;
    static constexpr int perdiv = 512;
    static constexpr int oscs = 1;

    // Scale tone (262 is unity for Pitch), tone of the second scale (index
    // into the whole scale memory, Select = 8n starting at scale n), or the
    // random pitch.
    static void pitch(rov_ctx& c, rov_tonephase& v, rov_draw) {
        const int16_t* cp = c.cp();
        const uint16_t x = c.g.rov_tonxi;
        if ((x & 255) < cp[par_twoscales::Tonality]) {
            v.rov_wincr = rov_u16(rov_scalepitch(c.g.rov_toncur[x & 15], cp[rov_par::Pitch]));
        } else if ((x & 255) < cp[par_twoscales::Tonality] + 2 * cp[par_twoscales::Tonality2]) {
            // Select beyond 72 (only a damaged setting holds one) stays
            // inside the scale memory.
            const int i =
                std::clamp((x & 15) + 2 * cp[par_twoscales::Select], 0, rov_nscales * rov_nvalues - 1);
            v.rov_wincr = rov_u16(rov_scalepitch(c.s.rov_tones[i], cp[rov_par::Pitch]));
        } else {
            v.rov_wincr = rov_u16(8 * cp[rov_par::Pitch] +
                                  ((c.g.rov_pitxi & 127) - 64) * cp[par_twoscales::PitSpread] / 4);
        }
    }
    // Weights: accent 1/2, normal 1/4, soft 1/8 of (128 - p) and p.
    static void weights(rov_tonephase& v, int32_t p, rov_stage st) { rov_weights_low(v, p, st); }
    // Low-precision shapes: table sine without interpolation; below 32767 a
    // sine running (w/256 + 16)/16 times as fast as the phase and restarting
    // with it; from 32767 a full-height rectangle; triangle with Saw.
    static int32_t shape(const rov_tonephase& v, const int16_t* tab) {
        const uint32_t phi = v.rov_wphas, w = v.rov_wpuls;
        if (v.rov_sawt) return rov_tri32k(phi, w) - 16384;
        if (w == 0) return tab[phi >> 8];
        if (w < 32767) return rov_tab(tab, static_cast<int32_t>((((w >> 8) + 16) * phi) >> 12));
        return phi < w ? static_cast<int32_t>(w) - 65535 : static_cast<int32_t>(w);
    }
    // No division by 16 and no filter: the 32 levels are the gain.
    static int32_t value(rov_ctx& c, rov_tonephase& v) { return v.rov_ecurr * shape(v, c.tab); }
    // Kernel: the triangle, the table sine, the fast sine or the rectangle.
    static bool kernel(const rov_ctx&, const rov_tonephase& v, rov_run& run) {
        const int32_t w = v.rov_wpuls;
        run.vshift = 0;
        if (v.rov_sawt) {
            run.kind = rov_kind::ramp32768;
            run.offset = -16384;
        } else if (w == 0) {
            run.kind = rov_kind::table0;
        } else if (w < 32767) {
            rov_ot_run(run, {(w >> 8) + 16, 12}, {}, 0, 0, 0);
            run.two = false;
        } else {
            run.kind = rov_kind::rect;
        }
        return true;
    }
    static void advance(const rov_ctx&, rov_tonephase& v) { rov_advance<1>(v); }
};

// --- Intervals -------------------------------------------------------------------
// As two scales, but the pitch sequence makes noise every eighth frame, and
// a tone is a scale pitch or an interval from the previous tone, folded by
// octaves into the range of Pitch and PitRange.
struct intervals : twoscales {
    static_assert(par_intervals::Density == int{par_dual::Density});

    static void sequences(rov_ctx& c) {
        rov_sequences(c.g, c.s, rov_seq_all & ~rov_seq_pitch);
    }
    // Every eighth frame of the call the pitch sequence advances with
    // multiplier NoiseType and sets the noise offset of every phase; the
    // chunk's drift sums the offsets frame by frame.
    static void on_chunk(rov_ctx& c, int32_t f0, int32_t n) {
        const int16_t* cp = c.cp();
        int32_t sum = 0;
        for (int32_t i = 0; i < n; ++i) {
            if ((f0 + i) % 8 == 0) {
                c.g.rov_pitxi = rov_modseq(c.g.rov_pitxi, cp[par_intervals::NoiseType], c.s.rov_pitmod);
                c.noise = ((c.g.rov_pitxi & 255) - 128) * cp[par_intervals::Noise] / 2;
            }
            c.driftsum[i] = sum;
            sum = rov_u16(sum + c.noise);
        }
        c.driftsum[n] = sum;
        c.drift = c.driftsum;
    }
    static void advance(const rov_ctx& c, rov_tonephase& v) {
        v.rov_wphas = rov_u16(v.rov_wphas + v.rov_wincr + c.drift[c.frame + 1] - c.drift[c.frame]);
    }
    static bool kernel(const rov_ctx& c, const rov_tonephase& v, rov_run& run) {
        run.drift = c.drift;
        return twoscales::kernel(c, v, run);
    }
    // Scale values 0..7 are pitches, 8..15 intervals (262 = unison) applied
    // to the previous tone's increment, kept in rov_phrase[0].
    static void pitch(rov_ctx& c, rov_tonephase& v, rov_draw) {
        const int16_t* cp = c.cp();
        const uint16_t x = c.g.rov_tonxi;
        int32_t u;
        if ((x & 255) < cp[par_intervals::Intervals])
            u = (c.g.rov_phrase[0] * c.g.rov_toncur[8 + (x & 7)] + 131) / 262;
        else
            u = rov_scalepitch(c.g.rov_toncur[x & 7], cp[rov_par::Pitch]);
        u = rov_fold2(u, rov_foldlo(cp[rov_par::Pitch], cp[par_intervals::PitRange]),
                      rov_foldhi(cp[rov_par::Pitch], cp[par_intervals::PitRange]));
        v.rov_wincr = rov_u16(u);
        c.g.rov_phrase[0] = rov_s16(u);
    }
};

// --- Ambient ---------------------------------------------------------------------
// Every beat step starts a chord of two or three oscillators in a free slot;
// the mono signal goes left, its echo (from this or the previous buffer)
// right, and EchoFB mixes the echo back into the left channel.
struct ambient : rov_tonehooks {
    static constexpr int oscs = 3;

    // The delay e = (2 * bufsz / 128) * Echo interleaved samples, at the
    // start of every control block. A damaged Echo outside 0..128 is kept to
    // the range the echo source covers.
    static void on_block(rov_ctx& c) {
        const int64_t e = static_cast<int64_t>(2 * c.bufsz / 128) * c.cp()[par_ambient::Echo];
        c.delay = static_cast<int32_t>(std::clamp<int64_t>(e, 0, 2 * static_cast<int64_t>(c.bufsz)));
    }
    static void sequences(rov_ctx& c) { rov_sequences(c.g, c.s, rov_seq_pitch | rov_seq_ton | rov_seq_dyn); }
    static rov_draw draw(const rov_ctx&) { return 0; }
    // No density test and no stealing: the first free slot.
    template <class V>
    static rov_slotpick pick(const rov_ctx& c) {
        return rov_findslot(c.t, c.g.rov_maxvoc, false, V::stages);
    }
    static uint16_t width(const rov_ctx& c, rov_draw) { return rov_u16(c.cp()[rov_par::Waveform] * 256); }
    // A chord: consecutive states of the tonality sequence (scale tones) or
    // of the pitch sequence (random pitches); the third note only under
    // Timbre Variation.
    static void pitch(rov_ctx& c, rov_tonephase& v, rov_draw) {
        const int16_t* cp = c.cp();
        rov_globphase& g = c.g;
        const bool three = g.rov_tonalias != 0;
        if ((g.rov_tonxi & 255) < cp[par_ambient::Tonality]) {
            auto note = [&] {
                return rov_u16(rov_scalepitch(g.rov_toncur[g.rov_tonxi & 15], cp[rov_par::Pitch]));
            };
            auto next = [&] { g.rov_tonxi = rov_modseq(g.rov_tonxi, 1001, c.s.rov_tonmod); };
            v.rov_wincr = note();
            next();
            v.rov_wincr2 = note();
            if (three) next();
            v.rov_wincr3 = three ? note() : uint16_t{0};
        } else {
            auto note = [&] {
                return rov_u16(8 * cp[rov_par::Pitch] +
                               ((g.rov_pitxi & 127) - 64) * cp[par_ambient::PitSpread] / 4);
            };
            auto next = [&] { g.rov_pitxi = rov_modseq(g.rov_pitxi, 804, c.s.rov_pitmod); };
            v.rov_wincr = note();
            next();
            v.rov_wincr2 = note();
            if (three) next();
            v.rov_wincr3 = three ? note() : uint16_t{0};
        }
    }
    // Mono weight: accent 192, normal 96, soft 48.
    static void weights(rov_tonephase& v, int32_t, rov_stage st) {
        v.rov_left = st == rov_accent ? 192 : st == rov_normal ? 96 : 48;
        v.rov_right = 0;
    }
    // Fuzz below 16: triangles of oscillators 1 and 2 (and 3). From 16,
    // oscillators 1 and 3 only: with Sync off the triangle is amplified by a
    // factor that follows the level and weight and folds over 15 bits; with
    // Sync on the triangle runs k/1024 times as fast as the phase.
    static int32_t shape(const rov_ctx& c, const rov_tonephase& v) {
        const int16_t* cp = c.cp();
        const uint32_t w = v.rov_wpuls;
        const bool third = v.rov_wincr3 != 0;
        const int32_t fuzz = cp[par_ambient::Fuzz];
        if (fuzz < 16) {
            int32_t s = rov_tri32k(v.rov_wphas, w) + rov_tri32k(v.rov_wphas2, w) - 32768;
            if (third) s += rov_tri32k(v.rov_wphas3, w) - 16384;
            return s;
        }
        const int64_t l = v.rov_ecurr;
        if (!v.rov_sawt) {
            const int64_t k =
                static_cast<int64_t>(cp[par_ambient::FuzzEnv]) * l * v.rov_left / 192 + 32 * fuzz;
            auto fold = [&](uint16_t phi) {
                const int32_t a = rov_ramp(phi, w, 32767u);
                return static_cast<int32_t>(rov_s32(a * k / 1024) & 32767) - 16384;
            };
            return fold(v.rov_wphas) + (third ? fold(v.rov_wphas3) : 0);
        }
        const int64_t k = static_cast<int64_t>(cp[par_ambient::FuzzEnv]) * l + 64 * fuzz;
        auto sync = [&](uint16_t phi) {
            const uint32_t ph = static_cast<uint32_t>(rov_s32(phi * k / 1024) & 65535);
            return rov_tri32k(ph, w) - 16384;
        };
        return sync(v.rov_wphas) + (third ? sync(v.rov_wphas3) : 0);
    }
    static int32_t value(rov_ctx& c, rov_tonephase& v) { return (v.rov_ecurr * shape(c, v)) >> 4; }
    static void advance(const rov_ctx&, rov_tonephase& v) { rov_advance<3>(v); }
    // Kernel: the triangles below Fuzz 16, the folded or the synced ones
    // from 16 (the factor k as shape() has it, at the run's level).
    static bool kernel(const rov_ctx& c, const rov_tonephase& v, rov_run& run) {
        const int16_t* cp = c.cp();
        const bool third = v.rov_wincr3 != 0;
        const int32_t fuzz = cp[par_ambient::Fuzz];
        if (fuzz < 16) {
            run.kind = rov_kind::ramp32768;
            run.oscs = third ? 3 : 2;
            run.offset = third ? -32768 - 16384 : -32768;
            return true;
        }
        const int64_t l = v.rov_ecurr;
        const int64_t k = v.rov_sawt ? static_cast<int64_t>(cp[par_ambient::FuzzEnv]) * l + 64 * fuzz
                                     : static_cast<int64_t>(cp[par_ambient::FuzzEnv]) * l * v.rov_left / 192 + 32 * fuzz;
        run.kind = v.rov_sawt ? rov_kind::sync : rov_kind::fold;
        run.oscs = third ? 2 : 1;
        run.k = static_cast<uint32_t>(k);
        run.kneg = k < 0;
        return true;
    }
    // Left: the mono sum; right: the sample e interleaved positions back
    // (from the echo source while that reaches before this buffer), which
    // EchoFB (in 1/128) mixes into the left sample.
    static void store(rov_ctx& c, int16_t* buffer, int32_t f, uint32_t mono, uint32_t) {
        const int32_t i = 2 * f, e = c.delay;
        buffer[i] = rov_s16(mono);
        const int32_t d = i < e ? c.tab[i + 2 * c.bufsz - e] : buffer[i - e];
        buffer[i + 1] = static_cast<int16_t>(d);
        const int32_t fb = c.cp()[par_ambient::EchoFB];
        if (fb > 0)
            buffer[i] = rov_s16(
                rov_s32(static_cast<int64_t>(fb) * d + static_cast<int64_t>(128 - fb) * buffer[i]) >> 7);
    }
};

// --- Stumbling chords ------------------------------------------------------------
// Three oscillators: a chord from interval pairs of the scale or a detuned
// triple; control blocks stretched by the density sequence; Voices caps the
// slots; a hold envelope whose levels run up to 127 * (Hold/16 + 1).
struct stumbling : rov_tonehooks {
    static constexpr int oscs = 3;

    // A block starts where the interleaved index 2f is 0 or 1 modulo
    // S + 512, S = rov_vocdist2. A damaged setting can make the modulus 0 or
    // negative; it then counts as 512 (S = 0).
    static bool block(const rov_ctx& c, int32_t f) {
        int32_t m = c.g.rov_vocdist2 + 512;
        if (m <= 0) m = 512;
        return (2 * f) % m < 2;
    }
    // After the sequences the density sequence (multiplier StumMode) sets
    // the block stretch S = densxi * Stumble / 8.
    static void sequences(rov_ctx& c) {
        rov_sequences(c.g, c.s);
        c.g.rov_vocdist2 =
            rov_s16(rov_s32(static_cast<int64_t>(c.g.rov_densxi) * c.cp()[par_chords::Stumble]) / 8);
    }
    // Pulse-width divisor q = 1..4 of chords, 0 without Timbre Variation.
    static rov_draw draw(const rov_ctx& c) {
        if (!c.g.rov_tonalias || c.g.rov_maxvoc < c.cp()[rov_par::Voices] / 16) return 0;
        return (c.g.rov_tonxi & 12) / 4 + 1;
    }
    // No density test. The first free slot, if it lies below
    // (Voices + 15) / 16; else, with Timbre Variation, the decaying slot with
    // the lowest level below Hold*8 + 128, else the attacking slot with the
    // highest level above 0.
    template <class V>
    static rov_slotpick pick(const rov_ctx& c) {
        const rov_tonephase* t = c.t;
        const int maxvoc = c.g.rov_maxvoc;
        const int cap = (c.cp()[rov_par::Voices] + 15) / 16;
        for (int k = 0; k < maxvoc; ++k)
            if (t[k].rov_ephas == 0) {
                if (k < cap) return {k, false};
                break;
            }
        if (!c.g.rov_tonalias) return {-1, false};
        int best = -1;
        int32_t level = c.cp()[par_chords::Hold] * 8 + 128;
        for (int k = 0; k < maxvoc; ++k)
            if (t[k].rov_ephas == 2 && t[k].rov_ecurr < level) {
                best = k;
                level = t[k].rov_ecurr;
            }
        if (best >= 0) return {best, true};
        level = 0;
        for (int k = 0; k < maxvoc; ++k)
            if (t[k].rov_ephas == 1 && t[k].rov_ecurr > level) {
                best = k;
                level = t[k].rov_ecurr;
            }
        return {best, best >= 0};
    }
    static uint16_t width(const rov_ctx& c, rov_draw) { return rov_u16(c.cp()[rov_par::Waveform] * 256); }
    // Base b from scale values 0..7; a chord takes an interval pair from
    // values 8..15 (262 = unison) and narrows the pulse to q/5.
    static void pitch(rov_ctx& c, rov_tonephase& v, rov_draw q) {
        const int16_t* cp = c.cp();
        const uint16_t x = c.g.rov_tonxi;
        v.rov_wincr = rov_u16(rov_scalepitch(c.g.rov_toncur[x & 7], cp[rov_par::Pitch]));
        const int64_t b = v.rov_wincr;
        if ((x & 255) < cp[par_chords::Chords]) {
            const int j = (x / 2) & 6;
            v.rov_wincr2 = rov_u16(rov_s32(c.g.rov_toncur[8 + j] * b) / 262);
            v.rov_wincr3 = rov_u16(rov_s32(c.g.rov_toncur[9 + j] * b) / 262);
            if (q != 0) v.rov_wpuls = rov_u16(v.rov_wpuls * q / 5);
        } else {
            v.rov_wincr2 = rov_u16(b - rov_s32(cp[par_chords::Detune2] * b) / 2048);
            v.rov_wincr3 = rov_u16(b + rov_s32(cp[par_chords::Detune] * b) / 2048);
        }
    }
    // Hold envelope: level step h = Hold/16 + 1 kept in rov_prev; no
    // silent-pitch test.
    template <class V>
    static void envstart(rov_ctx& c, rov_tonephase& v, bool stolen) {
        v.rov_prev = c.cp()[par_chords::Hold] / 16 + 1;
        rov_env_begin(v, stolen, V::stages, v.rov_prev);
    }
    template <class V>
    static void envstep(rov_ctx&, rov_tonephase& v) {
        rov_env_step(v, V::stages, v.rov_prev);
    }
    // Three sines; organ (each oscillator plus an overtone m/8 times as fast,
    // m = w/256 + 8, all halved) below 16384; three ramped pulses of a sixth
    // from 16384; triangles with Saw. Levels above 127 hold full gain.
    static int32_t shape(const rov_tonephase& v, const int16_t* tab) {
        const uint32_t w = v.rov_wpuls;
        const uint16_t p1 = v.rov_wphas, p2 = v.rov_wphas2, p3 = v.rov_wphas3;
        if (v.rov_sawt) return rov_tri32k(p1, w) + rov_tri32k(p2, w) - 32768 + rov_tri32k(p3, w) - 16384;
        if (w == 0) return rov_table9(p1, tab) + rov_table9(p2, tab) + rov_table9(p3, tab);
        if (w < 16384) {
            const int32_t m = static_cast<int32_t>(w >> 8) + 8;
            auto organ = [&](uint16_t phi) { return tab[phi >> 8] + rov_tab(tab, (phi * m) >> 11); };
            return (organ(p1) + organ(p2) + organ(p3)) >> 1;
        }
        return rov_rpulse(p1, w, 32, 6) + rov_rpulse(p2, w, 32, 6) + rov_rpulse(p3, w, 32, 6);
    }
    static int32_t value(rov_ctx& c, rov_tonephase& v) {
        const int32_t gain = std::min<int32_t>(v.rov_ecurr, 127);
        return (gain * shape(v, c.tab)) >> 4;
    }
    // Kernel: the triangles, the three half-amplitude sines, the organ or
    // the pulses.
    static bool kernel(const rov_ctx&, const rov_tonephase& v, rov_run& run) {
        const int32_t w = v.rov_wpuls;
        run.level = std::min<int32_t>(v.rov_ecurr, 127);
        run.oscs = 3;
        if (v.rov_sawt) {
            run.kind = rov_kind::ramp32768;
            run.offset = -32768 - 16384;
        } else if (w == 0) {
            run.kind = rov_kind::table9;
        } else if (w < 16384) {
            rov_ot_run(run, {1, 8}, {(w >> 8) + 8, 11}, 1, 0, 1);
        } else {
            run.kind = rov_kind::rpulse;
            run.div = 6;
        }
        return true;
    }
    static void advance(const rov_ctx&, rov_tonephase& v) { rov_advance<3>(v); }
};

}  // namespace

ROV_ALG(ranov1) {
    (void)tablen;
    rov_tone_routine<dual>(roh, buffer, bufsz, setnr, tonr, tab);
}

ROV_ALG(ranov2) {
    (void)tablen;
    rov_tone_routine<twoscales>(roh, buffer, bufsz, setnr, tonr, tab);
}

ROV_ALG(ranov3) {
    (void)tablen;
    rov_tone_routine<ambient>(roh, buffer, bufsz, setnr, tonr, tab);
}

ROV_ALG(ranov4) {
    (void)tablen;
    rov_tone_routine<intervals>(roh, buffer, bufsz, setnr, tonr, tab);
}

ROV_ALG(ranov11) {
    (void)tablen;
    rov_tone_routine<stumbling>(roh, buffer, bufsz, setnr, tonr, tab);
}
