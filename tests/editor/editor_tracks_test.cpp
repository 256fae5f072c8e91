// The editor in Multiple play: Z rotates the settings and the editor shows
// the new active one; Pause opens the mixer in its three cases; the mixer's
// record points into the tracks the cycle plays.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "audio/multiple.h"
#include "editor/editor.h"
#include "editor/quadmix.h"
#include "support/fake_files.h"

namespace {

struct Tracks : ::testing::Test {
    rov_state st{};
    rov_banks bk;
    rov_editor ed;
    wv_options options;
    rov_edopts opt;
    std::string names[4] = {"a.rov", "b.rov", "c_is_a_long_name.rov", ""};
    int pause = 0, mixer = 0, pads = 0, turns = 0;
    bool can_turn = true;

    void SetUp() override {
        opt.o = &options;
        rov_state_init(st);
        rov_default_setting(st.s);
        st.s.rov_stdalg = 1;
        rov_banks_init(bk);
        bk.rosbk[0] = st.s;
        bk.rosbk[0].rov_stdalg = 4;
        bk.rosbk[0].rov_saw[3] = 0;
        bk.rosbk[0].rov_p[3 * 16 + 0] = 2000;  // out of range: clamped when shown
        bk.setnrbk[0] = 3;
        bk.tonrbk[0] = 8;
    }
    rov_edhooks hooks() {
        rov_edhooks h;
        h.ctx = this;
        h.pause = [](void* c) { ++static_cast<Tracks*>(c)->pause; };
        h.mixer = [](void* c) { ++static_cast<Tracks*>(c)->mixer; };
        h.play_pad = [](void* c, int) { ++static_cast<Tracks*>(c)->pads; };
        h.rotate = [](void* c, int& setnr, int& tonr, const char*& file) {
            auto* t = static_cast<Tracks*>(c);
            if (!t->can_turn) return false;
            ++t->turns;
            wv_mult_rotate(t->bk, t->st.h, setnr, tonr);
            std::string first = t->names[0];
            for (int k = 0; k < 3; ++k) t->names[k] = t->names[k + 1];
            t->names[3] = first;
            file = t->names[0].c_str();
            return true;
        };
        return h;
    }
    void open(int row) { rov_ed_open(ed, &st.h, row, 0, names[0].c_str(), opt, hooks()); }
};

}  // namespace

TEST_F(Tracks, ZRotatesAndTheEditorFollowsTheNewActiveSetting) {
    open(rov_row_multiple());
    EXPECT_EQ(ed.view.caption, "Experimental - with Dual Oscillator (a.rov)");
    ASSERT_TRUE(rov_ed_q_enabled(ed));
    ed.parmorph[2] = 1;
    rov_ed_q(ed);
    EXPECT_EQ(turns, 1);
    EXPECT_EQ(pads, 0);
    EXPECT_EQ(st.s.rov_stdalg, 4);
    EXPECT_EQ(ed.play->setnr, 3);
    EXPECT_EQ(ed.play->tonr, 8);
    EXPECT_EQ(ed.view.caption, "Ambient Experimental - Echo, Fuzzy, and Chords (b.rov)");
    EXPECT_EQ(std::string(ed.view.label[5]), "Echo");
    EXPECT_FALSE(ed.view.swcheck);
    EXPECT_EQ(st.s.rov_p[3 * 16], 256);  // shown, so clamped and written back
    EXPECT_EQ(ed.view.slot[0].pos, 256);
    EXPECT_EQ(ed.parmorph[2], 0);
    // A long name leaves the title alone; the start-up banks are the loop algorithm.
    rov_ed_q(ed);
    EXPECT_EQ(ed.view.caption, "Minimal Music Machine");
    rov_ed_q(ed);
    rov_ed_q(ed);
    EXPECT_EQ(ed.view.caption, "Experimental - with Dual Oscillator (a.rov)");
    EXPECT_EQ(ed.play->setnr, 0);
    // Without the scratch buffer nothing turns and nothing is redrawn.
    can_turn = false;
    rov_ed_q(ed);
    EXPECT_EQ(turns, 4);
    EXPECT_EQ(ed.view.caption, "Experimental - with Dual Oscillator (a.rov)");
}

TEST_F(Tracks, ZOpensThePadOutsideMultiplePlay) {
    open(1);
    rov_ed_q(ed);
    EXPECT_EQ(pads, 1);
    EXPECT_EQ(turns, 0);
}

TEST_F(Tracks, PauseOpensTheMixerInItsThreeCases) {
    open(rov_row_multiple());
    rov_ed_pause(ed);
    EXPECT_EQ(mixer, 1);
    open(1);
    rov_ed_pause(ed);
    EXPECT_EQ(pause, 1);
    options.fuzztyp = 6;
    open(1);
    EXPECT_TRUE(rov_ed_pause_enabled(ed));
    rov_ed_pause(ed);
    EXPECT_EQ(mixer, 2);
    options.fuzztyp = 0;
    fake_mixsource mix;
    opt.mix = &mix;
    open(1);
    rov_ed_pause(ed);
    EXPECT_EQ(mixer, 3);
    EXPECT_EQ(pause, 1);
}

TEST_F(Tracks, TheMixerRecordPointsIntoThePlayingTracks) {
    wv_stream ws;
    ws.opt = &options;
    ws.roh = &st.h;
    ws.banks = &bk;
    ws.algomod = rov_row_multiple();
    ws.setnr = 6;
    options.fuzztyp = 2;
    const char* files[4] = {"a.rov", "b.rov", nullptr, "d.rov"};
    qumix m;
    qu_build(m, ws, files, "mix.wav", true);
    EXPECT_EQ(m.qu_mainalg, rov_row_multiple());
    EXPECT_EQ(m.qu_fztyp, 2);
    EXPECT_EQ(m.qu_fzlev, &options.fuzzlev);
    EXPECT_EQ(m.qu_pbmix, &options.playbmix);
    EXPECT_EQ(m.qu_pbmix_max, wv_opt_mixlevel.hi);  // the slider's range is the option's
    EXPECT_EQ(m.qu_pbmix_page, wv_opt_mixlevel.lstep);
    EXPECT_TRUE(m.qu_hdrf);
    EXPECT_EQ(m.qutr[0].qu_shift, &st.g.rov_volshift);
    EXPECT_EQ(m.qutr[0].qu_setnr, 6);
    EXPECT_EQ(m.qutr[0].qu_alg, 1);
    EXPECT_EQ(m.qutr[1].qu_stopped, &bk.rogbk[0].rov_stopped);
    EXPECT_EQ(m.qutr[1].qu_setnr, 3);
    EXPECT_EQ(m.qutr[1].qu_alg, 4);
    EXPECT_EQ(m.qutr[3].qu_shift, &bk.rogbk[2].rov_volshift);
    EXPECT_STREQ(m.qutr[2].qu_file, "");
    // Its controls act on those tracks.
    qu_dlg d;
    qu_open(d, &m);
    EXPECT_FALSE(d.view.tr[2].enabled);  // a start-up bank: the loop algorithm
    qu_mute(d, 1);
    EXPECT_EQ(bk.rogbk[0].rov_stopped, 1);
    qu_scroll(d, 0, qu_thumb, 12);
    EXPECT_EQ(st.g.rov_volshift, 4);
    qu_scroll(d, qu_sl_fuzz, qu_pageright);
    EXPECT_EQ(options.fuzzlev, 125);
}
