// The modulo calculator.
#include <gtest/gtest.h>

#include <set>

#include "shell/calc.h"
#include "shell/commands.h"

TEST(ModuloCalc, PeriodSearch) {
    // x runs 2, 3, ..., 119, 0, 1: x[0] comes back only on step n.
    EXPECT_EQ(sh_calc_period(1, 1, 120), "***** period length 120");
    // x = 3, 7, 7, ...: never back to 5; the cycle reached has length 1.
    EXPECT_EQ(sh_calc_period(5, 2, 8), "***** period length 1");
    // A full cycle that returns before n: m = 5, n = 16 has period 16 only
    // when it reaches n; m = 3, n = 8 from 1: 4, 5, 0, 1 -> 4.
    EXPECT_EQ(sh_calc_period(1, 3, 8), "period length 4");
}

TEST(ModuloCalc, OpeningAndScrolling) {
    sh_calc c;
    sh_calc_open(c);
    EXPECT_EQ(sh_calc_text(c, sh_calc_x0), "x0=1");
    EXPECT_EQ(sh_calc_text(c, sh_calc_m), "m=1");
    EXPECT_EQ(sh_calc_text(c, sh_calc_n), "n=120");
    EXPECT_EQ(c.result, "***** period length 120");
    // Steps 1 and 32, clamped to 1..n.
    sh_calc_scroll(c, sh_calc_x0, pd_pagedown, 0);
    EXPECT_EQ(c.calcx0, 33);
    sh_calc_scroll(c, sh_calc_x0, pd_thumb, 500);
    EXPECT_EQ(c.calcx0, 120);
    sh_calc_scroll(c, sh_calc_m, pd_lineup, 0);
    EXPECT_EQ(c.calcm, 1);
    sh_calc_scroll(c, sh_calc_n, pd_thumb, 4000);
    EXPECT_EQ(c.calcn, 2048);
    EXPECT_EQ(c.maxx0, 2048);
    // Lowering n below x[0] leaves x[0] until its bar is scrolled.
    sh_calc_scroll(c, sh_calc_n, pd_thumb, 100);
    EXPECT_EQ(c.calcx0, 120);
    EXPECT_EQ(c.maxx0, 100);
    EXPECT_EQ(c.result, sh_calc_period(120, 1, 100));
    sh_calc_scroll(c, sh_calc_x0, pd_linedown, 0);
    EXPECT_EQ(c.calcx0, 100);
}

TEST(ModuloCalc, StoreButtons) {
    sh_calc c;
    sh_calc_open(c);
    sh_calc_scroll(c, sh_calc_n, pd_thumb, 1753);
    rov_setting s{};
    sh_calc_store(c, s, sh_store_pit);
    EXPECT_EQ(s.rov_pitmod, 1753);
    EXPECT_EQ(s.rov_tonmod, 0);
    sh_calc_store(c, s, sh_store_ton);
    sh_calc_store(c, s, sh_store_pan);
    EXPECT_EQ(s.rov_tonmod, 1753);
    EXPECT_EQ(s.rov_panmod, 1753);
}

TEST(CalcHelp, EveryControlHasOneAndOkTellsWhatTheToolbarIconTells) {
    std::set<std::string> captions;
    for (int c = sh_cc_x0; c <= sh_cc_ok; ++c) {
        const rov_helpbox hb = sh_calc_help(static_cast<sh_calcctl>(c));
        EXPECT_FALSE(hb.text.empty()) << c;
        EXPECT_TRUE(captions.insert(hb.caption).second) << hb.caption;
    }
    wv_program pg;
    const sh_question q = sh_slot_help(sh_state{pg}, 4);
    EXPECT_EQ(sh_calc_help(sh_cc_ok).caption, q.caption);
    EXPECT_EQ(sh_calc_help(sh_cc_ok).text, q.text);
}
