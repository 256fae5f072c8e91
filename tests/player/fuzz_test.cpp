// The fuzz types on single samples and on whole buffers, with the numbers a
// listener would check by hand.
#include <gtest/gtest.h>

#include <vector>

#include "engine/rov.h"
#include "player/fuzz.h"

namespace {

struct FuzzTest : ::testing::Test {
    // One sample through a per-sample type (a two-word buffer: both words alike).
    static int16_t one(int16_t s, int degree, int type) {
        int16_t w[2] = {s, s};
        wvfuzz(w, 2, sintab, static_cast<int16_t>(degree), static_cast<int16_t>(type));
        EXPECT_EQ(w[0], w[1]);
        return w[0];
    }
    static std::vector<int16_t> ramp(int32_t words) {
        std::vector<int16_t> w(words);
        for (int32_t i = 0; i < words; ++i) w[i] = static_cast<int16_t>((i * 37) % 20001 - 10000);
        return w;
    }
};

TEST_F(FuzzTest, ClipHalvesFullScaleAndDegreeIsGain) {
    EXPECT_EQ(one(20000, 100, wv_fuzz_clip), 16383);
    EXPECT_EQ(one(-20000, 100, wv_fuzz_clip), -16384);
    EXPECT_EQ(one(1000, 100, wv_fuzz_clip), 1000);
    EXPECT_EQ(one(1000, 200, wv_fuzz_clip), 2000);
    EXPECT_EQ(one(-199, 50, wv_fuzz_clip), -99);  // division truncates towards zero
}

TEST_F(FuzzTest, KneeSaturatesAtTheSinePeak) {
    EXPECT_EQ(one(32767, 1600, wv_fuzz_knee), (sintab[63] * 1 + sintab[64] * 511) >> 9);
    EXPECT_NEAR(one(32767, 1600, wv_fuzz_knee), 20860, 2);
    EXPECT_EQ(one(-32768, 1600, wv_fuzz_knee), -20860);
    EXPECT_EQ(one(0, 1600, wv_fuzz_knee), 0);
}

TEST_F(FuzzTest, SineFoldsThroughTheTable) {
    EXPECT_EQ(one(16384, 100, wv_fuzz_sine), sintab[32]);
    // Half a period beyond (v = 65536 + 16384) the fold turns negative.
    EXPECT_EQ(one(16384, 500, wv_fuzz_sine), sintab[(81920 >> 9) & 255]);
    EXPECT_LT(one(16384, 500, wv_fuzz_sine), 0);
}

TEST_F(FuzzTest, ResoAddsAnEighthOfTheFold) {
    EXPECT_EQ(one(0, 100, wv_fuzz_reso), 0);
    EXPECT_EQ(one(8, 0, wv_fuzz_reso), 7);
    // s = 4096 at degree 100: v = 16384, the fold sintab[32] << 9 >> 12.
    EXPECT_EQ(one(4096, 100, wv_fuzz_reso), ((7 * 4096) >> 3) + ((sintab[32] * 512) >> 12));
    EXPECT_EQ(one(-1, 0, wv_fuzz_reso), -1);  // (-7) >> 3 rounds down
}

TEST_F(FuzzTest, ResChorTurnsHalfAPeriodAtTheMiddle) {
    const int32_t len = 1024;
    std::vector<int16_t> a(len, 4096), b(len, 4096);
    wvfuzz(a.data(), len, sintab, 100, wv_fuzz_reso);
    wvfuzz(b.data(), len, sintab, 100, wv_fuzz_reschor);
    EXPECT_EQ(b[0], a[0]);  // no turn at the start
    const int dry = (7 * 4096) >> 3;
    // The folded part changes sign (the shift by 12 rounds both down).
    EXPECT_EQ(b[len / 2] - dry, -(a[len / 2] - dry) - 1);
    // An eighth of the way the index has turned from 32 to 64: the peak.
    EXPECT_EQ(b[len / 8], dry + ((sintab[64] * 512) >> 12));
}

TEST_F(FuzzTest, BiasIsADeadZone) {
    EXPECT_EQ(one(1000, 100, wv_fuzz_bias), 0);
    EXPECT_EQ(one(-1000, 100, wv_fuzz_bias), 0);
    EXPECT_EQ(one(0, 100, wv_fuzz_bias), 0);
    EXPECT_EQ(one(1500, 100, wv_fuzz_bias), 500);
    EXPECT_EQ(one(-1500, 100, wv_fuzz_bias), -500);
}

TEST_F(FuzzTest, DegreeZeroSilencesTheShapersAndLeavesBias) {
    for (int t : {wv_fuzz_clip, wv_fuzz_knee, wv_fuzz_sine}) {
        auto w = ramp(4096);
        wvfuzz(w.data(), 4096, sintab, 0, static_cast<int16_t>(t));
        for (int16_t x : w) ASSERT_EQ(x, 0) << t;
    }
    auto w = ramp(4096);
    const auto before = w;
    wvfuzz(w.data(), 4096, sintab, 0, wv_fuzz_bias);
    EXPECT_EQ(w, before);
}

TEST_F(FuzzTest, OtherTypesChangeNothing) {
    for (int t : {0, 8, -1, 100}) {
        auto w = ramp(4096);
        const auto before = w;
        wvfuzz(w.data(), 4096, sintab, 100, static_cast<int16_t>(t));
        EXPECT_EQ(w, before) << t;
    }
}

TEST_F(FuzzTest, ChorusNeedsLongBuffers) {
    auto w = ramp(3070);
    const auto before = w;
    wvfuzz(w.data(), 3070, sintab, 100, wv_fuzz_chorus);
    EXPECT_EQ(w, before);
}

// A straightforward model of the chorus, frame by frame, for comparison.
void chorus_model(std::vector<int16_t>& w, int degree) {
    const int32_t len = static_cast<int32_t>(w.size()), n = len / 2;
    for (int32_t F = 1; 2 * F < n; ++F) {
        const int32_t B = n - 1 - F;
        const int32_t v = (len - 4 * F) * degree / 100, D = v >> 7, f = v & 127;
        auto mixed = [&](int32_t s, long long S) {
            return F < 512 ? static_cast<int16_t>(((1536 - F) * s + ((S * 2 * F) >> 7)) >> 11)
                           : static_cast<int16_t>(((S >> 7) + s) >> 1);
        };
        auto L = [&](int32_t fr) -> int16_t& { return w[2 * fr]; };
        auto R = [&](int32_t fr) -> int16_t& { return w[2 * fr + 1]; };
        L(F) = mixed(L(F), (128LL - f) * R(F + D) + f * R(F + D + 1));
        R(F) = mixed(R(F), (128LL - f) * L(F + D) + f * L(F + D + 1));
        L(B) = mixed(L(B), (128LL - f) * R(B - D) + f * R(B - D - 1));
        R(B) = mixed(R(B), (128LL - f) * L(B - D) + f * L(B - D - 1));
    }
}

TEST_F(FuzzTest, ChorusCrossesTheChannelsWithASweepingDelay) {
    for (int degree : {0, 100, 1600}) {
        for (int32_t len : {3072, 3074, 8192}) {
            auto w = ramp(len);
            auto m = w;
            wvfuzz(w.data(), len, sintab, static_cast<int16_t>(degree), wv_fuzz_chorus);
            chorus_model(m, degree);
            EXPECT_EQ(w, m) << degree << " " << len;
            // Frames 0 and n - 1 stay dry.
            const auto dry = ramp(len);
            EXPECT_EQ(w[0], dry[0]);
            EXPECT_EQ(w[1], dry[1]);
            EXPECT_EQ(w[len - 2], dry[len - 2]);
            EXPECT_EQ(w[len - 1], dry[len - 1]);
        }
    }
}

TEST_F(FuzzTest, ChorusAtDegreeZeroMixesTheSameFrame) {
    // Left 1000, right 0 everywhere: frame 600 (an equal mix) gets left
    // (0 + 1000) / 2 and right (the new left 500 + 0) / 2.
    std::vector<int16_t> w(4096);
    for (std::size_t i = 0; i < w.size(); i += 2) w[i] = 1000;
    wvfuzz(w.data(), 4096, sintab, 0, wv_fuzz_chorus);
    EXPECT_EQ(w[2 * 600], 500);
    EXPECT_EQ(w[2 * 600 + 1], 250);
    // Frame 1 fades in: left (1535 * 1000) >> 11, right (2 * 128 * new left >> 7) >> 11.
    EXPECT_EQ(w[2], (1535 * 1000) >> 11);
    EXPECT_EQ(w[3], ((static_cast<long long>(128) * w[2] * 2) >> 7) >> 11);
}

TEST_F(FuzzTest, ChorusDelayAtTheEndsAndTheMiddle) {
    // With 8192 words at degree 100 frame 1 reads D = 63 and 64 frames on (weights 4 and 124)
    // with f = 124: a mark at frame 65 of the right channel only.
    std::vector<int16_t> w(8192, 0);
    w[2 * 65 + 1] = 12800;
    wvfuzz(w.data(), 8192, sintab, 100, wv_fuzz_chorus);
    const long long S = 124LL * 12800;
    EXPECT_EQ(w[2], static_cast<int16_t>(((S * 2) >> 7) >> 11));
}

TEST_F(FuzzTest, EveryTypeStaysInsideTheBufferAtAnyDegree) {
    // Whatever degree reaches it, nothing is read or written outside.
    for (int t = 1; t <= 7; ++t)
        for (int degree : {-32768, -1, 0, 1600, 32767}) {
            std::vector<int16_t> w(3074 + 2, 0);
            auto body = ramp(3074);
            std::copy(body.begin(), body.end(), w.begin() + 1);
            wvfuzz(w.data() + 1, 3074, sintab, static_cast<int16_t>(degree), static_cast<int16_t>(t));
            EXPECT_EQ(w.front(), 0);
            EXPECT_EQ(w.back(), 0);
        }
}

}  // namespace
