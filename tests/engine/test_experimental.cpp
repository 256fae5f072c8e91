// The experimental routines: echo, chords, interval memory, stumbling
// chords' slot cap, hold envelope and stretched blocks.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/phrase.h"
#include "engine_fixture.h"

namespace {

inline uint16_t seq(uint16_t x, int m, int16_t n) { return rov_modseq(x, m, n); }

// Ambient (row 4) parameters: Echo 5, EchoFB 6, Fuzz 7.
engine_run ambient(int echo, int echofb) {
    engine_run e(4);
    e.P()[5] = static_cast<int16_t>(echo);
    e.P()[6] = static_cast<int16_t>(echofb);
    e.P()[7] = 0;   // Fuzz off: triangles
    e.P()[11] = 0;  // a beat step every block
    return e;
}

TEST(Ambient, EchoZeroRepeatsTheLeftSampleAndFeedbackMixesItWithItself) {
    std::vector<int16_t> echo(2 * 2048, 777);  // must not be read with e = 0
    engine_run dry = ambient(0, 0), fed = ambient(0, 64);
    dry.start();
    fed.start();
    dry.run(2048, echo.data());
    fed.run(2048, echo.data());
    bool sound = false;
    for (std::size_t i = 0; i < dry.buf.size(); i += 2) {
        ASSERT_EQ(dry.buf[i + 1], dry.buf[i]) << "frame " << i / 2;
        ASSERT_EQ(fed.buf[i], dry.buf[i]) << "frame " << i / 2;
        ASSERT_EQ(fed.buf[i + 1], dry.buf[i]) << "frame " << i / 2;
        sound = sound || dry.buf[i] != 0;
    }
    EXPECT_TRUE(sound);
}

TEST(Ambient, EchoReadsThePreviousBufferThenThisOne) {
    const int32_t frames = 1024;
    engine_run e = ambient(16, 0);  // e = (2048 / 128) * 16 = 256 interleaved samples
    e.start();
    std::vector<int16_t> prev(2 * frames);
    for (std::size_t i = 0; i < prev.size(); ++i) prev[i] = static_cast<int16_t>(i);
    e.run(frames, prev.data());
    for (int32_t i = 0; i < 2 * frames; i += 2) {
        const int16_t want = i < 256 ? prev[i + 2 * frames - 256] : e.buf[i - 256];
        ASSERT_EQ(e.buf[i + 1], want) << "index " << i;
    }
}

TEST(Ambient, OddDelayReadsTheOtherChannel) {
    const int32_t frames = 576;  // e = (1152 / 128) * Echo 1 = 9 interleaved samples
    engine_run e = ambient(1, 0);
    e.start();
    std::vector<int16_t> prev(2 * frames);
    for (std::size_t i = 0; i < prev.size(); ++i) prev[i] = static_cast<int16_t>(i);
    e.run(frames, prev.data());
    // The right channel echoes itself 4.5 frames back.
    for (int32_t f = 0; f < 5; ++f) ASSERT_EQ(e.buf[2 * f + 1], prev[2 * f + 2 * frames - 9]);
    for (int32_t f = 5; f < frames; ++f) ASSERT_EQ(e.buf[2 * f + 1], e.buf[2 * (f - 5) + 1]);
}

// A chord's notes are consecutive states of the tonality sequence (scale
// tones) or of the pitch sequence (random tones); the third one only under
// Timbre Variation.
void chord_case(bool timbre, bool scale) {
    engine_run e = ambient(0, 0);
    e.P()[2] = 262;                     // Pitch: unity for scale tones
    e.P()[4] = scale ? 256 : 0;         // Tonality
    e.start(8, timbre);
    e.run(16);
    const rov_setting& s = e.st->s;
    const rov_tonephase& v = e.slot(0);
    ASSERT_NE(v.rov_ephas, 0);
    if (scale) {
        const int16_t* sc = &s.rov_tones[e.tonr * 16];
        const uint16_t x1 = seq(0, 1001, s.rov_tonmod), x2 = seq(x1, 1001, s.rov_tonmod),
                       x3 = seq(x2, 1001, s.rov_tonmod);
        EXPECT_EQ(v.rov_wincr, 8 * sc[x1 & 15]);
        EXPECT_EQ(v.rov_wincr2, 8 * sc[x2 & 15]);
        EXPECT_EQ(v.rov_wincr3, timbre ? 8 * sc[x3 & 15] : 0);
        EXPECT_EQ(e.g().rov_tonxi, timbre ? x3 : x2);
    } else {
        const int16_t* p = e.P();
        auto note = [&](uint16_t x) { return static_cast<uint16_t>(8 * p[2] + ((x & 127) - 64) * p[3] / 4); };
        const uint16_t x1 = seq(0, 804, s.rov_pitmod), x2 = seq(x1, 804, s.rov_pitmod),
                       x3 = seq(x2, 804, s.rov_pitmod);
        EXPECT_EQ(v.rov_wincr, note(x1));
        EXPECT_EQ(v.rov_wincr2, note(x2));
        EXPECT_EQ(v.rov_wincr3, timbre ? note(x3) : 0);
        EXPECT_EQ(e.g().rov_pitxi, timbre ? x3 : x2);
    }
}

TEST(Ambient, TwoNoteChordsWithoutTimbreVariation) {
    chord_case(false, true);
    chord_case(false, false);
}

TEST(Ambient, ThreeNoteChordsWithTimbreVariation) {
    chord_case(true, true);
    chord_case(true, false);
}

TEST(Ambient, FuzzAndSyncSilenceTheSecondOscillator) {
    for (int sync = 0; sync < 2; ++sync) {
        engine_run a = ambient(0, 0), b = ambient(0, 0);
        for (engine_run* e : {&a, &b}) {
            e->P()[7] = 40;  // Fuzz
            e->P()[8] = 20;  // FuzzEnv
            e->st->s.rov_saw[0] = static_cast<int8_t>(sync);
            e->start(8, true);
        }
        a.run(300);
        b.run(300);
        // Changing oscillator 2's tuning changes nothing that is heard.
        b.slot(0).rov_wincr2 = static_cast<uint16_t>(b.slot(0).rov_wincr2 + 999);
        a.run(1000);
        b.run(1000);
        EXPECT_EQ(a.buf, b.buf) << "sync " << sync;
    }
}

// Intervals (row 5): Intervals 4, PitRange 3, Noise 7.
TEST(Intervals, FirstIntervalToneOfAPlayIsSilentUntilAScaleToneComes) {
    engine_run e(5);
    int16_t* p = e.P();
    p[4] = 256;  // every tone an interval
    p[5] = 128;  // a tone at every beat step
    p[7] = 0;    // no noise
    p[11] = 0;
    // The start of play loads the interval memory from value 0 of the even
    // scale of the pair; a 0 there is the empty memory.
    e.scale(e.tonr & ~1)[0] = 0;
    e.start();
    ASSERT_EQ(e.g().rov_phrase[0], 0);
    e.beats(3);
    EXPECT_EQ(e.busy(), 0);
    EXPECT_EQ(e.g().rov_phrase[0], 0);
    p[4] = 0;  // scale tones
    e.beats(1);
    const int16_t first = e.g().rov_phrase[0];
    EXPECT_NE(first, 0);
    EXPECT_EQ(e.slot(0).rov_wincr, static_cast<uint16_t>(first));
    p[4] = 256;  // an interval from the scale tone
    e.beats(1);
    EXPECT_NE(e.g().rov_phrase[0], 0);
}

TEST(Intervals, FirstIntervalIsTakenFromTheStartValue) {
    engine_run e(5);
    int16_t* p = e.P();
    p[2] = 262;
    p[3] = 0;    // fold range 1536..3168
    p[4] = 256;
    p[5] = 128;
    p[7] = 0;
    p[11] = 0;
    std::fill_n(e.scale(e.tonr), 16, int16_t{393});  // intervals of 3/2
    e.scale(e.tonr & ~1)[0] = 2000;
    e.start();
    e.beats(1);
    // (2000 * 393 + 131) / 262 = 3000, inside the range.
    EXPECT_EQ(e.slot(0).rov_wincr, 3000);
    EXPECT_EQ(e.g().rov_phrase[0], 3000);
    e.beats(1);
    // 4500 is above hi: one octave down.
    EXPECT_EQ(e.g().rov_phrase[0], 2250);
}

TEST(Intervals, ScaleTonesAreFoldedIntoTheRangeByOctaves) {
    // Pitch 262, PitRange 0: lo = 64 * 24 = 1536, hi = (3168 / 24) * 24 = 3168.
    const struct {
        int16_t value;   // scale value; the tone is 8 * value before folding
        uint16_t wincr;  // after folding
    } cases[] = {{40, 1536}, {100, 1600}, {150, 2400}, {250, 2000}, {500, 2000}, {1000, 2000}};
    for (const auto& c : cases) {
        engine_run e(5);
        int16_t* p = e.P();
        p[2] = 262;
        p[3] = 0;
        p[4] = 0;
        p[5] = 128;
        p[7] = 0;
        std::fill_n(e.scale(e.tonr), 16, c.value);
        e.start();
        e.beats(1);
        EXPECT_EQ(e.slot(0).rov_wincr, c.wincr) << "value " << c.value;
    }
}

TEST(Intervals, NoiseOffsetMovesEveryPhaseEveryEighthFrame) {
    engine_run a(5), b(5);
    for (engine_run* e : {&a, &b}) {
        e->P()[5] = 128;
        e->P()[7] = 0;
        e->P()[8] = 77;  // NoiseType
    }
    b.P()[7] = 100;  // Noise
    a.start();
    b.start();
    a.run(1024);
    b.run(1024);
    EXPECT_NE(a.buf, b.buf);
    // The pitch sequence advances once per 8 frames and not at beat steps.
    uint16_t x = 0;
    for (int f = 0; f < 1024; f += 8) x = seq(x, b.P()[8], b.st->s.rov_pitmod);
    EXPECT_EQ(b.g().rov_pitxi, x);
}

// Stumbling chords (row 12): Hold 3, Chords 4, Stumble 5, StumMode 6.
TEST(Stumbling, VoicesSixteenUsesOnlySlotZeroAndStealsItUnderTimbreVariation) {
    for (int timbre = 0; timbre < 2; ++timbre) {
        engine_run e(12);
        int16_t* p = e.P();
        p[0] = 16;
        p[1] = 128;  // attack and decay periods of 1 frame
        p[3] = 0;
        p[11] = 0;
        e.start(8, timbre != 0);
        for (int n = 0; n < 20; ++n) {
            e.beats(1);
            for (int k = 1; k < rov_nslots; ++k) ASSERT_EQ(e.slot(k).rov_ephas, 0) << "slot " << k;
        }
        // Slot 0 busy in its decay: the next tone steals it or is dropped.
        rov_tonephase& v = e.slot(0);
        v.rov_ephas = 2;
        v.rov_ecurr = 50;
        v.rov_ebase = 0;
        v.rov_edecr = 30000;
        v.rov_wincr = 1;
        e.run(1);
        if (timbre) {
            EXPECT_NE(v.rov_wincr, 1);
            // A stolen slot keeps its level (50) and attacks on from there.
            EXPECT_EQ(v.rov_ephas, 1);
            EXPECT_EQ(v.rov_ecurr, 51);
        } else {
            EXPECT_EQ(v.rov_wincr, 1);
        }
        EXPECT_EQ(e.busy(), 1);
    }
}

TEST(Stumbling, AnAttackingSlotIsStolenWhenNoneDecays) {
    engine_run e(12);
    e.P()[0] = 16;
    e.P()[1] = 128;
    e.start(8, true);
    rov_tonephase& v = e.slot(0);
    v.rov_ephas = 1;
    v.rov_ecurr = 60;
    v.rov_eincr = 30000;
    v.rov_wincr = 1;
    e.run(1);
    EXPECT_NE(v.rov_wincr, 1);
    EXPECT_EQ(v.rov_ephas, 1);
    EXPECT_EQ(v.rov_ecurr, 60);
}

TEST(Stumbling, HoldZeroIsTheOrdinaryEnvelope) {
    engine_run e(12);
    e.P()[0] = 64;
    e.P()[3] = 0;
    e.P()[11] = 0;
    e.start(8);
    e.beats(1);
    rov_tonephase v = e.slot(0), w = v;
    ASSERT_EQ(v.rov_prev, 1);
    // Against the plain 128-stage envelope, frame by frame to the end.
    for (int f = 0; f < 20000 && w.rov_ephas != 0; ++f) {
        rov_env_step(v, 128, v.rov_prev);
        rov_env_step(w, 128);
        ASSERT_EQ(v.rov_ecurr, w.rov_ecurr);
        ASSERT_LE(v.rov_ecurr, 127);
    }
}

TEST(Stumbling, HoldRaisesTheLevelStepAndHoldsFullGain) {
    engine_run e(12);
    e.P()[1] = 0;   // Envelope 0: every tone starts in its decay
    e.P()[3] = 48;  // Hold: step 48 / 16 + 1 = 4, decay from 127 * 4 = 508
    e.start(8);
    e.run(1);
    EXPECT_EQ(e.slot(0).rov_prev, 4);
    EXPECT_EQ(e.slot(0).rov_ephas, 2);
    EXPECT_EQ(e.slot(0).rov_ecurr, 508);
    e.run(2000);
    EXPECT_EQ((508 - e.slot(0).rov_ecurr) % 4, 0);
}

TEST(Stumbling, BlocksAreStretchedByTheDensitySequence) {
    // StumMode 0 keeps the density state at 1, so S = Stumble / 8 after the
    // first beat step. Chg.Dly 200: rov_vocno counts the beat steps.
    for (int stumble : {0, 128}) {
        engine_run e(12);
        int16_t* p = e.P();
        p[5] = static_cast<int16_t>(stumble);
        p[6] = 0;
        p[11] = 0;
        p[15] = 200;
        e.start(8);
        e.run(1056);
        // S = 0: blocks at 0, 256, 512, 768, 1024; S = 16: at 0, 264, 528, 792.
        EXPECT_EQ(e.g().rov_vocno, stumble ? 4 : 5) << "stumble " << stumble;
        EXPECT_EQ(e.g().rov_vocdist2, stumble / 8);
    }
}

TEST(TwoScales, SecondScaleIsReadFromTheWholeScaleMemory) {
    engine_run e(2);
    int16_t* p = e.P();
    p[2] = 262;  // Pitch: the scale as written, times 8
    p[4] = 0;    // Tonality
    p[7] = 128;  // Tonality2: every tone from the second scale
    p[8] = 40;   // Select: scale 5
    p[5] = 128;
    e.start();
    e.run(1);
    const uint16_t x = e.g().rov_tonxi;
    EXPECT_EQ(e.slot(0).rov_wincr, 8 * e.st->s.rov_tones[(x & 15) + 80]);
    EXPECT_LT(e.slot(0).rov_ecurr, 32);
}

TEST(DualOscillator, SecondOscillatorIsDetunedAbove) {
    engine_run e(1);
    int16_t* p = e.P();
    p[4] = 0;     // random pitches
    p[5] = 128;
    p[7] = 64;    // Detune 64/512
    e.start();
    e.run(1);
    const rov_tonephase& v = e.slot(0);
    EXPECT_EQ(v.rov_wincr2, static_cast<uint16_t>(v.rov_wincr * 64 / 512 + v.rov_wincr));
}

}  // namespace
