// A morph as the user sees it while sound plays: the glide's pace, and the
// editor's mark that goes with the first buffer sent after the glide arrived.
#include <gtest/gtest.h>

#include <memory>

#include "audio/evqueue.h"
#include "audio/stream.h"
#include "audio/virtdev.h"
#include "editor/editor.h"
#include "support/stream_rig.h"

namespace {

struct morph_rig final : stream_rig {
    rov_editor ed;

    morph_rig() {
        opt.bufszorig = 4096;  // short buffers: several per beat step
        opt.shwmorph = true;
    }
    // The editor window's turn: marks that arrived go before the next send.
    void play_out() {
        wv_virt_advance(dev, dev.frames - dev.pos);
        wv_event ev;
        while (wv_evq_pop(q, ev)) {
            if (ev.kind == wv_evkind::close) rov_ed_unmark_arrived(ed);
            s.setnr = ed.play->setnr;
            s.tonr = ed.play->tonr;
            wv_dispatch(s, ev);
        }
    }
};

}  // namespace

TEST(Morph, ChgDlyOneTakesSixteenStepsForSixteenAndTheMarkGoesAtTheNextSend) {
    auto r = std::make_unique<morph_rig>();
    // Set 5 is set 4 with 16 more Voices and Chg.Dly 1.
    int16_t* p4 = &r->st.s.rov_p[4 * 16];
    int16_t* p5 = &r->st.s.rov_p[5 * 16];
    p4[rov_par::Beat] = 7;  // a beat step every 8 blocks: at most one per 768-frame buffer
    for (int i = 0; i < 16; ++i) p5[i] = p4[i];
    p5[rov_par::Voices] = static_cast<int16_t>(p4[rov_par::Voices] + 16);
    p5[rov_par::ChgDly] = 1;
    r->st.s.rov_saw[5] = r->st.s.rov_saw[4];
    r->st.s.rov_tonindx[5] = r->st.s.rov_tonindx[4];

    wv_stream_open(r->s);
    rov_edopts eo;
    eo.o = &r->opt;
    rov_edhooks hk;
    hk.ctx = r.get();
    hk.device_open = [](void* c) { return static_cast<morph_rig*>(c)->s.hwaveout; };
    rov_ed_open(r->ed, &r->st.h, 0, 4, "", eo, hk);
    ASSERT_TRUE(wv_start(r->s));
    rov_ed_unmark_all(r->ed);
    rov_ed_number(r->ed, 5);
    ASSERT_EQ(r->ed.parmorph[rov_par::Voices], 1);
    const int from = p4[rov_par::Voices], to = p5[rov_par::Voices];

    // One glide step per beat step, one unit each: sixteen steps.
    int steps = 0, last = r->st.g.rov_currp[rov_par::Voices];
    bool marked_after_arrival = false;
    for (int n = 0; n < 400 && r->ed.parmorph[rov_par::Voices]; ++n) {
        const bool arrived_before = last == to;
        r->play_out();
        const int now = r->st.g.rov_currp[rov_par::Voices];
        EXPECT_LE(now - last, 1);
        EXPECT_GE(now - last, 0);
        if (now != last) ++steps;
        // The mark stays until the send after the buffer in which it arrived.
        if (now == to && !arrived_before) marked_after_arrival = r->ed.parmorph[rov_par::Voices] == 1;
        last = now;
    }
    EXPECT_EQ(last, to);
    EXPECT_EQ(steps, to - from);
    EXPECT_EQ(steps, 16);
    EXPECT_TRUE(marked_after_arrival);
    EXPECT_EQ(r->ed.parmorph[rov_par::Voices], 0);
    EXPECT_EQ(std::string(r->ed.view.slot[0].text).back(), ' ');
}
