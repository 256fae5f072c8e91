#include <gtest/gtest.h>

#include "fake_ui.h"
#include "shell/menu.h"
#include "support/fake_files.h"

namespace {
sh_hit H(int x, int y, bool shift = false) { return sh_hittest(x, y, shift); }
}  // namespace

TEST(HitTest, AlgorithmIconsAtTheirTablePositions) {
    for (int r = 0; r <= 20; ++r) {
        const rov_algtab& a = rov_rows[r].tab;
        for (auto [dx, dy] : {std::pair{0, 0}, {31, 0}, {0, 31}, {31, 31}, {16, 16}}) {
            const sh_hit h = H(a.ixpos + dx, a.iypos + dy);
            EXPECT_EQ(h.kind, sh_hit_row) << "row " << r;
            EXPECT_EQ(h.n, r) << "row " << r;
        }
    }
    // One pixel outside an icon of the first row is the empty algorithm.
    EXPECT_EQ(H(37, 10).n, 22);
    EXPECT_EQ(H(5, 37).n, 22);
}

TEST(HitTest, EmptySpaceOfTheIconRowsIsRowTwentyTwo) {
    EXPECT_EQ(H(390, 5).kind, sh_hit_row);   // right of the first row
    EXPECT_EQ(H(390, 5).n, 22);
    EXPECT_EQ(H(2, 44).n, 22);               // just above the band
    EXPECT_EQ(H(360, 90).n, 22);             // on the ALGEMPTY icon
    EXPECT_EQ(H(2, 85).n, 22);               // left of the third row
    EXPECT_EQ(H(2, 116).n, 22);
    EXPECT_EQ(H(2, 117).kind, sh_hit_none);  // below the third row
    EXPECT_EQ(H(100, 80).kind, sh_hit_none); // between band and third row
    EXPECT_EQ(H(100, 200).kind, sh_hit_none);
}

TEST(HitTest, ToolbarSlotsAndTheGapsBetween) {
    for (int k = 1; k <= 10; ++k) {
        const int x0 = 5 + 35 * (k - 1);
        for (int y : {45, 60, 76}) {
            EXPECT_EQ(H(x0, y).kind, sh_hit_slot);
            EXPECT_EQ(H(x0, y).n, k);
            EXPECT_EQ(H(x0 + 31, y, true).n, k);
        }
        // The three pixels after a slot belong to no slot.
        EXPECT_EQ(H(x0 + 32, 60).kind, sh_hit_none);
        EXPECT_EQ(H(x0 + 34, 60, true).kind, sh_hit_none);
    }
    EXPECT_EQ(H(2, 60).kind, sh_hit_none);
    EXPECT_EQ(H(360, 60).kind, sh_hit_none);
    EXPECT_EQ(H(360, 60, true).kind, sh_hit_none);
    // The Multiple icon of row 21 lies on slot 8.
    EXPECT_EQ(H(rov_rows[21].tab.ixpos + 3, rov_rows[21].tab.iypos + 3).n, 8);
}

class Click : public ::testing::Test {
protected:
    void SetUp() override { sh_init(st); }
    sh_result click(int x, int y, bool shift = false) {
        return sh_click(st, f.ui(st), x, y, shift);
    }
    wv_program pg;
    sh_state st{pg};
    fake_ui f;
};

TEST_F(Click, IconOpensTheEditorWithItsRow) {
    click(10, 10);
    ASSERT_EQ(f.editors.size(), 1u);
    EXPECT_EQ(f.editors[0], 0);
    EXPECT_EQ(f.state_algomod_at_editor, 0);
    click(360, 90);
    EXPECT_EQ(f.editors.back(), 22);
    EXPECT_EQ(st.icontim, 5000000 / 11025);  // the icon timer restarts after the editor
}

TEST_F(Click, SamplingRowWithoutSampleDoesNothing) {
    click(rov_rows[6].tab.ixpos + 1, rov_rows[6].tab.iypos + 1);
    click(rov_rows[20].tab.ixpos + 1, rov_rows[20].tab.iypos + 1);
    EXPECT_TRUE(f.editors.empty());
    sh_command(st, f.ui(st), 9);
    sh_command(st, f.ui(st), 25);
    EXPECT_TRUE(f.editors.empty());
    EXPECT_EQ(st.algomod, 1);
    // With a sample, a sampling row opens once its routine exists.
    st.pg.smploaded = true;
    click(rov_rows[6].tab.ixpos + 1, rov_rows[6].tab.iypos + 1);
    sh_command(st, f.ui(st), 25);
    std::vector<int> want;
    for (int r : {6, 20})
        if (rov_row_computed(r)) want.push_back(r);
    EXPECT_EQ(f.editors, want);
}

TEST_F(Click, MultiplePlayOpensFromItsSlotAndItsMenuItem) {
    const int m = rov_row_multiple();
    EXPECT_FALSE(sh_menu_state(st, rov_rows[m].tab.mitem).grayed);
    click(sh_slot_x(8) + 5, 60);
    sh_command(st, f.ui(st), rov_rows[m].tab.mitem);
    EXPECT_EQ(f.editors, (std::vector<int>{m, m}));
    EXPECT_EQ(st.algomod, m);
    EXPECT_TRUE(f.messages.empty());
}

TEST_F(Click, RowsWithoutARoutineCannotBeStarted) {
    for (int r = 0; r < rov_natab; ++r) {
        if (rov_row_computed(r) || rov_row(r).empty || rov_row(r).multiple) continue;
        click(rov_rows[r].tab.ixpos + 1, rov_rows[r].tab.iypos + 1);
        sh_command(st, f.ui(st), rov_rows[r].tab.mitem);
        EXPECT_TRUE(sh_menu_state(st, rov_rows[r].tab.mitem).grayed) << r;
    }
    EXPECT_TRUE(f.editors.empty());
    EXPECT_TRUE(f.messages.empty());
    // A setting whose own algorithm cannot play is refused with a word (a
    // row that has no routine, while there is one).
    int none = -1;
    for (int r = 0; r < rov_natab && none < 0; ++r)
        if (!rov_row_computed(r) && !rov_row(r).empty && !rov_row(r).multiple) none = r;
    if (none < 0) return;
    st.fg.s.rov_stdalg = static_cast<int16_t>(none);
    click(sh_slot_x(6) + 5, 60);
    EXPECT_TRUE(f.editors.empty());
    ASSERT_EQ(f.messages.size(), 1u);
    EXPECT_NE(f.messages[0].text.find("is not available"), std::string::npos);
}

TEST_F(Click, ShiftClickShowsHelpOnly) {
    click(10, 10, true);
    click(395, 20, true);
    click(rov_rows[6].tab.ixpos + 1, rov_rows[6].tab.iypos + 1, true);  // help also without a sample
    EXPECT_EQ(f.helps, (std::vector<std::string>{"RANOVSP0", "RANOVSP22", "RANOVSP6"}));
    EXPECT_TRUE(f.editors.empty());
    st.fg.s.rov_stdalg = 13;
    click(sh_slot_x(6) + 2, 50, true);
    click(sh_slot_x(8) + 2, 50, true);
    EXPECT_EQ(f.helps[3], "RANOVSP13");
    EXPECT_EQ(f.helps[4], "RANOVSP21");
    EXPECT_TRUE(f.editors.empty());
}

TEST_F(Click, ToolbarHelpTexts) {
    click(sh_slot_x(1), 45, true);
    ASSERT_EQ(f.messages.size(), 1u);
    EXPECT_EQ(f.messages[0].caption, "Load ...");
    EXPECT_EQ(f.messages[0].text, "");
    EXPECT_EQ(sh_slot_help(st, 4).caption, "Calculator ...");
    EXPECT_EQ(sh_slot_help(st, 4).text,
              "Show Period Length of x[i+1] = (m*x[i]+1) MOD n\nor fix another Modulo value n for "
              "Pitch (Pit804),\nTones (Ton1001), or Panning (Pan700).");
    // The rate a recording would take: the output rate (11025 Hz until
    // something played) when it is one of the three, else the last recording's.
    EXPECT_EQ(sh_slot_help(st, 7).text, "(11025 Hz, 32768 Bytes)");
    st.opt.autotempo = true;
    st.opt.blowopt = 5;
    EXPECT_EQ(sh_slot_help(st, 7).text, "(11025 Hz, 131072 Bytes)");
    st.pg.ws.wvFormat.nSamplesPerSec = 27781;
    EXPECT_EQ(sh_slot_help(st, 7).text, "(22050 Hz, 131072 Bytes)");
    st.pg.ws.wvFormat.nSamplesPerSec = 44100;
    st.opt.autotempo = false;
    EXPECT_EQ(sh_slot_help(st, 7).text, "(44100 Hz, 32768 Bytes)");
    st.pg.ws.setnr = 2;
    st.fg.s.rov_p[16 * 2 + 13] = 36;
    EXPECT_EQ(sh_slot_help(st, 9).caption, "Harddisc Recording ...");
    EXPECT_EQ(sh_slot_help(st, 9).text, "Start (22050 Hz)");
    st.fg.s.rov_p[16 * 2 + 13] = 999;  // a damaged rate index stays inside the table
    EXPECT_EQ(sh_slot_help(st, 9).text, "Start (50000 Hz)");
    fake_recording(st.pg, true);
    EXPECT_EQ(sh_slot_help(st, 9).text, "Stop");
    EXPECT_EQ(sh_slot_help(st, 10).text, "Start");
    fake_mixing(st.pg, true);
    EXPECT_EQ(sh_slot_help(st, 10).text, "Stop");
}

TEST_F(Click, ToolbarActions) {
    st.fg.s.rov_stdalg = 5;
    click(sh_slot_x(6) + 5, 60);
    EXPECT_EQ(f.editors, (std::vector<int>{5}));
    // Slots of functions not built yet do nothing.
    for (int k : {1, 2, 4, 5, 9, 10}) click(sh_slot_x(k) + 5, 60);
    EXPECT_EQ(f.editors.size(), 1u);
    EXPECT_TRUE(f.messages.empty());
    EXPECT_TRUE(f.dialogs.empty());
    // Slot 7 records a sample; without an input device it says so.
    click(sh_slot_x(7) + 5, 60);
    ASSERT_EQ(f.messages.size(), 1u);
    EXPECT_EQ(f.messages[0].caption, "wave recorder checking ...");
    EXPECT_EQ(f.messages[0].text, "wave input device not available");
}

TEST_F(Click, ExitSlotAsksAndQuitsOnYes) {
    f.answers = {sh_ans_no};
    EXPECT_EQ(click(sh_slot_x(3) + 1, 50), sh_res_none);
    f.answers = {sh_ans_yes};
    EXPECT_EQ(click(sh_slot_x(3) + 1, 50), sh_res_quit);
    ASSERT_EQ(f.messages.size(), 2u);
    EXPECT_EQ(f.messages[1].text, "Thank you for using the WAVE TESSELLON!\nTerminate now?");
}
