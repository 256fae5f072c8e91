// The routines whose timbre or control comes from curves in the scale
// memory: the programmable half waveform and transfer function, the glide
// that leaves the scales alone at Chg.Dly 128, vibrato and waveform sweep;
// the two slow controls, their speeds, the beat they stretch and the
// values they hand to a tone.
#include <gtest/gtest.h>

#include <vector>

#include "engine/phrase.h"
#include "engine/runs.h"
#include "engine/slots.h"
#include "engine_fixture.h"

namespace {

constexpr int waveforms_row = 18, lfo_row = 19;

bool silent(const std::vector<int16_t>& b) {
    for (int16_t s : b)
        if (s != 0) return false;
    return true;
}

// --- Complex waveforms -------------------------------------------------------------

engine_run waveforms(bool phas, int wavesel) {
    engine_run e(waveforms_row);
    int16_t* p = e.P();
    p[par_ostinato::WaveSel] = static_cast<int16_t>(wavesel);
    p[rov_par::Voices] = 128;
    p[rov_par::Beat] = 1;
    e.st->s.rov_saw[e.setnr] = phas ? 1 : 0;
    return e;
}

TEST(ComplexWaveforms, SixteenMiddleValuesAreSilentWithPhasOff) {
    for (int detune : {0, 20}) {
        engine_run e = waveforms(false, 40);
        e.P()[par_phrase::Detune] = static_cast<int16_t>(detune);
        for (int i = 0; i < 16; ++i) e.st->s.rov_tones[40 + i] = 512;
        e.start(8);
        e.run(20000);
        EXPECT_GT(e.busy(), 0);
        EXPECT_TRUE(silent(e.buf)) << "detune " << detune;
        // Any other value of the table sounds.
        e.st->s.rov_tones[40 + 3] = 700;
        e.run(3000);
        EXPECT_FALSE(silent(e.buf)) << "detune " << detune;
    }
}

TEST(ComplexWaveforms, TransferFunctionOfMiddleValuesIsSilentAndTheTriangleIsNot) {
    engine_run e = waveforms(true, 40);
    for (int i = 0; i < 16; ++i) e.st->s.rov_tones[40 + i] = 512;
    e.start(8);
    e.run(20000);
    EXPECT_TRUE(silent(e.buf));
    // A table rising evenly through 512 passes the triangle on.
    for (int i = 0; i < 16; ++i) e.st->s.rov_tones[40 + i] = static_cast<int16_t>(512 + 32 * (i + 1));
    e.run(3000);
    EXPECT_FALSE(silent(e.buf));
}

TEST(ComplexWaveforms, SlotKeepsWaveSelAndVibrato) {
    engine_run e = waveforms(false, 17);
    e.P()[par_ostinato::Vibrato] = 21;
    e.start(8);
    e.run(1);
    EXPECT_EQ(e.slot(0).rov_prev, 17);
    EXPECT_EQ(e.slot(0).rov_wincr3, 42);
}

TEST(ComplexWaveforms, ChgDly128LeavesTheScalesAlone) {
    for (int delay : {1, 128}) {
        engine_run e = waveforms(false, 0);
        e.P()[rov_par::ChgDly] = static_cast<int16_t>(delay);
        e.P()[rov_par::Beat] = 0;
        e.P()[par_phrase::PitRange] = 100;
        e.start(8);
        const int even = e.tonr & ~1;
        for (int i = 0; i < 16; ++i) {
            e.scale(even)[i] = static_cast<int16_t>(300 + i);
            e.scale(even + 1)[i] = static_cast<int16_t>(600 + i);
        }
        e.beats(128 * 17);
        for (int i = 1; i < 16; ++i) {
            if (delay < 128) {
                EXPECT_EQ(e.g().rov_toncur[i], 600 + i) << i;
                EXPECT_EQ(e.g().rov_phrase[i], 300 + i) << i;
            } else {
                EXPECT_NE(e.g().rov_toncur[i], 600 + i) << i;
                EXPECT_NE(e.g().rov_phrase[i], 300 + i) << i;
            }
        }
        // The parameters glide all the same.
        EXPECT_LT(e.g().rov_currp[par_phrase::PitRange], 192) << delay;
        if (delay < 128) {
            EXPECT_EQ(e.g().rov_currp[par_phrase::PitRange], 100);
        }
    }
}

// One tone in slot 0, decaying from the start, 16 frames per stage.
engine_run one_decay(bool timbre, int vibrato) {
    engine_run e = waveforms(false, 0);
    int16_t* p = e.P();
    p[rov_par::Voices] = 16;
    p[rov_par::Beat] = 127;  // L = 2048
    p[rov_par::Envelope] = 0;
    p[par_ostinato::Vibrato] = static_cast<int16_t>(vibrato);
    p[rov_par::Waveform] = 128;
    e.start(1, timbre);
    e.run(1);
    return e;
}

TEST(ComplexWaveforms, VibratoMovesTheIncrementByTheLevelsLowBits) {
    engine_run e = one_decay(false, 10);  // a = 20: 2a up or down by level & 7
    rov_tonephase& v = e.slot(0);
    ASSERT_EQ(v.rov_ephas, 2);
    ASSERT_EQ(v.rov_edecr, 256);
    int32_t incr = v.rov_wincr;
    for (int level = 127; level > 100; --level) {
        ASSERT_EQ(v.rov_ecurr, level);
        incr += (level & 7) < 2 || (level & 7) > 5 ? 40 : -40;
        e.run(256);
        EXPECT_EQ(v.rov_wincr, static_cast<uint16_t>(incr)) << "level " << level;
    }
    EXPECT_EQ(v.rov_wpuls, 128 * 256);
}

TEST(ComplexWaveforms, SweepUnderTimbreVariationNarrowsThePulseWidth) {
    engine_run e = one_decay(true, 30);  // a = 60: w falls by 480 per decay stage while above it
    rov_tonephase& v = e.slot(0);
    const uint16_t incr = v.rov_wincr;
    int32_t w = v.rov_wpuls;
    ASSERT_EQ(w, 32768);
    for (int n = 0; n < 80; ++n) {
        if (480 < w) w -= 480;
        e.run(256);
        EXPECT_EQ(v.rov_wpuls, w) << n;
    }
    EXPECT_EQ(v.rov_wincr, incr);
    EXPECT_LT(v.rov_wpuls, 480);
}

// --- Slow controls ------------------------------------------------------------------

// LFO curves: LFO1 from values 0..7, LFO2 from 8..15 of the playing scale.
engine_run lfo(std::initializer_list<int> lfo1, std::initializer_list<int> lfo2) {
    engine_run e(lfo_row);
    int16_t* sc = e.scale(e.tonr);
    int i = 0;
    for (int v : lfo1) sc[i++] = static_cast<int16_t>(v);
    i = 8;
    for (int v : lfo2) sc[i++] = static_cast<int16_t>(v);
    int16_t* p = e.P();
    p[par_lfo::LFO1speed] = 0;
    p[par_lfo::LFO2speed] = 0;
    p[rov_par::Beat] = 2;
    e.st->s.rov_saw[e.setnr] = 0;  // Rand off
    return e;
}

TEST(SlowControls, SpeedsZeroHoldTheFirstPointsOfTheCurves) {
    engine_run e = lfo({300, 900, 900, 900, 900, 900, 900, 900}, {1024, 0, 0, 0, 0, 0, 0, 0});
    int16_t* p = e.P();
    p[par_lfo::LFO1Wave] = 128;  // w = (128 * L1 / 1024) * Waveform * 2
    p[rov_par::Waveform] = 100;
    p[par_lfo::LFO2Beat] = 128;
    e.start(64);
    for (int n = 0; n < 20; ++n) {
        e.run(1);  // a beat step: the countdown becomes LFO2Beat * L2 / 1024 + Beat
        EXPECT_EQ(e.g().rov_densxi, 0);
        EXPECT_EQ(e.g().rov_dynxi, 0);
        EXPECT_EQ(e.g().rov_voccnt, 2 + 128);
        e.g().rov_voccnt = 0;
    }
    const int16_t w = static_cast<int16_t>(128 * 300 / 1024 * 100 * 2);
    for (int k = 0; k < 20; ++k) EXPECT_EQ(e.slot(k).rov_wpuls, w) << k;
}

TEST(SlowControls, LFO2BeatZeroKeepsTheBeatFixed) {
    engine_run e = lfo({0, 0, 0, 0, 0, 0, 0, 0}, {1024, 512, 0, 1024, 700, 1, 2, 3});
    e.P()[par_lfo::LFO2Beat] = 0;
    e.P()[par_lfo::LFO2speed] = 200;
    e.start(8);
    for (int n = 0; n < 30; ++n) {
        e.run(1);
        EXPECT_EQ(e.g().rov_voccnt, 2);
        e.g().rov_voccnt = 0;
    }
}

TEST(SlowControls, SpeedsMoveThePhasesAndTheCountdownFollowsLFO2) {
    // LFO1speed 200: (200 - 184) * 200 / 8 = 400 per beat step; LFO2speed
    // 100: (100 - 92) * 100 / 4 = 200.
    engine_run e = lfo({0, 0, 0, 0, 0, 0, 0, 0}, {0, 1024, 0, 1024, 0, 1024, 0, 1024});
    int16_t* p = e.P();
    p[par_lfo::LFO1speed] = 200;
    p[par_lfo::LFO2speed] = 100;
    p[par_lfo::LFO2Beat] = 64;
    e.start(8);
    for (int n = 1; n <= 40; ++n) {
        e.run(1);
        const int ph1 = 400 * n % 4096, ph2 = 200 * n % 4096;
        EXPECT_EQ(e.g().rov_densxi, ph1);
        EXPECT_EQ(e.g().rov_dynxi, ph2);
        // LFO2 between a point 0 and a point 1024 (or the other way).
        const int f = ph2 & 511;
        const int l2 = ((ph2 >> 9) & 1) ? (512 - f) * 1024 / 512 : 1024 * f / 512;
        EXPECT_EQ(e.g().rov_voccnt, 64 * l2 / 1024 + 2) << n;
        e.g().rov_voccnt = 0;
    }
}

TEST(SlowControls, RandSubtractsTheTonalityStateFromLFO2) {
    engine_run e = lfo({0, 0, 0, 0, 0, 0, 0, 0}, {1024, 1024, 1024, 1024, 1024, 1024, 1024, 1024});
    e.P()[par_lfo::LFO2Beat] = 128;
    e.st->s.rov_saw[e.setnr] = 1;
    e.start(8);
    for (int n = 0; n < 30; ++n) {
        e.run(1);
        const int l2 = std::max(0, 1024 - e.g().rov_tonxi);
        EXPECT_EQ(e.g().rov_voccnt, 128 * l2 / 1024 + 2) << n;
        e.g().rov_voccnt = 0;
    }
}

TEST(SlowControls, ToneHasA32StageEnvelopeAndHalfWeights) {
    engine_run e = lfo({1024, 1024, 1024, 1024, 1024, 1024, 1024, 1024}, {0, 0, 0, 0, 0, 0, 0, 0});
    int16_t* p = e.P();
    p[rov_par::Voices] = 64;
    p[rov_par::Envelope] = 0;
    p[par_lfo::LFO1Voice] = 128;  // T = ((128 * L1 / 1024 + 0) * Voices / 128) * (Beat + 1) = 192
    p[par_lfo::LFO2Env] = 64;     // E = (64 * L2 / 1024) * Envelope / 64 = 0: decay only
    e.start(8);
    e.run(1);
    const rov_tonephase& v = e.slot(0);
    EXPECT_EQ(v.rov_ephas, 2);
    EXPECT_EQ(v.rov_ecurr, 31);
    EXPECT_EQ(v.rov_eincr, 0);
    EXPECT_EQ(v.rov_edecr, 256 * 192 / 512);
    const int pan = e.g().rov_panxi & 127;
    EXPECT_EQ(v.rov_left, (128 - pan) / 2);
    EXPECT_EQ(v.rov_right, pan / 2);
    e.run(3000);
    EXPECT_FALSE(silent(e.buf));
}

}  // namespace

namespace {

// The wave-table run of the vector kernels against the shapes frame by
// frame: every phase of a cycle, one oscillator or two, half waveform or
// transfer function, with increments that carry a vector's lanes past the
// end of the cycle.
int32_t halfwave_frame(const int16_t* w, uint32_t phi, uint32_t width, bool transfer) {
    const int32_t x = rov_tri32k(phi, width) - 16384;
    if (transfer) return x;
    const int32_t a = x < 0 ? -x : x, i = a >> 11, f = a & 2047;
    const bool rising = phi < width;
    const int32_t wl = w[rising ? i : (16 - i) & 15] - 512, wh = w[rising ? i + 1 : 15 - i] - 512;
    const int32_t z = (2048 - f) * wl + wh * f;
    return (x < 0 ? -z : z) >> 6;
}
int32_t transfer_value(const int16_t* w, int32_t v) {
    const bool neg = v < 1;
    const int32_t a = neg ? -v : v, i = (a >> 14) & 15, f = a & 16383;
    const int32_t wl = i == 0 ? 0 : w[i - 1] - 512, wh = w[i] - 512;
    const int32_t z = (16384 - f) * wl + wh * f;
    return (neg ? -z : z) >> 5;
}

TEST(WaveTableKernel, MatchesTheShapesFrameByFrame) {
    int16_t w[16];
    for (int i = 0; i < 16; ++i) w[i] = static_cast<int16_t>((i * 397) % 1025);
    for (bool transfer : {false, true})
        for (int oscs : {1, 2})
            for (uint32_t width : {0u, 1u, 28672u, 32768u, 65280u})
                for (uint32_t incr : {1u, 5096u, 65535u}) {
                    rov_run run;
                    run.kind = rov_kind::halfwave;
                    run.wave[0] = 512;
                    for (int i = 0; i < 16; ++i) run.wave[1 + i] = w[i];
                    run.transfer = transfer;
                    run.oscs = oscs;
                    run.vshift = oscs == 1 ? 3 : 4;
                    run.level = 127;
                    run.left = 1;
                    run.w = width;
                    run.incr[0] = incr;
                    run.incr[1] = 3;
                    int bad = 0;
                    for (uint32_t p0 = 0; p0 < 65536; p0 += rov_chunk) {
                        rov_sums sums;
                        run.phase[0] = p0;
                        run.phase[1] = (p0 * 7) & 65535;
                        rov_vec_run(run, rov_tabpairs{}, 0, rov_chunk, sums);
                        for (uint32_t i = 0; i < rov_chunk; ++i) {
                            int32_t y = halfwave_frame(w, (p0 + i * incr) & 65535, width, transfer);
                            if (oscs == 2) y += halfwave_frame(w, (run.phase[1] + 3 * i) & 65535, width, transfer);
                            int32_t v = (127 * y) >> run.vshift;
                            if (transfer) v = transfer_value(w, v);
                            bad += static_cast<int32_t>(sums.left[i]) != v;
                        }
                    }
                    EXPECT_EQ(bad, 0) << "transfer " << transfer << " oscs " << oscs << " w " << width << " incr "
                                      << incr;
                }
}

TEST(WaveTableKernel, TableWithoutInterpolation) {
    rov_tabpairs pairs;
    pairs.build(sintab);
    rov_run run;
    run.kind = rov_kind::table0;
    run.level = 16;
    run.left = 1;
    run.incr[0] = 7919;
    int bad = 0;
    for (uint32_t p0 = 0; p0 < 65536; p0 += 97) {
        rov_sums sums;
        run.phase[0] = p0;
        rov_vec_run(run, pairs, 0, rov_chunk, sums);
        for (uint32_t i = 0; i < rov_chunk; ++i)
            bad += static_cast<int32_t>(sums.left[i]) != sintab[((p0 + i * 7919) & 65535) >> 8];
    }
    EXPECT_EQ(bad, 0);
}

}  // namespace
