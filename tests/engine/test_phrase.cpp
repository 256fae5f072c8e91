// Octave folding, the phrase step and the phrase routines: phrases that never
// start, full-length phrases, the recorded phrase of the jazzy routine and
// the session's two channels competing for slots.
#include <gtest/gtest.h>

#include "engine/phrase.h"
#include "engine_fixture.h"

namespace {

TEST(Folding, BoundsAndOctaves) {
    // Pitch 262, PitRange 0: lo = 64 * 24, hi = (3168 / 24) * 24.
    const int32_t lo = rov_foldlo(262, 0), hi = rov_foldhi(262, 0);
    EXPECT_EQ(lo, 1536);
    EXPECT_EQ(hi, 3168);
    const struct {
        int32_t u, want;
    } cases[] = {{0, 0},        {100, 0},     {191, 0},     {192, 1536}, {200, 1600},  {400, 1600},
                 {800, 1600},   {1536, 1536}, {2000, 2000}, {3168, 3168}, {4000, 2000}, {7000, 1750},
                 {13000, 1625}, {25343, 3168}, {25344, 3168}, {30000, 3168}};
    for (const auto& c : cases) EXPECT_EQ(rov_fold(c.u, lo, hi), c.want) << "u " << c.u;
}

TEST(Folding, DamagedPitRangeDoesNotDivideByZero) {
    // 24 - 384/16 = 0 is taken as 1: (3168 * 24) kept to 16 bits.
    EXPECT_EQ(rov_foldhi(262, 384), static_cast<uint16_t>(3168 * 24));
    // PitRange 256 (the largest the editor allows) keeps the divisor at 8.
    EXPECT_EQ(rov_foldhi(262, 256), 3168 / 8 * 24);
    EXPECT_EQ(rov_foldlo(262, 256), 0);
}

TEST(Folding, UpperBoundAboveSignedRangeStillFolds) {
    // Pitch 1000, PitRange 256: hi = (12024 / 8) * 24 = 36072, an increment
    // above 32767; tones fold below it instead of all landing on one pitch.
    const int32_t lo = rov_foldlo(1000, 256), hi = rov_foldhi(1000, 256);
    EXPECT_EQ(hi, 36072);
    EXPECT_EQ(rov_fold(20000, lo, hi), 20000);
    EXPECT_EQ(rov_fold(40000, lo, hi), 20000);
}

TEST(PhraseStep, PhraseLenSetsTheMinimumLength) {
    rov_globphase g{};
    for (int i = 0; i < 16; ++i) g.rov_phrase[i] = static_cast<int16_t>(262 + i);
    g.rov_phrase[0] = 1000;
    auto length = [&](int pl, int pm, uint16_t z) {
        int16_t k = 1;
        int n = 0;
        while (k != 0 && n < 100) {
            const int16_t at = k;
            EXPECT_EQ(rov_phrasestep(g, k, pl, pm, z), 1000 * g.rov_phrase[at] / 262);
            ++n;
        }
        return n;
    };
    EXPECT_EQ(length(128, 0, 0), 15);  // 8 * 14 < 128: every step plays
    EXPECT_EQ(length(64, 0, 0), 8);    // ends once 8k reaches 64
    EXPECT_EQ(length(0, 0, 0), 1);
    EXPECT_EQ(length(0, 10, 9), 15);   // the density state below PhrLenMod lengthens it
    EXPECT_EQ(length(0, 10, 10), 1);
}

TEST(Glide, PhraseScaleRidesAlongExceptItsBase) {
    rov_globphase g{};
    int16_t params[16] = {};
    int16_t scale[16], phrase[16];
    for (int i = 0; i < 16; ++i) {
        scale[i] = static_cast<int16_t>(100 + i);
        phrase[i] = static_cast<int16_t>(500 + i);
    }
    g.rov_phrase[0] = 7;
    params[15] = 1;  // one glide step per beat step: one value each
    rov_glide(g, params, scale, phrase);
    EXPECT_EQ(g.rov_toncur[0], 100);
    EXPECT_EQ(g.rov_phrase[0], 7);
    rov_glide(g, params, scale, phrase);
    EXPECT_EQ(g.rov_toncur[1], 101);
    EXPECT_EQ(g.rov_phrase[1], 501);
    EXPECT_EQ(g.rov_phrase[2], 0);
    params[15] = 0;  // all at once
    rov_glide(g, params, scale, phrase);
    for (int i = 1; i < 16; ++i) EXPECT_EQ(g.rov_phrase[i], 500 + i);
    EXPECT_EQ(g.rov_phrase[0], 7);
}

// Phrase routines: Phrase 4, PhraseLen 5, PhrLenMod 6, Beat 11.
TEST(Fantasy, PhraseZeroPlaysOnlyScaleTones) {
    for (int row : {9, 11}) {
        engine_run e(row, 0, 2);
        e.P()[4] = 0;
        e.P()[11] = 0;
        e.start(8);
        const int16_t base = e.g().rov_phrase[0];
        for (int n = 0; n < 40; ++n) {
            const rov_slotpick k = rov_findslot(e.st->t, 8, false, 128);
            const uint16_t x0 = e.g().rov_tonxi;
            e.beats(1);
            ASSERT_EQ(e.g().rov_phrap1, 0) << "row " << row;
            ASSERT_NE(x0, e.g().rov_tonxi);
            if (k.k < 0) continue;
            // The tone is the folded scale tone of the tonality state.
            const int16_t* p = e.P();
            const int32_t u = e.g().rov_toncur[e.g().rov_tonxi & 15] * p[2] / 32;
            ASSERT_EQ(e.slot(k.k).rov_wincr, static_cast<uint16_t>(rov_fold(u, rov_foldlo(p[2], p[3]),
                                                                              rov_foldhi(p[2], p[3]))));
        }
        EXPECT_EQ(e.g().rov_phrase[0], base);
    }
}

TEST(Fantasy, PhraseLen128PlaysAllFifteenSteps) {
    engine_run e(9, 0, 2);
    int16_t* p = e.P();
    p[4] = 256;  // every scale tone starts a phrase
    p[5] = 128;
    p[6] = 0;
    p[11] = 0;
    e.start(8);
    e.beats(1);
    ASSERT_EQ(e.g().rov_phrap1, 1);
    for (int k = 2; k <= 15; ++k) {
        e.beats(1);
        ASSERT_EQ(e.g().rov_phrap1, k);
    }
    e.beats(1);
    EXPECT_EQ(e.g().rov_phrap1, 0);
}

TEST(Fantasy, PhraseComesFromTheEvenScaleAndPitchesFromTheOdd) {
    engine_run e(9, 0, 3);  // pair 2, 3
    e.P()[11] = 0;
    e.start(8);
    e.beats(1);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(e.g().rov_toncur[i], e.scale(3)[i]);
    for (int i = 1; i < 16; ++i) EXPECT_EQ(e.g().rov_phrase[i], e.scale(2)[i]);
}

TEST(Jazzy, RecordedPhraseHoldsScaleValuesPlayedAsSteps) {
    engine_run e(11, 0, 4);
    int16_t* p = e.P();
    p[0] = 16;   // short tones: slots stay free
    p[4] = 256;  // Phrase: every tone outside a phrase starts one
    p[8] = 256;  // PhrCreate: ... as a recording
    p[11] = 0;
    e.start(64);
    e.beats(1);
    ASSERT_EQ(e.g().rov_phrap1, 17);
    int16_t recorded[16] = {};
    for (int k = 1; k <= 15; ++k) {
        e.beats(1);
        recorded[k] = e.g().rov_toncur[e.g().rov_tonxi & 15];
        ASSERT_EQ(e.g().rov_phrase[k], recorded[k]) << "step " << k;
        ASSERT_EQ(e.g().rov_phrap1, k < 15 ? 17 + k : 0);
    }
    p[8] = 0;  // now phrases play
    e.beats(1);
    ASSERT_EQ(e.g().rov_phrap1, 1);
    const int32_t base = e.g().rov_phrase[0];
    const rov_slotpick k = rov_findslot(e.st->t, 64, false, 128);
    e.beats(1);
    const int32_t u = base * recorded[1] / 262;
    EXPECT_EQ(e.slot(k.k).rov_wincr, static_cast<uint16_t>(rov_fold(u, rov_foldlo(p[2], p[3]),
                                                                      rov_foldhi(p[2], p[3]))));
    EXPECT_EQ(e.g().rov_phrap1, 2);
}

// Session (row 10): set 0 drives channel 1, set 1 channel 2.
TEST(Session, ChannelOneDropsWhileChannelTwoSteals) {
    for (int timbre = 0; timbre < 2; ++timbre) {
        engine_run e(10, 1, 0);  // set 1 plays: the pair is 0, 1
        for (int n : {0, 1}) {
            int16_t* p = e.set(n);
            p[0] = 256;  // long tones
            p[1] = 0;    // starting in their decay, so they can be stolen
            p[4] = 256;  // every free tone starts a phrase
            p[7] = 0;    // first phrases only
            p[11] = 0;
        }
        e.start(1, timbre != 0);
        e.run(1);
        const int16_t ch1 = e.g().rov_phrap1;
        ASSERT_EQ(ch1, 1);  // channel 1 took the free slot
        EXPECT_EQ(e.g().rov_phrap2, timbre ? 1 : 0);
        for (int n = 0; n < 4; ++n) {
            const uint16_t level = e.slot(0).rov_ecurr;
            e.run(256);
            EXPECT_EQ(e.g().rov_phrap1, ch1) << "channel 1 found no free slot";
            if (timbre) {
                EXPECT_EQ(e.g().rov_phrap2, n + 2) << "channel 2 stole the slot";
                EXPECT_LE(e.slot(0).rov_ecurr, level);
            } else {
                EXPECT_EQ(e.g().rov_phrap2, 0);
            }
        }
    }
}

TEST(Session, EachChannelCountsItsOwnBeat) {
    engine_run e(10, 0, 0);
    e.set(0)[11] = 0;  // channel 1: every block
    e.set(1)[11] = 3;  // channel 2: every fourth block
    e.set(0)[15] = 200;
    e.start(8);
    e.run(256 * 8);
    EXPECT_EQ(e.g().rov_vocno, 8);  // only channel 1 glides
    // Channel 2 took beat steps at blocks 0 and 4: its density state moved twice.
    uint16_t z = 0;
    for (int n = 0; n < 2; ++n) z = rov_modseq(z, e.set(1)[6], e.st->s.rov_densmod);
    EXPECT_EQ(e.g().rov_densxi2, z);
}

}  // namespace
