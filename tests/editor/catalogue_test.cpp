#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "editor/catalogue.h"
#include "engine/rov.h"
#include "engine/scales.h"

namespace {

std::string name(const char* t) { return t; }
std::string help(const char* t) { return rov_helptext(t); }

std::string valtext(int slot, int v, char mark = ' ') {
    char buf[rov_valtext_max];
    rov_valtext(buf, slot, v, mark);
    return buf;
}

// A setting whose sets all hold the given values in slots 0..15.
rov_setting filled(std::initializer_list<int16_t> vals) {
    rov_setting s{};
    for (int n = 0; n < rov_nsets; ++n) {
        int i = 0;
        for (int16_t v : vals) s.rov_p[16 * n + i++] = v;
    }
    return s;
}

}  // namespace

TEST(Ranovs, RowsOutsideTheTableGetTheBlankRecord) {
    for (int row : {-1, 21, 22, 23, 127}) {
        const rov_strg* r = ranovs(row, 0, false);
        EXPECT_EQ(name(r->rName), "Empty Algorithm- doing nothing!");
        for (int s = 0; s < 16; ++s) {
            if (s == 13)
                EXPECT_EQ(name(r->rPar[s]), "Rate");
            else if (s == 14)
                EXPECT_EQ(name(r->rPar[s]), "Volume");
            else {
                EXPECT_EQ(name(r->rPar[s]), std::string(16, ' ')) << row << " slot " << s;
                EXPECT_EQ(help(r->rPar[s]), std::string(16, ' '));
            }
        }
    }
}

TEST(Ranovs, SessionNamesFollowTheParityOfTheSet) {
    const rov_strg* odd = ranovs(10, 3, false);
    const rov_strg* even = ranovs(10, 4, false);
    EXPECT_EQ(name(odd->rNumAssg), "assigning the main phrase to the soundscape");
    EXPECT_EQ(name(odd->rNumChg), "viewing or editing the main phrase \n(basic pitch is 262/f1)");
    EXPECT_EQ(name(even->rNumAssg),
              "assigning a user defined scale of \n16 pitch values to the soundscape");
    for (int s = 0; s < 16; ++s) EXPECT_EQ(odd->rPar[s], even->rPar[s]);
    EXPECT_EQ(ranovs(10, 0, false), ranovs(10, 0, true));
}

TEST(Ranovs, TimbreVariationSwapsSlot8OfRows18And19) {
    EXPECT_EQ(name(ranovs(18, 0, false)->rPar[8]), "Vibrato");
    EXPECT_EQ(name(ranovs(18, 0, true)->rPar[8]), "WaveSweep");
    EXPECT_EQ(name(ranovs(19, 0, false)->rPar[8]), "LFO2Env");
    EXPECT_EQ(name(ranovs(19, 5, true)->rPar[8]), "LFO1Pitch");
    EXPECT_EQ(name(ranovs(19, 0, true)->rPar[9]), "LFO2Beat");
    // Other rows ignore the flag.
    EXPECT_EQ(ranovs(4, 0, true), ranovs(4, 0, false));
}

TEST(Ranovs, EveryRowHasNamesHelpTextsAndTheCommonSlots) {
    for (int row = 0; row <= 20; ++row) {
        const rov_strg* r = ranovs(row, 0, false);
        ASSERT_NE(r->rName, nullptr);
        EXPECT_GT(std::strlen(r->rName), 10u);
        EXPECT_EQ(name(r->rPar[13]), "Rate");
        EXPECT_EQ(name(r->rPar[14]), "Volume");
        EXPECT_EQ(name(r->rPar[15]), "Chg.Dly");
        for (int s = 0; s < 16; ++s) {
            EXPECT_GT(std::strlen(r->rPar[s]), 0u) << row << " " << s;
            EXPECT_GT(std::strlen(rov_helptext(r->rPar[s])), 10u) << row << " " << s;
        }
        EXPECT_GT(std::strlen(rov_helptext(r->rSwi)), 10u);
        EXPECT_GT(std::strlen(r->rNumAssg), 10u);
        EXPECT_GT(std::strlen(r->rNumChg), 10u);
    }
    EXPECT_EQ(name(ranovs(0, 0, false)->rName), "Experimental - with Adjustable Panning");
    EXPECT_EQ(name(ranovs(0, 0, false)->rPar[7]), "Panning");
    EXPECT_EQ(ranovs(1, 0, false)->rPar[7], ranovs(3, 0, false)->rPar[7]);
    EXPECT_EQ(name(ranovs(20, 0, false)->rSwi), "Hold      &S");
    EXPECT_EQ(help(ranovs(4, 0, false)->rSwi),
              "If on, an oscillator sync sound \nis created, else an overdrive sound.");
    // The same name with different help texts.
    EXPECT_EQ(name(ranovs(0, 0, false)->rPar[11]), name(ranovs(6, 0, false)->rPar[11]));
    EXPECT_NE(help(ranovs(0, 0, false)->rPar[11]), help(ranovs(6, 0, false)->rPar[11]));
    EXPECT_EQ(help(ranovs(2, 0, false)->rPar[7]),
              "the random pitch part left by \"Tonality\" can \nbe mixed with another scale of "
              "16 fixed pitch values,\napproximately in steps of 1/128.");
}

TEST(Logtab, IsTheOctaveFromC1OfTheNoteTable) {
    for (int k = 0; k < 13; ++k) EXPECT_EQ(logtab[k], tonnotes[36 + k]);
    EXPECT_EQ(tonnotes[45], 440);
    EXPECT_EQ(tonnotes[61], 9999);
    EXPECT_STREQ(tonnames[36], "f1 ");
}

TEST(ValueText, ByDisplayKind) {
    EXPECT_EQ(valtext(0, 100), "6.25  ");
    EXPECT_EQ(valtext(0, 0), "0.00  ");
    EXPECT_EQ(valtext(0, 17, '*'), "1.06 *");
    EXPECT_EQ(valtext(1, 128), "50.0  ");
    EXPECT_EQ(valtext(5, 64), "50.0  ");
    EXPECT_EQ(valtext(4, 1), "0.3  ");
    EXPECT_EQ(valtext(12, 256, '*'), "100.0 *");
    EXPECT_EQ(valtext(2, 262), "262  ");
    EXPECT_EQ(valtext(15, 0, '*'), "0 *");
    EXPECT_EQ(valtext(14, 0), "100");
    EXPECT_EQ(valtext(14, 255), "0");
    EXPECT_EQ(valtext(14, 80, '*'), "68");
    EXPECT_EQ(valtext(13, 24), "11025");
    EXPECT_EQ(valtext(13, 36), "22050");
    EXPECT_EQ(valtext(13, 48), "44100");
    EXPECT_EQ(valtext(13, 50), "50000");
}

TEST(RateConversion, RateLimitsLeaveTheSetUntouched) {
    rov_setting s = filled({96, 0, 932, 192, 192, 96, 26, 4, 0, 96, 44, 7, 112, 40, 80, 0});
    const rov_setting before = s;
    ranovpd(s, 0, 1, false);  // 40 + 12 would leave the table
    EXPECT_EQ(std::memcmp(&s, &before, sizeof s), 0);

    s.rov_p[13] = 11;
    const rov_setting b2 = s;
    ranovpd(s, 0, 1, true);
    EXPECT_EQ(std::memcmp(&s, &b2, sizeof s), 0);

    s.rov_p[13] = 12;
    ranovpd(s, 0, 1, true);
    EXPECT_EQ(s.rov_p[13], 0);
    EXPECT_EQ(s.rov_p[2], 1864);

    s.rov_p[13] = 36;
    s.rov_p[2] = 932;
    ranovpd(s, 0, 1, false);
    EXPECT_EQ(s.rov_p[13], 48);
    EXPECT_EQ(s.rov_p[2], 466);
    EXPECT_EQ(s.rov_p[3], 192);  // doubled by the half step, halved again
}

TEST(RateConversion, RejectsRowsAndSetsOutsideTheTable) {
    rov_setting s = filled({96, 0, 932, 192, 192, 96, 26, 4, 0, 96, 44, 7, 112, 24, 80, 0});
    const rov_setting before = s;
    ranovpd(s, 0, 21, true);
    ranovpd(s, 0, -1, true);
    ranovpd(s, 10, 0, true);
    ranovpd(s, -1, 0, false);
    EXPECT_EQ(std::memcmp(&s, &before, sizeof s), 0);
}

TEST(RateConversion, BeatRoundTripsByControlBlockSize) {
    rov_setting s = filled({96, 0, 466, 16, 192, 96, 26, 4, 0, 96, 44, 7, 112, 24, 80, 0});
    ranovpd(s, 2, 0, true);  // 256-frame blocks
    EXPECT_EQ(s.rov_p[32 + 11], 3);
    ranovpd(s, 2, 0, false);
    EXPECT_EQ(s.rov_p[32 + 11], 7);

    ranovpd(s, 2, 6, true);  // 64-frame blocks
    EXPECT_EQ(s.rov_p[32 + 11], 2);
    EXPECT_EQ(s.rov_p[32 + 3], 16);  // row 6 has no pitch spread rule
    ranovpd(s, 2, 6, false);
    EXPECT_EQ(s.rov_p[32 + 11], 7);
    EXPECT_EQ(s.rov_p[16 + 11], 7);  // other sets untouched
}

TEST(RateConversion, SessionTreatsThePartnerSet) {
    rov_setting s = filled({96, 0, 400, 16, 192, 96, 26, 4, 0, 96, 44, 7, 112, 24, 80, 0});
    ranovpd(s, 5, 10, true);
    EXPECT_EQ(s.rov_p[80 + 2], 800);
    EXPECT_EQ(s.rov_p[64 + 2], 800);  // partner of 5 is 4
    EXPECT_EQ(s.rov_p[64 + 11], 3);
    EXPECT_EQ(s.rov_p[64 + 13], 24);  // the partner's rate stays
    EXPECT_EQ(s.rov_p[96 + 2], 400);
}

TEST(RateConversion, AlgorithmSpecificSlots) {
    rov_setting s = filled({96, 0, 466, 16, 192, 96, 26, 4, 37, 96, 44, 7, 112, 24, 80, 0});
    ranovpd(s, 0, 18, true);
    EXPECT_EQ(s.rov_p[8], 42);
    s.rov_p[8] = 37;
    ranovpd(s, 0, 18, false);
    EXPECT_EQ(s.rov_p[8], 35);

    // Row 16: EnvScaling at the middle leaves Voices alone.
    s = filled({96, 0, 466, 16, 192, 96, 26, 64, 37, 96, 44, 7, 112, 24, 80, 0});
    ranovpd(s, 0, 16, true);
    EXPECT_EQ(s.rov_p[0], 96);
    ranovpd(s, 0, 16, false);
    EXPECT_EQ(s.rov_p[0], 96);
    // EnvScaling 0: one octave (logtab[12] = 524).
    s.rov_p[7] = 0;
    ranovpd(s, 0, 16, true);
    EXPECT_EQ(s.rov_p[0], 48);
    ranovpd(s, 0, 16, false);
    EXPECT_EQ(s.rov_p[0], 96);
    // EnvScaling 128, doubling: limited to 1024.
    s.rov_p[7] = 128;
    s.rov_p[0] = 1000;
    ranovpd(s, 0, 16, true);
    EXPECT_EQ(s.rov_p[0], 1024);

    // Row 13 (Honky) and row 14 (PitRaster) piecewise scales.
    s = filled({96, 0, 466, 16, 100, 96, 26, 40, 0, 96, 44, 7, 112, 24, 80, 0});
    ranovpd(s, 0, 13, true);
    EXPECT_EQ(s.rov_p[7], 66);
    ranovpd(s, 0, 13, false);
    EXPECT_EQ(s.rov_p[7], 40);
    ranovpd(s, 0, 14, true);
    EXPECT_EQ(s.rov_p[4], 146);
    ranovpd(s, 0, 14, false);
    EXPECT_EQ(s.rov_p[4], 100);

    // Row 4 echo, row 19 LFO2Beat, row 20 LoopChng.
    s = filled({96, 0, 466, 16, 100, 100, 26, 40, 0, 100, 44, 7, 200, 24, 80, 0});
    ranovpd(s, 0, 4, false);
    EXPECT_EQ(s.rov_p[5], 100);  // above 64 the echo delay cannot double
    ranovpd(s, 0, 19, false);
    EXPECT_EQ(s.rov_p[9], 128);
    ranovpd(s, 0, 20, true);
    EXPECT_EQ(s.rov_p[12], 200);  // above 128 it stays

    // No clamping: Pitch 1024 doubled is 2048.
    s.rov_p[2] = 1024;
    s.rov_p[13] = 24;
    ranovpd(s, 0, 0, true);
    EXPECT_EQ(s.rov_p[2], 2048);
}

TEST(SampleConversionAdjust, OnlySamplingRows) {
    rov_setting s = filled({96, 0, 466, 16, 100, 100, 26, 115, 30, 100, 44, 7, 200, 24, 80, 0});
    const rov_setting before = s;
    ranovps(s, 1, false);
    ranovps(s, 21, false);
    EXPECT_EQ(std::memcmp(&s, &before, sizeof s), 0);

    ranovps(s, 15, false);  // expanded
    for (int n = 0; n < rov_nsets; ++n) {
        EXPECT_EQ(s.rov_p[16 * n + 2], 932);
        EXPECT_EQ(s.rov_p[16 * n + 3], 16);
        EXPECT_EQ(s.rov_p[16 * n + 8], 60);
        EXPECT_EQ(s.rov_p[16 * n + 7], 112);
    }
    ranovps(s, 15, true);  // compressed
    EXPECT_EQ(s.rov_p[2], 466);
    EXPECT_EQ(s.rov_p[8], 30);
    EXPECT_EQ(s.rov_p[7], 115);
    s.rov_p[7] = 126;
    ranovps(s, 15, true);
    EXPECT_EQ(s.rov_p[7], 126);

    s = filled({96, 0, 466, 16, 100, 100, 26, 115, 30, 100, 44, 7, 200, 24, 80, 0});
    ranovps(s, 7, true);
    EXPECT_EQ(s.rov_p[3], 8);
    EXPECT_EQ(s.rov_p[5], 50);
    EXPECT_EQ(s.rov_p[7], 115);
}

TEST(Ranovs, FollowsTheRowDescriptions) {
    const rov_strg* blank = ranovs(-1, 0, false);
    for (int r = 0; r < rov_natab; ++r) {
        const rov_rowdesc& d = rov_row(r);
        const rov_strg* even = ranovs(r, 0, false);
        // Every algorithm row has names; Multiple play and the empty one show the blank record.
        EXPECT_EQ(even == blank, d.multiple || d.empty) << r;
        if (even == blank) continue;
        EXPECT_EQ(ranovs(r, 1, false) != even, d.two_channels) << r;
        EXPECT_EQ(ranovs(r, 0, true) != even, d.timbre_names) << r;
        // The Beat help tells the block the routine works in.
        const std::string beat = help(even->rPar[rov_par::Beat]);
        EXPECT_EQ(beat.find("(64/") != std::string::npos, d.block == 64) << r;
    }
}
