#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "editor/editor.h"
#include "editor/rovscroll.h"
#include "support/fake_files.h"

namespace {

// A fresh foreground state with the built-in setting and counting hooks.
struct EditorTest : ::testing::Test {
    rov_state st{};
    rov_editor ed;
    wv_options options;  // the program's options record the editor reads
    rov_edopts opt;
    int activity = 0, startstop = 0, pause = 0, volume = -1;
    bool open = false;

    void SetUp() override {
        opt.o = &options;
        rov_state_init(st);
        rov_default_setting(st.s);
    }

    rov_edhooks hooks() {
        rov_edhooks h;
        h.ctx = this;
        h.activity = [](void* c) { ++static_cast<EditorTest*>(c)->activity; };
        h.start_stop = [](void* c) { ++static_cast<EditorTest*>(c)->startstop; };
        h.pause = [](void* c) { ++static_cast<EditorTest*>(c)->pause; };
        h.set_volume = [](void* c, int v) { static_cast<EditorTest*>(c)->volume = v; };
        h.device_open = [](void* c) { return static_cast<EditorTest*>(c)->open; };
        return h;
    }

    void open_editor(int row, int setnr = 0, const char* file = "") {
        rov_ed_open(ed, &st.h, row, setnr, file, opt, hooks());
    }

    int16_t& slot(int set, int s) { return st.s.rov_p[16 * set + s]; }
    int16_t& play(int s) { return slot(ed.play->setnr, s); }
    std::string text(int s) { return ed.view.slot[s].text; }
    std::string label(int s) { return ed.view.label[s]; }

    int scroll(int s, rov_scrollcode c, int v, int pos = 0) {
        play(s) = static_cast<int16_t>(v);
        rov_ed_scroll(ed, s, c, pos);
        return play(s);
    }
};

}  // namespace

TEST(EditorCaption, ShortNamesInParenthesesLongNamesLeftOut) {
    EXPECT_EQ(rov_ed_caption("Ostinato phrase", "abc.rov"), "Ostinato phrase (abc.rov)");
    EXPECT_EQ(rov_ed_caption("Ostinato phrase", ""), "Ostinato phrase ()");
    EXPECT_EQ(rov_ed_caption("Ostinato phrase", "fifteen_chars.r"), "Ostinato phrase (fifteen_chars.r)");
    EXPECT_EQ(rov_ed_caption("Ostinato phrase", "sixteen_chars.ro"), "Ostinato phrase");
}

TEST_F(EditorTest, OpeningShowsTheRowsNamesAndThePlayingSet) {
    slot(2, 0) = 2000;  // out of range: clamped and written back
    open_editor(1, 2, "abc.rov");
    EXPECT_EQ(ed.view.caption, "Experimental - with Dual Oscillator (abc.rov)");
    EXPECT_EQ(label(7), "Detune");
    EXPECT_EQ(std::string(ed.view.swname), "&Saw");
    EXPECT_EQ(ed.play->tonr, 5);
    EXPECT_EQ(ed.view.status, "setting 2, scale 5");
    EXPECT_TRUE(ed.view.read);
    EXPECT_FALSE(ed.view.tonal);
    EXPECT_TRUE(ed.view.swcheck);
    EXPECT_EQ(slot(2, 0), 256);
    EXPECT_EQ(ed.view.slot[0].pos, 256);
    EXPECT_EQ(text(0), "16.00  ");
    EXPECT_EQ(text(2), "466  ");
    EXPECT_EQ(text(13), "11025");
    EXPECT_EQ(volume, 40);
    EXPECT_EQ(ed.view.slot[2].max, 1024);
    EXPECT_EQ(ed.view.slot[13].max, 50);
    EXPECT_EQ(std::string(ed.view.qcaption), "&Z");
    EXPECT_FALSE(rov_ed_q_enabled(ed));
}

TEST_F(EditorTest, DumpListsWhatTheDialogShows) {
    open_editor(0, 0, "x.rov");
    const std::string d = rov_ed_dump(ed);
    EXPECT_NE(d.find("caption=Experimental - with Adjustable Panning (x.rov)\n"), std::string::npos);
    EXPECT_NE(d.find("label7=Panning\n"), std::string::npos);
    EXPECT_NE(d.find("value0=6.00  \n"), std::string::npos);
    EXPECT_NE(d.find("value13=5512\n"), std::string::npos);
    EXPECT_NE(d.find("status=setting 0, scale 3\n"), std::string::npos);
}

TEST_F(EditorTest, MultiplePlayShowsTheActiveSettingsAlgorithm) {
    st.s.rov_stdalg = 4;
    open_editor(21);
    EXPECT_EQ(ed.algomod, 21);
    EXPECT_EQ(ed.view.caption, "Ambient Experimental - Echo, Fuzzy, and Chords ()");
    EXPECT_EQ(label(5), "Echo");
    EXPECT_FALSE(rov_ed_pause_enabled(ed));  // opens the mixer there
    rov_ed_pause(ed);
    EXPECT_EQ(pause, 0);

    open_editor(99);  // any other row plays the empty algorithm
    EXPECT_EQ(ed.algomod, 22);
    EXPECT_EQ(label(0), std::string(16, ' '));
    EXPECT_TRUE(rov_ed_pause_enabled(ed));
    rov_ed_pause(ed);
    EXPECT_EQ(pause, 1);
}

TEST_F(EditorTest, QCaptionForManualSampleRecording) {
    opt.sample = true;
    options.recsmpopt = -1;
    open_editor(6);
    EXPECT_EQ(std::string(ed.view.qcaption), "&Q");
    open_editor(1);
    EXPECT_EQ(std::string(ed.view.qcaption), "&Z");
    options.recsmpopt = -2;
    open_editor(6);
    EXPECT_EQ(std::string(ed.view.qcaption), "&Z");
}

TEST_F(EditorTest, QRecordsByHandOnlyWithManually) {
    static int recorded, pads;
    recorded = pads = 0;
    auto with_hooks = [&](int row) {
        rov_edhooks h = hooks();
        h.record_sample = [](void*) { ++recorded; };
        h.play_pad = [](void*, int) { ++pads; };
        rov_ed_open(ed, &st.h, row, 0, "", opt, h);
    };
    opt.sample = true;
    options.recsmpopt = -1;
    with_hooks(6);
    EXPECT_TRUE(rov_ed_q_enabled(ed));
    rov_ed_q(ed);
    EXPECT_EQ(recorded, 1);
    EXPECT_EQ(pads, 0);
    // "&Manually" comes first: the button records whatever row plays.
    with_hooks(1);
    rov_ed_q(ed);
    EXPECT_EQ(recorded, 2);
    // Any other option: Z opens the player pad.
    for (int o : {-2, 0, 5}) {
        options.recsmpopt = o;
        with_hooks(6);
        rov_ed_q(ed);
    }
    EXPECT_EQ(recorded, 2);
    EXPECT_EQ(pads, 3);
}

TEST_F(EditorTest, PitchPageStepsFollowTheNoteTable) {
    open_editor(1);
    EXPECT_EQ(scroll(2, rov_sc_pagedown, 262), 277);
    EXPECT_EQ(scroll(2, rov_sc_pageup, 262), 247);
    EXPECT_EQ(scroll(2, rov_sc_pageup, 248), 233);
    EXPECT_EQ(scroll(2, rov_sc_pagedown, 988), 1024);  // 1048, clamped by the redraw
    EXPECT_EQ(text(2), "1024  ");
    EXPECT_EQ(scroll(2, rov_sc_pageup, 33), 33);
    // Values beyond the table (a damaged file) stay within it.
    EXPECT_EQ(scroll(2, rov_sc_pageup, 20000), 1024);
    EXPECT_EQ(scroll(2, rov_sc_pagedown, 20000), 1024);
}

TEST_F(EditorTest, PageStepsToMultiplesOfTheLargeIncrement) {
    open_editor(1);
    EXPECT_EQ(scroll(0, rov_sc_pageup, 0), 0);
    EXPECT_EQ(scroll(0, rov_sc_pageup, 17), 16);
    EXPECT_EQ(scroll(0, rov_sc_pageup, 16), 0);
    EXPECT_EQ(scroll(0, rov_sc_pagedown, 16), 32);
    EXPECT_EQ(scroll(0, rov_sc_pagedown, 250), 256);
    EXPECT_EQ(scroll(13, rov_sc_pagedown, 40), 48);
    EXPECT_EQ(scroll(13, rov_sc_pagedown, 48), 50);
    EXPECT_EQ(scroll(8, rov_sc_pageup, 7), 0);
}

TEST_F(EditorTest, LineAndThumbCodesAndClamping) {
    open_editor(1);
    EXPECT_EQ(scroll(14, rov_sc_linedown, 255), 255);
    EXPECT_EQ(text(14), "0");
    EXPECT_EQ(volume, 255);
    EXPECT_EQ(scroll(15, rov_sc_lineup, 0), 0);
    EXPECT_EQ(scroll(3, rov_sc_lineup, 10), 9);
    EXPECT_EQ(scroll(3, rov_sc_thumbtrack, 10, 200), 200);
    EXPECT_EQ(ed.view.slot[3].pos, 200);
    EXPECT_EQ(scroll(3, rov_sc_thumbpos, 10, 300), 256);
    EXPECT_EQ(scroll(3, rov_sc_other, 10, 300), 10);
    EXPECT_EQ(scroll(13, rov_sc_thumbtrack, 0, 48), 48);
    EXPECT_EQ(text(13), "44100");
}

TEST_F(EditorTest, UserActivityExceptWhileRecording) {
    open_editor(1);
    rov_ed_scroll(ed, 3, rov_sc_lineup, 0);
    rov_ed_scroll(ed, 16, rov_sc_lineup, 0);  // not a slot: counts as activity, changes nothing
    rov_ed_number(ed, 3);
    rov_ed_switch(ed);
    rov_ed_tonality(ed);
    rov_ed_read(ed);
    rov_ed_pause(ed);
    EXPECT_EQ(activity, 7);
    rov_ed_restore(ed);
    EXPECT_EQ(activity, 7);
    fake_recsink rec;
    ed.opt.rec = &rec;
    rov_ed_scroll(ed, 3, rov_sc_lineup, 0);
    rov_ed_number(ed, 4);
    rov_ed_pause(ed);
    EXPECT_EQ(activity, 7);
    // The cycle finished the recording while the editor is open: activity counts again.
    rec.finish();
    rov_ed_pause(ed);
    EXPECT_EQ(activity, 8);
}

TEST_F(EditorTest, ThePlayingSetsButtonOnlyRefreshesTheStatus) {
    open_editor(1, 3);
    const rov_setting before = st.s;
    const int16_t bk = ed.parbkup[0];
    ed.view.status = "something else";
    rov_ed_recover(ed);
    EXPECT_EQ(ed.view.status, "setting 3, scale 8");
    EXPECT_EQ(std::memcmp(&before, &st.s, sizeof st.s), 0);
    EXPECT_EQ(ed.parbkup[0], bk);
    EXPECT_EQ(activity, 1);
}

TEST_F(EditorTest, WorksOnTheSetScaleAndTonalityOfTheStreamItIsGiven) {
    wv_stream ws;
    ws.setnr = 7;
    ws.tonal = true;  // left by an earlier opening
    ed.play = &ws;
    open_editor(1, 2);
    EXPECT_EQ(ws.setnr, 2);
    EXPECT_EQ(ws.tonr, st.s.rov_tonindx[2]);
    EXPECT_FALSE(ws.tonal);  // the check box starts off, and so does what the cycle reads
    rov_ed_number(ed, 5);
    EXPECT_EQ(ws.setnr, 5);
    EXPECT_EQ(ws.tonr, 3);
    rov_ed_tonality(ed);
    EXPECT_TRUE(ws.tonal);
    // The cycle's automatic program change is what the editor shows next.
    ws.setnr = 6;
    rov_ed_recover(ed);
    EXPECT_EQ(ed.view.status.rfind("setting 6,", 0), 0u) << ed.view.status;
}

TEST_F(EditorTest, SelectingASetTakesItsBackupAndScale) {
    open_editor(1, 0);
    rov_ed_number(ed, 5);
    EXPECT_EQ(ed.play->setnr, 5);
    EXPECT_EQ(ed.play->tonr, 3);
    EXPECT_FALSE(ed.view.swcheck);
    EXPECT_EQ(ed.view.slot[2].pos, 392);
    EXPECT_EQ(ed.view.status, "setting 5, scale 3");
    EXPECT_EQ(volume, 0);
    // Changes to the set are undone by V.
    scroll(2, rov_sc_pagedown, 392);
    rov_ed_switch(ed);
    rov_ed_restore(ed);
    EXPECT_EQ(play(2), 392);
    EXPECT_EQ(st.s.rov_saw[5], 0);
    EXPECT_FALSE(ed.view.swcheck);
}

TEST_F(EditorTest, DuplicateThenRestorePutsTheOverwrittenSetBack) {
    open_editor(1, 0);
    rov_setting before = st.s;
    rov_ed_read(ed);  // duplicate mode
    rov_ed_number(ed, 5);
    EXPECT_EQ(ed.play->setnr, 5);
    for (int s = 0; s < 16; ++s) EXPECT_EQ(slot(5, s), before.rov_p[s]);
    EXPECT_EQ(st.s.rov_saw[5], 1);
    EXPECT_EQ(st.s.rov_tonindx[5], 3);
    EXPECT_EQ(ed.view.status, "setting 5, scale 3");
    rov_ed_restore(ed);
    for (int s = 0; s < 16; ++s) {
        EXPECT_EQ(slot(5, s), before.rov_p[80 + s]) << s;
        EXPECT_EQ(slot(0, s), before.rov_p[s]) << s;
    }
    EXPECT_EQ(st.s.rov_saw[5], 0);
    EXPECT_EQ(ed.view.slot[2].pos, 392);
}

TEST_F(EditorTest, RestoreBeforeAnySelectionWritesTheInitialBackup) {
    open_editor(1, 2);
    rov_ed_restore(ed);
    const int16_t want[16] = {48, 8, 466, 192, 192, 96, 26, 4, 0, 96, 6, 3, 176, 24, 80, 0};
    for (int s = 0; s < 16; ++s) EXPECT_EQ(slot(2, s), want[s]);
    EXPECT_TRUE(ed.view.swcheck);
    EXPECT_EQ(ed.view.slot[0].pos, 48);
}

TEST_F(EditorTest, AssignModeChangesOnlyTheScale) {
    open_editor(1, 0);
    st.g.rov_tonupd = 7;
    rov_ed_tonality(ed);
    rov_ed_number(ed, 8);
    EXPECT_EQ(ed.play->tonr, 8);
    EXPECT_EQ(ed.play->setnr, 0);
    EXPECT_EQ(st.g.rov_tonupd, 0);
    EXPECT_EQ(st.s.rov_tonindx[0], 3);
    EXPECT_EQ(ed.view.status, "setting 0, scale 8");
    // Next and Recover act on the scale number.
    rov_ed_next(ed);
    EXPECT_EQ(ed.play->tonr, 9);
    rov_ed_next(ed);
    EXPECT_EQ(ed.play->tonr, 0);
}

TEST_F(EditorTest, EditModeIsDisabledAndNextOnlyWhileReading) {
    open_editor(1, 9);
    rov_ed_next(ed);
    EXPECT_EQ(ed.play->setnr, 0);  // 9 wraps to 0
    rov_ed_read(ed);
    EXPECT_FALSE(rov_ed_next_enabled(ed));
    rov_ed_next(ed);
    EXPECT_EQ(ed.play->setnr, 0);
    rov_ed_tonality(ed);
    EXPECT_FALSE(rov_ed_number_enabled(ed));
    const int before = activity;
    rov_ed_number(ed, 4);
    EXPECT_EQ(ed.play->tonr, 3);
    EXPECT_EQ(activity, before);
}

TEST_F(EditorTest, SelectionMarksGlidingSlotsWhilePlaying) {
    options.shwmorph = true;
    open = true;
    open_editor(1, 0);
    for (int s = 0; s < 13; ++s) st.g.rov_currp[s] = slot(0, s);
    // Chg.Dly 0 in the new set: nothing is marked.
    rov_ed_number(ed, 1);
    for (int s = 0; s < 13; ++s) EXPECT_EQ(ed.parmorph[s], 0);
    EXPECT_EQ(text(0), "6.00  ");
    // Chg.Dly 8: the slots whose gliding value differs are marked.
    slot(2, 15) = 8;
    rov_ed_number(ed, 2);
    EXPECT_EQ(ed.parmorph[0], 1);
    EXPECT_EQ(text(0), "1.00 *");
    EXPECT_EQ(ed.parmorph[11], 1);
    st.g.rov_currp[4] = 192;
    slot(3, 15) = 8;
    rov_ed_number(ed, 3);
    EXPECT_EQ(ed.parmorph[4], 0);  // set 3 slot 4 is 192 too
    EXPECT_EQ(ed.parmorph[0], 1);
    st.g.rov_currp[0] = 80;
    rov_ed_number(ed, 2);
    rov_ed_number(ed, 3);
    EXPECT_EQ(ed.parmorph[0], 0);
    EXPECT_EQ(text(0), "5.00  ");
    // Marks go as the glide arrives.
    rov_ed_number(ed, 2);
    EXPECT_EQ(ed.parmorph[3], 1);
    st.g.rov_currp[3] = slot(2, 3);
    const int16_t pos = ed.view.slot[3].pos;
    ed.view.slot[3].pos = -5;
    rov_ed_unmark_arrived(ed);
    EXPECT_EQ(ed.parmorph[3], 0);
    EXPECT_EQ(text(3), "16  ");
    EXPECT_EQ(ed.view.slot[3].pos, -5);  // the scroll bar is not touched
    ed.view.slot[3].pos = pos;
    EXPECT_EQ(ed.parmorph[1], 1);
    rov_ed_unmark_all(ed);
    for (int s = 0; s < 13; ++s) EXPECT_EQ(ed.parmorph[s], 0);
    EXPECT_EQ(text(1), "75.0  ");
}

TEST_F(EditorTest, ScrollMarksWithTheUnclampedValue) {
    options.shwmorph = true;
    open = true;
    open_editor(1, 0);
    for (int s = 0; s < 13; ++s) st.g.rov_currp[s] = slot(0, s);
    slot(0, 15) = 4;
    st.g.rov_currp[5] = 128;
    play(5) = 128;
    rov_ed_scroll(ed, 5, rov_sc_linedown, 0);  // 129, clamped to 128 by the redraw
    EXPECT_EQ(ed.parmorph[5], 1);
    EXPECT_EQ(play(5), 128);
    EXPECT_EQ(text(5), "100.0 *");
    rov_ed_unmark_arrived(ed);
    EXPECT_EQ(ed.parmorph[5], 0);
    // Device closed: never marked.
    open = false;
    rov_ed_scroll(ed, 6, rov_sc_linedown, 0);
    EXPECT_EQ(ed.parmorph[6], 0);
    // Slot 13 and above are never marked.
    open = true;
    rov_ed_scroll(ed, 13, rov_sc_linedown, 0);
    EXPECT_EQ(text(13), "5512");
}

TEST_F(EditorTest, RestoreMarksEvenWithTheDeviceClosed) {
    options.shwmorph = true;
    open_editor(1, 0);
    ed.parbkup[15] = 2;
    rov_ed_restore(ed);
    EXPECT_EQ(ed.parmorph[0], 1);  // 96 -> 48
    EXPECT_EQ(ed.parmorph[2], 1);  // 932 -> 466
    EXPECT_EQ(ed.parmorph[3], 0);  // 192 both
    EXPECT_EQ(text(0), "3.00 *");
    EXPECT_EQ(text(3), "192  ");
}

TEST_F(EditorTest, HalfAndDoubleRate) {
    open_editor(1, 0);
    rov_ed_rate(ed, true);  // rate 12 -> 0
    EXPECT_EQ(play(13), 0);
    EXPECT_EQ(play(2), 1024);  // 1864, clamped
    EXPECT_EQ(text(13), "2756");
    rov_ed_rate(ed, false);
    EXPECT_EQ(play(13), 12);
    EXPECT_EQ(play(2), 512);

    // In Multiple play nothing changes, but slots 0..13 are redrawn.
    st.s.rov_stdalg = 1;
    open_editor(21, 0);
    play(3) = 999;
    rov_ed_rate(ed, false);
    EXPECT_EQ(play(13), 12);
    EXPECT_EQ(play(3), 256);
    EXPECT_EQ(text(3), "256  ");
}

TEST_F(EditorTest, SwitchTogglesAndStartStop) {
    open_editor(1, 5);
    EXPECT_FALSE(ed.view.swcheck);
    rov_ed_switch(ed);
    EXPECT_EQ(st.s.rov_saw[5], 1);
    EXPECT_TRUE(ed.view.swcheck);
    st.s.rov_saw[5] = 7;  // anything non-zero counts as on
    rov_ed_switch(ed);
    EXPECT_EQ(st.s.rov_saw[5], 0);
    rov_ed_tonality(ed);
    rov_ed_read(ed);
    EXPECT_TRUE(ed.view.tonal);
    EXPECT_FALSE(ed.view.read);
    rov_ed_startstop(ed);
    EXPECT_EQ(startstop, 1);
    // Reopening resets the toggles, the backup survives.
    ed.parbkup[0] = 77;
    open_editor(1, 5);
    EXPECT_TRUE(ed.view.read);
    EXPECT_FALSE(ed.view.tonal);
    EXPECT_EQ(ed.parbkup[0], 77);
}

TEST_F(EditorTest, DamagedScaleNumbersPlayScaleZero) {
    st.s.rov_tonindx[0] = 42;
    st.s.rov_tonindx[4] = -3;
    open_editor(1, 0);
    EXPECT_EQ(ed.play->tonr, 0);
    rov_ed_number(ed, 4);
    EXPECT_EQ(ed.play->tonr, 0);
}

TEST_F(EditorTest, HelpUsesThePlayingSetAndTimbreFlag) {
    open_editor(10, 3);
    rov_helpbox hb;
    rov_ed_tonality(ed);
    ASSERT_TRUE(rov_ed_help(ed, 180, 50, hb));
    EXPECT_EQ(hb.caption, "numbered buttons");
    EXPECT_EQ(hb.text, "assigning the main phrase to the soundscape");
    st.g.rov_tonalias = 1;
    open_editor(18, 0);
    ASSERT_TRUE(rov_ed_help(ed, 20, 90, hb));
    EXPECT_EQ(hb.caption, "WaveSweep");
    // The finishing of a morph works on the playing set.
    st.g.rov_currp[4] = 0;
    EXPECT_TRUE(rov_ed_finish_morph(ed, 30, 55));
    EXPECT_EQ(st.g.rov_currp[4], slot(0, 4));
}

TEST(RovScrollTable, VoiceMaximumRaisesSlot0) {
    // The declared bound 256 holds up to 16 voices; above, 16 per voice up to 1024.
    for (auto [maxv, bound] : {std::pair{1, 256}, {8, 256}, {16, 256}, {20, 320}, {64, 1024}})
        EXPECT_EQ(rovscroll_row(slots_panning, 0, maxv).physmax, bound) << maxv;
    // Only Voices follows the voice maximum; the table itself stays as declared.
    EXPECT_EQ(rovscroll_row(slots_panning, 1, 64).physmax, 256);
    EXPECT_EQ(slots_panning.range[0].physmax, 256);
}

TEST_F(EditorTest, VoicesBarFollowsTheVoiceMaximumEachOpening) {
    options.maxv = 64;
    open_editor(0, 0);
    EXPECT_EQ(ed.view.slot[0].max, 1024);
    options.maxv = 8;
    slot(0, 0) = 1000;
    open_editor(0, 0);
    EXPECT_EQ(ed.view.slot[0].max, 256);
    EXPECT_EQ(slot(0, 0), 256);  // a value above the bound is brought back to it
}

TEST_F(EditorTest, EveryControlsTooltipIsItsShiftClickHelpAsTheEditorStands) {
    // A point of each item's Shift-click region: the slot labels and column
    // heads, then the numbered buttons, V, Z, the switch, Tonality, Read,
    // the status line and the play buttons.
    auto point = [](int item) -> std::pair<int, int> {
        if (item <= 12) return {40, 15 + 10 * item};
        if (item <= 15) return {180 + 30 * (item - 13), 20};
        switch (item) {
        case rov_hi_numbered: return {170, 60};
        case rov_hi_v: return {170, 115};
        case rov_hi_q: return {170, 125};
        case rov_hi_switch: return {180, 145};
        case rov_hi_tonality: return {20, 155};
        case rov_hi_read: return {60, 155};
        case rov_hi_status: return {120, 150};
        default: return {200, 150};
        }
    };
    st.s.rov_stdalg = 4;
    for (int row : {0, 10, 12, 21}) {
        for (int setnr : {0, 3}) {
            open_editor(row, setnr);
            for (int k = 0; k < 4; ++k) {
                ed.boolread = k & 1;
                ed.play->tonal = k & 2;
                for (int item = 0; item <= rov_hi_play; ++item) {
                    if (item == 16) continue;
                    const auto [x, y] = point(item);
                    rov_helpbox hb;
                    ASSERT_TRUE(rov_ed_help(ed, x, y, hb)) << item;
                    const std::string tip = rov_ed_tip(ed, item);
                    EXPECT_FALSE(tip.empty()) << row << " " << item;
                    EXPECT_EQ(tip, hb.caption + "\n" + hb.text) << row << " set " << setnr << " item " << item;
                }
            }
        }
    }
    EXPECT_EQ(rov_ed_tip(ed, 16), "");
    // The empty algorithm's blank names give no tooltip.
    open_editor(22);
    EXPECT_EQ(rov_ed_tip(ed, 0), "");
}
