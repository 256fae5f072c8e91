#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "editor/editor.h"
#include "editor/tonality.h"
#include "engine/scales.h"

namespace {

// A scale editor opened on scale 3 of a setting, row 0.
struct TonTest : ::testing::Test {
    rov_state st{};
    ton_editor te;

    void SetUp() override {
        rov_state_init(st);
        rov_default_setting(st.s);
        open(0, 3);
    }
    void open(int algo, int n) {
        tonscal ts;
        ts.rovtones = &st.s.rov_tones[16 * n];
        ts.tnotes = tonnotes;
        ts.tnames = tonnames;
        ts.ttonr = n;
        ts.algo = algo;
        ton_open(te, ts);
    }
    int16_t& val(int i) { return te.ts.rovtones[i]; }
    int step(int i, rov_scrollcode c, int v, int pos = 0) {
        val(i) = static_cast<int16_t>(v);
        ton_scroll(te, i, c, pos);
        EXPECT_EQ(te.view.pos[i], val(i));
        return val(i);
    }
    void set_mode(int m) {
        while (te.mode != m) ton_mode(te);
    }
};

}  // namespace

TEST_F(TonTest, PageStepsOfModeZeroSnapToTheNoteTable) {
    // From between two notes up goes to the note below, down to the next.
    EXPECT_EQ(step(2, rov_sc_pageup, 270), 262);
    EXPECT_EQ(te.view.status, "3 / 2 / f1 ");
    EXPECT_EQ(step(2, rov_sc_pagedown, 270), 277);
    EXPECT_EQ(te.view.status, "3 / 2 / f#1");
    // From exactly a note one semitone each way.
    EXPECT_EQ(step(2, rov_sc_pageup, 262), 247);
    EXPECT_EQ(step(2, rov_sc_pagedown, 262), 277);
    // One above a note: v - 1 is that note, so up goes to the note below it.
    EXPECT_EQ(step(2, rov_sc_pageup, 263), 247);
    // Page down reaches f3 (1048), held at 1024, while the text names f3.
    EXPECT_EQ(step(0, rov_sc_pagedown, 1024), 1024);
    EXPECT_EQ(te.view.status, "3 / 0 / f3 ");
    EXPECT_EQ(step(0, rov_sc_pagedown, 1000), 1024);
    EXPECT_EQ(te.view.status, "3 / 0 / f3 ");
    // Between the lowest notes.
    EXPECT_EQ(step(0, rov_sc_pageup, 34), 33);
    EXPECT_EQ(te.view.status, "3 / 0 / F1 ");
    EXPECT_EQ(step(0, rov_sc_pagedown, 0), 33);
}

TEST_F(TonTest, PageUpAtOrBelowTheLowestNoteStepsDownInsteadOfUp) {
    EXPECT_EQ(step(1, rov_sc_pageup, 33), 32);
    EXPECT_EQ(te.view.status, "3 / 1 / 32");
    EXPECT_EQ(step(1, rov_sc_pageup, 10), 9);
    EXPECT_EQ(step(1, rov_sc_pageup, 0), 0);
    EXPECT_EQ(te.view.status, "3 / 1 / 0");
}

TEST_F(TonTest, LineAndThumbStepsAndThePagesOfTheLinearModes) {
    EXPECT_EQ(step(5, rov_sc_lineup, 100), 99);
    EXPECT_EQ(te.view.status, "3 / 5 / 99");
    EXPECT_EQ(step(5, rov_sc_linedown, 1024), 1024);
    EXPECT_EQ(step(5, rov_sc_lineup, 0), 0);
    EXPECT_EQ(step(5, rov_sc_thumbtrack, 0, 700), 700);
    EXPECT_EQ(step(5, rov_sc_thumbpos, 0, 2000), 1024);
    EXPECT_EQ(step(5, rov_sc_pagedown, 300), 311);  // a page step of mode 0 ...
    val(5) = 2000;
    ton_scroll(te, 5, rov_sc_other, 0);  // ... the end of the scroll action changes nothing
    EXPECT_EQ(val(5), 2000);
    EXPECT_EQ(te.view.status, "3 / 5 / g#1");
    val(5) = 300;
    set_mode(1);
    EXPECT_EQ(step(5, rov_sc_pageup, 300), 172);
    EXPECT_EQ(step(5, rov_sc_pagedown, 1000), 1024);
    EXPECT_EQ(step(5, rov_sc_pageup, 100), 0);
    EXPECT_EQ(te.view.status, "3 / 5 / 0");
    set_mode(2);
    EXPECT_EQ(step(5, rov_sc_pageup, 300), 236);
    EXPECT_EQ(te.view.status, "3 / 5 / -276");  // symmetric: shown around 512
    set_mode(3);
    EXPECT_EQ(step(5, rov_sc_pagedown, 600), 664);
    EXPECT_EQ(te.view.status, "3 / 5 / 152");
    set_mode(4);
    EXPECT_EQ(step(5, rov_sc_pagedown, 600), 728);
    EXPECT_EQ(te.view.status, "3 / 5 / 728");
    // Values out of range (a damaged file) are clamped on the first step;
    // a slider outside 0..15 changes nothing.
    EXPECT_EQ(step(6, rov_sc_linedown, -32768), 0);
    EXPECT_EQ(step(6, rov_sc_lineup, 32767), 1024);
    set_mode(0);
    EXPECT_EQ(step(6, rov_sc_pageup, 32767), 1024);
    EXPECT_EQ(step(6, rov_sc_pagedown, 32767), 1024);
    const int16_t before = st.s.rov_tones[16 * 4];
    ton_scroll(te, 16, rov_sc_linedown, 0);
    ton_scroll(te, -1, rov_sc_linedown, 0);
    EXPECT_EQ(st.s.rov_tones[16 * 4], before);
}

TEST_F(TonTest, ShowNamesNotesOnlyInModeZeroAndCyclesTheSliders) {
    const int16_t v[16] = {262, 270, 33, 1048, 0, 9999, 700, 440, 1, 2, 3, 4, 5, 6, 7, 8};
    std::memcpy(te.ts.rovtones, v, sizeof v);
    ton_show(te);
    EXPECT_EQ(te.view.status, "3 / 0 / f1 ");
    ton_show(te);
    EXPECT_EQ(te.view.status, "3 / 1 / 270");  // not a note: the number
    ton_show(te);
    EXPECT_EQ(te.view.status, "3 / 2 / F1 ");  // the lowest note too
    ton_show(te);
    EXPECT_EQ(te.view.status, "3 / 3 / f3 ");
    ton_show(te);
    EXPECT_EQ(te.view.status, "3 / 4 / 0");
    ton_show(te);
    EXPECT_EQ(te.view.status, "3 / 5 / 9999");  // the end mark is no note
    for (int k = 6; k < 16; ++k) ton_show(te);
    ton_mode(te);
    ton_mode(te);  // mode 2 shows the distance from 512
    ton_show(te);
    EXPECT_EQ(te.view.status, "3 / 0 / -250");
    // The turn starts at slider 0 again at every opening.
    ton_show(te);
    open(0, 3);
    ton_show(te);
    EXPECT_EQ(te.view.status, "3 / 0 / f1 ");
}

TEST_F(TonTest, InitResetStoreAndLoadPerMode) {
    int16_t orig[16];
    std::memcpy(orig, te.ts.rovtones, sizeof orig);
    EXPECT_STREQ(te.view.modename, "&Tone");
    ton_init(te);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(val(i), 262);
    EXPECT_EQ(te.view.pos[7], 262);
    ton_mode(te);
    EXPECT_STREQ(te.view.modename, "En&v");
    ton_init(te);
    EXPECT_EQ(val(8), 1024);
    EXPECT_EQ(te.view.pos[8], 1024);
    ton_reset(te);
    EXPECT_EQ(0, std::memcmp(te.ts.rovtones, orig, sizeof orig));
    EXPECT_EQ(te.view.pos[0], orig[0]);

    // The initial clipboards, one per mode.
    ton_load(te);  // mode 1: Env
    EXPECT_EQ(val(3), 900);
    ton_mode(te);
    EXPECT_STREQ(te.view.modename, "Wa&v");
    ton_mode(te);
    EXPECT_STREQ(te.view.modename, "Mod&T");
    ton_mode(te);
    EXPECT_STREQ(te.view.modename, "LFOW&V");
    ton_mode(te);
    EXPECT_STREQ(te.view.modename, "&Tone");
    ton_load(te);
    EXPECT_EQ(val(0), 65);

    // Store in one mode, Load in another: no mixing.
    for (int i = 0; i < 16; ++i) val(i) = static_cast<int16_t>(500 + i);
    ton_store(te);  // Tone
    ton_mode(te);
    ton_mode(te);
    ton_load(te);  // Wav's own clipboard
    EXPECT_EQ(val(0), 512);
    EXPECT_EQ(val(1), 384);
    ton_mode(te);
    ton_mode(te);
    ton_mode(te);
    ton_load(te);  // Tone again
    EXPECT_EQ(val(15), 515);

    // The clipboards survive closing; the mode starts at Tone again and the
    // reset copy is retaken.
    ton_mode(te);
    for (int i = 0; i < 16; ++i) val(i) = 1;
    open(0, 3);
    EXPECT_EQ(te.mode, 0);
    EXPECT_STREQ(te.view.modename, "&Tone");
    ton_load(te);
    EXPECT_EQ(val(15), 515);
    ton_reset(te);
    EXPECT_EQ(val(15), 1);
}

TEST_F(TonTest, EditsGoIntoTheSettingsScaleInPlace) {
    ton_scroll(te, 4, rov_sc_thumbtrack, 777);
    EXPECT_EQ(st.s.rov_tones[16 * 3 + 4], 777);
    ton_init(te);
    EXPECT_EQ(st.s.rov_tones[16 * 3 + 0], 262);
    EXPECT_EQ(st.s.rov_tones[16 * 2 + 0], 37);  // the neighbouring scales stay
    EXPECT_EQ(st.s.rov_tones[16 * 4 + 0], 65);
}

TEST(TonCaption, ByRowAndScaleNumber) {
    EXPECT_STREQ(ton_caption(15, 0), "Phrase/Pitch editing (16 tones)");
    EXPECT_STREQ(ton_caption(15, 1), "Editing  transpositions");
    EXPECT_STREQ(ton_caption(18, 4), "Phrase/Pitch/Wave editing");
    EXPECT_STREQ(ton_caption(18, 5), "Editing transposition/wave");
    EXPECT_STREQ(ton_caption(17, 3), "Phrase editing (16 tones)");
    EXPECT_STREQ(ton_caption(9, 2), "Phrase editing (16 tones)");
    EXPECT_STREQ(ton_caption(9, 3), "Scale editing (16 pitch values)");
    EXPECT_STREQ(ton_caption(12, 1), "Editing pitch (0-7) and chords (8-15)");
    EXPECT_STREQ(ton_caption(5, 1), "Editing pitch (0-7) and intervals (8-15)");
    EXPECT_STREQ(ton_caption(6, 0), "Editing pitch (0-7) and intervals (8-15)");
    EXPECT_STREQ(ton_caption(10, 0), "Editing scale or phrase");
    EXPECT_STREQ(ton_caption(13, 0), "Editing scale or envelope");
    EXPECT_STREQ(ton_caption(14, 0), "Editing 8 pairs of (center pitch, range)");
    EXPECT_STREQ(ton_caption(19, 0), "Editing LFO waveforms (0-7;8-15)");
    EXPECT_STREQ(ton_caption(0, 0), "Scale editing (16 pitch values)");
    EXPECT_STREQ(ton_caption(20, 7), "Scale editing (16 pitch values)");
}

TEST_F(TonTest, HelpByPlaceAndRow) {
    EXPECT_EQ(ton_help(te, 10, 98).caption, "Init");
    EXPECT_EQ(ton_help(te, 57, 113).caption, "Init");
    EXPECT_EQ(ton_help(te, 58, 100).caption, "Display");
    EXPECT_EQ(ton_help(te, 126, 100).caption, "Reset");
    EXPECT_EQ(ton_help(te, 174, 100).caption, "Show");
    EXPECT_EQ(ton_help(te, 220, 100).caption, "Show");
    // The buttons' row wins over the right column.
    EXPECT_EQ(ton_help(te, 210, 100).caption, "Show");
    EXPECT_EQ(ton_help(te, 221, 100).caption, "Edit");
    EXPECT_EQ(ton_help(te, 205, 10).caption, "Select scrollbar mode");
    EXPECT_EQ(ton_help(te, 240, 32).caption, "Store");
    EXPECT_EQ(ton_help(te, 240, 54).caption, "Load");
    EXPECT_EQ(ton_help(te, 240, 69).caption, "Load");
    EXPECT_EQ(ton_help(te, 240, 70).caption, "Edit");
    EXPECT_EQ(ton_help(te, 204, 20).caption, "Edit");
    EXPECT_EQ(ton_help(te, 240, 9).caption, "Edit");
    EXPECT_EQ(ton_help(te, 100, 50).text, "edit a user scale");

    open(9, 2);
    EXPECT_EQ(ton_help(te, 100, 50).text, "edit a phrase of 16 tones.\nThe first tone is assumed to be 262/f1");
    open(9, 3);
    EXPECT_EQ(ton_help(te, 100, 50).text, "edit a user scale");
    open(17, 3);
    EXPECT_EQ(ton_help(te, 100, 50).text, "edit a phrase of 16 tones.\nThe first tone is assumed to be 262/f1");
    open(18, 0);
    EXPECT_EQ(ton_help(te, 100, 50).text.substr(0, 24), "edit a phrase or a wave.");
    open(18, 1);
    EXPECT_EQ(ton_help(te, 100, 50).text.substr(0, 30), "edit transpositions or a wave.");
    open(13, 0);
    EXPECT_EQ(ton_help(te, 100, 50).text,
              "edit scale or envelope:\nslider 0 to 8 form the attack curve,\nslider 8 to 15 the decay curve.");
    open(6, 0);
    EXPECT_EQ(ton_help(te, 100, 50).text,
              "edit absolute pitch values (slider 0 to 7)\nand intervals relative to f1/262 (8 to 15)");
}

// The setting editor's numbered buttons in edit mode (Read off, Tonality on).
namespace {
struct EditScaleTest : ::testing::Test {
    rov_state st{};
    rov_editor ed;
    wv_options options;
    rov_edopts opt;
    int asked = 0, edited = -1, edited_row = -1;
    bool answer = false;

    void open(int row) {
        rov_state_init(st);
        rov_default_setting(st.s);
        opt.o = &options;
        rov_edhooks h;
        h.ctx = this;
        h.ask_assign = [](void* c) {
            auto* t = static_cast<EditScaleTest*>(c);
            ++t->asked;
            return t->answer;
        };
        h.edit_scale = [](void* c, int n, int row) {
            auto* t = static_cast<EditScaleTest*>(c);
            t->edited = n;
            t->edited_row = row;
        };
        rov_ed_open(ed, &st.h, row, 0, "", opt, h);
        rov_ed_read(ed);
        rov_ed_tonality(ed);
        st.g.rov_tonupd = 7;
    }
};
}  // namespace

TEST_F(EditScaleTest, RowsThatReadFurtherBuffersAskBeforeAssigning) {
    for (int row : {2, 10, 13, 18, 20}) {
        open(row);
        answer = false;
        rov_ed_number(ed, 6);
        EXPECT_EQ(asked, 1) << row;
        EXPECT_EQ(ed.play->tonr, 3) << row;  // No: the playing scale stays
        EXPECT_EQ(st.g.rov_tonupd, 7);
        EXPECT_EQ(edited, 6);
        EXPECT_EQ(edited_row, row);
        answer = true;
        rov_ed_number(ed, 5);
        EXPECT_EQ(ed.play->tonr, 5);
        EXPECT_EQ(st.g.rov_tonupd, 0);
        EXPECT_EQ(ed.view.status, "setting 0, scale 5");
        asked = 0;
    }
}

TEST_F(EditScaleTest, OtherRowsAssignWithoutAsking) {
    open(0);
    rov_ed_number(ed, 8);
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(ed.play->tonr, 8);
    EXPECT_EQ(st.g.rov_tonupd, 0);
    EXPECT_EQ(edited, 8);
    EXPECT_EQ(st.s.rov_tonindx[0], 3);  // the set's remembered scale is not changed
    EXPECT_TRUE(rov_ed_number_enabled(ed));
}
