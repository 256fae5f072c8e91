// The sampling routines: shortest samples, silent speeds, loop lengths,
// the multiple-loop fade, reads around the sample, and the scalar and
// vector forms of the runs.
#include <gtest/gtest.h>
#include <hwy/targets.h>

#include <algorithm>
#include <vector>

#include "engine/plyov.h"
#include "engine/rows.h"
#include "engine/runs.h"
#include "engine/smpmem.h"
#include "engine_fixture.h"

namespace {

constexpr int rows[] = {6, 7, 8, 15, 20};

// A sample buffer laid out as the program keeps one: 12 words of format
// record and data header, the words, then what the file left behind.
struct sample_buf {
    std::vector<int16_t> w;
    int32_t len;
    int32_t head;
    sample_buf(int32_t n, int32_t tail, uint32_t seed = 7, int32_t head_ = 12)
        : w(head_ + n + tail), len(n), head(head_) {
        uint32_t x = seed;
        for (auto& e : w) {
            x = x * 1103515245u + 12345u;
            e = static_cast<int16_t>(static_cast<uint16_t>(x >> 16) / 2);
        }
    }
    const int16_t* tab() const { return w.data() + head; }
    rov_smparea area() const { return {w.data(), w.data() + w.size()}; }
};

// n frames of row `row` with the sample (tab, len) in the buffer `area`,
// starting from a fresh play.
std::vector<int16_t> play(engine_run& e, const int16_t* tab, intptr_t len, int32_t frames, int calls = 1,
                          rov_smparea area = {}) {
    e.st->h.smp = area;
    std::vector<int16_t> all;
    for (int i = 0; i < calls; ++i) {
        e.buf.assign(2 * static_cast<std::size_t>(frames), 0x5555);
        rov_rows[e.row].tab.alg(&e.st->h, e.buf.data(), frames, e.setnr, e.tonr, tab, len);
        all.insert(all.end(), e.buf.begin(), e.buf.end());
    }
    return all;
}

bool untouched(const std::vector<int16_t>& b) {
    return std::all_of(b.begin(), b.end(), [](int16_t v) { return v == 0x5555; });
}
bool silent(const std::vector<int16_t>& b) {
    return std::all_of(b.begin(), b.end(), [](int16_t v) { return v == 0; });
}

}  // namespace

TEST(Sampling, ShortestSamples) {
    for (int row : rows) {
        const int32_t min = rov_row(row).min_sample;
        sample_buf s(min + 64, 64);
        engine_run e(row, 0);
        e.start();
        EXPECT_TRUE(untouched(play(e, s.tab(), min - 1, 640, 1, s.area()))) << row;
        EXPECT_FALSE(untouched(play(e, s.tab(), min, 640, 1, s.area()))) << row;
        EXPECT_TRUE(untouched(play(e, nullptr, min, 640))) << row;
    }
    // Without a sample the sine cycle is the sample: the crossfade and the
    // multiple-loop players need more than 256 values, the others play it.
    for (int row : rows) {
        engine_run e(row, 0);
        e.P()[rov_par::Beat] = 0;
        e.start();
        const std::vector<int16_t> out = play(e, sintab, 256, 4096);
        if (row == 7 || row == 20)
            EXPECT_TRUE(untouched(out)) << row;
        else
            EXPECT_FALSE(silent(out)) << row;
    }
}

TEST(Sampling, SpeedZeroFreesTheSlotSilently) {
    sample_buf s(4000, 64);
    for (int row : rows) {
        engine_run e(row, 0);
        int16_t* p = e.P();
        p[rov_par::Pitch] = 0;
        p[3] = 0;       // no spread or range
        p[4] = 0;       // no scale tones, intervals or phrases
        p[5] = 128;     // density (static, multiple loops)
        p[rov_par::Beat] = 0;
        for (int i = 0; i < 16; ++i) e.scale(e.tonr)[i] = 0, e.scale(e.tonr | 1)[i] = 0;
        e.start();
        EXPECT_TRUE(silent(play(e, s.tab(), s.len, 2048, 1, s.area()))) << row;
        EXPECT_EQ(e.busy(), 0) << row;
    }
}

TEST(Sampling, PhrasePlayerFixedLoopLengths) {
    sample_buf s(5000, 64);
    const int64_t N = s.len - 32;
    for (int ll = 112; ll <= 128; ++ll) {
        for (int drift : {0, 5}) {
            engine_run e(15, 0);
            int16_t* p = e.P();
            p[par_samphrase::LoopLength] = static_cast<int16_t>(ll);
            p[par_samphrase::LoopDrift] = static_cast<int16_t>(drift);
            p[rov_par::Pitch] = 466;
            e.start();
            play(e, s.tab(), s.len, 64, 1, s.area());
            const int64_t L = drift + std::min<int64_t>(looptab[ll - 112], N / 2);
            EXPECT_EQ(e.slot(0).rov_sleng, 256 * L) << ll;
            EXPECT_EQ(e.slot(0).rov_prev, drift);
        }
    }
    // Below 112 the length stretches with the sample: 16 N / (q + 16).
    engine_run e(15, 0);
    e.P()[par_samphrase::LoopLength] = 100;
    e.P()[rov_par::Pitch] = 466;
    e.start();
    play(e, s.tab(), s.len, 64, 1, s.area());
    EXPECT_EQ(e.slot(0).rov_sleng, 256u * (16 * N / ((100 - 60) * 100 / 4 + 16)));
}

TEST(Sampling, MultipleLoopsWithoutCrossfadeNeverFade) {
    sample_buf s(8000, 64);
    engine_run e(20, 0);
    int16_t* p = e.P();
    p[par_multiloop::Crossfade] = 0;
    p[par_multiloop::Density] = 128;
    p[par_multiloop::LoopChng] = 256;
    p[rov_par::Beat] = 0;
    e.start(8);
    for (int i = 0; i < 20; ++i) {
        play(e, s.tab(), s.len, 1000, 1, s.area());
        for (int k = 0; k < 8; ++k)
            if (e.slot(k).rov_ephas) {
                EXPECT_EQ(e.slot(k).rov_aux1, 32);
            }
    }
    // With a crossfade, a segment change fades in from below 32.
    e.P()[par_multiloop::Crossfade] = 64;
    bool faded = false;
    for (int i = 0; i < 20 && !faded; ++i) {
        play(e, s.tab(), s.len, 1000, 1, s.area());
        for (int k = 0; k < 8; ++k) faded |= e.slot(k).rov_ephas && e.slot(k).rov_aux1 < 32;
    }
    EXPECT_TRUE(faded);
}

// A loop that ends where the sample ends reads the word after it: the
// buffer's own word there, or 0 where the sample's buffer is not known.
TEST(Sampling, ReadsAfterTheSampleFollowTheBuffer) {
    const int32_t n = 1000;
    auto render = [&](const int16_t* tab, rov_smparea area = {}) {
        engine_run e(6, 0);
        int16_t* p = e.P();
        p[par_sampling::Position] = 256;  // the loop ends at the sample's end
        p[par_sampling::LoopLength] = 100;
        p[par_sampling::LoopCoarse] = 0;
        p[par_sampling::Intervals] = 0;
        p[rov_par::Pitch] = 300;
        p[rov_par::Beat] = 0;
        e.start();
        return play(e, tab, n, 2048, 3, area);
    };
    sample_buf withtail(n, 64);
    sample_buf zerotail(n, 64);
    std::copy(withtail.w.begin(), withtail.w.begin() + 12 + n, zerotail.w.begin());
    std::fill(zerotail.w.begin() + 12 + n, zerotail.w.end(), 0);
    // The same words alone, in memory no buffer is named for.
    const std::vector<int16_t> bare(withtail.tab(), withtail.tab() + n);
    const std::vector<int16_t> a = render(withtail.tab(), withtail.area());
    const std::vector<int16_t> b = render(zerotail.tab(), zerotail.area());
    const std::vector<int16_t> c = render(bare.data());
    EXPECT_NE(a, b);  // the word after the sample is heard
    EXPECT_EQ(b, c);  // and reads 0 where nothing is known
}

TEST(Sampling, ViewOfAFewWords) {
    sample_buf s(100, 20);
    const rov_smpview v = rov_smpview_of(s.tab(), s.len, s.area());
    EXPECT_EQ(v.lo, -12);
    EXPECT_EQ(v.hi, 120);
    EXPECT_EQ(v.at(-12), s.w[0]);
    EXPECT_EQ(v.at(-13), 0);
    EXPECT_EQ(v.at(119), s.w.back());
    EXPECT_EQ(v.at(120), 0);
    EXPECT_EQ(v.at(-5000000000LL), 0);
    const rov_smpview sv = rov_smpview_of(sintab, 256, {});
    EXPECT_EQ(sv.at(256), 0);
    EXPECT_EQ(sv.at(64), 20860);
    EXPECT_EQ(sv.at(257), 0);
    EXPECT_EQ(sv.at(-1), 0);
    // Words outside the named buffer, or no buffer: just the words.
    const sample_buf other(100, 20);
    EXPECT_EQ(rov_smpview_of(s.tab(), s.len, other.area()).lo, 0);
    EXPECT_EQ(rov_smpview_of(s.tab(), s.len, {}).lo, 0);
    EXPECT_EQ(rov_smpview_of(s.tab(), s.len, {}).hi, 100);
    // A view reaching past the buffer's end is not inside it.
    EXPECT_EQ(rov_smpview_of(s.tab(), s.len + 21, s.area()).lo, 0);
}

// The crossfade player's default sets 7 and 8 use loops of 4 words with
// drift: their fades reach far before the sample's first word. Exactly
// sized samples (nothing around them) must read 0 there; under the
// sanitizers any read outside fails.
TEST(Sampling, DefaultSetsReadAroundTheSampleSafely) {
    for (int row : rows)
        for (int set = 0; set < rov_nsets; ++set)
            for (bool timbre : {false, true}) {
                for (int32_t n : {rov_row(row).min_sample, 3000}) {
                    std::vector<int16_t> bare(static_cast<std::size_t>(n));
                    for (int32_t i = 0; i < n; ++i) bare[i] = static_cast<int16_t>((i * 7919) & 0x3fff);
                    engine_run e(row, set);
                    e.tonr = e.st->s.rov_tonindx[set];
                    e.start(20, timbre);
                    for (int i = 0; i < 6; ++i) play(e, bare.data(), n, 3000);
                }
            }
}

// Default set 7 fades from 188 words before its loop, which starts at the
// sample's first word: what the buffer holds there is heard, and nothing
// where the buffer ends (here 12 words before the sample).
TEST(Sampling, CrossfadeBeforeTheStartReadsTheBuffer) {
    auto render = [](const int16_t* tab, int32_t len, rov_smparea area = {}) {
        engine_run e(7, 7);
        e.tonr = e.st->s.rov_tonindx[7];
        e.start();
        return play(e, tab, len, 3000, 4, area);
    };
    sample_buf wide(3000, 64, 7, 400), zeroed(3000, 64, 7, 400), header(3000, 64, 7, 12);
    std::fill(zeroed.w.begin(), zeroed.w.begin() + 400, 0);
    std::copy(wide.w.begin() + 400, wide.w.end(), header.w.begin() + 12);
    std::fill(header.w.begin(), header.w.begin() + 12, 0);
    const std::vector<int16_t> bare(wide.tab(), wide.tab() + 3000);
    EXPECT_NE(render(wide.tab(), 3000, wide.area()), render(zeroed.tab(), 3000, zeroed.area()));
    EXPECT_EQ(render(zeroed.tab(), 3000, zeroed.area()), render(bare.data(), 3000));
    EXPECT_EQ(render(header.tab(), 3000, header.area()), render(bare.data(), 3000));
}

// Parameters and scales anywhere in their 16 bits (a damaged setting file):
// no read outside memory the routine owns, no undefined arithmetic.
TEST(Sampling, DamagedSettingsStaySafe) {
    uint32_t x = 4711;
    auto rnd = [&x] {
        x = x * 1103515245u + 12345u;
        return static_cast<int16_t>(static_cast<uint16_t>(x >> 8));
    };
    for (int row : rows)
        for (int round = 0; round < 40; ++round) {
            std::vector<int16_t> bare(static_cast<std::size_t>(rov_row(row).min_sample + (round % 3) * 700));
            for (auto& w : bare) w = rnd();
            engine_run e(row, 0);
            for (int i = 0; i < 13; ++i) e.P()[i] = round % 2 ? rnd() : static_cast<int16_t>(rnd() & 0x1ff);
            e.P()[rov_par::Beat] = static_cast<int16_t>(rnd() & 3);
            for (auto& t : e.st->s.rov_tones) t = round % 4 == 1 ? rnd() : static_cast<int16_t>(rnd() & 0x3ff);
            e.st->s.rov_saw[0] = static_cast<int8_t>(round & 1);
            e.start(64, round % 3 == 0, round % 5 == 0);
            for (int i = 0; i < 3; ++i) play(e, bare.data(), static_cast<intptr_t>(bare.size()), 2000);
        }
}

TEST(Sampling, ScalarAndVectorFormsAgree) {
    sample_buf s(6000, 200);
    std::vector<int64_t> targets;
    for (int64_t t : hwy::SupportedAndGeneratedTargets()) targets.push_back(t);
    for (int row : rows)
        for (int set = 0; set < rov_nsets; ++set)
            for (int flags = 0; flags < 4; ++flags) {
                auto render = [&](bool scalar) {
                    engine_run e(row, set);
                    e.st->h.scalar = scalar;
                    e.tonr = e.st->s.rov_tonindx[set];
                    if (flags & 2) {
                        e.P()[rov_par::Voices] = 1024;
                        e.P()[5] = 128;
                    }
                    e.start(flags & 2 ? 64 : 8, flags & 1);
                    return play(e, s.tab(), s.len, 2500, 4, s.area());
                };
                const std::vector<int16_t> ref = render(true);
                for (int64_t t : targets) {
                    hwy::SetSupportedTargetsForTest(t);
                    EXPECT_EQ(render(false), ref) << "row " << row << " set " << set << " flags " << flags;
                }
                hwy::SetSupportedTargetsForTest(0);
            }
}

// The vector walks against the scalar ones where the loops and segments
// reach the sample's ends, speeds pass segment lengths and fades take any
// weight: parameters and scales drawn at random, on every target.
TEST(Sampling, ScalarAndVectorFormsAgreeOnAnySetting) {
    sample_buf s(3000, 40);
    uint32_t x = 99;
    auto rnd = [&x](int mask) {
        x = x * 1103515245u + 12345u;
        return static_cast<int16_t>((x >> 12) & static_cast<uint32_t>(mask));
    };
    int bad = 0;
    for (int row : rows)
        for (int round = 0; round < 12; ++round) {
            const uint32_t seed = x;
            auto render = [&](bool scalar) {
                x = seed;
                engine_run e(row, 0);
                for (int i = 0; i < 13; ++i) e.P()[i] = rnd(round % 3 ? 0x1ff : 0xffff);
                e.P()[rov_par::Voices] = 1024;
                e.P()[rov_par::Beat] = rnd(3);
                for (auto& t : e.st->s.rov_tones) t = rnd(round % 4 ? 0x3ff : 0xffff);
                e.st->s.rov_saw[0] = static_cast<int8_t>(round & 1);
                e.st->h.scalar = scalar;
                e.start(32, round % 3 == 0);
                return play(e, s.tab(), s.len, 1500, 3, s.area());
            };
            const std::vector<int16_t> ref = render(true);
            for (int64_t t : hwy::SupportedAndGeneratedTargets()) {
                hwy::SetSupportedTargetsForTest(t);
                if (render(false) != ref && ++bad <= 10) ADD_FAILURE() << rov_simd_target() << " row " << row << " round " << round;
            }
            hwy::SetSupportedTargetsForTest(0);
        }
    EXPECT_EQ(bad, 0);
}

TEST(Sampling, RowsTheRoutinesMinimaAgreeWith) {
    // The description's shortest sample is where the routine starts writing.
    for (int row : rows) {
        const int32_t min = rov_row(row).min_sample;
        EXPECT_GT(min, 0);
        EXPECT_TRUE(rov_row_computed(row));
        EXPECT_TRUE(rov_row_sampling(row));
    }
}

// One static loop worked by hand: the recorded speed (Pitch 128, scale
// value 262), a loop over the whole ramp, decay only (period 2 from level
// 31), an accent at pan position 1: left weight 127 / 2 = 63, right 1 / 2 = 0.
TEST(Sampling, StaticLoopWorkedByHand) {
    std::vector<int16_t> ramp(1000);
    for (int i = 0; i < 1000; ++i) ramp[i] = static_cast<int16_t>(10 * i);
    engine_run e(8, 0);
    int16_t* p = e.P();
    p[rov_par::Voices] = 8;
    p[rov_par::Envelope] = 0;
    p[rov_par::Pitch] = 128;
    p[par_sampling::Tonality] = 256;
    p[par_sampling::Density] = 128;
    p[par_sampling::LoopLength] = 0;
    p[par_sampling::LoopCoarse] = 0;
    p[rov_par::Accents] = 128;
    p[rov_par::Beat] = 0;
    p[par_sampling::Position] = 0;
    for (int i = 0; i < 16; ++i) e.scale(e.tonr)[i] = 262;
    e.start();
    play(e, ramp.data(), 1000, 8);
    const rov_tonephase& v = e.slot(0);
    EXPECT_EQ(v.rov_sincr, 256);
    EXPECT_EQ(v.rov_sleng, 256u * 1000);
    EXPECT_EQ(v.rov_sbeg, 0u);
    EXPECT_EQ(v.rov_left, 63);
    EXPECT_EQ(v.rov_right, 0);
    EXPECT_EQ(v.rov_edecr, 2);
    // Frame f plays word f at level 31 - f/2 (the level falls every second frame).
    for (int f = 0; f < 8; ++f) {
        const int level = 31 - f / 2;
        EXPECT_EQ(e.buf[2 * f], (63 * level * 10 * f) >> 12) << f;
        EXPECT_EQ(e.buf[2 * f + 1], 0) << f;
    }
}
