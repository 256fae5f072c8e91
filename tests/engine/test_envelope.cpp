// The tone routines that shape tones beyond the basic envelope: the gain
// curve of complex envelopes, the raster and glides of the pitch ranges,
// cluster sizes, stealing and pitch-scaled envelopes, and the ostinato's
// phrase order.
#include <gtest/gtest.h>

#include <vector>

#include "engine/phrase.h"
#include "engine/scales.h"
#include "engine/slots.h"
#include "engine_fixture.h"

namespace {

constexpr int envelope_row = 13, ranges_row = 14, cluster_row = 16, ostinato_row = 17;

// Calls of `frames` frames; the cluster routine gets the note table.
void call(engine_run& e, int32_t frames) {
    e.buf.assign(2 * static_cast<std::size_t>(frames), 0);
    const intptr_t len = e.row == cluster_row ? reinterpret_cast<intptr_t>(tonnotes) : 256;
    rov_rows[e.row].tab.alg(&e.st->h, e.buf.data(), frames, e.setnr, e.tonr, sintab, len);
}

bool silent(const std::vector<int16_t>& b) {
    for (int16_t s : b)
        if (s != 0) return false;
    return true;
}

// --- Complex envelopes ----------------------------------------------------------

// All sixteen curve values 1024: gain 128 from the attack's start down to
// level 16 of the decay; the decay's last sixteenth fades its last value
// toward 0 (the curve has no further entry), 8 per level.
TEST(ComplexEnvelopes, FlatCurveHoldsGain128ThroughAttackAndDecay) {
    engine_run e(envelope_row);
    for (auto& t : e.st->s.rov_tones) t = 1024;
    int16_t* p = e.P();
    p[par_envelope::Density] = 128;
    p[rov_par::Envelope] = 96;  // both attack and decay stages
    e.start(8);
    int checked = 0, attack = 0, decay = 0;
    for (int i = 0; i < 400; ++i) {
        call(e, 37);  // small calls: every slot is looked at often
        for (int k = 0; k < 8; ++k) {
            const rov_tonephase& v = e.slot(k);
            if (v.rov_ephas == 0) {
                EXPECT_EQ(v.rov_wincr3, 0) << "a free slot has no gain";
                continue;
            }
            const int want = v.rov_ephas == 2 && v.rov_ecurr < 16 ? 8 * (v.rov_ecurr == 1 ? 2 : v.rov_ecurr) : 128;
            EXPECT_EQ(v.rov_wincr3, want) << "slot " << k << " state " << v.rov_ephas << " level " << v.rov_ecurr;
            ++checked;
            attack += v.rov_ephas == 1;
            decay += v.rov_ephas == 2;
        }
    }
    EXPECT_GT(attack, 10);
    EXPECT_GT(decay, 10);
    EXPECT_FALSE(silent(e.buf));
}

TEST(ComplexEnvelopes, GainFollowsTheSelectedCurve) {
    engine_run e(envelope_row);
    int16_t* p = e.P();
    p[par_envelope::Density] = 128;
    p[par_envelope::EnvSelect] = 8;  // e = 16: the curve starts at scale 1
    p[par_envelope::Tonality] = 0;
    p[par_envelope::Honky] = 0;
    p[rov_par::Voices] = 16;
    p[rov_par::Beat] = 15;       // L = 256: attack 12, decay 20 frames per stage
    p[rov_par::Envelope] = 96;
    int16_t* m = e.st->s.rov_tones;
    for (int i = 0; i < 17; ++i) m[16 + i] = static_cast<int16_t>(1000 + 64 * i);
    e.start(1);
    call(e, 1);  // the beat step starts the tone: a fresh attack at M[e] / 8
    const rov_tonephase& v = e.slot(0);
    ASSERT_EQ(v.rov_ephas, 1);
    EXPECT_EQ(v.rov_eincr, 12);
    EXPECT_EQ(v.rov_wincr3, m[16] / 8);
    // The rise from level L interpolates the attack curve at L / 16.
    call(e, 11);
    ASSERT_EQ(v.rov_ecurr, 2);
    EXPECT_EQ(v.rov_wincr3, (15 * m[16] + 1 * m[17]) / 128);
    call(e, 12 * 40);
    ASSERT_EQ(v.rov_ecurr, 42);
    EXPECT_EQ(v.rov_wincr3, ((16 - 9) * m[16 + 2] + 9 * m[16 + 3]) / 128);  // L = 41: j = 2, r = 9
    // The end of the attack takes the decay's first entry.
    while (v.rov_ephas == 1) call(e, 1);
    EXPECT_EQ(v.rov_wincr3, m[16 + 8] / 8);
    // Each fall to level L interpolates the decay curve at (128 - L) / 16.
    call(e, 20 * 20);
    ASSERT_EQ(v.rov_ecurr, 107);
    EXPECT_EQ(v.rov_wincr3, ((16 - 5) * m[16 + 1 + 8] + 5 * m[16 + 1 + 9]) / 128);  // 128 - 107 = 21
}

// --- Multiple pitch ranges ---------------------------------------------------------

// A pitch-range routine with one slot and fixed glides and raster.
engine_run ranges(int raster, int gliss1, int gliss2) {
    engine_run e(ranges_row);
    int16_t* p = e.P();
    p[par_ranges::Density] = 128;
    p[par_ranges::PitRaster] = static_cast<int16_t>(raster);
    p[par_ranges::Gliss1] = static_cast<int16_t>(gliss1);
    p[par_ranges::Gliss2] = static_cast<int16_t>(gliss2);
    return e;
}

TEST(PitchRanges, RasterZeroPlaysExactTargets) {
    engine_run e = ranges(0, 64, 32);  // no glide either way
    e.start(8);
    int seen = 0;
    for (int i = 0; i < 300; ++i) {
        call(e, 53);
        for (int k = 0; k < 8; ++k) {
            const rov_tonephase& v = e.slot(k);
            if (v.rov_ephas == 0) continue;
            EXPECT_EQ(v.rov_prev, 1);
            EXPECT_EQ(v.rov_wincr2, v.rov_wincr) << "slot " << k;
            ++seen;
        }
    }
    EXPECT_GT(seen, 100);
}

TEST(PitchRanges, Raster255KeepsEveryPitchOnMultiplesOf1280) {
    engine_run e = ranges(255, 20, 60);
    e.start(8);
    int seen = 0;
    for (int i = 0; i < 300; ++i) {
        call(e, 53);
        for (int k = 0; k < 8; ++k) {
            const rov_tonephase& v = e.slot(k);
            if (v.rov_ephas == 0) continue;
            EXPECT_EQ(v.rov_prev, 1280);
            EXPECT_EQ(v.rov_wincr2 % 1280, 0) << "slot " << k << " sounding " << v.rov_wincr2;
            ++seen;
        }
    }
    EXPECT_GT(seen, 100);
}

TEST(PitchRanges, AttackGlidesFromGliss1sOffsetToTheTarget) {
    engine_run e = ranges(0, 0, 32);  // Gliss1 0: from 0 up to the target
    int16_t* p = e.P();
    p[rov_par::Voices] = 16;
    p[rov_par::Beat] = 15;
    p[rov_par::Envelope] = 128;
    e.start(1);
    call(e, 1);
    const rov_tonephase& v = e.slot(0);
    ASSERT_EQ(v.rov_ephas, 1);
    ASSERT_NE(v.rov_wincr, 0);
    EXPECT_EQ(v.rov_wphas3, 0);   // Gliss1 kept in the slot
    EXPECT_EQ(v.rov_wincr3, 32);  // Gliss2
    EXPECT_EQ(v.rov_wincr2, 0);   // (0 - 64) * target / 64 + target
    const int64_t t = v.rov_wincr;
    uint16_t last = v.rov_wincr2;
    while (v.rov_ephas == 1) {
        call(e, 1);
        if (v.rov_ephas != 1) break;
        EXPECT_GE(v.rov_wincr2, last);
        if (v.rov_ecurr >= 2) {  // after the first rise
            EXPECT_EQ(v.rov_wincr2, static_cast<uint16_t>(-64 * (127 - int64_t{v.rov_ecurr}) * t / 8192 + t));
        }
        last = v.rov_wincr2;
    }
    EXPECT_EQ(v.rov_wincr2, t);  // the decay starts on the target; Gliss2 32 stays there
    call(e, 16 * 30);
    EXPECT_EQ(v.rov_ephas, 2);
    EXPECT_EQ(v.rov_wincr2, t);
}

// --- Cluster chords -----------------------------------------------------------------

engine_run cluster(int clustering) {
    engine_run e(cluster_row);
    int16_t* p = e.P();
    p[rov_par::Voices] = 256;  // up to 16 slots, tones 16 beat periods long
    p[rov_par::Beat] = 0;
    p[par_cluster::Clustering] = static_cast<int16_t>(clustering);
    p[par_cluster::EnvScaling] = 64;
    return e;
}

TEST(Cluster, ClusteringZeroStartsOneTonePerBeatStep) {
    engine_run e = cluster(0);
    e.start(8);
    for (int n = 1; n <= 5; ++n) {
        call(e, 256);
        EXPECT_EQ(e.busy(), n);
    }
}

TEST(Cluster, FullClusterStartsInTheFreeSlotsAtOnce) {
    engine_run e = cluster(64);  // 256 * 64 / 16 / 64 = 16 tones, held to the voice maximum 8
    e.start(8);
    call(e, 1);
    EXPECT_EQ(e.busy(), 8);
    // The slots are full: without Timbre Variation no tone starts.
    std::vector<uint16_t> before;
    for (int k = 0; k < 8; ++k) before.push_back(e.slot(k).rov_wincr);
    call(e, 255);
    call(e, 1);
    int changed = 0;
    for (int k = 0; k < 8; ++k) changed += e.slot(k).rov_wincr != before[k];
    EXPECT_EQ(changed, 0);
}

TEST(Cluster, WithTimbreVariationAndAllSlotsBusyOnlyOneToneStarts) {
    for (int clustering : {0, 32}) {  // one tone per beat step, or eight at once
        engine_run e = cluster(clustering);
        e.P()[rov_par::Envelope] = 0;  // decay only: every busy slot can be stolen
        e.start(8, true);
        call(e, 256 * 8);  // one tone per beat step (or eight at once) until all are busy
        ASSERT_EQ(e.busy(), 8) << clustering;
        for (int step = 0; step < 6; ++step) {
            std::vector<rov_tonephase> before(e.st->t, e.st->t + 8);
            call(e, 256);
            int restarted = 0;
            for (int k = 0; k < 8; ++k)
                restarted += e.slot(k).rov_ecurr > before[k].rov_ecurr;  // back at the top of the decay
            EXPECT_EQ(restarted, 1) << "clustering " << clustering << " step " << step;
        }
    }
}

TEST(Cluster, EnvScalingShortensTonesByTheirNote) {
    // Every tone a scale tone 262 at Pitch 262: note f1 (262), entry 36.
    auto periods = [](int envscaling) {
        engine_run e = cluster(0);
        int16_t* p = e.P();
        p[par_cluster::EnvScaling] = static_cast<int16_t>(envscaling);
        p[par_cluster::Tonality] = 256;
        p[par_cluster::ScaleDistr] = 0;
        p[par_cluster::ScaleSize] = 128;
        p[rov_par::Pitch] = 262;
        p[rov_par::Envelope] = 64;
        for (int i = 0; i < 16; ++i) e.scale(e.tonr)[i] = 262;
        e.start(8);
        call(e, 1);
        const rov_tonephase& v = e.slot(0);
        EXPECT_EQ(v.rov_wincr, 2096);
        return std::pair<int, int>(v.rov_eincr, v.rov_edecr);
    };
    const auto plain = periods(64);  // 60..68: unscaled
    EXPECT_EQ(plain.first, 64 * 256 / 2048);
    EXPECT_EQ(plain.second, 192 * 256 / 2048);
    EXPECT_EQ(periods(60), plain);
    EXPECT_EQ(periods(68), plain);
    // EnvScaling 0: f = the tone's own note, 262.
    const auto low = periods(0);
    EXPECT_EQ(low.first, (plain.first * 262 + 1047) / 1048);
    EXPECT_EQ(low.second, plain.second * 262 / 1048);
    // EnvScaling 128: f = tonnotes[60 - 60 * 36 / 60] = tonnotes[24] (124).
    const auto high = periods(128);
    EXPECT_EQ(high.first, (plain.first * tonnotes[24] + 1047) / 1048);
    EXPECT_EQ(high.second, plain.second * tonnotes[24] / 1048);
}

TEST(Cluster, LengthArgumentThatIsNoTableFallsBackToTheNoteTable) {
    engine_run a = cluster(16), b = cluster(16);
    a.P()[par_cluster::EnvScaling] = b.P()[par_cluster::EnvScaling] = 10;
    a.start(8);
    b.start(8);
    call(a, 3000);
    b.run(3000);  // length argument 256
    EXPECT_EQ(a.buf, b.buf);
    EXPECT_FALSE(silent(a.buf));
}

// --- Ostinato ------------------------------------------------------------------------

// One free slot that stays free (Voices 0: no envelope), so that the slot
// shows each beat step's pitch.
engine_run ostinato(int phrase) {
    engine_run e(ostinato_row);
    int16_t* p = e.P();
    p[rov_par::Voices] = 0;
    p[rov_par::Beat] = 0;
    p[rov_par::Pitch] = 256;
    p[par_phrase::PitRange] = 0;  // folding range 1536..3096
    p[par_phrase::Phrase] = static_cast<int16_t>(phrase);
    p[par_phrase::PhraseLen] = 128;
    p[par_phrase::PhrLenMod] = 0;
    p[par_phrase::Detune] = 0;
    for (int i = 0; i < 16; ++i) e.scale(e.tonr)[i] = static_cast<int16_t>(200 + 5 * i);
    return e;
}

TEST(Ostinato, Phrase256PlaysThePhraseInOrder) {
    engine_run e = ostinato(256);
    e.start(1);
    call(e, 256);
    EXPECT_EQ(e.slot(0).rov_wincr, 256 * 262 / 32);  // the base tone first
    for (int round = 0; round < 2; ++round) {
        for (int j = 1; j <= 15; ++j) {
            call(e, 256);
            EXPECT_EQ(e.slot(0).rov_wincr, 8 * (200 + 5 * j)) << "step " << j;
        }
        call(e, 256);
        EXPECT_EQ(e.slot(0).rov_wincr, 256 * 262 / 32) << "the ostinato starts again";
    }
    EXPECT_EQ(e.busy(), 0);
}

TEST(Ostinato, Phrase0PicksRandomPhraseMembers) {
    engine_run e = ostinato(0);
    e.start(1);
    call(e, 256);
    std::vector<int> steps;
    for (int n = 0; n < 15; ++n) {
        call(e, 256);
        const int j = e.g().rov_tonxi & 15;
        EXPECT_EQ(e.slot(0).rov_wincr, 8 * (200 + 5 * j));
        steps.push_back(j);
    }
    bool in_order = true;
    for (int n = 0; n < 15; ++n) in_order = in_order && steps[n] == n + 1;
    EXPECT_FALSE(in_order);
}

TEST(Ostinato, GlideCopiesTheScaleIntoThePhraseNotThePitches) {
    engine_run e = ostinato(256);
    e.P()[rov_par::ChgDly] = 1;
    e.start(1);
    const int16_t before = e.g().rov_toncur[3];
    for (int i = 0; i < 16; ++i) e.scale(e.tonr)[i] = static_cast<int16_t>(300 + i);
    call(e, 256 * 16);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(e.g().rov_phrase[i], 300 + i) << i;
    EXPECT_EQ(e.g().rov_toncur[3], before);
}

TEST(Ostinato, PhaseModulationIsKeptInTheSlotAndChangesTheSound) {
    engine_run a = ostinato(256), b = ostinato(256);
    for (engine_run* e : {&a, &b}) {
        int16_t* p = e->P();
        p[rov_par::Voices] = 64;
        p[rov_par::Beat] = 3;
        p[par_ostinato::PhaseMod] = e == &a ? 0 : 40;
        e->start(8);
        call(*e, 3000);
    }
    EXPECT_EQ(b.slot(0).rov_wincr3, 40);
    EXPECT_FALSE(silent(a.buf));
    EXPECT_FALSE(silent(b.buf));
    EXPECT_NE(a.buf, b.buf);
}

}  // namespace
