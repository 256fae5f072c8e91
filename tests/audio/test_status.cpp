// The status line's texts and level discs, without a cycle.
#include <gtest/gtest.h>

#include "audio/status.h"

namespace {

std::string timetext(int32_t n, int32_t bps, int32_t bufsize) {
    char t[32];
    buftotime(t, sizeof t, n, bps, bufsize);
    return t;
}

}  // namespace

TEST(BufToTime, TheThreeFormats) {
    // 44100 bytes a second, 32768-byte buffers, 100 buffers: 7198 hundredths,
    // one minute and 11.98 seconds.
    EXPECT_EQ(timetext(100, 44100, 32768), "01:11.98");
    EXPECT_EQ(timetext(50, 44100, 32768), "35.99");
    // With one byte a buffer and 100 bytes a second a buffer is a hundredth.
    EXPECT_EQ(timetext(6104, 100, 1025), "01:01.04");
    EXPECT_EQ(timetext(372304, 100, 1025), "001:02:03.04");  // 1 h 2 min 3.04 s
    EXPECT_EQ(timetext(0, 44100, 32768), "00.00");
}

TEST(BufToTime, NoOverflowOrDivisionByZero) {
    // Half-megabyte buffers over a long play stay exact past 32 bits:
    // 2000000 buffers of 523264 bytes at 176400 bytes a second.
    const int64_t t = int64_t{2000000} / 1764 * 523264 + int64_t{523264} * (2000000 % 1764) / 1764;
    char want[32];
    std::snprintf(want, sizeof want, "%03lld:%02lld:%02lld.%02lld", static_cast<long long>(t / 360000),
                  static_cast<long long>(t / 6000 % 60), static_cast<long long>(t / 100 % 60),
                  static_cast<long long>(t % 100));
    EXPECT_EQ(timetext(2000000, 176400, 524288), want);
    // A rate below 100 bytes a second counts as one byte a hundredth.
    EXPECT_EQ(timetext(5, 50, 1025), "00.05");
}

TEST(LevelColour, Boundaries) {
    EXPECT_EQ(wv_level_colour(0), 0x000000u);
    EXPECT_EQ(wv_level_colour(1), 0x0000ffu);
    EXPECT_EQ(wv_level_colour(2047), 0x0000ffu);
    EXPECT_EQ(wv_level_colour(2048), 0x00ff00u);
    EXPECT_EQ(wv_level_colour(8191), 0x00ff00u);
    EXPECT_EQ(wv_level_colour(8192), 0xffff00u);
    EXPECT_EQ(wv_level_colour(20479), 0xffff00u);
    EXPECT_EQ(wv_level_colour(20480), 0xff0000u);
    EXPECT_EQ(wv_level_colour(29999), 0xff0000u);
    EXPECT_EQ(wv_level_colour(30000), 0xffffffu);
    EXPECT_EQ(wv_level_colour(32768), 0xffffffu);
}

TEST(StatusUpdate, ModesAndDiscs) {
    wv_options o;
    wv_statusline out;
    wv_levelset lv;
    wv_statusin in;
    in.opt = &o;
    in.setnr = 2;
    in.tonr = 3;
    in.levels = &lv;
    int cuup = 1;

    o.dispmode = wv_disp_credit;
    o.wvomeasure = true;
    in.charge = 37;
    in.bufidle = 180;
    in.bufidle2 = 30;
    in.InCount = 4;
    wv_status_update(out, in, cuup);
    EXPECT_EQ(out.text, "set 2, scal 3, CPU 37 buf 180/30/4");
    EXPECT_EQ(cuup, 1);
    // Lost sound is never kept quiet.
    in.lost = 2048;
    wv_status_update(out, in, cuup);
    EXPECT_EQ(out.text, "set 2, scal 3, CPU 37 buf 180/30/4, lost 2048 frames");
    in.lost = 0;
    wv_status_update(out, in, cuup);

    // "&Off" keeps the last text.
    o.dispmode = wv_disp_off;
    const unsigned seq = out.seq;
    wv_status_update(out, in, cuup);
    EXPECT_EQ(out.text, "set 2, scal 3, CPU 37 buf 180/30/4");
    EXPECT_EQ(out.seq, seq);

    // Levels: 30000 white, a negative level (no mix file) draws nothing.
    o.dispmode = wv_disp_alllevels;
    lv.lev[0] = 30000;
    lv.lev[7] = -1;
    wv_status_update(out, in, cuup);
    EXPECT_EQ(out.text, "setting 2, scale 3, lev 30000");
    ASSERT_EQ(out.ndisc, 1);
    EXPECT_EQ(out.disc[0].rgb, 0xffffffu);
    EXPECT_EQ(out.disc[0].x0, 5);
    EXPECT_EQ(out.disc[0].x1, 25);
    EXPECT_EQ(out.disc[0].y0, 5);
    EXPECT_EQ(out.disc[0].y1, 25);
    // Tracks computed in this turn: slots 2..5, then the mix file at slot 7.
    lv.tracks = true;
    lv.lev[2] = 0;
    lv.lev[3] = 29999;
    lv.lev[4] = 100;
    lv.lev[5] = 9000;
    lv.lev[7] = 2048;
    wv_status_update(out, in, cuup);
    ASSERT_EQ(out.ndisc, 6);
    EXPECT_EQ(out.disc[1].rgb, 0x000000u);
    EXPECT_EQ(out.disc[2].rgb, 0xff0000u);
    EXPECT_EQ(out.disc[2].x0, 5 + 25 * 3);
    EXPECT_EQ(out.disc[5].x0, 5 + 25 * 7);
    EXPECT_EQ(out.disc[5].rgb, 0x00ff00u);
    // Another mode leaves no discs.
    o.dispmode = wv_disp_credit;
    wv_status_update(out, in, cuup);
    EXPECT_EQ(out.ndisc, 0);
}

TEST(StatusUpdate, ProgramChangeKeepsADamagedScaleNumberInRange) {
    wv_options o;
    o.dispmode = wv_disp_buffer;
    o.plchdist = 1;
    int8_t tonindx[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 99};
    wv_statusline out;
    wv_statusin in;
    in.opt = &o;
    in.setnr = 8;
    in.tonindx = tonindx;
    int cuup = 1;
    wv_status_update(out, in, cuup);
    EXPECT_EQ(in.setnr, 9);
    EXPECT_EQ(in.tonr, 0);
    EXPECT_EQ(out.text, "setting 9, scale 0, buffers 1");
    EXPECT_EQ(cuup, 2);
    // plchdist 0: no changes.
    o.plchdist = 0;
    wv_status_update(out, in, cuup);
    EXPECT_EQ(in.setnr, 9);
}
