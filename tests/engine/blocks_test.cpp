// The shared building blocks against the values they must produce.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/blocks.h"
#include "engine/rov.h"

TEST(SineTable, QuarterWaveIsMirroredIntoAFullCycle) {
    EXPECT_EQ(sintab[0], 0);
    EXPECT_EQ(sintab[64], 20860);
    EXPECT_EQ(sintab[128], 0);
    EXPECT_EQ(sintab[192], -20860);
    EXPECT_EQ(sintab[256], 0);  // closing entry equals entry 0
    EXPECT_EQ(sintab[1], 511);
    EXPECT_EQ(sintab[127], 511);
    EXPECT_EQ(sintab[129], -511);
    EXPECT_EQ(sintab[255], -511);
    EXPECT_EQ(sintab[32], 14750);
    EXPECT_EQ(sintab[96], 14750);
    EXPECT_EQ(sintab[224], -14750);
}

TEST(Setting, SerializesToExactly672LittleEndianBytes) {
    rov_setting s;
    rov_default_setting(s);
    s.rov_p[0] = -2;
    s.rov_tones[159] = 0x1234;
    s.rov_stdalg = 17;
    uint8_t bytes[rov_setting_bytes];
    rov_setting_write(s, bytes);
    EXPECT_EQ(bytes[0], 0xfe);
    EXPECT_EQ(bytes[1], 0xff);
    EXPECT_EQ(bytes[320], 1);                              // rov_saw[0]
    EXPECT_EQ(bytes[330], 3);                              // rov_tonindx[0]
    EXPECT_EQ(bytes[340] | bytes[341] << 8, 120);          // rov_densmod
    EXPECT_EQ(bytes[346] | bytes[347] << 8, 1753);         // rov_pitmod
    EXPECT_EQ(bytes[350] | bytes[351] << 8, 33);           // rov_tones[0]
    EXPECT_EQ(bytes[668], 0x34);
    EXPECT_EQ(bytes[669], 0x12);
    EXPECT_EQ(bytes[670] | bytes[671] << 8, 17);           // rov_stdalg

    rov_setting back;
    std::memset(&back, 0x55, sizeof back);
    rov_setting_read(back, bytes);
    uint8_t again[rov_setting_bytes];
    rov_setting_write(back, again);
    EXPECT_EQ(std::memcmp(bytes, again, rov_setting_bytes), 0);
    EXPECT_EQ(back.rov_p[0], -2);
    EXPECT_EQ(back.rov_stdalg, 17);
}

TEST(Setting, DefaultMatchesTheBuiltInSoundscape) {
    rov_setting s;
    rov_default_setting(s);
    EXPECT_EQ(s.rov_p[2], 932);
    EXPECT_EQ(s.rov_p[13], 12);              // set 0 plays at 5512 Hz
    EXPECT_EQ(s.rov_p[9 * 16 + 14], 128);
    EXPECT_EQ(s.rov_saw[5], 0);
    EXPECT_EQ(s.rov_tonindx[8], 7);
    EXPECT_EQ(s.rov_tones[9 * 16 + 15], 569);
    EXPECT_EQ(s.rov_stdalg, 1);
    EXPECT_EQ(rov_rate(s.rov_p[13]), 5512);
}

TEST(Rates, TableAndClampedLookup) {
    EXPECT_EQ(pbrates[24], 11025);
    EXPECT_EQ(pbrates[36], 22050);
    EXPECT_EQ(pbrates[48], 44100);
    EXPECT_EQ(pbrates[12], pbrates[13]);
    EXPECT_EQ(rov_rate(-5), 2756);
    EXPECT_EQ(rov_rate(999), 50000);
}

TEST(ModuloSequence, FollowsSignedRemainder) {
    EXPECT_EQ(rov_modseq(0, 804, 1753), 1);
    EXPECT_EQ(rov_modseq(1, 804, 1753), 805);
    EXPECT_EQ(rov_modseq(805, 804, 1753), (804 * 805 + 1) % 1753);
    // A negative multiplier gives a negative remainder, kept to 16 bits.
    EXPECT_EQ(rov_modseq(5, -3, 120), static_cast<uint16_t>(-14));
    // A negative modulus divides like its magnitude (remainder follows the dividend).
    EXPECT_EQ(rov_modseq(3, 100, -7), 301 % 7);
}

TEST(ModuloSequence, ZeroModulusFromADamagedFileKeepsSixteenBits) {
    EXPECT_EQ(rov_modseq(0, 804, 0), 1);
    EXPECT_EQ(rov_modseq(1000, 804, 0), static_cast<uint16_t>(804 * 1000 + 1));
    rov_setting s{};
    rov_globphase g{};
    g.rov_currp[6] = 26;
    g.rov_currp[10] = 44;
    for (int i = 0; i < 1000; ++i) rov_sequences(g, s);  // all moduli 0: no crash
    SUCCEED();
}

TEST(BeatCountdown, ReloadsWithOffsetAndFloorsWhilePaused) {
    int16_t c = 0;
    EXPECT_TRUE(rov_beat(c, 3, false, 0));
    EXPECT_EQ(c, 3);
    EXPECT_FALSE(rov_beat(c, 3, false, 0));
    EXPECT_EQ(c, 2);
    c = 0;
    EXPECT_TRUE(rov_beat(c, 3, false, 2));
    EXPECT_EQ(c, 5);
    c = 0;
    EXPECT_FALSE(rov_beat(c, 3, true, 0));  // paused: keeps counting down
    EXPECT_EQ(c, -1);
    c = INT16_MIN;
    EXPECT_FALSE(rov_beat(c, 3, true, 0));
    EXPECT_EQ(c, INT16_MIN);                // no wrap to +32767 after a long pause
    EXPECT_TRUE(rov_beat(c, 3, false, 0));  // first block after the pause beats
}

TEST(Glide, ZeroDelayCopiesEverythingAtOnce) {
    rov_globphase g{};
    int16_t params[16] = {10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120, 130, 140, 150, 0};
    int16_t scale[16];
    for (int i = 0; i < 16; ++i) scale[i] = static_cast<int16_t>(i + 1);
    g.rov_vocno = 5;
    g.rov_tonupd = 7;
    EXPECT_TRUE(rov_glide(g, params, scale));
    for (int i = 0; i < 13; ++i) EXPECT_EQ(g.rov_currp[i], params[i]);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(g.rov_toncur[i], scale[i]);
    EXPECT_EQ(g.rov_vocno, 0);
    EXPECT_EQ(g.rov_tonupd, 0);
}

TEST(Glide, StepsBySixteenthsEveryDelayBeatSteps) {
    rov_globphase g{};
    int16_t params[16] = {100, -100, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3};
    int16_t scale[16] = {9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9};
    g.rov_currp[2] = 4;
    EXPECT_FALSE(rov_glide(g, params, scale));
    EXPECT_FALSE(rov_glide(g, params, scale));
    EXPECT_EQ(g.rov_currp[0], 0);           // untouched for Chg.Dly beat steps
    EXPECT_TRUE(rov_glide(g, params, scale));
    EXPECT_EQ(g.rov_currp[0], 7);           // (100 + 15) / 16
    EXPECT_EQ(g.rov_currp[1], -7);
    EXPECT_EQ(g.rov_currp[2], 5);           // a difference of 1 still moves
    EXPECT_EQ(g.rov_toncur[0], 9);          // one scale value per glide step
    EXPECT_EQ(g.rov_toncur[1], 0);
    EXPECT_EQ(g.rov_tonupd, 1);
    for (int i = 0; i < 200; ++i) rov_glide(g, params, scale);
    EXPECT_EQ(g.rov_currp[0], 100);         // the target is always reached
    EXPECT_EQ(g.rov_currp[1], -100);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(g.rov_toncur[i], 9);
}

TEST(Slots, FirstFreeThenQuietestDecayingWithTimbreVariation) {
    rov_tonephase t[8] = {};
    for (auto& v : t) v.rov_ephas = 1;
    t[5].rov_ephas = 0;
    EXPECT_EQ(rov_findslot(t, 8, false, 128).k, 5);
    EXPECT_FALSE(rov_findslot(t, 8, false, 128).stolen);
    EXPECT_EQ(rov_findslot(t, 5, false, 128).k, -1);  // only the first maxvoc count
    EXPECT_EQ(rov_findslot(t, 5, true, 128).k, -1);   // nothing decaying: dropped
    t[1].rov_ephas = 2;
    t[1].rov_ecurr = 40;
    t[3].rov_ephas = 2;
    t[3].rov_ecurr = 12;
    t[4].rov_ephas = 2;
    t[4].rov_ecurr = 12;
    const rov_slotpick p = rov_findslot(t, 5, true, 128);
    EXPECT_EQ(p.k, 3);  // lowest level, first on ties
    EXPECT_TRUE(p.stolen);
    EXPECT_EQ(rov_findslot(t, 5, false, 128).k, -1);
    EXPECT_EQ(rov_slotlimit(t, 8), 8);
    EXPECT_EQ(rov_slotlimit(t, 3), 3);
    rov_tonephase freeslots[4] = {};
    EXPECT_EQ(rov_slotlimit(freeslots, 4), 0);
}

TEST(Envelope, PeriodsAndStartStates) {
    rov_tonephase v{};
    rov_env_periods(v, 96, 1, 0, 1, 2048);  // L = 2 * 96
    EXPECT_EQ(v.rov_eincr, 0);
    EXPECT_EQ(v.rov_edecr, 256 * 192 / 2048);
    rov_env_start(v, 100, false, 128);
    EXPECT_EQ(v.rov_ephas, 2);  // no attack: starts decaying at the top
    EXPECT_EQ(v.rov_ecurr, 127);

    rov_env_periods(v, 16, 0, 128, 1, 512);  // 32-stage divisor
    EXPECT_EQ(v.rov_eincr, 4);
    EXPECT_EQ(v.rov_edecr, 4);
    v.rov_ecurr = 20;
    rov_env_start(v, 100, true, 32);  // stolen: keeps its level
    EXPECT_EQ(v.rov_ephas, 1);
    EXPECT_EQ(v.rov_ecurr, 20);
    rov_env_start(v, 100, false, 32);
    EXPECT_EQ(v.rov_ecurr, 1);
    rov_env_start(v, 0, false, 32);  // zero increment: free and silent
    EXPECT_EQ(v.rov_ephas, 0);
    EXPECT_EQ(v.rov_ecurr, 0);

    rov_tonephase w{};
    rov_env_periods(w, 0, 5, 128, 1, 2048);  // Voices 0: both periods 0
    rov_env_start(w, 100, false, 128);
    EXPECT_EQ(w.rov_ephas, 0);  // a free slot stays free
}

TEST(Envelope, AttackRisesToTheTopThenDecaysToFree) {
    rov_tonephase v{};
    v.rov_eincr = 2;
    v.rov_edecr = 3;
    rov_env_start(v, 1, false, 32);
    int frames = 0;
    while (v.rov_ephas == 1) {
        rov_env_step(v, 32);
        ++frames;
    }
    EXPECT_EQ(frames, 2 * 30);  // levels 1..30, then to T-1 in decay
    EXPECT_EQ(v.rov_ecurr, 31);
    while (v.rov_ephas == 2) {
        rov_env_step(v, 32);
        ++frames;
    }
    EXPECT_EQ(frames, 60 + 3 * 31);
    EXPECT_EQ(v.rov_ecurr, 0);

    rov_tonephase a{};
    a.rov_eincr = 1;
    rov_env_start(a, 1, false, 128);
    for (int i = 0; i < 126; ++i) rov_env_step(a, 128);
    EXPECT_EQ(a.rov_ephas, 0);  // no decay period: attack ends in free
}

TEST(Panning, StagesAndClearedSides) {
    rov_tonephase v{};
    rov_weights(v, 32, rov_accent);
    EXPECT_EQ(v.rov_left, 192);
    EXPECT_EQ(v.rov_right, 64);
    rov_weights(v, 32, rov_normal);
    EXPECT_EQ(v.rov_left, 96);
    EXPECT_EQ(v.rov_right, 32);
    rov_weights(v, 32, rov_soft);
    EXPECT_EQ(v.rov_left, 48);
    EXPECT_EQ(v.rov_right, 16);
    rov_weights(v, -64, rov_normal);  // left of the field
    EXPECT_EQ(v.rov_left, 192);
    EXPECT_EQ(v.rov_right, 0);
    rov_weights(v, -64, rov_accent);
    EXPECT_EQ(v.rov_left, 384);
    EXPECT_EQ(v.rov_right, 0);
    rov_weights(v, 150, rov_normal);
    EXPECT_EQ(v.rov_left, 0);
    EXPECT_EQ(v.rov_right, 150);
    EXPECT_EQ(rov_panpos(0, 64, 0), -64);
    EXPECT_EQ(rov_panpos(127, 64, 64), 127);
    EXPECT_EQ(rov_panpos(1, 3, 64), 64 - 63 * 3 / 64);  // truncates toward zero
}

TEST(Shapes, TriangleSawPulseAndSine) {
    EXPECT_EQ(rov_triangle(0, 32768), -16383);
    EXPECT_EQ(rov_triangle(32768, 32768), 32767 - 16383);
    EXPECT_EQ(rov_triangle(65535, 32768), -16383);
    EXPECT_EQ(rov_triangle(0, 0), 16384);  // w = 0: falling sawtooth
    EXPECT_EQ(rov_triangle(65535, 0), -16383);
    EXPECT_EQ(rov_triangle(65535, 65535), -16383);  // no division by zero
    EXPECT_EQ(rov_pulse(0, 1000), (1000 - 65535) / 2);
    EXPECT_EQ(rov_pulse(1000, 1000), 500);
    EXPECT_EQ(rov_table(64 * 256, sintab), 20860);
    EXPECT_EQ(rov_table(128, sintab), 255);            // halfway between 0 and 511
    EXPECT_EQ(rov_table(128 * 256 + 128, sintab), -256);  // arithmetic shift floors
    EXPECT_EQ(rov_table(65535, sintab), (1 * -511 + 255 * 0) >> 8);
    // Waveform 256 wraps to w = 0: the sine with Saw off, the saw with Saw on.
    const uint16_t w = rov_u16(256 * 256);
    EXPECT_EQ(rov_shape(64 * 256, w, false, sintab), 20860);
    EXPECT_EQ(rov_shape(0, w, true, sintab), 16384);
    EXPECT_EQ(rov_timbre(40000, 16), 10000);
    EXPECT_EQ(rov_timbre(40000, 32), 20000);
    EXPECT_EQ(rov_timbre(40000, 48), 30000);
    EXPECT_EQ(rov_timbre(40000, 0), 40000);
}

TEST(Mixing, WrapsInsteadOfSaturating) {
    rov_tonephase v{};
    v.rov_left = 256;
    v.rov_right = 0;
    uint32_t l = 0, r = 0;
    for (int i = 0; i < 4; ++i) rov_mix(v, 127 * 32767 >> 4, 11, l, r);
    int16_t out[2];
    rov_store(out, 0, l, r);
    EXPECT_EQ(out[0], static_cast<int16_t>(static_cast<uint16_t>(4 * ((256 * (127 * 32767 >> 4)) >> 11))));
    EXPECT_EQ(out[1], 0);
    rov_tonephase n{};
    n.rov_left = 128;
    uint32_t l2 = 0, r2 = 0;
    rov_mix(n, -1, 12, l2, r2);  // arithmetic shift: -128 >> 12 = -1
    rov_store(out, 0, l2, r2);
    EXPECT_EQ(out[0], -1);
}

TEST(StartOfPlay, ResetsPhaseFromSetAndScale) {
    static rov_state st;
    rov_state_init(st);
    rov_default_setting(st.s);
    st.t[40].rov_ephas = 2;
    st.g.rov_voccnt = 9;
    st.g.rov_stopped = 1;
    rov_open(&st.h, true, false, 64);
    EXPECT_EQ(st.g.rov_volshift, 14);
    EXPECT_EQ(st.g.rov_maxvoc, 64);
    EXPECT_EQ(st.g.rov_emphas, 1);
    rov_start(&st.h, 10, 3, 5);  // Session: the even set and even scale of the pair
    EXPECT_EQ(st.t[40].rov_ephas, 0);
    EXPECT_EQ(st.g.rov_currp[0], st.s.rov_p[2 * 16 + 0]);
    EXPECT_EQ(st.g.rov_vocdist, st.s.rov_p[2 * 16 + 11]);
    EXPECT_EQ(st.g.rov_vocdist2, st.s.rov_p[3 * 16 + 11]);
    EXPECT_EQ(st.g.rov_toncur[0], st.s.rov_tones[5 * 16]);
    EXPECT_EQ(st.g.rov_phrase[0], st.s.rov_tones[4 * 16]);
    EXPECT_EQ(st.g.rov_voccnt, 0);
    EXPECT_EQ(st.g.rov_stopped, 0);
    rov_start(&st.h, 17, 3, 5);  // Ostinato takes the phrase from the playing scale
    EXPECT_EQ(st.g.rov_phrase[0], st.s.rov_tones[5 * 16]);
    EXPECT_EQ(st.g.rov_currp[0], st.s.rov_p[3 * 16 + 0]);
    EXPECT_EQ(rov_volshift_for(4), 11);
    EXPECT_EQ(rov_volshift_for(5), 12);
    EXPECT_EQ(rov_volshift_for(19), 12);
    EXPECT_EQ(rov_volshift_for(20), 13);
    EXPECT_EQ(rov_volshift_for(63), 13);
}
