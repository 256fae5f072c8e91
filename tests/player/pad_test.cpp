#include <gtest/gtest.h>

#include <string>

#include "engine/plyov.h"
#include "engine/scales.h"
#include "player/pad.h"

namespace {

// The pad on a playing row-0 state with eight voices, as the setting editor
// prepares it.
struct PadTest : ::testing::Test {
    rov_state st{};
    wvpl_par w;
    pad_dlg d;

    void SetUp() override {
        rov_state_init(st);
        rov_default_setting(st.s);
        rov_open(&st.h, false, false, 8);
        rov_start(&st.h, 0, 0, 3);
        open(0);
    }
    void open(int row, const int16_t* smp = nullptr, int32_t len = 0) {
        w = wvpl_par{};
        pad_prepare(w, row, &st.h, smp, len);
        pad_open(d, &w, 0);
    }
    rov_tonephase& voice(int k) { return st.t[k]; }
    std::string label(int i) { return d.view.label[i]; }
};

}  // namespace

TEST_F(PadTest, OpeningShowsTheSlidersAndButtons) {
    EXPECT_EQ(w.wvpl_p[0], 96);
    EXPECT_EQ(label(0), "96");
    EXPECT_EQ(label(1), "8");
    EXPECT_EQ(label(5), "128");
    EXPECT_EQ(st.g.rov_volshift, 12);
    EXPECT_EQ(w.wvpl_p[4], 4);
    EXPECT_EQ(label(4), "24 dB");
    EXPECT_EQ(d.view.max[4], 6);
    EXPECT_EQ(d.view.max[0], 256);
    EXPECT_STREQ(d.view.env, "&Envelope");
    EXPECT_STREQ(d.view.mid, "&Medium");
    EXPECT_STREQ(d.view.qtz, "&Halftones");
    EXPECT_EQ(w.wvpl_sl, 0);
    open(7);  // a sampling row without a sample stays silent
    EXPECT_EQ(w.wvpl_sl, -1);
    pad_click(d, 100, 100);
    EXPECT_EQ(d.view.voice, -1);
}

TEST_F(PadTest, ClickPitchesByRowRangeAndPitchMode) {
    pad_click(d, 0, 0);  // Halftones, Medium: note 12 twice
    EXPECT_EQ(w.wvpl_pit, 130);
    EXPECT_EQ(voice(0).rov_wincr, 130 * 8);  // row 0 plays the pitch unscaled
    pad_click(d, 100, 395);
    EXPECT_EQ(w.wvpl_pit, tonnotes[51] * 2);
    pad_range(d);
    EXPECT_STREQ(d.view.mid, "Lo&w");
    pad_click(d, 100, 10);
    EXPECT_EQ(w.wvpl_pit, tonnotes[13]);
    pad_range(d);
    EXPECT_STREQ(d.view.mid, "&High");
    pad_click(d, 100, 0);
    EXPECT_EQ(w.wvpl_pit, tonnotes[12] * 4);
    pad_pitq(d);
    EXPECT_STREQ(d.view.qtz, "&FreePitch");
    pad_click(d, 100, 77);
    EXPECT_EQ(w.wvpl_pit, 4 * 77);
    // Rows far below the table stay on its last note, never the end mark.
    pad_pitq(d);
    pad_pitq(d);
    pad_pitq(d);
    EXPECT_STREQ(d.view.qtz, "&Halftones");
    pad_click(d, 100, 2000);
    EXPECT_EQ(w.wvpl_pit, tonnotes[60] * 4);
    // Other rows scale the pitch.
    open(1);
    pad_click(d, 100, 0);
    ASSERT_GE(d.view.voice, 0);
    EXPECT_EQ(voice(d.view.voice).rov_wincr, (130 * 131 + 7) / 16);
}

TEST_F(PadTest, EnvelopeModeExtremesAndLength) {
    pad_click(d, 0, 50);  // no attack: decay from E - 1
    EXPECT_EQ(d.view.voice, 0);
    EXPECT_EQ(voice(0).rov_eincr, 0);
    EXPECT_EQ(voice(0).rov_edecr, 256 * 8 / 128);
    EXPECT_EQ(voice(0).rov_ephas, 2);
    EXPECT_EQ(voice(0).rov_ecurr, 127);
    pad_click(d, 256, 50);  // no decay
    EXPECT_EQ(d.view.voice, 1);
    EXPECT_EQ(voice(1).rov_edecr, 0);
    EXPECT_EQ(voice(1).rov_eincr, 16);
    EXPECT_EQ(voice(1).rov_ephas, 1);
    EXPECT_EQ(voice(1).rov_ecurr, 1);
    EXPECT_EQ(w.wvpl_env, 256);
    w.wvpl_p[1] = 0;  // Length 0: nothing starts
    pad_click(d, 128, 50);
    EXPECT_EQ(d.view.voice, -1);
    EXPECT_EQ(voice(2).rov_ephas, 0);
    // Rows 2 and 5 count 32 envelope stages.
    open(2);
    pad_click(d, 0, 50);
    EXPECT_EQ(voice(2).rov_ecurr, 31);
    EXPECT_EQ(voice(2).rov_edecr, 256 * 8 / 32);
}

TEST_F(PadTest, PlayModesRestoreTheSliderScaleModesKeepIt) {
    pad_mode(d);
    pad_mode(d);  // Envelope -> Panning -> Volume
    EXPECT_STREQ(d.view.env, "&Volume");
    EXPECT_EQ(label(0), "(96)");
    pad_click(d, 10, 50);
    EXPECT_EQ(w.wvpl_p[0], 96);
    EXPECT_EQ(voice(0).rov_left, (64 - 32) * (10 + 32) / 64);
    pad_mode(d);
    pad_mode(d);
    pad_mode(d);  // Detune
    pad_click(d, 0, 0);  // Panorama stays 128: the tone is centred
    pad_mode(d);
    pad_mode(d);  // Panning
    EXPECT_EQ(label(5), "(128)");
    pad_click(d, 0, 50);
    EXPECT_EQ(voice(2).rov_right, 0);  // fully left
    EXPECT_EQ(voice(2).rov_left, 128);
    pad_click(d, 256, 50);
    EXPECT_EQ(voice(3).rov_right, 128);  // fully right
    EXPECT_EQ(voice(3).rov_left, 0);
    EXPECT_EQ(w.wvpl_p[5], 128);
    pad_pitq(d);
    pad_pitq(d);  // HT Scale: the click's x stays in the slider
    pad_click(d, 200, 50);
    EXPECT_EQ(w.wvpl_p[5], 200);
}

TEST_F(PadTest, ModeButtonMovesTheMark) {
    pad_mode(d);  // Envelope -> Panning
    EXPECT_EQ(label(5), "(128)");
    for (int i = 0; i < 4; ++i) pad_mode(d);  // -> Volume, Length, Pulsewidth, Detune
    EXPECT_STREQ(d.view.env, "De&tune");
    EXPECT_EQ(label(3), "(8)");
    EXPECT_EQ(label(5), "128");
    pad_mode(d);  // Detune -> Envelope: no slider marked
    EXPECT_STREQ(d.view.env, "&Envelope");
    for (int i = 0; i < 6; ++i) EXPECT_EQ(label(i).find('('), std::string::npos) << i;
}

TEST_F(PadTest, SlidersAndDigitalVolume) {
    pad_scroll(d, 4, rov_sc_pagedown, 0);
    pad_scroll(d, 4, rov_sc_thumbtrack, 6);
    EXPECT_EQ(st.g.rov_volshift, 10);
    EXPECT_EQ(label(4), "36 dB");
    pad_scroll(d, 4, rov_sc_pagedown, 0);  // held at 6
    EXPECT_EQ(w.wvpl_p[4], 6);
    pad_scroll(d, 4, rov_sc_thumbtrack, 0);
    EXPECT_EQ(st.g.rov_volshift, 16);
    EXPECT_EQ(label(4), "0 dB");
    pad_scroll(d, 4, rov_sc_pageup, 0);
    EXPECT_EQ(w.wvpl_p[4], 0);
    pad_scroll(d, 0, rov_sc_pagedown, 0);
    EXPECT_EQ(w.wvpl_p[0], 112);
    pad_scroll(d, 0, rov_sc_thumbpos, 300);
    EXPECT_EQ(w.wvpl_p[0], 256);
    pad_scroll(d, 1, rov_sc_pageup, 0);
    EXPECT_EQ(w.wvpl_p[1], 0);
    pad_scroll(d, 1, rov_sc_linedown, 0);
    EXPECT_EQ(label(1), "1");
    EXPECT_EQ(d.view.pos[1], 1);
}

TEST_F(PadTest, VoicesAreTakenOnlyWhenIdleAndNeverBeyondSixteen) {
    for (int i = 0; i < 8; ++i) {
        pad_click(d, 128, 50);
        EXPECT_EQ(d.view.voice, i);
    }
    pad_click(d, 128, 50);  // all rov_maxvoc voices sound
    EXPECT_EQ(d.view.voice, -1);
    st.g.rov_maxvoc = 64;
    for (int i = 8; i < 16; ++i) pad_click(d, 128, 50);
    EXPECT_EQ(voice(15).rov_ephas, 1);
    pad_click(d, 128, 50);
    EXPECT_EQ(d.view.voice, -1);
    EXPECT_EQ(voice(16).rov_ephas, 0);
    EXPECT_EQ(d.view.played, 16);
}

TEST_F(PadTest, ScaleModesWriteTheRunningScaleOrPhrase) {
    pad_pitq(d);
    pad_pitq(d);  // HT Scale
    pad_click(d, 256, 0);
    EXPECT_EQ(st.g.rov_toncur[15], 130);
    EXPECT_EQ(d.view.voice, -1);  // no tone
    ASSERT_EQ(d.view.lines.size(), 2u);
    EXPECT_EQ(d.view.lines[0].x0, 256);
    EXPECT_EQ(d.view.lines[1].y0, 1);
    EXPECT_TRUE(d.view.lines[1].red);
    pad_pitq(d);  // FreeScale: a pitch below 32 becomes 0
    pad_range(d);
    pad_range(d);  // High
    pad_click(d, 0, 7);
    EXPECT_EQ(st.g.rov_toncur[0], 0);
    open(9);  // a phrase row
    pad_pitq(d);
    pad_pitq(d);
    pad_click(d, 40, 0);
    EXPECT_EQ(st.g.rov_phrase[2], 130);
}

TEST_F(PadTest, OutsideTheAreaDrawsStripes) {
    pad_click(d, 300, 10);
    EXPECT_EQ(d.view.voice, -1);
    EXPECT_EQ(d.view.lines.size(), 40u + 17u);  // and the rows 1, 3, 6, 8, 10 of each octave
    pad_pitq(d);
    pad_pitq(d);
    pad_click(d, -1, 10);
    EXPECT_EQ(d.view.lines.size(), 40u + 17u + 16u);
}

TEST(PadHelp, ByPlace) {
    EXPECT_EQ(pad_help(140, 8).caption, "Volume");
    EXPECT_EQ(pad_help(179, 16).caption, "Length");
    EXPECT_EQ(pad_help(180, 10).caption, "Pulsewidth");
    EXPECT_EQ(pad_help(219, 10).caption, "Detune");
    EXPECT_EQ(pad_help(220, 10).caption, "Digital Volume");
    EXPECT_EQ(pad_help(260, 10).caption, "Panorama");
    EXPECT_EQ(pad_help(261, 10).caption, "Player Area");
    EXPECT_EQ(pad_help(200, 108).caption, "Pitch alignment");
    EXPECT_EQ(pad_help(200, 130).caption, "effect of horizontal position");
    EXPECT_EQ(pad_help(255, 110).caption, "pitch level");
    EXPECT_EQ(pad_help(10, 10).caption, "Player Area");
    // The names under the sliders have their sliders' help.
    EXPECT_EQ(pad_help(225, 104).caption, "Digital Volume");
    EXPECT_EQ(pad_help(145, 101).text, pad_part_help(0).text);
    EXPECT_EQ(pad_help(145, 99).caption, "Player Area");
    EXPECT_STREQ(pad_slider_name(5), "Pan");
}

TEST(Plyov, SamplingRows) {
    rov_state st{};
    rov_state_init(st);
    rov_default_setting(st.s);
    rov_open(&st.h, false, false, 8);
    static int16_t smp[10000];
    wvpl_par w;
    pad_prepare(w, 6, &st.h, smp, 10000);
    w.wvpl_env = 128;
    w.wvpl_pit = 300;
    st.g.rov_currp[7] = 9;
    st.g.rov_currp[8] = 0;
    ASSERT_EQ(plyov(&w), 0);
    EXPECT_EQ(st.t[0].rov_sleng, 1000u * 256);
    EXPECT_EQ(st.t[0].rov_sbeg, 128u * 10000 / 257);
    EXPECT_EQ(st.t[0].rov_sincr, 300);
    EXPECT_EQ(st.t[0].rov_eincr, 128 * 8 / 32);
    EXPECT_EQ(st.t[0].rov_prev, 1);
    w.wvpl_alg = 15;  // a loop from the table, with detune
    st.g.rov_currp[7] = 112;
    ASSERT_EQ(plyov(&w), 1);
    EXPECT_EQ(st.t[1].rov_sleng, (1024u + 1) * 256);
    EXPECT_EQ(st.t[1].rov_prev, 1);
    w.wvpl_alg = 20;
    st.g.rov_currp[8] = 3;
    ASSERT_EQ(plyov(&w), 2);
    EXPECT_EQ(st.t[2].rov_sbeg, 6u);
    EXPECT_EQ(st.t[2].rov_prev, 0);
    // Damaged running values keep the loop inside the sample.
    w.wvpl_alg = 7;
    st.g.rov_currp[7] = -1;
    st.g.rov_currp[8] = 0;
    ASSERT_EQ(plyov(&w), 3);
    EXPECT_LE(st.t[3].rov_sleng, 10000u * 256);
    w.wvpl_smp = nullptr;  // no sample: nothing
    EXPECT_EQ(plyov(&w), -1);
}
