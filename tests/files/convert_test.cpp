// Sample conversion: expand, compress and optimize as worked examples, and
// on a loaded sample with its room and length.
#include <gtest/gtest.h>

#include <vector>

#include "files/convert.h"

TEST(Convert, CompressAndExpandExamples) {
    std::vector<int16_t> c = {1, 2, 3, 4};
    smpexpand(c.data(), 4, 0);
    EXPECT_EQ(c[0], 1);
    EXPECT_EQ(c[1], 3);
    std::vector<int16_t> e = {16, 16, 16, 16, 0, 0, 0, 0};
    smpexpand(e.data(), 4, 1);
    EXPECT_EQ(e, (std::vector<int16_t>{8, 16, 17, 16, 16, 16, 16, 16}));
    // Fewer than three words: what of the shape fits, nothing read beyond.
    std::vector<int16_t> two = {100, 200, 0, 0};
    smpexpand(two.data(), 2, 1);
    EXPECT_EQ(two, (std::vector<int16_t>{50, 100, 150, 200}));
    std::vector<int16_t> one = {-3, 0};
    smpexpand(one.data(), 1, 1);
    EXPECT_EQ(one, (std::vector<int16_t>{-2, -3}));
    // Overshoot wraps: (9 * 65534 + 65536) >> 4 = 40958.
    std::vector<int16_t> o = {-32768, 32767, 32767, -32768, 0, 0, 0, 0};
    smpexpand(o.data(), 4, 1);
    EXPECT_EQ(o[4], static_cast<int16_t>(40958 - 65536));
}

TEST(Convert, OptimizeExample) {
    std::vector<int16_t> w = {-300, 200};
    EXPECT_EQ(smplopt(w.data(), 2, 0), 300);
    EXPECT_EQ(w[0], -300);
    EXPECT_EQ(smplopt(w.data(), 2, 1), 300);
    EXPECT_EQ(w[0], -28912);
    EXPECT_EQ(w[1], 200 * 16384 / 170);
    // Too quiet: 0, nothing changed.
    std::vector<int16_t> q = {1, -1, 0};
    EXPECT_EQ(smplopt(q.data(), 3, 1), 0);
    EXPECT_EQ(q, (std::vector<int16_t>{1, -1, 0}));
    std::vector<int16_t> full = {-32768, 32767};
    EXPECT_EQ(smplopt(full.data(), 2, 1), 32768);
    EXPECT_LE(full[1], 29127);
    EXPECT_GE(full[0], -29128);
}

TEST(Convert, LoadedSampleRoomAndLengths) {
    fi_sample s;
    const int32_t K = 3072;
    s.area.assign(K, 0);
    s.length = 1000;  // bytes
    auto* w = reinterpret_cast<int16_t*>(s.area.data() + 24);
    for (int i = 0; i < 500; ++i) w[i] = static_cast<int16_t>(i);
    // Room: capacity / 2 >= length.
    EXPECT_FALSE(fi_sample_expand(s, 1999));
    EXPECT_EQ(s.length, 1000);
    EXPECT_TRUE(fi_sample_expand(s, K - 96));
    EXPECT_EQ(s.length, 2000);
    EXPECT_EQ(w[1], 0);
    EXPECT_EQ(w[3], 1);
    EXPECT_EQ(w[999], 499);
    EXPECT_FALSE(fi_sample_expand(s, K - 96));  // 2000 bytes need 4000
    EXPECT_TRUE(fi_sample_compress(s));
    EXPECT_EQ(s.length, 1000);
    // Compressing keeps the even words: the midpoints, half a word behind
    // the ramp and rounded down.
    EXPECT_EQ(w[0], 0);
    for (int i = 1; i < 500; ++i) ASSERT_EQ(w[i], i - 1) << i;
    EXPECT_EQ(fi_sample_optimize(s), 498);
    EXPECT_EQ(w[499], 498 * 16384 / (498 * 9 / 16 + 2));
    fi_sample none;
    EXPECT_FALSE(fi_sample_expand(none, 100000));
    EXPECT_FALSE(fi_sample_compress(none));
    EXPECT_EQ(fi_sample_optimize(none), 0);
}
