// The row descriptions: their table part and their traits agree
// with what the routines and the table say of each row.
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <set>
#include <string>

#include "engine/algs.h"
#include "engine/rows.h"

// The treatments the pad, the scale editor and the visual effects once
// chose by row number are the rows' own now; each row keeps the same one.
TEST(RowDescriptions, NamedTraitsKeepEachRowsTreatment) {
    using vk = rov_viskind;
    using sk = rov_scalekind;
    const vk vis[] = {vk::scale,     vk::scale,     vk::two_scales,  vk::scale,    vk::scale,  vk::intervals,
                      vk::intervals, vk::scale,     vk::scale,       vk::phrase,   vk::two_phrases, vk::phrase,
                      vk::intervals, vk::scale,     vk::pitch_pairs, vk::phrase,   vk::cluster, vk::phrase,
                      vk::phrase,    vk::random_pitch, vk::none,     vk::none,     vk::none};
    const sk scale[] = {sk::scale,   sk::scale,     sk::scale,       sk::scale,    sk::scale,  sk::intervals,
                        sk::intervals, sk::scale,   sk::scale,       sk::phrase_or_scale, sk::scale_or_phrase,
                        sk::scale,   sk::chords,    sk::envelope,    sk::pitch_pairs, sk::phrase_transpose,
                        sk::scale,   sk::phrase,    sk::phrase_wave, sk::lfo_waves, sk::scale, sk::scale, sk::scale};
    ASSERT_GE(rov_natab, 23);
    auto in = [](int r, std::initializer_list<int> rows) { return std::find(rows.begin(), rows.end(), r) != rows.end(); };
    for (int r = 0; r < 23; ++r) {
        const rov_rowdesc& d = rov_rows[r];
        EXPECT_EQ(d.vis.kind, vis[r]) << r;
        EXPECT_EQ(d.vis.sample_pitch, in(r, {6, 7, 8, 15})) << r;
        EXPECT_EQ(d.scale.kind, scale[r]) << r;
        EXPECT_EQ(d.scale.asks_assign, in(r, {2, 10, 13, 18, 20})) << r;
        EXPECT_EQ(d.plays_phrase, in(r, {9, 10, 15, 17, 18})) << r;
        EXPECT_EQ(d.pad.direct, in(r, {0, 2, 4, 5, 12})) << r;
        EXPECT_EQ(d.pad.stages, in(r, {2, 5, 6, 7, 8, 15, 20}) ? 32 : 128) << r;
        EXPECT_EQ(d.pad.loop, r == 6 || r == 7 ? rov_padloop::fine_coarse
                              : r == 8         ? rov_padloop::sixteenths
                              : r == 15        ? rov_padloop::table
                              : r == 20        ? rov_padloop::scale_pairs
                                               : rov_padloop::none) << r;
        EXPECT_EQ(d.pad.osc3, r == 13 ? rov_padosc3::envelope
                              : r == 14 ? rov_padosc3::glissando
                              : r == 17 ? rov_padosc3::phase_mod
                              : r == 18 ? rov_padosc3::vibrato
                                        : rov_padosc3::detuned) << r;
        EXPECT_EQ(d.pad.memory, r == 14 ? rov_padmemory::raster
                                : r == 15 ? rov_padmemory::detune
                                : r == 18 ? rov_padmemory::wave
                                : r == 20 ? rov_padmemory::zero
                                          : rov_padmemory::one) << r;
        // Rows with two naming records, and only they, have a second one.
        EXPECT_EQ(d.names2 != nullptr, d.two_channels || d.timbre_names) << r;
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
