// The random-tones routine rendered headless: what it must and must not play.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "engine/algs.h"
#include "engine/blocks.h"
#include "engine/rov.h"

namespace {

// A fresh engine on the default setting, set 0, with its own slots.
struct engine {
    rov_state st;
    int setnr = 0, tonr = 3;
    explicit engine(int maxv = 8, bool tonalias = false, bool emphas = false) {
        rov_state_init(st);
        rov_default_setting(st.s);
        rov_open(&st.h, emphas, tonalias, maxv);
    }
    int16_t* p() { return &st.s.rov_p[setnr * 16]; }
    void start() { rov_start(&st.h, 0, setnr, tonr); }
    std::vector<int16_t> run(int32_t frames, const int16_t* tab = sintab, intptr_t len = 256) {
        std::vector<int16_t> out(2 * static_cast<std::size_t>(frames), 0x5a5a);
        ranov(&st.h, out.data(), frames, setnr, tonr, tab, len);
        return out;
    }
    int busy() const {
        int n = 0;
        for (const auto& v : st.t) n += v.rov_ephas != 0;
        return n;
    }
};

bool silent(const std::vector<int16_t>& v) {
    return std::all_of(v.begin(), v.end(), [](int16_t x) { return x == 0; });
}

// One predictable tone per beat step: fixed pitch, centre, accented, Saw on.
void one_voice_setting(engine& e) {
    int16_t* p = e.p();
    p[0] = 16;    // Voices: one beat period long
    p[1] = 128;   // Envelope: half attack
    p[2] = 100;   // Pitch
    p[3] = 0;     // PitSpread
    p[4] = 0;     // Tonality: never from the scale
    p[5] = 128;   // Density: every beat step
    p[7] = 64;    // Panning: centre
    p[8] = 0;     // PanVar
    p[9] = 128;   // Accents: all
    p[11] = 0;    // Beat: every block
    p[12] = 128;  // Waveform: symmetric triangle
    p[15] = 0;
    e.st.s.rov_saw[e.setnr] = 1;
}

}  // namespace

TEST(Ranov, FirstFrameOfAKnownTone) {
    engine e;
    one_voice_setting(e);
    e.start();
    const auto out = e.run(256);
    // Slot 0 starts at level 1, phase 0: triangle -16383, (1 * -16383) >> 4 =
    // -1024; accent at the centre weighs 128 on both sides; shift 12 + 1.
    EXPECT_EQ(out[0], (128 * -1024) >> 13);
    EXPECT_EQ(out[1], (128 * -1024) >> 13);
    EXPECT_EQ(e.st.t[0].rov_wincr, 800);
    EXPECT_EQ(e.st.t[0].rov_eincr, 128 * 16 / 2048);
    EXPECT_EQ(e.st.t[0].rov_left, 128);
    EXPECT_EQ(e.st.t[0].rov_sawt, 1);
    // The tone (attack 126 frames, decay 127 frames) ends before the block
    // does; a freed slot's phase stands still.
    EXPECT_EQ(e.st.t[0].rov_wphas, static_cast<uint16_t>(253 * 800));
    EXPECT_EQ(e.st.t[0].rov_ephas, 0);
}

TEST(Ranov, DensityDecidesWhetherTonesStart) {
    engine e;
    e.p()[5] = 0;
    e.p()[15] = 0;
    e.start();
    EXPECT_TRUE(silent(e.run(20000)));
    EXPECT_EQ(e.busy(), 0);

    engine d;
    one_voice_setting(d);
    d.p()[0] = 256;  // long tones: every beat step takes a new slot
    d.start();
    d.run(256 * 5);
    EXPECT_EQ(d.busy(), 5);
}

TEST(Ranov, VoicesZeroLeavesSlotsFreeAndSilent) {
    engine e;
    one_voice_setting(e);
    e.p()[0] = 0;
    e.start();
    EXPECT_TRUE(silent(e.run(256 * 20)));
    EXPECT_EQ(e.busy(), 0);
}

TEST(Ranov, ZeroIncrementFreesTheSlotWithoutSound) {
    engine e;
    one_voice_setting(e);
    e.p()[2] = 0;  // Pitch 0 and no spread: increment 0
    e.start();
    EXPECT_TRUE(silent(e.run(256 * 10)));
    EXPECT_EQ(e.busy(), 0);
}

TEST(Ranov, NegativeRandomIncrementWrapsToSixteenBits) {
    engine e;
    one_voice_setting(e);
    e.p()[2] = 0;
    e.p()[3] = 256;  // spread: ((pitxi & 127) - 64) * 64 around 0
    e.start();
    e.run(1);
    // First beat step: pitxi = 1, so the increment is (1 - 64) * 64, wrapped.
    EXPECT_EQ(e.st.t[0].rov_wincr, static_cast<uint16_t>(-63 * 64));
}

TEST(Ranov, TonalityTakesPitchesFromTheScale) {
    engine e;
    one_voice_setting(e);
    e.p()[4] = 256;
    e.start();
    e.run(1);
    // tonxi after one step is 1: scale value 1 of the playing scale.
    EXPECT_EQ(e.st.t[0].rov_wincr, 8 * e.st.s.rov_tones[3 * 16 + 1]);
}

TEST(Ranov, EmphasisShortensOnlyUnaccentedDecays) {
    engine a(8, false, true);
    one_voice_setting(a);
    a.start();
    a.run(1);
    EXPECT_EQ(a.st.t[0].rov_edecr, 128 * 16 / 2048);  // accented: untouched

    engine n(8, false, true);
    one_voice_setting(n);
    n.p()[0] = 160;
    n.p()[9] = 0;  // no accents
    n.start();
    n.run(1);
    EXPECT_EQ(n.st.t[0].rov_edecr, (128 * 160 / 2048 + 2) / 3);
    EXPECT_EQ(n.st.t[0].rov_left, 64);  // normal stage at the centre
}

TEST(Ranov, PanningBeyondTheLeftEdge) {
    engine e;
    one_voice_setting(e);
    e.p()[7] = 0;
    e.p()[8] = 64;
    e.p()[9] = 0;
    e.start();
    e.run(1);
    // panxi = 1: p = (1 - 64) * 64 / 64 = -63, normal stage.
    EXPECT_EQ(e.st.t[0].rov_left, 128 + 63);
    EXPECT_EQ(e.st.t[0].rov_right, 0);
}

TEST(Ranov, SplitCallsOnBlockBoundariesEqualOneCall) {
    engine whole, split;
    whole.start();
    split.start();
    const auto a = whole.run(256 * 64);
    std::vector<int16_t> b;
    for (int32_t n : {256, 1024, 256 * 7, 256 * 52}) {
        const auto part = split.run(n);
        b.insert(b.end(), part.begin(), part.end());
    }
    ASSERT_EQ(a.size(), b.size());
    EXPECT_EQ(a, b);
    EXPECT_FALSE(silent(a));
}

TEST(Ranov, ACallEndingInsideABlockStartsAFreshBlockNext) {
    engine e;
    one_voice_setting(e);
    e.p()[11] = 3;
    e.start();
    e.run(100);   // beat step at frame 0: countdown 3
    EXPECT_EQ(e.st.g.rov_voccnt, 3);
    e.run(100);   // the next call's first frame is a control step
    EXPECT_EQ(e.st.g.rov_voccnt, 2);
}

TEST(Ranov, ChangeDelayHoldsTheCurrentValues) {
    engine e;
    one_voice_setting(e);
    e.p()[15] = 100;
    e.start();
    e.p()[2] = 500;
    e.run(256 * 50);
    EXPECT_EQ(e.st.g.rov_currp[2], 100);  // fewer than 100 beat steps: untouched
    e.run(256 * 60);
    EXPECT_GT(e.st.g.rov_currp[2], 100);
}

TEST(Ranov, FullSlotsDropOrStealByTimbreVariation) {
    engine drop(4, false);
    one_voice_setting(drop);
    drop.p()[0] = 256;
    drop.p()[1] = 0;  // decay only, so slots decay at once
    drop.start();
    drop.run(256 * 8);
    EXPECT_EQ(drop.busy(), 4);
    drop.run(256);
    EXPECT_EQ(drop.busy(), 4);  // the fifth tone was dropped, nothing stolen

    engine steal(4, true);
    one_voice_setting(steal);
    steal.p()[0] = 256;
    steal.p()[1] = 8;  // attack 1 frame per stage, then a long decay
    steal.start();
    steal.run(256 * 4);
    for (int k = 0; k < 4; ++k) EXPECT_EQ(steal.st.t[k].rov_ephas, 2);
    const uint16_t level0 = steal.st.t[0].rov_ecurr;  // the oldest is the quietest
    const uint16_t phase0 = steal.st.t[0].rov_wphas;
    steal.run(1);
    EXPECT_EQ(steal.st.t[0].rov_ephas, 1);             // stolen, attacking again
    EXPECT_EQ(steal.st.t[0].rov_ecurr, level0 + 1);    // from the level it had
    EXPECT_EQ(steal.st.t[0].rov_wphas, static_cast<uint16_t>(phase0 + 800));  // phase kept
}

TEST(Ranov, TimbreVariationNeedsEnoughVoicesButStealingDoesNot) {
    engine e(1, true);
    one_voice_setting(e);
    e.p()[0] = 32;  // above maxvoc * 16
    e.p()[1] = 0;
    e.start();
    e.run(256 * 2);
    EXPECT_EQ(e.st.t[0].rov_wpuls, 128 * 256);  // width not varied
    EXPECT_EQ(e.st.t[0].rov_ephas, 2);          // and the single slot was taken over
}

TEST(Ranov, PauseStartsNoToneButLetsTonesFinish) {
    engine e;
    one_voice_setting(e);
    e.start();
    e.run(100);
    EXPECT_EQ(e.busy(), 1);
    e.st.g.rov_stopped = 1;
    e.run(256 * 40);
    EXPECT_EQ(e.busy(), 0);
    EXPECT_LT(e.st.g.rov_voccnt, -30);  // the countdown kept falling
    e.st.g.rov_stopped = 0;
    e.run(1);
    EXPECT_EQ(e.busy(), 1);  // first block after the pause beats
}

TEST(Ranov, LoweringTheVoiceMaximumSilencesHigherSlots) {
    engine e(8);
    one_voice_setting(e);
    e.p()[0] = 256;
    e.p()[5] = 0;
    e.start();
    e.st.t[5].rov_ephas = 1;
    e.st.t[5].rov_ecurr = 100;
    e.st.t[5].rov_eincr = 1000;
    e.st.t[5].rov_wincr = 1000;
    e.st.t[5].rov_left = e.st.t[5].rov_right = 128;
    e.st.t[5].rov_wpuls = 0;
    EXPECT_FALSE(silent(e.run(256)));
    e.st.g.rov_maxvoc = 4;
    EXPECT_TRUE(silent(e.run(256)));
}

TEST(Ranov, SampleWindowWithSawOffAtAnEighthOfTheIncrement) {
    engine e;
    one_voice_setting(e);
    e.st.s.rov_saw[0] = 0;
    e.p()[12] = 256;  // window at the end of the sample
    std::vector<int16_t> sample(1000);
    for (std::size_t i = 0; i < sample.size(); ++i) sample[i] = static_cast<int16_t>(i);
    e.start();
    // The slot's first tone uses the switch value it had before (0 here: fresh slots).
    const auto out = e.run(2, sample.data(), static_cast<intptr_t>(sample.size()));
    EXPECT_EQ(e.st.t[0].rov_wincr, 800 / 8);
    EXPECT_EQ(e.st.t[0].rov_wpuls, 0);
    // Window start 256 * 744 / 257 = 741: the first value played is 741.
    EXPECT_EQ(out[0], ((1 * 741) >> 4) * 128 >> 13);
}

TEST(Ranov, DamagedModuliAndWaveformDoNotCrash) {
    engine e;
    e.st.s.rov_pitmod = e.st.s.rov_tonmod = e.st.s.rov_panmod = 0;
    e.st.s.rov_densmod = e.st.s.rov_dynmod = -5;
    for (int i = 0; i < 13; ++i) e.p()[i] = static_cast<int16_t>(i % 2 ? 32767 : -32768);
    e.p()[11] = 0;
    e.start();
    std::vector<int16_t> sample(600, 100);
    e.run(256 * 30, sample.data(), static_cast<intptr_t>(sample.size()));
    e.run(256 * 30);
    SUCCEED();
}
