// Refill rules: the loop algorithm's slices, its step per buffer size, the
// echo source of the ambient row and the note table argument.
#include <gtest/gtest.h>

#include <memory>

#include "audio/refill.h"
#include "engine/scales.h"

namespace {

struct player {
    std::unique_ptr<rov_state> st = std::make_unique<rov_state>();
    wvplay pb;
    wv_source src;
    int32_t frames;
    player(int row, int32_t bufsize, int setnr = 0) {
        rov_state_init(*st);
        rov_default_setting(st->s);
        rov_open(&st->h, false, false, 8);
        rov_start(&st->h, row, setnr, st->s.rov_tonindx[setnr]);
        wv_alloc(pb, bufsize);
        src = {&st->h, row, setnr, st->s.rov_tonindx[setnr], {}};
        frames = wv_frames(pb.bufsize);
    }
};

TEST(LoopStep, TakenFromTheTablesWithTheBufferSize) {
    EXPECT_EQ(wv_bufincr(32768), 512);
    EXPECT_EQ(wv_bufincr(16384), 1536);
    EXPECT_EQ(wv_bufincr(65536), 10752);
    EXPECT_EQ(wv_bufincr(98304), 9728);
    EXPECT_EQ(wv_bufincr(262144), 2560);
    EXPECT_EQ(wv_bufincr(5120), 512);  // not in the table
    wvplay pb;
    wv_alloc(pb, 40960);
    EXPECT_EQ(pb.bufincr, 1536);
}

// After the start buffers every refill changes exactly one slice of
// bufincr words, walking buffer 0 and then buffer 1, and the buffers are sent
// 0, 1, 0, 1 ...
void loop_case(int32_t bufsize) {
    player p(3, bufsize);
    const int32_t step = p.pb.bufincr, played = 2 * p.frames;
    ASSERT_EQ(played % step, 0) << "the table tiles the played part";
    wv_start_fill(p.pb, p.src, p.frames);
    EXPECT_EQ(wv_sendindex(p.st->g), 1);
    const int slices = played / step;
    for (int n = 0; n < 2 * slices + 3; ++n) {
        const std::vector<int16_t> before[2] = {p.pb.data[0], p.pb.data[1]};
        const int sent = wv_sendindex(p.st->g);
        const int32_t at = p.pb.bufcurrp, in = p.pb.bufcurrn;
        wv_tick_fill(p.pb, p.src, p.frames);
        EXPECT_EQ(wv_sendindex(p.st->g), 1 - sent);
        EXPECT_EQ(at, (n % slices) * step);
        EXPECT_EQ(in, (n / slices) % 2);
        bool changed = false;
        for (int b = 0; b < 2; ++b)
            for (std::size_t i = 0; i < before[b].size(); ++i) {
                const bool inside = b == in && static_cast<int32_t>(i) >= at &&
                                    static_cast<int32_t>(i) < at + step;
                if (!inside) {
                    ASSERT_EQ(p.pb.data[b][i], before[b][i]) << "buffer " << b << " word " << i;
                }
                changed = changed || p.pb.data[b][i] != before[b][i];
            }
        EXPECT_TRUE(changed) << "refill " << n;
    }
}

TEST(LoopAlgorithm, OneSlicePerRefill) {
    loop_case(32768);
    loop_case(16384);
    loop_case(65536);
}

TEST(LoopAlgorithm, StartBuffersAreFullCalls) {
    player loop(3, 16384), dual(1, 16384);
    wv_start_fill(loop.pb, loop.src, loop.frames);
    wv_start_fill(dual.pb, dual.src, dual.frames);
    EXPECT_EQ(loop.pb.data[0], dual.pb.data[0]);
    EXPECT_EQ(loop.pb.data[1], dual.pb.data[1]);
}

TEST(EchoSource, PreviousBufferAndSilenceBeforeTheFirst) {
    player p(4, 8192);
    p.st->s.rov_p[5] = 64;  // Echo: e = (2F / 128) * 64 = F interleaved samples
    p.st->s.rov_p[6] = 0;
    p.st->g.rov_currp[5] = 64;
    p.st->g.rov_currp[6] = 0;
    const int32_t F = p.frames, e = (2 * F / 128) * 64;
    wv_start_fill(p.pb, p.src, F);
    const std::vector<int16_t>& b0 = p.pb.data[0];
    const std::vector<int16_t>& b1 = p.pb.data[1];
    for (int32_t i = 0; i < e; i += 2) {
        ASSERT_EQ(b0[i + 1], 0) << "the first buffer echoes silence";
        ASSERT_EQ(b1[i + 1], b0[i + 2 * F - e]) << "buffer 1 echoes buffer 0";
    }
    const std::vector<int16_t> last = p.pb.data[1];
    wv_tick_fill(p.pb, p.src, F);  // refills buffer 0 from buffer 1
    for (int32_t i = 0; i < e; i += 2) ASSERT_EQ(p.pb.data[0][i + 1], last[i + 2 * F - e]);
}

TEST(AlgArgs, NoteTableTravelsInTheLengthArgument) {
    const wv_args a = wv_algargs(16, {}, nullptr);
    EXPECT_EQ(a.tab, sintab);
    EXPECT_EQ(a.len, reinterpret_cast<intptr_t>(tonnotes));
    int16_t echo[4] = {};
    EXPECT_EQ(wv_algargs(4, {}, echo).tab, echo);
    EXPECT_EQ(wv_algargs(3, {}, echo).tab, sintab);
}

}  // namespace
