// The quad track mixer's controls on four tracks' global phases and the
// program's mix level and fuzz degree.
#include <gtest/gtest.h>

#include <sstream>

#include "engine/rows.h"
#include "player/mixer.h"

namespace {

struct MixerTest : ::testing::Test {
    int16_t shift[4] = {12, 12, 13, 0};
    int8_t stopped[4] = {0, 1, 0, 0};
    int pbmix = 50;
    int fzlev = 100;
    qumix m;
    qu_dlg d;

    // Multiple play: S0 and two banks on row 0, the third bank on the loop algorithm.
    void SetUp() override {
        m.qu_wav = "mix.wav";
        m.qu_hdrf = true;
        m.qu_pbmix = &pbmix;
        m.qu_pbmix_max = 300;
        m.qu_pbmix_page = 10;
        m.qu_fztyp = 3;
        m.qu_fzlev = &fzlev;
        m.qu_mainalg = rov_row_multiple();
        static const char* const files[4] = {"a.rov", "b.rov", "", "d.rov"};
        const int16_t algs[4] = {0, 1, 0, 3};
        for (int k = 0; k < 4; ++k)
            m.qutr[k] = {files[k], algs[k], &shift[k], &stopped[k], k + 2};
        qu_open(d, &m);
    }
};

TEST_F(MixerTest, OpeningShowsEveryTrack) {
    EXPECT_EQ(d.view.wav, "mix.wav");
    EXPECT_EQ(d.view.tr[0].name, "a.rov, setting 2");
    EXPECT_EQ(d.view.tr[2].name, ", setting 4");
    EXPECT_EQ(d.view.tr[0].pos, 4);
    EXPECT_EQ(d.view.tr[0].db, "24 dB");
    EXPECT_EQ(d.view.tr[2].db, "18 dB");
    EXPECT_TRUE(d.view.tr[0].enabled && d.view.tr[1].enabled && d.view.tr[2].enabled);
    EXPECT_FALSE(d.view.tr[3].enabled);  // the loop algorithm cannot be operated
    EXPECT_FALSE(d.view.tr[0].mute);
    EXPECT_TRUE(d.view.tr[1].mute);
    EXPECT_TRUE(d.view.file_enabled);
    EXPECT_EQ(d.view.file_label, "File level 50");
    EXPECT_EQ(d.view.file_pos, 50);
    EXPECT_TRUE(d.view.fuzz_enabled);
    EXPECT_EQ(d.view.fuzz_label, "Fuzz degree 100");
}

TEST_F(MixerTest, OutsideMultiplePlayOnlyTrackZero) {
    m.qu_mainalg = 0;
    m.qu_hdrf = false;
    m.qu_fztyp = 0;
    qu_open(d, &m);
    EXPECT_TRUE(d.view.tr[0].enabled);
    for (int k = 1; k < 4; ++k) EXPECT_FALSE(d.view.tr[k].enabled) << k;
    EXPECT_FALSE(d.view.tr[1].mute);  // a disabled box is not checked
    EXPECT_FALSE(d.view.file_enabled);
    EXPECT_FALSE(d.view.fuzz_enabled);
    EXPECT_EQ(d.view.file_label, "File level");
    // Disabled controls do nothing.
    qu_mute(d, 1);
    qu_scroll(d, 2, qu_lineright);
    qu_scroll(d, qu_sl_file, qu_pageright);
    qu_scroll(d, qu_sl_fuzz, qu_pageright);
    EXPECT_EQ(stopped[1], 1);
    EXPECT_EQ(shift[2], 13);
    EXPECT_EQ(pbmix, 50);
    EXPECT_EQ(fzlev, 100);
}

TEST_F(MixerTest, FuzzOnWithASingleAlgorithm) {
    m.qu_mainalg = 0;
    m.qu_hdrf = false;
    qu_open(d, &m);
    EXPECT_TRUE(d.view.tr[0].enabled);
    EXPECT_FALSE(d.view.tr[1].enabled);
    EXPECT_TRUE(d.view.fuzz_enabled);
}

TEST_F(MixerTest, MuteFlipsTheTrackPause) {
    qu_mute(d, 0);
    EXPECT_EQ(stopped[0], 1);
    EXPECT_TRUE(d.view.tr[0].mute);
    qu_mute(d, 1);
    EXPECT_EQ(stopped[1], 0);
    stopped[2] = 5;  // any non-zero value pauses; the box turns it off
    qu_mute(d, 2);
    EXPECT_EQ(stopped[2], 0);
    qu_mute(d, 3);
    EXPECT_EQ(stopped[3], 0);
}

TEST_F(MixerTest, TrackSlidersSetTheVolumeShift) {
    qu_scroll(d, 0, qu_thumb, 12);
    EXPECT_EQ(shift[0], 4);
    EXPECT_EQ(d.view.tr[0].db, "72 dB");
    qu_scroll(d, 0, qu_thumb, 0);
    EXPECT_EQ(shift[0], 16);
    EXPECT_EQ(d.view.tr[0].db, "0 dB");
    qu_scroll(d, 0, qu_lineleft);  // stays at 0
    EXPECT_EQ(shift[0], 16);
    qu_scroll(d, 1, qu_pageright);  // pages are single steps for tracks
    EXPECT_EQ(shift[1], 11);
    qu_scroll(d, 1, qu_lineright);
    EXPECT_EQ(shift[1], 10);
    EXPECT_EQ(d.view.tr[1].pos, 6);
    qu_scroll(d, 2, qu_thumb, 40);  // clamped to 12
    EXPECT_EQ(shift[2], 4);
    qu_scroll(d, 2, qu_other);  // the value is taken again and stored
    EXPECT_EQ(shift[2], 4);
}

TEST_F(MixerTest, FileAndFuzzSliders) {
    qu_scroll(d, qu_sl_file, qu_pageright);
    EXPECT_EQ(pbmix, 60);
    EXPECT_EQ(d.view.file_label, "File level 60");
    qu_scroll(d, qu_sl_file, qu_thumb, 400);
    EXPECT_EQ(pbmix, 300);
    qu_scroll(d, qu_sl_file, qu_lineleft);
    EXPECT_EQ(pbmix, 299);
    fzlev = 1590;
    qu_scroll(d, qu_sl_fuzz, qu_pageright);
    EXPECT_EQ(fzlev, 1600);  // clamped, not 1615
    EXPECT_EQ(d.view.fuzz_label, "Fuzz degree 1600");
    qu_scroll(d, qu_sl_fuzz, qu_pageleft);
    EXPECT_EQ(fzlev, 1575);
    qu_scroll(d, qu_sl_fuzz, qu_thumb, -3);
    EXPECT_EQ(fzlev, 0);
    qu_scroll(d, 9, qu_pageright);  // from no slider of the dialog
    EXPECT_EQ(fzlev, 0);
}

}  // namespace

TEST(MixerHelp, EachControlGetsTheLinesOfTheHelpThatSpeakOfIt) {
    const std::string mute = qu_help_of(qu_hi_mute), track = qu_help_of(qu_hi_track),
                      level = qu_help_of(qu_hi_level);
    EXPECT_EQ(qu_help_of(qu_hi_all), qu_help_text);
    EXPECT_EQ(mute.rfind("- Mute", 0), 0u) << mute;
    EXPECT_EQ(track.rfind("- The sliders adjust the digital volume.", 0), 0u) << track;
    EXPECT_NE(level.find("fuzz degree"), std::string::npos);
    // Every whole line of the help is told by some control.
    std::istringstream all(qu_help_text);
    for (std::string line; std::getline(all, line);)
        EXPECT_NE((mute + "\n" + track + "\n" + level + "\n").find(line + "\n"), std::string::npos) << line;
}
