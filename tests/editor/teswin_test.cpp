#include <gtest/gtest.h>

#include <string>

#include "editor/teswin.h"

namespace {

std::string caption_at(int x, int y, int row = 0, bool rd = true, bool sca = false, int setnr = 0) {
    rov_helpbox hb;
    if (!teswinhlp(hb, row, x, y, rd, sca, setnr, false)) return "-";
    return hb.caption;
}

}  // namespace

TEST(HelpRegions, SlotLabelsAndColumnHeads) {
    EXPECT_EQ(caption_at(10, 10), "Voices");
    EXPECT_EQ(caption_at(74, 19), "Voices");
    EXPECT_EQ(caption_at(74, 20), "Envelope");
    EXPECT_EQ(caption_at(40, 139), "Waveform");
    EXPECT_EQ(caption_at(9, 50), "-");
    EXPECT_EQ(caption_at(75, 50), "-");  // the scroll bars
    EXPECT_EQ(caption_at(40, 140), "-");
    EXPECT_EQ(caption_at(175, 10), "Rate");
    EXPECT_EQ(caption_at(204, 29), "Rate");
    EXPECT_EQ(caption_at(205, 10), "Volume");
    EXPECT_EQ(caption_at(264, 29), "Chg.Dly");
    EXPECT_EQ(caption_at(265, 20), "-");
    EXPECT_EQ(caption_at(200, 30), "-");
    EXPECT_EQ(caption_at(10, 10, 22), std::string(16, ' '));

    rov_helpbox hb;
    ASSERT_TRUE(teswinhlp(hb, 0, 20, 30, true, false, 0, false));
    EXPECT_EQ(hb.text,
              "Generally the basic pitch of the soundscape\n(coarse adjustment in steps of "
              "halftones)");
}

TEST(HelpRegions, ButtonColumnSwitchTogglesStatusAndPlayButtons) {
    EXPECT_EQ(caption_at(167, 29), "-");
    EXPECT_EQ(caption_at(180, 30), "numbered buttons");
    EXPECT_EQ(caption_at(185, 109), "numbered buttons");
    EXPECT_EQ(caption_at(180, 110), "V button");
    EXPECT_EQ(caption_at(180, 119), "V button");
    EXPECT_EQ(caption_at(180, 120), "Z or Q button");
    EXPECT_EQ(caption_at(180, 129), "Z or Q button");
    EXPECT_EQ(caption_at(186, 50), "-");
    EXPECT_EQ(caption_at(170, 140), "&Saw");
    EXPECT_EQ(caption_at(194, 149, 4), "&Sync");
    EXPECT_EQ(caption_at(10, 152), "Tonality button");
    EXPECT_EQ(caption_at(49, 159), "Tonality button");
    EXPECT_EQ(caption_at(50, 152), "Read button");
    EXPECT_EQ(caption_at(99, 152), "Read button");
    EXPECT_EQ(caption_at(100, 152), "-");
    EXPECT_EQ(caption_at(105, 144), "message line");
    EXPECT_EQ(caption_at(169, 150), "message line");
    EXPECT_EQ(caption_at(170, 144), "&Saw");  // the switch region comes first
    EXPECT_EQ(caption_at(170, 150), "Start, Stop, Pause, Exit");
    EXPECT_EQ(caption_at(195, 144), "Start, Stop, Pause, Exit");
    EXPECT_EQ(caption_at(229, 159), "Start, Stop, Pause, Exit");
    EXPECT_EQ(caption_at(230, 150), "-");
    EXPECT_EQ(caption_at(104, 150), "-");
}

TEST(HelpTexts, NumberedButtonsByMode) {
    rov_helpbox hb;
    teswinhlp(hb, 12, 180, 50, true, false, 0, false);
    EXPECT_EQ(hb.text, "Select another soundscape");
    teswinhlp(hb, 12, 180, 50, false, false, 0, false);
    EXPECT_EQ(hb.text, "Duplicate soundscape parameters");
    teswinhlp(hb, 12, 180, 50, true, true, 0, false);
    EXPECT_EQ(hb.text, "assigning 8 fixed pitch values and 4 chords \nto the soundscape");
    teswinhlp(hb, 12, 180, 50, false, true, 0, false);
    EXPECT_EQ(hb.text.substr(0, 36), "viewing or editing pitch and chords:");
    teswinhlp(hb, 10, 180, 50, false, true, 7, false);
    EXPECT_EQ(hb.text, "viewing or editing the main phrase \n(basic pitch is 262/f1)");
    teswinhlp(hb, 10, 180, 50, false, true, 6, false);
    EXPECT_EQ(hb.text, "viewing or editing a user defined scale");
}

TEST(HelpTexts, TonalityButtonNamesParameter4) {
    rov_helpbox hb;
    teswinhlp(hb, 0, 20, 155, true, false, 0, false);
    EXPECT_EQ(hb.text, "assign, view or edit Tonality buffer\ninstead of soundscape parameters");
    teswinhlp(hb, 19, 20, 155, true, false, 0, false);
    EXPECT_EQ(hb.text, "assign, view or edit LFO1speed buffer\ninstead of soundscape parameters");
    teswinhlp(hb, 0, 60, 155, true, false, 0, false);
    EXPECT_EQ(hb.text, "read/assign\ninstead of duplicate/edit");
    teswinhlp(hb, 6, 172, 145, true, false, 0, false);
    EXPECT_EQ(hb.caption, "Loop      &S");
    EXPECT_EQ(hb.text, "Loop playing is possible only if switched on");
}

TEST(MorphFinishing, LabelsAndTheChgDlyHeading) {
    rov_state st{};
    rov_state_init(st);
    for (int i = 0; i < 160; ++i) st.s.rov_p[i] = static_cast<int16_t>(i);
    for (int r = 0; r < 13; ++r) st.g.rov_currp[r] = -1;
    EXPECT_TRUE(teswinmph(&st.h, 2, 10, 10));
    EXPECT_EQ(st.g.rov_currp[0], 32);
    EXPECT_EQ(st.g.rov_currp[1], -1);
    EXPECT_TRUE(teswinmph(&st.h, 2, 74, 139));
    EXPECT_EQ(st.g.rov_currp[12], 44);
    EXPECT_FALSE(teswinmph(&st.h, 2, 75, 50));
    EXPECT_FALSE(teswinmph(&st.h, 2, 234, 20));
    EXPECT_FALSE(teswinmph(&st.h, 2, 235, 30));
    EXPECT_EQ(st.g.rov_currp[5], -1);
    EXPECT_TRUE(teswinmph(&st.h, 3, 264, 29));
    for (int r = 0; r < 13; ++r) EXPECT_EQ(st.g.rov_currp[r], 48 + r);
    EXPECT_EQ(st.g.rov_currp[12], 60);
}
