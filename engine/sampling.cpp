// The sampling routines: each tone plays a loop cut out of the sample at a
// pitch-dependent speed under a 32-stage envelope, in 64-frame control
// blocks. The crossfade player is the family's reference; intervals, static
// loops and the sample phrase differ from it in the hooks they declare, the
// multiple-loop player walks its segments in a walk of its own.
//
// Sample words are read through a rov_smpview: a position outside the
// sample reads the buffer's own word there, or 0 (engine/smpmem.h).
#include <algorithm>
#include <type_traits>

#include "engine/algs.h"
#include "engine/blocks.h"
#include "engine/phrase.h"
#include "engine/plyov.h"
#include "engine/smpmem.h"
#include "engine/smpruns.h"
#include "engine/toneev.h"

namespace {

constexpr int stages = 32;

// The tone-start draw of a beat step (the phrase player's loop-start variation).
using rov_draw_t = int;

// Everything one call works on.
struct smp_ctx {
    const rov_setting& s;
    rov_globphase& g;
    rov_tonephase* t;
    const int16_t* params;  // the playing set
    int setnr;
    int tonr;
    rov_smpview x;          // the sample
    int64_t N;              // usable words of the sample
    int shift;              // mixing shift
    int kmax;               // slot limit
    int32_t f0 = 0;         // call frame of the chunk's first frame
    rov_toneevs* ev = nullptr;  // where tone starts and ends go (rov_handle::ev)
    const int16_t* cp() const { return g.rov_currp; }
};

// Loop start inside the sample, as the slot keeps it (a signed index in
// 32 bits: a loop of a very short sample may start before its first word).
int64_t loopstart(const rov_tonephase& v) { return static_cast<int32_t>(v.rov_sbeg); }
void set_loopstart(rov_tonephase& v, int64_t s) { v.rov_sbeg = static_cast<uint32_t>(rov_s32(s)); }

// Loop length L = num / den at least 4; a zero divisor (only a damaged
// setting holds one) counts as 1.
int64_t looplen(int64_t num, int64_t den) {
    const int64_t l = num / (den == 0 ? 1 : den);
    return l < 4 ? 4 : l;
}

// Octave folding over three octaves into lo..hi (the phrase player).
int32_t fold3(int32_t u, int32_t lo, int32_t hi) {
    if (u < lo / 8) return 0;
    if (u >= 16 * hi) return hi;
    if (u >= 8 * hi) return (u + 8) / 16;
    if (u < lo / 4) return 8 * u;
    if (u > 4 * hi) return (u + 4) / 8;
    if (u < lo / 2) return 4 * u;
    if (u > 2 * hi) return (u + 2) / 4;
    if (u < lo) return 2 * u;
    if (u > hi) return (u + 1) / 2;
    return u;
}

// --- Crossfade loops: the family's reference -----------------------------------
struct crossfade {
    static constexpr int64_t min_len = 288;
    static constexpr bool interp = true;
    static int64_t usable(int64_t samlen) { return samlen - 32; }
    static int shift(const rov_globphase& g) { return g.rov_volshift; }

    static bool beat(smp_ctx& c) {
        return rov_beat(c.g.rov_voccnt, c.cp()[rov_par::Beat], c.g.rov_stopped, 2);
    }
    static rov_draw_t draw(const smp_ctx&) { return 0; }
    static void glide(smp_ctx& c) { rov_glide(c.g, c.params, rov_scale(c.s, c.tonr)); }
    // No density test: every beat step seeks a slot.
    static rov_slotpick pick(const smp_ctx& c) {
        return rov_findslot(c.t, c.g.rov_maxvoc, c.g.rov_tonalias, stages);
    }
    // A stolen slot keeps its position (no loop reset).
    static bool reset(bool stolen) { return !stolen; }
    // L = N / (128 Coarse + LoopLength + 1) in unsigned arithmetic; start
    // from the density state's two bits times LoopSkip plus Position.
    static void loop(smp_ctx& c, rov_tonephase& v, rov_draw_t) {
        const int16_t* cp = c.cp();
        const uint32_t den =
            static_cast<uint32_t>(128 * cp[par_sampling::LoopCoarse] + cp[par_sampling::LoopLength] + 1);
        const uint32_t n = static_cast<uint32_t>(c.N);
        int64_t L = n / (den == 0 ? 1u : den);
        if (L < 4) L = 4;
        int64_t s = ((((c.g.rov_densxi & 31) / 8) * cp[par_sampling::LoopSkip] + cp[par_sampling::Position]) * c.N) / 257;
        if (s > c.N - L) s = c.N - L;
        v.rov_sleng = static_cast<uint32_t>(256 * L);
        set_loopstart(v, s);
    }
    // A scale tone (Pitch 128 and 262 give the recorded speed) or a random
    // speed, none when negative.
    static void speed(smp_ctx& c, rov_tonephase& v) {
        const int16_t* cp = c.cp();
        const uint16_t x = c.g.rov_tonxi;
        if ((x & 255) < cp[par_sampling::Tonality]) {
            v.rov_sincr = rov_u16((cp[rov_par::Pitch] * c.g.rov_toncur[x & 15] + 65) / 131);
        } else {
            const int32_t u = ((c.g.rov_pitxi & 127) - 64) * cp[par_sampling::PitSpread] / 16 + 2 * cp[rov_par::Pitch];
            v.rov_sincr = rov_u16(u < 0 ? 0 : u);
        }
    }
    static void periods(smp_ctx& c, rov_tonephase& v) {
        const int16_t* cp = c.cp();
        rov_env_periods(v, cp[rov_par::Voices], cp[rov_par::Beat], cp[rov_par::Envelope], 2, 2048);
    }
    static void started(smp_ctx&, rov_tonephase&) {}

    // Per frame: the drift that moves the loop at its end and the cross-fade.
    static int32_t drift(const smp_ctx& c, const rov_tonephase&) { return c.cp()[par_sampling::LoopDrift]; }
    static int64_t driftstep(int64_t L, int32_t d) { return ((L >> 10) + 2) * d; }
    static bool fades(const rov_tonephase&) { return true; }
    static int32_t gain(const rov_tonephase& v) { return v.rov_ecurr; }
};

// --- Intervals -----------------------------------------------------------------
// The whole sample, no cross-fade, every tone from position 0, speeds from
// scale pitches and intervals folded by octaves.
struct intervals : crossfade {
    static constexpr int64_t min_len = 256;
    static int64_t usable(int64_t samlen) { return samlen; }
    static bool reset(bool) { return true; }
    static void speed(smp_ctx& c, rov_tonephase& v) {
        const int16_t* cp = c.cp();
        const int32_t pitch = cp[rov_par::Pitch], range = cp[par_sampling::PitRange];
        int32_t d = 24 - range / 16;
        if (d == 0) d = 1;
        const int32_t lo = rov_u16((64 - range / 4) * (pitch * 3 / 128));
        const int32_t hi = rov_u16((pitch * 3 + 6) / d * 24);
        const uint16_t x = c.g.rov_tonxi;
        int32_t u;
        if ((x & 255) < cp[par_sampling::Intervals])
            u = (c.g.rov_phrase[0] * c.g.rov_toncur[8 + (x & 7)] + 131) / 262;
        else
            u = c.g.rov_toncur[x & 7] * pitch * 2 / 262;
        u = rov_fold2(u, lo, hi);
        v.rov_sincr = rov_u16(u);
        c.g.rov_phrase[0] = rov_s16(u);
    }
    static bool fades(const rov_tonephase&) { return false; }
};

// --- Static loops ----------------------------------------------------------------
// A density test, loops of 16 N / (128 Coarse + Length + 16) from Position,
// no drift, no cross-fade, no interpolation.
struct staticloop : crossfade {
    static constexpr int64_t min_len = 256;
    static constexpr bool interp = false;
    static int64_t usable(int64_t samlen) { return samlen; }
    static rov_slotpick pick(const smp_ctx& c) {
        if ((c.g.rov_densxi & 127) >= c.cp()[par_sampling::Density]) return {-1, false};
        return crossfade::pick(c);
    }
    static void loop(smp_ctx& c, rov_tonephase& v, rov_draw_t) {
        const int16_t* cp = c.cp();
        const int64_t L =
            looplen(16 * c.N, 128 * cp[par_sampling::LoopCoarse] + cp[par_sampling::LoopLength] + 16);
        int64_t s = cp[par_sampling::Position] * c.N / 257;
        if (s > c.N - L) s = c.N - L;
        v.rov_sleng = static_cast<uint32_t>(256 * L);
        set_loopstart(v, s);
    }
    static int32_t drift(const smp_ctx&, const rov_tonephase&) { return 0; }
    static bool fades(const rov_tonephase&) { return false; }
};

// --- Sample phrase -----------------------------------------------------------------
// Scales in pairs (phrase and pitches), speeds from the phrase folded over
// three octaves, loop lengths stretched or fixed, each tone with its own
// drift, cross-fade only while the loop switch is on.
struct samphrase : crossfade {
    static constexpr int64_t min_len = 128;
    static int shift(const rov_globphase& g) { return g.rov_volshift + 1; }
    static rov_draw_t draw(const smp_ctx& c) {
        return c.g.rov_tonalias && c.g.rov_maxvoc >= c.cp()[rov_par::Voices] / 16 ? (c.g.rov_tonxi & 48) : 0;
    }
    static void glide(smp_ctx& c) {
        const int even = c.tonr & ~1;
        rov_glide(c.g, c.params, rov_scale(c.s, even + 1), rov_scale(c.s, even));
    }
    static bool reset(bool) { return true; }
    static void loop(smp_ctx& c, rov_tonephase& v, rov_draw_t t) {
        const int16_t* cp = c.cp();
        const int64_t N = c.N, samlen = c.x.len;
        const int64_t ll = cp[par_samphrase::LoopLength];
        const int64_t drift = cp[par_samphrase::LoopDrift];
        int64_t q = ll;
        if (q > 64) q = samlen < 12000 ? (q - 60) * q / 4 : samlen < 24000 ? (q - 62) * q / 2 : (q - 63) * q;
        int64_t L;
        if (ll >= 112 && ll <= 128)
            L = drift + std::min<int64_t>(looptab[ll - 112], N / 2);
        else
            L = 16 * N / (q + 16 == 0 ? 1 : q + 16);
        if (L < 4) L = 4;
        int64_t s = cp[par_samphrase::Position] * N / 257;
        if (s > N - L) s = N - L;
        if (t != 0) s = (t / 16) * s / 4;
        v.rov_sleng = static_cast<uint32_t>(rov_s32(256 * L));
        set_loopstart(v, s);
    }
    static void speed(smp_ctx& c, rov_tonephase& v) {
        const int16_t* cp = c.cp();
        rov_globphase& g = c.g;
        const int32_t pitch = cp[rov_par::Pitch];
        const int32_t lo = rov_foldlo(pitch, cp[par_phrase::PitRange]);
        const int32_t hi = rov_foldhi(pitch, cp[par_phrase::PitRange]);
        int16_t& k = g.rov_phrap1;
        int32_t u;
        if (k < 1 || k > 15) {
            const uint16_t x = g.rov_tonxi;
            if ((x & 255) < cp[par_phrase::Phrase]) {
                u = rov_s32(static_cast<int64_t>(g.rov_toncur[x & 15]) * pitch * 8) / 262;
                g.rov_phrase[0] = rov_s16(u);
                k = 1;
            } else if ((x & 15) == 0) {
                u = g.rov_phrase[0];
            } else {
                u = g.rov_phrase[x & 15] * g.rov_phrase[0] / 262;
            }
        } else {
            u = rov_phrasestep(g, k, cp[par_phrase::PhraseLen], cp[par_phrase::PhrLenMod], g.rov_densxi);
        }
        v.rov_sincr = rov_u16((fold3(u, lo, hi) + 4) / 8);
    }
    // The tone keeps the drift it started with.
    static void started(smp_ctx& c, rov_tonephase& v) { v.rov_prev = c.cp()[par_samphrase::LoopDrift]; }
    static int32_t drift(const smp_ctx&, const rov_tonephase& v) { return v.rov_prev; }
    static int64_t driftstep(int64_t L, int32_t d) { return ((L >> 10) + 1) * d; }
    static bool fades(const rov_tonephase& v) { return v.rov_sloop != 0; }
};

// --- Multiple loops --------------------------------------------------------------------
// Eight loop segments defined in the scale memory, crossfaded one into the
// next as each tone's segment clock runs on; a slower beat under Timbre
// Variation; Hold raises the gain.
struct multiloop : crossfade {
    static constexpr int64_t min_len = 1024;
    static int64_t usable(int64_t samlen) { return samlen; }
    // Beat + 2 blocks, or 4 Beat + 11 with Timbre Variation.
    static int32_t period(const smp_ctx& c) {
        const int32_t b = c.cp()[rov_par::Beat];
        return c.g.rov_tonalias ? 4 * b + 11 : b + 2;
    }
    static bool beat(smp_ctx& c) { return rov_beat(c.g.rov_voccnt, rov_s16(period(c) - 2), c.g.rov_stopped, 2); }
    static rov_slotpick pick(const smp_ctx& c) { return staticloop::pick(c); }
    static void loop(smp_ctx& c, rov_tonephase& v, rov_draw_t) {
        set_loopstart(v, 2 * static_cast<int64_t>(c.cp()[par_multiloop::LoopSel]));
    }
    static void periods(smp_ctx& c, rov_tonephase& v) {
        const int16_t* cp = c.cp();
        rov_env_periods(v, cp[rov_par::Voices], period(c) - 2, cp[rov_par::Envelope], 2, 2048);
    }
    // A fresh slot's loop clock starts at 0; a stolen one keeps it.
    static int32_t gain(const rov_tonephase& v) {
        return v.rov_sloop ? std::min<int32_t>(8 * v.rov_ecurr, 31) : v.rov_ecurr;
    }
};

// Tone start in slot k.
template <class V>
void tone_start(smp_ctx& c, rov_slotpick pick, rov_draw_t t) {
    rov_tonephase& v = c.t[pick.k];
    if (pick.k >= c.kmax) c.kmax = pick.k + 1;
    if (V::reset(pick.stolen)) {
        v.rov_sphas = 0;
        if constexpr (std::is_same_v<V, multiloop>) v.rov_prev = 0;
    }
    V::loop(c, v, t);
    V::speed(c, v);
    V::periods(c, v);
    rov_env_start(v, v.rov_sincr, pick.stolen, stages);
    const rov_stage st = rov_stage3(c.g.rov_dynxi, c.cp()[rov_par::Accents]);
    rov_emphasis3(v, st, c.g.rov_emphas);
    const int32_t p = c.g.rov_panxi & 127;
    const int32_t d = st == rov_accent ? 2 : st == rov_normal ? 4 : 8;
    v.rov_left = rov_u16((128 - p) / d);
    v.rov_right = rov_u16(p / d);
    v.rov_sloop = c.s.rov_saw[c.setnr];
    V::started(c, v);
    if (c.ev) rov_ev_start(*c.ev, c.t, pick.k, c.f0, true);
}

template <class V>
void control(smp_ctx& c) {
    if (!V::beat(c)) return;
    rov_sequences(c.g, c.s);
    const rov_draw_t t = V::draw(c);
    V::glide(c);
    const rov_slotpick pick = V::pick(c);
    if (pick.k >= 0) tone_start<V>(c, pick, t);
}

// What a loop's frames depend on besides the slot's position.
template <class V>
struct loopwalk {
    int64_t L;       // loop length in words
    int32_t drift;   // words the loop start moves on at each end
    int64_t dstep;
    bool fades;      // the first 16 words of a pass cross-fade from the loop's end
    int64_t j;       // distance of the cross-fade's source
    loopwalk(const smp_ctx& c, const rov_tonephase& v)
        : L(v.rov_sleng >> 8), drift(V::drift(c, v)), dstep(V::driftstep(L, drift)), fades(V::fades(v)),
          j(L - dstep) {}
};

// One frame i of a looping slot: the words around its position (cross-faded
// over the first 16 words of a pass), then the position moves on; at the
// loop's end the slot is freed (loop switch off) or the position wraps and
// the loop start drifts on while the moved loop still ends within the usable
// words.
template <class V>
void loop_frame(const smp_ctx& c, const loopwalk<V>& lw, rov_tonephase& v, int32_t i, rov_smpframes& x) {
    if (v.rov_ephas == 0) {  // freed at its loop's end
        x.x0[i] = x.x1[i] = x.fr[i] = 0;
        return;
    }
    const int64_t k = v.rov_sphas >> 8;
    const int32_t fr = V::interp ? static_cast<int32_t>(v.rov_sphas & 255) : 0;
    const int64_t at = loopstart(v) + k;
    x.x0[i] = c.x.at(at);
    x.x1[i] = V::interp ? c.x.at(at + 1) : 0;
    x.fr[i] = fr;
    if (lw.fades && k < 16) {
        const int32_t a = rov_smpvalue(x, i);
        const int32_t b = ((256 - fr) * c.x.at(at + lw.j) + fr * c.x.at(at + lw.j + 1)) >> 8;
        x.x0[i] = (static_cast<int32_t>(k) * a + (16 - static_cast<int32_t>(k)) * b) >> 4;
        x.x1[i] = x.fr[i] = 0;
    }
    v.rov_sphas += v.rov_sincr;
    if (v.rov_sphas >= v.rov_sleng) {
        if (!v.rov_sloop) {
            v.rov_ephas = 0;
            v.rov_ecurr = 0;
            v.rov_sphas = 0;
        } else {
            v.rov_sphas = v.rov_sleng ? v.rov_sphas % v.rov_sleng : 0;
            if (lw.drift > 0 && loopstart(v) + lw.dstep + lw.L <= c.N) set_loopstart(v, loopstart(v) + lw.dstep);
        }
    }
}

// Frames of a looping slot from its position on that need no decision: the
// position stays inside the loop after each of them, none cross-fades, and
// every word they read lies in the readable range. At most `most`.
template <class V>
int32_t loop_stretch(const smp_ctx& c, const loopwalk<V>& lw, const rov_tonephase& v, int32_t most) {
    const int64_t s0 = v.rov_sphas, sleng = v.rov_sleng, incr = v.rov_sincr;
    if (v.rov_ephas == 0 || s0 >= sleng) return 0;
    const int64_t k0 = s0 >> 8, ls = loopstart(v);
    if ((lw.fades && k0 < 16) || !c.x.inside(ls + k0)) return 0;
    if (incr == 0) return most;
    int64_t n = std::min<int64_t>(most, (sleng - 1 - s0) / incr);
    // The last word pair read must still lie in the readable range.
    const int64_t kcap = c.x.hi - 2 - ls;
    if (((sleng - 1) >> 8) > kcap) n = std::min(n, ((kcap + 1) * 256 - 1 - s0) / incr + 1);
    return static_cast<int32_t>(n);
}

// Walks r frames of a looping slot from chunk frame f. The vector form plays
// the stretches between decisions in a kernel, the rest frame by frame.
template <class V>
void walk_loop(const smp_ctx& c, rov_tonephase& v, int32_t f, int32_t r, rov_smpframes& x, bool scalar) {
    const loopwalk<V> lw(c, v);
    if (scalar) {
        for (int32_t i = f; i < f + r; ++i) loop_frame<V>(c, lw, v, i, x);
        return;
    }
    for (int32_t i = f; i < f + r;) {
        const int32_t n = loop_stretch<V>(c, lw, v, f + r - i);
        if (n >= rov_kernel_min) {
            rov_vec_smpwalk(c.x.w + (loopstart(v) + (v.rov_sphas >> 8)), v.rov_sphas, v.rov_sincr, n, V::interp, x, i);
            v.rov_sphas += static_cast<uint32_t>(n) * v.rov_sincr;
            i += n;
            continue;
        }
        for (const int32_t e = std::min(f + r, i + std::max(n, 1)); i < e; ++i) loop_frame<V>(c, lw, v, i, x);
    }
}

// Segment n of a multiple-loop slot: its length m and first word b, and the
// position within it (the slot's position modulo m). The vector form keeps
// one across frames, computing m and b only when the segment changes and
// moving the position on.
struct segpos {
    int n = -1;
    bool valid = false;
    int64_t m = 1, b = 0;
    int64_t kcap = 0;  // the last word a frame reads from, less b
    int64_t rpos = 0;

    void set(const smp_ctx& c, const rov_tonephase& v, int seg) {
        auto tone = [&](int64_t e) -> int32_t {
            return e >= 0 && e < rov_nscales * rov_nvalues ? c.s.rov_tones[e] : 0;
        };
        const int64_t def = loopstart(v) + 2 * seg;
        const int64_t S = tone(def), Q = tone(def + 1);
        const int64_t samlen = c.x.len;
        // A segment length of zero or below (only a damaged scale holds one)
        // spans the whole sample.
        m = Q + 1 > 0 ? 256 * samlen / (Q + 1) : 256 * samlen;
        if (m <= 0) m = 256 * samlen;
        b = rov_s32(S * samlen) / 1025;
        kcap = samlen - b - 2;
        rpos = v.rov_sphas % m;
        n = seg;
        valid = true;
    }
    // The slot's position moved on by d to p (which wrapped in its 32 bits,
    // or not).
    void step(int64_t d, uint32_t p, bool wrapped) {
        if (wrapped) {
            rpos = p % m;
            return;
        }
        rpos += d;
        if (rpos >= m) rpos = rpos - m < m ? rpos - m : rpos % m;
    }
    int32_t value(const smp_ctx& c) const {
        int64_t k = rpos >> 8;
        const int32_t f = static_cast<int32_t>(rpos & 255);
        if (k > kcap) k = kcap;
        return ((256 - f) * c.x.at(b + k) + f * c.x.at(b + k + 1)) >> 8;
    }
    // The kernel's walk over n frames moving on by incr (with no wrap of the
    // slot's position), if every word the segment can read is readable and
    // its positions fit.
    bool walker(const smp_ctx& c, uint32_t incr, int32_t n, rov_segwalk& w) const {
        if (m > INT32_MAX || kcap < 0 || kcap > INT32_MAX) return false;
        if (!c.x.inside(b) || !c.x.inside(b + std::min((m - 1) >> 8, kcap))) return false;
        const int64_t last = rpos + static_cast<int64_t>(n - 1) * incr;
        const int64_t wraps = last < m ? 0 : last < 2 * m ? 1 : last / m;
        if (wraps > 16) return false;
        w = {c.x.w + b, static_cast<uint32_t>(rpos), static_cast<uint32_t>(m), static_cast<uint32_t>(kcap),
             static_cast<int32_t>(wraps)};
        return true;
    }
};

// The value of segment n of a multiple-loop slot at its position.
int32_t segment(const smp_ctx& c, const rov_tonephase& v, int n) {
    segpos s;
    s.set(c, v, n);
    return s.value(c);
}

// The group of sixteen frames of the call that frame fc begins (every
// sixteenth frame): its segment clock sets the segment and the fade into it.
void multi_group(rov_tonephase& v, int32_t xf) {
    const int32_t w = rov_s32(static_cast<int64_t>(v.rov_prev) + 16 * xf);
    const int32_t seg = w >> 12;
    v.rov_aux2 = static_cast<int16_t>(seg == 0 ? -1 : (seg + 7) % 8);
    const int32_t u = w & 4095;
    v.rov_aux1 = static_cast<int8_t>(u >= 32 * xf ? 32 : 16 * u / (16 * xf));
}

// Walks r frames of a multiple-loop slot from chunk frame f: every sixteenth
// frame of the call its segment clock sets the segment and the fade into it;
// the fifteenth of every sixteen moves the clock on by LoopChng. The scalar
// form divides for every frame's segment positions; the vector form keeps
// them as it goes and plays each stretch of a group in a kernel.
void walk_multi(const smp_ctx& c, rov_tonephase& v, int32_t f, int32_t r, rov_smpframes& x, bool scalar) {
    const int32_t xf = c.cp()[par_multiloop::Crossfade];
    const int32_t chng = c.cp()[par_multiloop::LoopChng];
    if (scalar) {
        for (int32_t i = f; i < f + r; ++i) {
            const int32_t fc = c.f0 + i;  // frame of the call
            if (fc % 16 == 0) multi_group(v, xf);
            const int prev = v.rov_aux2;
            const int n = ((prev + 1) % 8 + 8) % 8;
            int32_t a = segment(c, v, n);
            if (prev >= 0 && v.rov_aux1 < 32)
                a = (v.rov_aux1 * a + (32 - v.rov_aux1) * segment(c, v, prev % 8)) >> 5;
            x.x0[i] = a;
            x.x1[i] = x.fr[i] = 0;
            v.rov_sphas += v.rov_sincr;
            if (fc % 16 == 15) v.rov_prev = rov_s32(static_cast<int64_t>(v.rov_prev) + chng);
        }
        return;
    }
    segpos cur, old;  // the segment played and the one it fades from
    // The run's stretches of at least 4 frames, walked together at the end
    // (the rest is walked frame by frame on the way).
    constexpr int32_t most = rov_block64 / 4;
    rov_multistretch st[most];
    int32_t count = 0;
    auto use = [&](segpos& s, segpos& other, int seg) {
        if (s.valid && s.n == seg) return;
        if (other.valid && other.n == seg)
            s = other;
        else
            s.set(c, v, seg);
    };
    for (int32_t i = f; i < f + r;) {
        const int32_t fc = c.f0 + i;
        if (fc % 16 == 0) multi_group(v, xf);
        const int prev = v.rov_aux2;
        const bool fading = prev >= 0 && v.rov_aux1 < 32;
        use(cur, old, ((prev + 1) % 8 + 8) % 8);
        if (fading) use(old, cur, prev % 8);
        // Frames up to the group's last (whose end moves the clock on), in
        // the kernel unless the slot's position wraps in its 32 bits.
        int32_t n = std::min(f + r - i, 16 - fc % 16);
        rov_multistretch& q = st[count];
        if (n >= 4 && v.rov_sphas + static_cast<int64_t>(n) * v.rov_sincr <= UINT32_MAX &&
            cur.walker(c, v.rov_sincr, n, q.a) && (!fading || old.walker(c, v.rov_sincr, n, q.b))) {
            q.f = i;
            q.n = n;
            q.aux = v.rov_aux1;
            q.incr = v.rov_sincr;
            q.fades = fading;
            if (++count == most) {  // (a run longer than a control block)
                rov_vec_multiwalk(st, count, x);
                count = 0;
            }
        } else {
            int32_t a = cur.value(c);
            if (fading) a = (v.rov_aux1 * a + (32 - v.rov_aux1) * old.value(c)) >> 5;
            x.x0[i] = a;
            x.x1[i] = x.fr[i] = 0;
            n = 1;
        }
        // The position moves on over the n frames (at most 16 increments:
        // it wraps in its 32 bits at most once).
        const uint32_t p = v.rov_sphas;
        const int64_t d = static_cast<int64_t>(n) * v.rov_sincr;
        v.rov_sphas += static_cast<uint32_t>(d);
        const bool wrapped = v.rov_sphas < p;
        if (cur.valid) cur.step(d, v.rov_sphas, wrapped);
        if (old.valid) old.step(d, v.rov_sphas, wrapped);
        i += n;
        if ((c.f0 + i - 1) % 16 == 15) v.rov_prev = rov_s32(static_cast<int64_t>(v.rov_prev) + chng);
    }
    rov_vec_multiwalk(st, count, x);
}

template <class V>
void walk(const smp_ctx& c, rov_tonephase& v, int32_t f, int32_t r, rov_smpframes& x, bool scalar) {
    if constexpr (std::is_same_v<V, multiloop>)
        walk_multi(c, v, f, r, x, scalar);
    else
        walk_loop<V>(c, v, f, r, x, scalar);
}

// The routine: nothing at all below the shortest sample; else control step
// every 64 frames, then every slot below the limit in envelope runs.
template <class V>
void routine(rov_handle* roh, int16_t* buffer, int32_t bufsz, int setnr, int tonr, const int16_t* tab,
             intptr_t tablen) {
    if (!tab || tablen < V::min_len) return;
    smp_ctx c{*roh->s, *roh->g, roh->t, rov_set(*roh->s, setnr), setnr, tonr, rov_smpview_of(tab, tablen, roh->smp), 0,
              V::shift(*roh->g), 0};
    c.N = V::usable(c.x.len);
    c.kmax = rov_slotlimit(c.t, c.g.rov_maxvoc);
    const bool scalar = roh->scalar;
    rov_sums sums;
    rov_smpframes x;
    c.ev = roh->ev;
    for (int32_t f0 = 0; f0 < bufsz;) {
        c.f0 = f0;
        control<V>(c);
        const int32_t n = std::min(bufsz - f0, rov_block64);
        sums.clear(n);
        for (int k = 0; k < c.kmax; ++k) {
            rov_tonephase& v = c.t[k];
            rov_voice_runs(
                v, n,
                [&](int32_t f, int32_t r) {
                    if (v.rov_ephas == 0) return;  // a free slot adds nothing and stands still
                    const rov_smprun run{V::gain(v), v.rov_left, v.rov_right, c.shift};
                    walk<V>(c, v, f, r, x, scalar);
                    if (scalar || r < rov_kernel_min)
                        rov_smprun_scalar(run, x, f, r, sums);
                    else
                        rov_vec_smprun(run, x, f, r, sums);
                },
                [&] { rov_env_step(v, stages); });
        }
        rov_store_chunk(buffer, f0, n, sums);
        if (c.ev) rov_ev_scan(*c.ev, c.t, f0, f0 + n, true);
        f0 += n;
    }
}

}  // namespace

ROV_ALG(ranov5) { routine<intervals>(roh, buffer, bufsz, setnr, tonr, tab, tablen); }
ROV_ALG(ranov6) { routine<crossfade>(roh, buffer, bufsz, setnr, tonr, tab, tablen); }
ROV_ALG(ranov7) { routine<staticloop>(roh, buffer, bufsz, setnr, tonr, tab, tablen); }
ROV_ALG(ranov14) { routine<samphrase>(roh, buffer, bufsz, setnr, tonr, tab, tablen); }
ROV_ALG(ranov19) { routine<multiloop>(roh, buffer, bufsz, setnr, tonr, tab, tablen); }
