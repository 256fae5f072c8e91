// The hooks the routines that play phrases on two oscillators share (the
// fantasy routine and the ostinato family): the timbre draw while the voice
// maximum covers Voices/16, a slot at every beat step (no density test), a
// stolen slot started afresh, and the folded pitch on oscillator 1 with
// oscillator 2 Detune/512 above.
#pragma once

#include "engine/phrase.h"
#include "engine/toneloop.h"

struct rov_phrasehooks : rov_tonehooks {
    static rov_draw draw(const rov_ctx& c) {
        return c.g.rov_tonalias && c.g.rov_maxvoc >= c.cp()[rov_par::Voices] / 16 ? (c.g.rov_tonxi & 48) : 0;
    }
    template <class V>
    static rov_slotpick pick(const rov_ctx& c) {
        return rov_findslot(c.t, c.g.rov_maxvoc, c.g.rov_tonalias, V::stages);
    }
    static bool fresh(bool) { return true; }
    // A candidate increment folded by octaves into the range of the current
    // Pitch and PitRange.
    static int32_t fold(const rov_ctx& c, int32_t u) {
        const int16_t* cp = c.cp();
        return rov_fold(u, rov_foldlo(cp[rov_par::Pitch], cp[par_phrase::PitRange]),
                        rov_foldhi(cp[rov_par::Pitch], cp[par_phrase::PitRange]));
    }
    // The folded pitch on oscillator 1, oscillator 2 Detune/512 above.
    static void tune(rov_ctx& c, rov_tonephase& v, int32_t u) {
        u = fold(c, u);
        v.rov_wincr = rov_u16(u);
        v.rov_wincr2 = rov_u16(rov_s32(static_cast<int64_t>(u) * c.cp()[par_phrase::Detune]) / 512 + u);
    }
};
