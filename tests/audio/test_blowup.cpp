// The blow-up of the output chain: every method's worked examples, the
// carried frame across buffers, wrap-around instead of clipping, and the
// rate rule that drops a blow-up which would pass 44100 Hz.
#include <gtest/gtest.h>

#include <vector>

#include "audio/blowup.h"
#include "audio/chain.h"

namespace {

// Frames given as one value per frame (both channels equal) or as pairs.
std::vector<int16_t> both(std::initializer_list<int> v, int factor) {
    std::vector<int16_t> w(2 * v.size() * factor, 0);
    std::size_t k = 0;
    for (int x : v) w[2 * k] = w[2 * k + 1] = static_cast<int16_t>(x), ++k;
    return w;
}
std::vector<int> left(const std::vector<int16_t>& w) {
    std::vector<int> l;
    for (std::size_t i = 0; i < w.size(); i += 2) l.push_back(w[i]);
    return l;
}
std::vector<int> right(const std::vector<int16_t>& w) {
    std::vector<int> r;
    for (std::size_t i = 1; i < w.size(); i += 2) r.push_back(w[i]);
    return r;
}

}  // namespace

TEST(Blowup, SteppedRepeatsFramesAndCarriesNothing) {
    std::vector<int16_t> w = {1, 2, 3, 4, 0, 0, 0, 0};
    int16_t carry[4] = {7, 8, 0, 0};
    wvexpand(w.data(), carry, 4, 1);
    EXPECT_EQ(w, (std::vector<int16_t>{1, 2, 1, 2, 3, 4, 3, 4}));
    EXPECT_EQ(carry[0], 7);
    EXPECT_EQ(carry[1], 8);
    std::vector<int16_t> w4(16, 0);
    w4[0] = 1, w4[1] = 2, w4[2] = 3, w4[3] = 4;
    wvexpand(w4.data(), carry, 4, 4);
    EXPECT_EQ(w4, (std::vector<int16_t>{1, 2, 1, 2, 1, 2, 1, 2, 3, 4, 3, 4, 3, 4, 3, 4}));
}

TEST(Blowup, LinearExamples) {
    int16_t carry[4] = {};
    std::vector<int16_t> w = both({100, 200}, 2);
    wvexpand(w.data(), carry, 4, 2);
    EXPECT_EQ(left(w), (std::vector<int>{50, 100, 150, 200}));
    EXPECT_EQ(right(w), (std::vector<int>{50, 100, 150, 200}));
    EXPECT_EQ(carry[0], 200);
    EXPECT_EQ(carry[1], 200);

    int16_t c4[4] = {};
    std::vector<int16_t> w4 = both({100}, 4);
    wvexpand(w4.data(), c4, 2, 5);
    EXPECT_EQ(left(w4), (std::vector<int>{25, 50, 75, 100}));
    EXPECT_EQ(c4[0], 100);

    // Shifts round toward minus infinity.
    int16_t cm[4] = {-1, -1, 0, 0};
    std::vector<int16_t> wm = both({0, 0}, 2);
    wvexpand(wm.data(), cm, 4, 2);
    EXPECT_EQ(wm[0], -1);
}

TEST(Blowup, CubicExamples) {
    int16_t carry[4] = {};
    std::vector<int16_t> w = both({0, 16, 32, 48}, 2);
    wvexpand(w.data(), carry, 8, 3);
    EXPECT_EQ(left(w), (std::vector<int>{0, 0, 7, 16, 24, 32, 40, 48}));
    EXPECT_EQ(right(w), left(w));
    EXPECT_EQ(carry[0], 48);

    // A constant equal to the carried value stays constant.
    int16_t cc[4] = {300, -300, 0, 0};
    std::vector<int16_t> k(2 * 6 * 2, 0);
    for (int i = 0; i < 6; ++i) k[2 * i] = 300, k[2 * i + 1] = -300;
    wvexpand(k.data(), cc, 12, 3);
    for (int i = 0; i < 12; ++i) {
        EXPECT_EQ(k[2 * i], 300) << i;
        EXPECT_EQ(k[2 * i + 1], -300) << i;
    }

    int16_t c4[4] = {};
    std::vector<int16_t> w4 = both({0, 128, 256, 384}, 4);
    wvexpand(w4.data(), c4, 8, 6);
    EXPECT_EQ(left(w4), (std::vector<int>{0, 0, 0, 0, 25, 56, 91, 128, 160, 192, 224, 256, 288, 320, 352, 384}));
    EXPECT_EQ(c4[0], 384);
}

TEST(Blowup, CubicOvershootWrapsAround) {
    // x[k-1] = x[k] = 32767 between neighbours of -32768: the midpoint
    // (9 * 65534 + 65536) >> 4 = 40958 wraps to -24578.
    int16_t carry[4] = {-32768, -32768, 0, 0};
    std::vector<int16_t> w = both({32767, 32767, -32768, -32768}, 4);
    wvexpand(w.data(), carry, 8, 6);
    EXPECT_EQ(w[2 * 5], static_cast<int16_t>(40958 - 65536));
    EXPECT_LT(w[2 * 5], 0);
    int16_t c2[4] = {-32768, -32768, 0, 0};
    std::vector<int16_t> w2 = both({32767, 32767, -32768, -32768}, 2);
    wvexpand(w2.data(), c2, 8, 3);
    EXPECT_EQ(w2[2 * 2], static_cast<int16_t>(40958 - 65536));
}

TEST(Blowup, CarriedFrameRunsAcrossBuffers) {
    // Two buffers of linear 2x equal one buffer of twice the frames.
    int16_t c1[4] = {}, c2[4] = {};
    std::vector<int16_t> whole = both({10, 20, 30, 40}, 2);
    wvexpand(whole.data(), c1, 8, 2);
    std::vector<int16_t> a = both({10, 20}, 2), b = both({30, 40}, 2);
    wvexpand(a.data(), c2, 4, 2);
    wvexpand(b.data(), c2, 4, 2);
    a.insert(a.end(), b.begin(), b.end());
    EXPECT_EQ(a, whole);
}

TEST(Blowup, OtherOptionsAndShortBuffersAreSafe) {
    int16_t carry[4] = {5, 5, 0, 0};
    std::vector<int16_t> w = {1, 2, 3, 4};
    for (int opt : {0, 7, -1}) {
        wvexpand(w.data(), carry, 4, opt);
        EXPECT_EQ(w, (std::vector<int16_t>{1, 2, 3, 4}));
    }
    // One frame: the cubic methods keep to their linear segments.
    for (int opt = 1; opt <= 6; ++opt) {
        std::vector<int16_t> one(8, 0);
        one[0] = one[1] = 100;
        int16_t c[4] = {0, 0, 0, 0};
        wvexpand(one.data(), c, 2, opt);
        EXPECT_EQ(one[2 * (wv_blow_methods[opt].factor - 1)], 100) << opt;
    }
    wvexpand(w.data(), carry, 0, 3);
    wvexpand(w.data(), carry, 1, 3);
    EXPECT_EQ(w, (std::vector<int16_t>{1, 2, 3, 4}));
}

TEST(Blowup, RateRule) {
    // 4x at index 25 would reach 49: dropped; at 24 it plays at 44100 Hz.
    const wv_blowup a = wv_blowup_for(25, 6, 8000);
    EXPECT_EQ(a.method, 0);
    EXPECT_EQ(a.rateidx, 25);
    EXPECT_EQ(a.frames, 8000);
    const wv_blowup b = wv_blowup_for(24, 6, 8000);
    EXPECT_EQ(b.method, 6);
    EXPECT_EQ(b.rateidx, 48);
    EXPECT_EQ(b.frames, 2000);
    const wv_blowup c = wv_blowup_for(36, 2, 8000);
    EXPECT_EQ(c.rateidx, 48);
    EXPECT_EQ(c.frames, 4000);
    EXPECT_EQ(wv_blowup_for(40, 4, 8000).method, 0);
}

TEST(Blowup, ChainStageStretchesOnlyWhenTheBufferHasAMethod) {
    wv_options opt;
    opt.stereoset = true;
    opt.blowopt = 1;
    wv_chain c;
    wv_chain_build(c, opt, false, 64, nullptr);
    std::vector<int16_t> w = both({100, 200}, 2);
    wv_chainbuf b;
    b.w = w.data();
    b.frames = 2;
    b.bufsize = 4096;
    b.blowup = 1;
    wv_chain_run(c, b);
    EXPECT_EQ(left(w), (std::vector<int>{100, 100, 200, 200}));
    std::vector<int16_t> v = both({100, 200}, 2);
    b.w = v.data();
    b.blowup = 0;
    wv_chain_run(c, b);
    EXPECT_EQ(left(v), (std::vector<int>{100, 200, 0, 0}));
}
