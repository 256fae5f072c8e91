// The row descriptions: their table part and their traits agree
// with what the routines and the table say of each row.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>

#include "engine/algs.h"
#include "engine/rows.h"

TEST(RowDescriptions, TablePartIsAtab) {
    for (int r = 0; r < rov_natab; ++r) {
        const rov_algtab& a = rov_rows[r].tab;
        const rov_algtab& d = rov_rows[r].tab;
        EXPECT_EQ(std::string(a.icon), d.icon) << r;
        EXPECT_EQ(a.ixpos, d.ixpos) << r;
        EXPECT_EQ(a.iypos, d.iypos) << r;
        EXPECT_EQ(a.mitem, d.mitem) << r;
        EXPECT_EQ(a.alg, d.alg) << r;
        EXPECT_EQ(a.beat, d.beat) << r;
        EXPECT_EQ(a.algtyp, d.algtyp) << r;
        EXPECT_EQ(std::string(a.title), d.title) << r;
    }
}

TEST(RowDescriptions, TraitsAgreeWithTheTable) {
    int multiple = 0, empty = 0;
    std::set<int> mitems;
    for (int r = 0; r < rov_natab; ++r) {
        const rov_rowdesc& d = rov_rows[r];
        // The beat kind says the control block: 64 frames with Beat + 3, 256 with Beat + 1.
        if (d.tab.beat == 1) {
            EXPECT_EQ(d.block, 64) << r;
        } else if (d.tab.beat == 2) {
            EXPECT_TRUE(d.block == 256 || d.block == 0) << r;
        } else {
            EXPECT_EQ(d.tab.beat, 0) << r;
            EXPECT_EQ(d.block, 0) << r;
        }
        // The sampling rows, and only they, read a sample of some minimum length.
        EXPECT_EQ(d.tab.algtyp == rov_arg_sample, d.min_sample > 0) << r;
        EXPECT_EQ(d.tab.algtyp == rov_arg_sample, d.tab.beat == 1) << r;
        multiple += d.multiple;
        empty += d.empty;
        if (d.multiple || d.empty) {
            EXPECT_EQ(d.tab.alg, nullptr) << r;
            EXPECT_EQ(d.tab.beat, 0) << r;
        } else {
            EXPECT_NE(d.tab.beat, 0) << r;
        }
        if (d.tab.mitem) {
            EXPECT_TRUE(mitems.insert(d.tab.mitem).second) << "menu item twice: " << r;
        }
    }
    EXPECT_EQ(multiple, 1);
    EXPECT_EQ(empty, 1);
    EXPECT_TRUE(rov_row(rov_row_empty()).empty);
    EXPECT_TRUE(rov_row(rov_row_multiple()).multiple);
    // Outside the table: the empty algorithm.
    EXPECT_TRUE(rov_row(-1).empty);
    EXPECT_TRUE(rov_row(rov_natab).empty);
    EXPECT_FALSE(rov_row_computed(rov_natab + 5));
}

TEST(RowDescriptions, LoopingSliceSharesItsRoutine) {
    // The looping-slice row is the dual oscillator computed in slices.
    for (int r = 0; r < rov_natab; ++r) {
        if (!rov_rows[r].loop_slice) continue;
        ASSERT_NE(rov_rows[r].tab.alg, nullptr);
        int others = 0;
        for (int q = 0; q < rov_natab; ++q) others += q != r && rov_rows[q].tab.alg == rov_rows[r].tab.alg;
        EXPECT_EQ(others, 1) << r;
    }
}

TEST(RowDescriptions, Availability) {
    for (int r = 0; r < rov_natab; ++r) {
        const rov_rowdesc& d = rov_rows[r];
        EXPECT_EQ(rov_row_available(r), d.tab.alg != nullptr || d.empty) << r;
    }
    // Multiple play becomes available once its mix exists.
    EXPECT_FALSE(rov_row_available(rov_row_multiple()));
    EXPECT_TRUE(rov_row_available(rov_row_multiple(), true));
}

TEST(RowDescriptions, GlideSetAndPhraseScale) {
    for (int r = 0; r < rov_natab; ++r) {
        const rov_rowdesc& d = rov_rows[r];
        EXPECT_EQ(rov_row_glideset(r, 5), d.two_channels ? 4 : 5) << r;
        EXPECT_EQ(rov_row_glideset(r, 4), 4) << r;
        EXPECT_EQ(rov_row_phrasescale(r, 7), d.phrase == rov_phrasefrom::playing_scale ? 7 : 6) << r;
    }
}

TEST(RowDescriptions, StartLoadsThePhraseFromTheDescribedScale) {
    auto st = std::make_unique<rov_state>();
    rov_state_init(*st);
    rov_default_setting(st->s);
    for (int i = 0; i < rov_nscales * rov_nvalues; ++i) st->s.rov_tones[i] = static_cast<int16_t>(i);
    for (int r = 0; r < rov_natab; ++r) {
        rov_start(&st->h, r, 3, 5);
        const int from = rov_rows[r].phrase == rov_phrasefrom::playing_scale ? 5 : 4;
        EXPECT_EQ(st->g.rov_phrase[0], from * rov_nvalues) << r;
        EXPECT_EQ(st->g.rov_toncur[0], 5 * rov_nvalues) << r;
        // A two-channel row glides its first channel on the even set of the pair.
        const int set = rov_rows[r].two_channels ? 2 : 3;
        EXPECT_EQ(st->g.rov_currp[rov_par::Pitch], st->s.rov_p[16 * set + rov_par::Pitch]) << r;
        EXPECT_EQ(st->g.rov_vocdist2, st->s.rov_p[16 * 3 + rov_par::Beat]) << r;
    }
}
