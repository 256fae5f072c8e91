// Multiple play in the streaming cycle: the four tracks, the two start
// buffers, the banks' silence, the echo copy, the missing scratch buffer,
// the rotation while playing and the track levels.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "audio/evqueue.h"
#include "audio/multiple.h"
#include "engine/toneev.h"
#include "audio/stream.h"
#include "audio/virtdev.h"
#include "support/stream_rig.h"

// Allocations while `counting` is set (this test program's operator new).
// Kept out of line: inlined into a `new`/`delete` pair, the compiler would
// take the malloc/free inside for a mismatch.
static std::atomic<bool> counting{false};
static std::atomic<long> allocations{0};

[[gnu::noinline]] void* operator new(std::size_t n) {
    if (counting) ++allocations;
    if (void* p = std::malloc(n ? n : 1)) return p;
    throw std::bad_alloc();
}
[[gnu::noinline]] void operator delete(void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

struct mrig final : wv_notify, wv_timer {
    wv_evqueue q;
    rov_state st;
    rov_banks bk;
    wv_virtdev dev;
    wv_options opt;
    wv_stream s;

    void post(const wv_event& ev) override { wv_evq_push(q, ev); }
    void set(int) override {}
    void kill() override {}

    // The active setting: the default one on row 0, set 4 (11025 Hz, Chg.Dly 0).
    mrig() {
        rov_state_init(st);
        rov_default_setting(st.s);
        st.s.rov_stdalg = 0;
        rov_banks_init(bk);
        s.dev = &dev;
        s.opt = &opt;
        s.sink = this;
        s.timer = this;
        s.roh = &st.h;
        s.banks = &bk;
        s.algomod = rov_row_multiple();
        s.setnr = 4;
        s.tonr = st.s.rov_tonindx[4];
    }
    void open() {
        EXPECT_TRUE(wv_probe(s));
        wv_stream_open(s);
    }
    void play_out() {
        wv_virt_advance(dev, dev.frames - dev.pos);
        wv_event ev;
        while (wv_evq_pop(q, ev)) wv_dispatch(s, ev);
    }
    std::vector<int16_t> sent(std::size_t n) const {
        std::vector<int16_t> w(dev.log[n].bytes.size() / 2);
        std::memcpy(w.data(), dev.log[n].bytes.data(), w.size() * 2);
        return w;
    }
    // Bank k plays the default setting on row 0 from a fresh start.
    void bank_plays(int k, int setnr, int tonr) {
        bk.rosbk[k] = st.s;
        bk.setnrbk[k] = setnr;
        bk.tonrbk[k] = tonr;
        rov_handle h = rov_bank_handle(bk, k);
        rov_open(&h, false, false, 8);
        rov_start(&h, 0, setnr, tonr);
    }
};

// The buffers row 0 computes alone from a start on set `setnr`.
std::vector<std::vector<int16_t>> alone(int setnr, int tonr, int buffers) {
    return stream_reference(setnr, tonr, 32768, buffers);
}

std::vector<int16_t> halved(const std::vector<int16_t>& a) {
    std::vector<int16_t> h(a.size());
    for (std::size_t i = 0; i < a.size(); ++i) h[i] = static_cast<int16_t>(a[i] >> 1);
    return h;
}

std::vector<int16_t> sum(std::vector<int16_t> a, const std::vector<int16_t>& b) {
    for (std::size_t i = 0; i < a.size(); ++i) a[i] = static_cast<int16_t>(static_cast<uint16_t>(a[i] + b[i]));
    return a;
}

int echo_row() {
    for (int r = 0; r < rov_natab; ++r)
        if (rov_rows[r].tab.algtyp == rov_arg_echo) return r;
    return -1;
}

}  // namespace

TEST(Multiple, DefaultBanksSoundLikeTheActiveSettingAtHalfAmplitude) {
    auto r = std::make_unique<mrig>();
    r->open();
    EXPECT_FALSE(r->s.scratch.empty());
    ASSERT_TRUE(wv_start(r->s));
    for (int i = 0; i < 5; ++i) r->play_out();
    ASSERT_EQ(r->dev.log.size(), 6u);
    const auto ref = alone(4, r->s.tonr, 6);
    EXPECT_EQ(r->sent(0), ref[0]);  // the two start buffers: the active setting at full level
    EXPECT_EQ(r->sent(1), ref[1]);
    for (std::size_t n = 2; n < 6; ++n) EXPECT_EQ(r->sent(n), halved(ref[n])) << n;
}

TEST(Multiple, BanksOnRowsThatCannotPlayAreSilent) {
    auto r = std::make_unique<mrig>();
    r->bk.rosbk[0].rov_stdalg = static_cast<int16_t>(rov_row_multiple());
    r->bk.rosbk[1].rov_stdalg = static_cast<int16_t>(rov_row_empty());
    r->bk.rosbk[2].rov_stdalg = 40;  // a damaged file
    r->open();
    ASSERT_TRUE(wv_start(r->s));
    for (int i = 0; i < 3; ++i) r->play_out();
    const auto ref = alone(4, r->s.tonr, 4);
    for (std::size_t n = 2; n < 4; ++n) EXPECT_EQ(r->sent(n), halved(ref[n])) << n;
}

TEST(Multiple, EachPlayingTrackAddsItsHalf) {
    auto r = std::make_unique<mrig>();
    const int tonr = r->s.tonr;
    r->bank_plays(0, 4, tonr);
    r->bank_plays(2, 4, tonr);
    r->open();
    ASSERT_TRUE(wv_start(r->s));
    for (int i = 0; i < 5; ++i) r->play_out();
    // The banks compute nothing during the start: they lag two buffers.
    const auto ref = alone(4, tonr, 6);
    for (std::size_t n = 2; n < 6; ++n) {
        const auto bank = halved(ref[n - 2]);
        EXPECT_EQ(r->sent(n), sum(sum(halved(ref[n]), bank), bank)) << n;
    }
}

TEST(Multiple, AnActiveSettingThatCannotPlayLeavesTheBanks) {
    auto r = std::make_unique<mrig>();
    const int tonr = r->s.tonr;
    r->bank_plays(1, 4, tonr);
    r->st.s.rov_stdalg = 3;  // the loop algorithm: not a track
    r->open();
    ASSERT_TRUE(wv_start(r->s));
    for (int i = 0; i < 3; ++i) r->play_out();
    const auto ref = alone(4, tonr, 2);
    EXPECT_EQ(r->sent(2), halved(ref[0]));
    EXPECT_EQ(r->sent(3), halved(ref[1]));
}

TEST(Multiple, WithoutTheScratchBufferTheBuffersReplayAndZDoesNotTurn) {
    auto r = std::make_unique<mrig>();
    r->bank_plays(0, 4, r->s.tonr);
    r->open();
    r->s.scratch.clear();  // as when it could not be had
    r->st.s.rov_p[4 * rov_nparams + rov_par::ChgDly] = 64;  // replayed at half level
    ASSERT_TRUE(wv_start(r->s));
    for (int i = 0; i < 3; ++i) r->play_out();
    const auto ref = alone(4, r->s.tonr, 2);
    std::vector<int16_t> want = ref[0];
    for (auto& x : want) x = static_cast<int16_t>(x * 64 / 128);
    EXPECT_EQ(r->sent(2), want);
    const rov_setting before = r->bk.rosbk[0];
    EXPECT_FALSE(wv_rotate(r->s));
    EXPECT_EQ(std::memcmp(&before, &r->bk.rosbk[0], sizeof before), 0);
}

TEST(Multiple, RotatingWhilePlayingChangesNothingHeard) {
    auto a = std::make_unique<mrig>();
    auto b = std::make_unique<mrig>();
    for (mrig* r : {a.get(), b.get()}) {
        r->bank_plays(0, 4, 2);
        r->bank_plays(1, 4, 7);
        r->open();
        ASSERT_TRUE(wv_start(r->s));
        r->play_out();
        r->play_out();
    }
    // Z three times in one, four in the other at different turns.
    for (int i = 0; i < 2; ++i) ASSERT_TRUE(wv_rotate(b->s));
    EXPECT_EQ(b->s.tonr, 7);  // bank 1 (scale 7) is active after two turns
    ASSERT_TRUE(wv_rotate(b->s));
    EXPECT_EQ(b->s.tonr, 0);  // then the third bank
    for (int i = 0; i < 4; ++i) {
        a->play_out();
        b->play_out();
        if (i == 1) {
            ASSERT_TRUE(wv_rotate(b->s));  // back to the start order
        }
    }
    ASSERT_EQ(a->dev.log.size(), b->dev.log.size());
    for (std::size_t n = 0; n < a->dev.log.size(); ++n) EXPECT_EQ(a->sent(n), b->sent(n)) << n;
    EXPECT_EQ(b->s.tonr, a->s.tonr);
    EXPECT_EQ(std::memcmp(b->st.t, a->st.t, sizeof a->st.t), 0);  // the voices travelled and came back
}

TEST(Multiple, AllLevelsMeasuresEachTrack) {
    auto r = std::make_unique<mrig>();
    r->opt.dispmode = wv_disp_alllevels;
    r->bank_plays(1, 4, r->s.tonr);
    r->open();
    ASSERT_TRUE(wv_start(r->s));
    r->play_out();
    r->play_out();
    const wv_levelset& l = r->s.chain.levels;
    EXPECT_TRUE(l.tracks);
    const auto ref = alone(4, r->s.tonr, 4);
    EXPECT_EQ(l.lev[2], wv_peak(ref[3].data(), static_cast<int32_t>(ref[3].size())));
    EXPECT_EQ(l.lev[3], 0);
    EXPECT_EQ(l.lev[4], wv_peak(ref[1].data(), static_cast<int32_t>(ref[1].size())));
    EXPECT_EQ(l.lev[5], 0);
}

TEST(Multiple, EchoCopyWhenAnyTrackEchoes) {
    const int e = echo_row();
    ASSERT_GE(e, 0);
    auto r = std::make_unique<mrig>();
    r->open();
    EXPECT_EQ(r->s.chain.echo, nullptr);  // 16-bit, no fuzz, no blow-up: nobody needs it
    wv_stream_close(r->s);
    r->bk.rosbk[2].rov_stdalg = static_cast<int16_t>(e);
    r->open();
    EXPECT_EQ(r->s.chain.echo, nullptr);  // the echo routine may read the played buffer
    wv_stream_close(r->s);
    r->opt.fuzztyp = 1;  // fuzz alters the played buffer: a clean copy is kept
    r->open();
    EXPECT_NE(r->s.chain.echo, nullptr);
    wv_stream_close(r->s);
    r->bk.rosbk[2].rov_stdalg = 0;
    r->open();
    EXPECT_EQ(r->s.chain.echo, nullptr);
}

TEST(Multiple, StartClearsTheBankVoicesButNotTheirPhases) {
    auto r = std::make_unique<mrig>();
    r->bank_plays(0, 4, 2);
    r->bk.rotbk[5].rov_ephas = 2;
    r->bk.rotbk[64 * 2 + 63].rov_ephas = 1;
    r->bk.rogbk[0].rov_densxi = 1234;
    r->open();
    ASSERT_TRUE(wv_start(r->s));
    EXPECT_EQ(r->bk.rotbk[5].rov_ephas, 0);
    EXPECT_EQ(r->bk.rotbk[64 * 2 + 63].rov_ephas, 0);
    EXPECT_EQ(r->bk.rogbk[0].rov_densxi, 1234);
}

TEST(Multiple, BanksLoadedBeforeAnyPlayGetTheVoiceMaximum) {
    auto r = std::make_unique<mrig>();
    // A setting loaded at program start: pushed with a phase that never played.
    r->bk.rosbk[0] = r->st.s;
    std::memset(&r->bk.rogbk[0], 0, sizeof r->bk.rogbk[0]);
    r->bk.rogbk[0].rov_volshift = 12;
    r->bk.rogbk[1].rov_maxvoc = 3;  // one that played keeps its own
    r->bk.rogbk[1].rov_volshift = 11;
    r->opt.maxv = 20;
    r->open();
    EXPECT_EQ(r->bk.rogbk[0].rov_maxvoc, 20);
    EXPECT_EQ(r->bk.rogbk[0].rov_volshift, 12);
    EXPECT_EQ(r->bk.rogbk[2].rov_volshift, 13);
    EXPECT_EQ(r->bk.rogbk[1].rov_maxvoc, 3);
    EXPECT_EQ(r->bk.rogbk[1].rov_volshift, 11);
    ASSERT_TRUE(wv_start(r->s));
    for (int i = 0; i < 3; ++i) r->play_out();
    // The bank's track sounds: the buffers differ from the active setting alone.
    const auto ref = alone(4, r->s.tonr, 4);
    EXPECT_NE(r->sent(3), halved(ref[3]));
}

TEST(Multiple, TheFourTrackMixAllocatesNothing) {
    auto r = std::make_unique<mrig>();
    r->bank_plays(0, 4, 1);
    r->bank_plays(1, 4, 2);
    r->bank_plays(2, 4, 5);
    r->opt.dispmode = wv_disp_alllevels;
    r->open();
    ASSERT_TRUE(wv_start(r->s));
    r->play_out();
    const int32_t f = wv_frames(32768);
    std::vector<int16_t> out(2 * f);
    const wv_source src{&r->st.h, 0, 4, r->s.tonr, {}};
    wv_levelset lv;
    // The counter counts.
    counting = true;
    int* volatile probe = new int(1);
    counting = false;
    delete probe;
    ASSERT_EQ(allocations.load(), 1);
    allocations = 0;
    counting = true;
    for (int i = 0; i < 4; ++i) {
        wv_mult_fill(out.data(), 2 * f, r->s.scratch.data(), f, src, r->bk, r->s.rohmult, nullptr, &lv);
        wv_tick_multiple(r->s.pb, src, r->bk, r->s.rohmult, r->s.scratch.data(), f, &lv);
    }
    counting = false;
    EXPECT_EQ(allocations.load(), 0);
    EXPECT_TRUE(lv.tracks);
}

// With MIDI out the four tracks report their tones, each as its own track,
// and a turn of the cycle allocates no more than without MIDI (the virtual
// device's own log of the buffers allocates in both).
TEST(Multiple, EveryTrackReportsItsTonesWithoutAllocating) {
    long base = -1;
    for (bool on : {false, true}) {
        auto r = std::make_unique<mrig>();
        r->bank_plays(0, 4, 1);
        r->bank_plays(1, 4, 2);
        r->bank_plays(2, 4, 5);
        auto midi = std::make_unique<wv_midiout>();
        if (on) r->s.midi = midi.get();
        r->dev.midilog.reserve(100000);
        r->dev.log.reserve(100);
        r->open();
        ASSERT_TRUE(wv_start(r->s));
        r->play_out();
        bool seen[rov_ntracks] = {};
        allocations = 0;
        counting = true;
        for (int i = 0; i < 4; ++i) {
            r->play_out();
            for (const rov_toneevs& e : midi->ev)
                for (uint32_t k = 0; k < e.n; ++k) seen[e.ev[k].track % rov_ntracks] = true;
        }
        counting = false;
        if (!on) {
            base = allocations.load();
            continue;
        }
        EXPECT_EQ(allocations.load(), base);
        for (int k = 0; k < rov_ntracks; ++k) EXPECT_TRUE(seen[k]) << "track " << k;
        EXPECT_FALSE(r->dev.midilog.empty());
    }
}
