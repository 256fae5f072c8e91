// Two complete players in one process: each has its own engine state,
// output chain (fuzz, blow-up, visual effect) and device, and each must
// sound, byte for byte, as it does alone: driven in turns by one thread and
// at once by two. A second play of one player starts as its first did.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "player/vis_raster.h"
#include "support/stream_rig.h"

namespace {

// What one player was set to.
struct options {
    int setnr, row;
    int blowopt, fuzztyp, fuzzlev, vistyp;
    bool sample;
};

// Two players that share nothing: different sets, rows, effects; one of
// them plays a sample from a buffer laid out as the program keeps one (the
// routine reads around the sample's words).
constexpr options first{4, 0, 3, 2, 300, 3, false};   // cubic 2x, fuzz, effect 3
constexpr options second{7, 6, 2, 0, 0, 5, true};     // linear 2x, sampling row, effect 5

// A sample of 6000 words behind 12 header words, 40 words after it.
std::vector<int16_t> sample_buffer() {
    std::vector<int16_t> w(12 + 6000 + 40);
    uint32_t x = 17;
    for (auto& e : w) {
        x = x * 1103515245u + 12345u;
        e = static_cast<int16_t>(static_cast<uint16_t>(x >> 16) / 3);
    }
    return w;
}

// The played bytes of every buffer, and a digest of the picture the effect painted.
struct output {
    std::vector<std::vector<uint8_t>> buffers;
    uint64_t picture = 0;
};

struct player final : stream_rig, wv_vissink {
    std::vector<int16_t> smp = sample_buffer();
    vis_raster field;

    explicit player(const options& o) : stream_rig(o.setnr, o.row) {
        opt.bufszorig = 8192;
        opt.blowopt = o.blowopt;
        opt.fuzztyp = o.fuzztyp;
        opt.fuzzlev = o.fuzzlev;
        opt.vistyp = o.vistyp;
        if (o.sample) s.sample = {smp.data() + 12, 6000, {smp.data(), smp.data() + smp.size()}};
        s.vis = this;
        EXPECT_TRUE(wv_probe(s));
        wv_stream_open(s);
    }
    void frame(const int16_t* w, int32_t frames, int16_t* mem) override {
        ranovis(s.roh, w, frames, opt.vistyp, mem, field);
    }
    void start() { ASSERT_TRUE(wv_start(s)); }
    void stop() {
        wv_stop(s);
        pump();
        if (timer_ms >= 0) {
            timer_ms = -1;
            wv_dispatch(s, {wv_evkind::timer, 0});
            pump();
        }
    }
    output result() const {
        output r;
        for (const auto& b : dev.log) r.buffers.push_back(b.bytes);
        uint64_t h = 1469598103934665603ull;
        for (int i = 0; i < vis_field_w * vis_field_h * 3; ++i) h = (h ^ field.rgb()[i]) * 1099511628211ull;
        r.picture = h;
        return r;
    }
};

constexpr int turns = 12;

output alone(const options& o) {
    auto p = std::make_unique<player>(o);
    p->start();
    for (int i = 0; i < turns; ++i) p->play_out();
    return p->result();
}

void same(const output& got, const output& want, const char* what) {
    ASSERT_EQ(got.buffers.size(), want.buffers.size()) << what;
    for (std::size_t n = 0; n < want.buffers.size(); ++n) EXPECT_EQ(got.buffers[n], want.buffers[n]) << what << n;
    EXPECT_EQ(got.picture, want.picture) << what;
}

}  // namespace

TEST(TwoInstances, EachSoundsAsItDoesAlone) {
    const output a = alone(first), b = alone(second);
    ASSERT_EQ(a.buffers.size(), static_cast<std::size_t>(turns + 1));
    ASSERT_NE(a.buffers[1], b.buffers[1]);

    // In turns, buffer by buffer, in one thread.
    {
        auto p = std::make_unique<player>(first), q = std::make_unique<player>(second);
        p->start();
        q->start();
        for (int i = 0; i < turns; ++i) {
            p->play_out();
            q->play_out();
        }
        same(p->result(), a, "first, in turns: buffer ");
        same(q->result(), b, "second, in turns: buffer ");
    }
    // At once, on two threads.
    {
        output x, y;
        std::thread t([&x] { x = alone(first); });
        std::thread u([&y] { y = alone(second); });
        t.join();
        u.join();
        same(x, a, "first, threaded: buffer ");
        same(y, b, "second, threaded: buffer ");
    }
}

// The blow-up carries the last frame of a buffer into the next, and the
// visual effect its memory: a new play starts with both empty again.
TEST(TwoInstances, ASecondPlayStartsAsTheFirst) {
    const output a = alone(first);
    auto p = std::make_unique<player>(first);
    p->start();
    for (int i = 0; i < 3; ++i) p->play_out();
    p->stop();
    ASSERT_TRUE(wv_idle(p->s));
    const std::size_t n = p->dev.log.size();
    p->field = vis_raster{};
    p->start();
    for (int i = 0; i < turns; ++i) p->play_out();
    const output again = p->result();
    ASSERT_EQ(again.buffers.size(), n + turns + 1);
    for (int k = 0; k <= turns; ++k) EXPECT_EQ(again.buffers[n + k], a.buffers[k]) << "buffer " << k;
    EXPECT_EQ(again.picture, a.picture);
}
