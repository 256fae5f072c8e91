#include <gtest/gtest.h>

#include "shell/pardef.h"

#include "audio/options.h"

TEST(ParDlg, StepsAndClamping) {
    int v = 120;
    pardlg d;
    pardlg_open(d, pd_on(pdfdensmd, &v));
    pardlg_scroll(d, pd_pagedown, 0);
    EXPECT_EQ(v, 128);  // clamped, not 128 + 8
    pardlg_scroll(d, pd_linedown, 0);
    EXPECT_EQ(v, 128);
    pardlg_scroll(d, pd_pageup, 0);
    EXPECT_EQ(v, 120);
    pardlg_scroll(d, pd_lineup, 0);
    EXPECT_EQ(v, 119);
    pardlg_scroll(d, pd_thumb, 70);
    EXPECT_EQ(v, 70);
    pardlg_scroll(d, pd_thumb, 5);
    EXPECT_EQ(v, 64);
    EXPECT_EQ(pardlg_text(d), "64");
}

TEST(ParDlg, SystemMenuActsAsScrollCodes) {
    EXPECT_EQ(pardlg_sysmenu_code(pd_sys_plus), pd_linedown);
    EXPECT_EQ(pardlg_sysmenu_code(pd_sys_minus), pd_lineup);
    EXPECT_EQ(pardlg_sysmenu_code(pd_sys_inc), pd_pagedown);
    EXPECT_EQ(pardlg_sysmenu_code(pd_sys_dec), pd_pageup);
    EXPECT_EQ(pardlg_sysmenu_code(pd_sys_help), pd_other);
    // The large step of the program-change dialog is 100, its small step 10.
    int v = 0;
    pardlg d;
    pardlg_open(d, pd_on(pd_of(wv_opt_progchange), &v));
    pardlg_scroll(d, pardlg_sysmenu_code(pd_sys_inc), 0);
    pardlg_scroll(d, pardlg_sysmenu_code(pd_sys_plus), 0);
    EXPECT_EQ(v, 110);
}

TEST(ParDlg, CancelRestoresDirectlyEditedValues) {
    for (const pardef& p : {pd_of(wv_opt_mixlevel), pd_of(wv_opt_progchange)}) {
        int v = 50;
        pardlg d;
        pardlg_open(d, pd_on(p, &v));
        pardlg_scroll(d, pd_pagedown, 0);
        pardlg_scroll(d, pd_pagedown, 0);
        EXPECT_NE(v, 50) << p.descr;
        pardlg_cancel(d);
        EXPECT_EQ(v, 50) << p.descr;
    }
}

TEST(ParDlg, OutOfRangeValueShownUnchangedUntilFirstScroll) {
    int v = 200;  // a modulo value from a damaged setting
    pardlg d;
    pardlg_open(d, pd_on(pdfdynmd, &v));
    EXPECT_EQ(pardlg_text(d), "200");
    pardlg_scroll(d, pd_other, 0);
    EXPECT_EQ(v, 128);
    // From far below, a line down lands on the lower bound.
    v = -5000;
    pardlg_open(d, pd_on(pdfdynmd, &v));
    pardlg_scroll(d, pd_linedown, 0);
    EXPECT_EQ(v, 64);
    // Cancel gives back even the out-of-range value the dialog opened with.
    pardlg_cancel(d);
    EXPECT_EQ(v, -5000);
}

TEST(ParDlg, ExtremeValuesDoNotOverflow) {
    int v = 2147483647;
    pardlg d;
    pardlg_open(d, pd_on(pd_of(wv_opt_progchange), &v));
    pardlg_scroll(d, pd_pagedown, 0);
    EXPECT_EQ(v, 3200);
    v = -2147483647 - 1;
    pardlg_scroll(d, pd_pageup, 0);
    EXPECT_EQ(v, 0);
}

TEST(ParDlg, RecordingHelpNamesTheBytesPerSecond) {
    EXPECT_EQ(pdfrectim_help(44100),
              "Select the time you want to record.\nNote: Every second requires 44100Bytes disk "
              "storage!");
    EXPECT_GE(pdfrectim.pmin, 1);
}

// Keys step by the dialog's own steps, as its scroll bar does: the program
// change dialog (steps 10 and 100) shows a step of each size apart.
TEST(ParDlg, KeysStepByTheDialogsSteps) {
    int v = 500;
    pardlg d;
    pardlg_open(d, pd_on(pd_of(wv_opt_progchange), &v));
    const auto press = [&d](pd_key k, bool vertical = true) {
        const auto code = pardlg_key_code(k, vertical);
        if (code) pardlg_scroll(d, *code, 0);
        return code.has_value();
    };
    EXPECT_TRUE(press(pd_key_pagedown));
    EXPECT_EQ(v, 600);
    EXPECT_TRUE(press(pd_key_up));
    EXPECT_EQ(v, 590);
    EXPECT_TRUE(press(pd_key_pageup));
    EXPECT_EQ(v, 490);
    EXPECT_TRUE(press(pd_key_down));
    EXPECT_EQ(v, 500);
    // Home and End are taken but do not jump to an end of the range.
    EXPECT_TRUE(press(pd_key_home));
    EXPECT_TRUE(press(pd_key_end));
    EXPECT_EQ(v, 500);
    // The arrows across a vertical bar are not its keys: they stay with the
    // focus movement. On a horizontal bar the roles swap.
    EXPECT_FALSE(press(pd_key_left));
    EXPECT_FALSE(press(pd_key_right));
    EXPECT_TRUE(press(pd_key_right, false));
    EXPECT_EQ(v, 510);
    EXPECT_TRUE(press(pd_key_left, false));
    EXPECT_EQ(v, 500);
    EXPECT_FALSE(press(pd_key_up, false));
    EXPECT_FALSE(press(pd_key_down, false));
    EXPECT_EQ(v, 500);
}

// Home on a value out of range clamps it like any scroll message.
TEST(ParDlg, HomeClampsAnOutOfRangeValue) {
    int v = 200;
    pardlg d;
    pardlg_open(d, pd_on(pdfdensmd, &v));
    pardlg_scroll(d, *pardlg_key_code(pd_key_home, true), 0);
    EXPECT_EQ(v, 128);
}
