// Buffer sizing, the blow-up rate rule, the replay scaling, the gap shapings
// and the 8-bit conversion.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "audio/chain.h"
#include "audio/evqueue.h"
#include "audio/sdldev.h"

TEST(BuffBeat, SizesFollowTheBeat) {
    // Not a sampling row: n = beat + 1, raised to 4 below 3; size (n + 1) KiB.
    EXPECT_EQ(wv_beat_size(0, false, 0), 5120);
    EXPECT_EQ(wv_beat_size(1, false, 0), 5120);
    EXPECT_EQ(wv_beat_size(2, false, 0), 4 * 1024);
    EXPECT_EQ(wv_beat_size(10, false, 0), 12 * 1024);
    // Sampling row: n = beat + 3, below 12 raised to a multiple; size (n + 4) * 256.
    EXPECT_EQ(wv_beat_size(0, true, 0), 4096);
    EXPECT_EQ(wv_beat_size(1, true, 0), 4096);   // n = 4 -> 3 * 4
    EXPECT_EQ(wv_beat_size(2, true, 0), 19 * 256);  // n = 5 -> 3 * 5
    EXPECT_EQ(wv_beat_size(9, true, 0), 16 * 256);  // n = 12 stays
    // A chosen blow-up multiplies the beat.
    EXPECT_EQ(wv_beat_size(0, false, 4), 17 * 1024);
    EXPECT_EQ(wv_beat_size(0, true, 2), 28 * 256);
    // A damaged setting cannot make the size zero or negative.
    EXPECT_GT(wv_beat_size(-5, false, 0), 1024);
    EXPECT_GT(wv_beat_size(-5, true, 0), 1024);
}

TEST(BlowUp, RateRule) {
    const int32_t f = 7936;
    // 4x at rate index 40: 40 + 24 > 48, no blow-up for this buffer.
    for (int m : {4, 5, 6}) {
        const wv_blowup b = wv_blowup_for(40, m, f);
        EXPECT_EQ(b.method, 0);
        EXPECT_EQ(b.rateidx, 40);
        EXPECT_EQ(b.frames, f);
        EXPECT_EQ(pbrates[b.rateidx], 27781);
    }
    // 2x at 36: frames halved, device at 44100 Hz.
    wv_blowup b = wv_blowup_for(36, 2, f);
    EXPECT_EQ(b.method, 2);
    EXPECT_EQ(b.frames, f / 2);
    EXPECT_EQ(pbrates[b.rateidx], 44100);
    // 4x at 24 reaches 48 exactly.
    b = wv_blowup_for(24, 5, f);
    EXPECT_EQ(b.method, 5);
    EXPECT_EQ(b.frames, f / 4);
    EXPECT_EQ(b.rateidx, 48);
    EXPECT_EQ(wv_blowup_for(25, 4, f).method, 0);
    // No method, or one out of range: nothing changes.
    b = wv_blowup_for(30, 0, f);
    EXPECT_EQ(b.method, 0);
    EXPECT_EQ(b.rateidx, 30);
    EXPECT_EQ(wv_blowup_for(30, 9, f).method, 0);
}

TEST(Replay, ScalesByChangeDelay) {
    std::vector<int16_t> w = {1000, -3, 32767, -32768};
    auto s = w;
    wv_replay_scale(s.data(), 2, 64);
    EXPECT_EQ(s, (std::vector<int16_t>{500, -1, 16383, -16384}));  // truncating
    s = w;
    wv_replay_scale(s.data(), 2, 128);
    EXPECT_EQ(s, w);
    s = w;
    wv_replay_scale(s.data(), 2, 300);
    EXPECT_EQ(s, w);
    s = w;
    wv_replay_scale(s.data(), 1, 0);  // only 2 * frames words
    EXPECT_EQ(s, (std::vector<int16_t>{0, 0, 32767, -32768}));
}

TEST(Replay, FlipsTheBufferLikeARefill) {
    wvplay pb;
    wv_alloc(pb, 4096);
    rov_globphase g{};
    wv_start_silence(pb, g);
    EXPECT_EQ(g.rov_pl1load2, 1);
    pb.data[0][0] = 100;
    pb.data[1][0] = 200;
    // Buffer 1 is sent; buffer 0 is the one refilled (replayed).
    wv_tick_replay(pb, g, wv_frames(pb.bufsize), 64);
    EXPECT_EQ(g.rov_pl1load2, 0);
    EXPECT_EQ(pb.data[0][0], 50);
    EXPECT_EQ(pb.data[1][0], 200);
    wv_tick_replay(pb, g, wv_frames(pb.bufsize), 64);
    EXPECT_EQ(g.rov_pl1load2, 1);
    EXPECT_EQ(pb.data[1][0], 100);
}

TEST(GapShaping, FadeAtBothEnds) {
    const int32_t bufsize = 4096;
    const int32_t n = bufsize / 2 - 512;
    std::vector<int16_t> w(bufsize / 2, 1000);
    w[n - 1] = -1000;
    wv_shape_fade(w.data(), bufsize);
    EXPECT_EQ(w[0], 0);
    EXPECT_EQ(w[1], 1000 * 1 >> 8);
    EXPECT_EQ(w[255], 1000 * 255 >> 8);
    EXPECT_EQ(w[256], 1000);
    EXPECT_EQ(w[n], 0);                // the spare word behind the played part
    EXPECT_EQ(w[n - 1], -4);           // arithmetic shift rounds down
    EXPECT_EQ(w[n - 255], 1000 * 255 >> 8);
    EXPECT_EQ(w[n - 256], 1000);
    EXPECT_EQ(w[n + 1], 1000);         // beyond it nothing is touched
}

TEST(GapShaping, RotateTurnsAcrossTheField) {
    const int32_t bufsize = 8192;
    const int32_t n = bufsize / 2 - 512;  // words played
    const int32_t f = n / 2;              // frames
    const int32_t k = (bufsize - 1024) / 16;
    ASSERT_EQ(4 * k, f);
    std::vector<int16_t> w(bufsize / 2, 1000);
    wv_shape_rotate(w.data(), bufsize);
    auto left = [&](int32_t fr) { return w[2 * fr]; };
    auto right = [&](int32_t fr) { return w[2 * fr + 1]; };
    // First quarter: left fades in, right silent.
    EXPECT_EQ(left(0), 0);
    EXPECT_EQ(left(k / 2), 1000 * (k / 2) / k);
    EXPECT_EQ(right(k / 2), 0);
    // Second quarter: left full, right fades in.
    EXPECT_EQ(left(k + k / 2), 1000);
    EXPECT_EQ(right(k + k / 2), 1000 * (k / 2) / k);
    // Third quarter: right full, left fades out.
    EXPECT_EQ(right(2 * k + k / 2), 1000);
    EXPECT_EQ(left(2 * k + k / 2), 1000 * (k / 2) / k);
    // Last quarter: left silent, right fades out.
    EXPECT_EQ(left(3 * k + k / 2), 0);
    EXPECT_EQ(right(f - 1), 0);
    EXPECT_EQ(right(f - 1 - (k / 2)), 1000 * (k / 2) / k);
    EXPECT_EQ(w[n], 0);
    EXPECT_EQ(w[n + 1], 1000);
}

TEST(Mono8, VolumeFourWraps) {
    // k = 32767 / 256 = 127.
    const std::vector<int16_t> in = {32767, 32767, -32768, -32768, 0, 0, 100, -100, -127, 0, 254, 127};
    std::vector<uint8_t> out(6);
    wv_to8bit(in.data(), 6, 4, out.data());
    EXPECT_EQ(out[0], (128 + 258 + 258) % 256);    // 644 wraps to 132
    EXPECT_EQ(out[1], (128 - 258 - 258 + 512) % 256);  // -388 wraps to 124
    EXPECT_EQ(out[2], 128);
    EXPECT_EQ(out[3], 128);  // each division truncates towards zero
    EXPECT_EQ(out[4], 127);
    EXPECT_EQ(out[5], 131);
}

TEST(Mono8, VolumeOutsideTheSlotRangeIsSafe) {
    const std::vector<int16_t> in = {32767, 32767};
    uint8_t a = 0, b = 0, c = 0;
    wv_to8bit(in.data(), 1, 260, &a);   // 260 - v would be 0
    wv_to8bit(in.data(), 1, 1000, &b);
    wv_to8bit(in.data(), 1, 259, &c);   // the quietest defined divisor, k = 32767
    EXPECT_EQ(a, c);
    EXPECT_EQ(b, c);
    EXPECT_EQ(c, 130);
    uint8_t d = 0;
    wv_to8bit(in.data(), 1, 257, &d);   // inside the defined range: k = 10922, as the formula gives
    EXPECT_EQ(d, static_cast<uint8_t>(128 + 2 * (32767 / 10922)));
    uint8_t e = 0;
    wv_to8bit(in.data(), 1, -32768, &e);  // far below 0 the quotient stays at least 1
    EXPECT_EQ(e, static_cast<uint8_t>(128 + 2 * 32767));
}

TEST(EventQueue, KeepsOrderAndRefusesWhenFull) {
    wv_evqueue q;
    for (uint32_t i = 0; i < wv_evqueue::cap; ++i) EXPECT_TRUE(wv_evq_push(q, {wv_evkind::done, i}));
    EXPECT_FALSE(wv_evq_push(q, {wv_evkind::close, 999}));
    EXPECT_EQ(q.dropped.load(), 1u);
    wv_event ev;
    for (uint32_t i = 0; i < wv_evqueue::cap; ++i) {
        ASSERT_TRUE(wv_evq_pop(q, ev));
        EXPECT_EQ(ev.gen, i);
    }
    EXPECT_FALSE(wv_evq_pop(q, ev));
    EXPECT_TRUE(wv_evq_push(q, {wv_evkind::timer, 7}));
    ASSERT_TRUE(wv_evq_pop(q, ev));
    EXPECT_EQ(ev.kind, wv_evkind::timer);
}

TEST(EventQueue, TwoProducersOneConsumer) {
    wv_evqueue q;
    constexpr uint32_t per = 20000;
    auto producer = [&q](wv_evkind k) {
        for (uint32_t i = 0; i < per;)
            if (wv_evq_push(q, {k, i})) ++i;
    };
    std::thread a(producer, wv_evkind::done), b(producer, wv_evkind::close);
    uint32_t next_done = 0, next_close = 0;
    while (next_done < per || next_close < per) {
        wv_event ev;
        if (!wv_evq_pop(q, ev)) continue;
        uint32_t& next = ev.kind == wv_evkind::done ? next_done : next_close;
        ASSERT_EQ(ev.gen, next);  // each producer's events arrive in order, none lost
        ++next;
    }
    a.join();
    b.join();
}

TEST(SdlChunk, NeverMoreThanHalfTheSmallestBuffer) {
    // The cycle supplies one buffer per done notification: a callback that
    // wanted more than the buffers in hand would starve at every period.
    const int32_t smallest = wv_frames(3 * 1024);
    for (int i = 0; i < pbrates_n; ++i) {
        const int c = wv_sdl_chunk(pbrates[i]);
        EXPECT_LE(2 * c, smallest) << pbrates[i];
        EXPECT_GE(c, 64);
        EXPECT_EQ(c & (c - 1), 0);
    }
    EXPECT_EQ(wv_sdl_chunk(11025), 256);
}

TEST(DeviceGain, FullVolumeIsBitExactOtherwiseScaled) {
    wv_format f;  // 16-bit stereo
    const std::vector<int16_t> in = {32767, -32768, 1000, -1000, 1, -1};
    std::vector<int16_t> out(in.size());
    auto run = [&](uint16_t gl, uint16_t gr) {
        wv_gain_copy(reinterpret_cast<uint8_t*>(out.data()), reinterpret_cast<const uint8_t*>(in.data()),
                     static_cast<uint32_t>(in.size() * 2), f, gl, gr);
    };
    run(wv_volume_for(0), wv_volume_for(0));
    EXPECT_EQ(out, in);
    run(0x8000, 0xffff);  // left halved, right nearly unchanged
    EXPECT_EQ(out[0], 16383);
    EXPECT_EQ(out[2], 500);
    EXPECT_EQ(out[4], 0);
    EXPECT_EQ(out[1], -32768);  // -32767.5 rounds down
    EXPECT_EQ(out[3], -1000);
    run(wv_volume_for(255), wv_volume_for(255));
    EXPECT_EQ(out, std::vector<int16_t>(in.size(), 0));  // Volume 255: silent

    // 8-bit mono: the gain works around the middle value 128.
    wv_format m;
    m.nChannels = 1;
    m.nBitsSamp = 8;
    m.nBlockAlign = 1;
    const std::vector<uint8_t> b = {0, 128, 255, 100};
    std::vector<uint8_t> o(b.size());
    wv_gain_copy(o.data(), b.data(), 4, m, 0xffff, 0xffff);
    EXPECT_EQ(o, b);
    wv_gain_copy(o.data(), b.data(), 4, m, 0x8000, 0x8000);
    EXPECT_EQ(o, (std::vector<uint8_t>{64, 128, 191, 114}));
    EXPECT_EQ(wv_volume_for(0), 0xffff);
    EXPECT_EQ(wv_volume_for(80), (255 - 80) * 256);
}
