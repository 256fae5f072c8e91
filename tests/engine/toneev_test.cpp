// Tone events: every row's routine, dense and with stealing, reports its
// tones without changing a sample, and what it reports agrees with the
// slots it leaves behind after every call.
#include <gtest/gtest.h>

#include <vector>

#include "engine/plyov.h"
#include "engine/scales.h"
#include "engine/toneev.h"
#include "engine_fixture.h"

namespace {

struct tally {
    int starts = 0, steals = 0;
};

// Calls of 3000 frames (ending inside control blocks) on two equal states,
// one reporting: the same samples, and after each call the slots the events
// say are sounding are exactly the busy ones; every start lies on a control
// block's first frame and carries the slot's increment.
tally check_row(int row, bool timbre) {
    engine_run a(row), b(row);
    for (engine_run* e : {&a, &b}) {
        int16_t* p = e->P();
        p[rov_par::Voices] = 1024;
        p[par_panning::Density] = 128;
        p[rov_par::Beat] = 0;
        e->start(16, timbre, false);
    }
    rov_toneevs ev;
    a.st->h.ev = &ev;
    const bool sample = rov_row_sampling(row);
    const int32_t block = rov_row(row).block;  // 0: the routine varies it
    const intptr_t len = rov_row(row).tab.algtyp == rov_arg_notes ? reinterpret_cast<intptr_t>(tonnotes) : 256;
    std::vector<int16_t> echo(2 * 3000 + 512, 0);
    const int16_t* tab = rov_row(row).tab.algtyp == rov_arg_echo ? echo.data() : sintab;
    tally t;
    int32_t at = 0;
    for (int call = 0; call < 6; ++call) {
        ev.clear();
        for (engine_run* e : {&a, &b}) {
            e->buf.assign(2 * 3000, 0);
            rov_rows[row].tab.alg(&e->st->h, e->buf.data(), 3000, e->setnr, e->tonr, tab, len);
        }
        EXPECT_EQ(a.buf, b.buf) << "row " << row << " call " << call;
        for (uint32_t i = 0; i < ev.n; ++i) {
            const rov_toneev& x = ev.ev[i];
            EXPECT_EQ(x.sample, sample);
            if (x.kind != rov_evkind::start) continue;
            ++t.starts;
            // Control blocks run on across calls, or (some routines) start afresh with each.
            EXPECT_TRUE(block == 0 || (at + static_cast<int32_t>(x.frame)) % block == 0 ||
                        static_cast<int32_t>(x.frame) % block == 0)
                << "row " << row << " frame " << x.frame;
            EXPECT_NE(x.incr, 0u);
            if (i > 0 && ev.ev[i - 1].kind == rov_evkind::end && ev.ev[i - 1].slot == x.slot &&
                ev.ev[i - 1].frame == x.frame)
                ++t.steals;
        }
        for (int k = 0; k < rov_nslots; ++k)
            EXPECT_EQ(ev.sounding[0][k], a.slot(k).rov_ephas != 0) << "row " << row << " slot " << k;
        EXPECT_EQ(ev.dropped, 0u);
        at += 3000;
    }
    return t;
}

TEST(ToneEvents, EveryRowReportsItsTonesAndSoundsTheSame) {
    int steals = 0;
    for (int row = 0; row < rov_natab; ++row) {
        if (!rov_row_computed(row) || rov_row(row).loop_slice) continue;
        const tally plain = check_row(row, false);
        const tally stolen = check_row(row, true);
        if (rov_row(row).tab.algtyp != rov_arg_sample || rov_row(row).min_sample <= 256) {
            EXPECT_GT(plain.starts, 0) << "row " << row;
        }
        steals += stolen.steals;
    }
    EXPECT_GT(steals, 0) << "no tone was ever stolen: the steal path went untested";
}

// A tone played on the pad between two buffers is reported at the first
// frame of the next one.
TEST(ToneEvents, PadToneStartsAtTheNextBuffer) {
    engine_run e(1);
    e.start(8);
    rov_toneevs ev;
    e.st->h.ev = &ev;
    wvpl_par w;
    w.wvpl_roh = &e.st->h;
    w.wvpl_alg = 1;
    w.wvpl_pit = 262;
    w.wvpl_p[wvpl_slider::Length] = 64;
    w.wvpl_env = 128;
    w.wvpl_notes = tonnotes;
    const int k = plyov(&w);
    ASSERT_GE(k, 0);
    e.run(256);
    bool seen = false;
    for (uint32_t i = 0; i < ev.n; ++i)
        if (ev.ev[i].kind == rov_evkind::start && ev.ev[i].slot == k) {
            seen = true;
            EXPECT_EQ(ev.ev[i].frame, 0u);
            EXPECT_EQ(ev.ev[i].incr, e.slot(k).rov_wincr);
        }
    EXPECT_TRUE(seen);
}

}  // namespace
