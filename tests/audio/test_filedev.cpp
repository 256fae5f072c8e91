// The file device: the streaming cycle runs on it as fast as it can, every
// buffer reaches the sink as little-endian bytes, and a failing sink ends the
// cycle the way a failing sound card does.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "audio/evqueue.h"
#include "audio/filedev.h"
#include "audio/stream.h"

namespace {

struct byte_sink final : wv_bytesink {
    std::vector<uint8_t> bytes;
    int fail_at = -1;  // the put that fails, counted from 0
    int puts = 0;
    bool put(const void* d, std::size_t n, int32_t) override {
        if (puts++ == fail_at) return false;
        const auto* b = static_cast<const uint8_t*>(d);
        bytes.insert(bytes.end(), b, b + n);
        return true;
    }
};

struct loop final : wv_notify, wv_timer {
    wv_evqueue q;
    void post(const wv_event& ev) override { wv_evq_push(q, ev); }
    void set(int) override {}
    void kill() override {}
};

struct rig {
    rov_state st;
    wv_options opt;
    wv_filedev dev;
    byte_sink out;
    loop l;
    wv_stream s;
    rig() {
        rov_state_init(st);
        rov_default_setting(st.s);
        dev.out = &out;
        s.dev = &dev;
        s.opt = &opt;
        s.sink = &l;
        s.timer = &l;
        s.roh = &st.h;
        s.algomod = 0;
        s.setnr = 4;
        s.tonr = st.s.rov_tonindx[4];
        opt.bufszorig = 4096;
    }
    // Runs until `n` buffers are written or the cycle rests.
    void run(uint64_t n) {
        ASSERT_TRUE(wv_probe(s));
        wv_stream_open(s);
        ASSERT_TRUE(wv_start(s));
        wv_event ev;
        bool stopping = false;
        while (wv_evq_pop(l.q, ev)) {
            wv_dispatch(s, ev);
            if (!stopping && dev.buffers >= n) {
                wv_stop(s);
                stopping = true;
            }
        }
        EXPECT_TRUE(wv_idle(s));
    }
};

}  // namespace

TEST(FileDevice, WritesLittleEndianBuffersInOrder) {
    auto r = std::make_unique<rig>();
    r->run(5);
    EXPECT_EQ(r->dev.buffers, 5u);
    const std::size_t per = static_cast<std::size_t>(wv_frames(4096)) * 4;
    ASSERT_EQ(r->out.bytes.size(), 5 * per);
    // Something sounds, and the words are in little-endian order.
    bool loud = false;
    for (std::size_t i = 0; i + 1 < r->out.bytes.size(); i += 2) {
        const auto v = static_cast<int16_t>(r->out.bytes[i] | (r->out.bytes[i + 1] << 8));
        loud = loud || v > 100 || v < -100;
    }
    EXPECT_TRUE(loud);
    EXPECT_FALSE(r->s.opt->woc.dwSupport & wv_sup_sync);  // never taken for a synchronous device
    EXPECT_EQ(r->s.maxcharge, 0);
}

TEST(FileDevice, AFailingSinkEndsTheCycle) {
    auto r = std::make_unique<rig>();
    r->out.fail_at = 2;
    r->run(10);
    EXPECT_TRUE(r->dev.failed);
    EXPECT_EQ(r->dev.buffers, 2u);
    EXPECT_FALSE(r->s.playing);
    EXPECT_EQ(r->s.status, "the output device could not be opened");
}
