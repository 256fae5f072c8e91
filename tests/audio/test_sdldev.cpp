// The SDL device's callback work without SDL: the volume as a gain applied
// while copying out of the hand-over ring, and the bounded SDL close.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

#include "audio/samplerec.h"
#include "audio/sdldev.h"

namespace {

constexpr int chunk = 256;  // frames per callback

// Hands one buffer to the callback side the way write() does.
void hand_over(wv_sdldev& d, const std::vector<uint8_t>& buf, uint32_t gen) {
    const uint32_t h = d.rhead.load();
    d.ring[h % d.ring.size()] = {buf.data(), static_cast<uint32_t>(buf.size()), gen};
    d.rhead.store(h + 1);
}

std::vector<int16_t> ramp16(int frames) {
    std::vector<int16_t> v(static_cast<std::size_t>(frames) * 2);
    for (std::size_t i = 0; i < v.size(); ++i) v[i] = static_cast<int16_t>((i * 7919 % 65536) - 32768);
    return v;
}

std::vector<uint8_t> bytes_of(const std::vector<int16_t>& v) {
    std::vector<uint8_t> b(v.size() * 2);
    std::memcpy(b.data(), v.data(), b.size());
    return b;
}

std::vector<int16_t> words_of(const std::vector<uint8_t>& b) {
    std::vector<int16_t> v(b.size() / 2);
    std::memcpy(v.data(), b.data(), v.size() * 2);
    return v;
}

}  // namespace

TEST(SdlFill, VolumeChangeIsHeardFromTheNextCallbackInsideABuffer) {
    wv_sdldev d;
    wv_format f;  // 16-bit stereo
    wv_sdl_play_format(d, f);
    const std::vector<int16_t> in = ramp16(4 * chunk);
    const std::vector<uint8_t> buf = bytes_of(in);
    hand_over(d, buf, 1);

    std::vector<uint8_t> out(static_cast<std::size_t>(chunk) * 4);
    // Full volume: bit for bit.
    wv_sdl_fill(d, out.data(), static_cast<int>(out.size()));
    std::vector<int16_t> got = words_of(out);
    EXPECT_TRUE(std::equal(got.begin(), got.end(), in.begin()));

    // Halved left, quarter right, set between two callbacks of one buffer:
    // the very next callback is scaled.
    d.volume(0x8000, 0x4000);
    wv_sdl_fill(d, out.data(), static_cast<int>(out.size()));
    got = words_of(out);
    for (std::size_t i = 0; i < got.size(); ++i) {
        const int32_t x = in[2 * chunk + i];
        const int32_t g = (i & 1) ? 0x4000 : 0x8000;
        ASSERT_EQ(got[i], static_cast<int16_t>((x * g) >> 16)) << i;
    }

    // Volume 0 again (the loudest): the rest of the buffer is exact again.
    d.volume(wv_volume_for(0), wv_volume_for(0));
    wv_sdl_fill(d, out.data(), static_cast<int>(out.size()));
    got = words_of(out);
    EXPECT_TRUE(std::equal(got.begin(), got.end(), in.begin() + 4 * chunk));

    // Volume 255: silence.
    d.volume(wv_volume_for(255), wv_volume_for(255));
    wv_sdl_fill(d, out.data(), static_cast<int>(out.size()));
    EXPECT_EQ(words_of(out), std::vector<int16_t>(out.size() / 2, 0));
}

TEST(SdlFill, GainFollowsTheChannelsAcrossBufferSeams) {
    // A callback that takes the end of one buffer and the start of the next
    // keeps left and right apart in both.
    wv_sdldev d;
    wv_format f;
    wv_sdl_play_format(d, f);
    const std::vector<int16_t> a(static_cast<std::size_t>(chunk + 64) * 2, 1000);
    std::vector<int16_t> b(static_cast<std::size_t>(chunk) * 2);
    for (std::size_t i = 0; i < b.size(); ++i) b[i] = (i & 1) ? -2000 : 2000;
    const std::vector<uint8_t> ba = bytes_of(a), bb = bytes_of(b);
    hand_over(d, ba, 1);
    hand_over(d, bb, 2);
    d.volume(0xffff, 0x8000);
    std::vector<uint8_t> out(static_cast<std::size_t>(chunk) * 4);
    wv_sdl_fill(d, out.data(), static_cast<int>(out.size()));
    wv_sdl_fill(d, out.data(), static_cast<int>(out.size()));
    const std::vector<int16_t> got = words_of(out);
    for (std::size_t i = 0; i < 128; i += 2) {  // the last 64 frames of a
        EXPECT_EQ(got[i], 1000);
        EXPECT_EQ(got[i + 1], 500);
    }
    for (std::size_t i = 128; i < got.size(); i += 2) {  // the first frames of b
        EXPECT_EQ(got[i], 2000);
        EXPECT_EQ(got[i + 1], -1000);
    }
}

TEST(SdlFill, EightBitMonoWorksAroundTheMiddle) {
    wv_sdldev d;
    wv_format m;
    m.nChannels = 1;
    m.nBitsSamp = 8;
    m.nBlockAlign = 1;
    m.nAvgBytesPerSec = m.nSamplesPerSec;
    wv_sdl_play_format(d, m);
    std::vector<uint8_t> in(3 * chunk);
    for (std::size_t i = 0; i < in.size(); ++i) in[i] = static_cast<uint8_t>(i * 37);
    hand_over(d, in, 1);
    std::vector<uint8_t> out(chunk);
    wv_sdl_fill(d, out.data(), chunk);
    EXPECT_TRUE(std::equal(out.begin(), out.end(), in.begin()));  // 0xffff: exact
    d.volume(0x8000, 0x8000);
    wv_sdl_fill(d, out.data(), chunk);
    for (int i = 0; i < chunk; ++i) {
        const int x = in[static_cast<std::size_t>(chunk + i)];
        ASSERT_EQ(out[static_cast<std::size_t>(i)], static_cast<uint8_t>((((x - 128) * 0x8000) >> 16) + 128)) << i;
    }
    // Mono takes the left gain for every sample: the right one is not used.
    d.volume(0xffff, 0);
    wv_sdl_fill(d, out.data(), chunk);
    EXPECT_TRUE(std::equal(out.begin(), out.end(), in.begin() + 2 * chunk));
    // The buffer has been taken: silence is the unsigned middle value.
    wv_sdl_fill(d, out.data(), chunk);
    EXPECT_EQ(out, std::vector<uint8_t>(chunk, 0x80));
}

TEST(DeviceGain, EachChannelAtFullVolumeIsExact) {
    wv_format f;
    const std::vector<int16_t> in = {-1, -1, 1, 1, -32768, -32768, 32767, 32767};
    std::vector<int16_t> out(in.size());
    wv_gain_copy(reinterpret_cast<uint8_t*>(out.data()), reinterpret_cast<const uint8_t*>(in.data()),
                 static_cast<uint32_t>(in.size() * 2), f, 0x8000, 0xffff);
    EXPECT_EQ(out, (std::vector<int16_t>{-1, -1, 0, 1, -16384, -32768, 16383, 32767}));
    wv_gain_copy(reinterpret_cast<uint8_t*>(out.data()), reinterpret_cast<const uint8_t*>(in.data()),
                 static_cast<uint32_t>(in.size() * 2), f, 0xffff, 0);
    EXPECT_EQ(out, (std::vector<int16_t>{-1, 0, 1, 0, -32768, 0, 32767, 0}));
}

TEST(SdlBounded, ACallThatHangsIsLeftRunningAndCountsAsStuck) {
    std::weak_ptr<wv_sdlcalls> kept;
    std::atomic<bool> release{false}, finished{false};
    const wv_sdlcalls other;
    {
        const wv_sdlguard calls = std::make_shared<wv_sdlcalls>();
        kept = calls;
        EXPECT_TRUE(wv_sdl_bounded(calls, 60000, [] {}));
        EXPECT_FALSE(wv_sdl_stuck(*calls));
        EXPECT_FALSE(wv_sdl_bounded(calls, 50, [&] {
            while (!release.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            finished.store(true);
        }));
        EXPECT_TRUE(wv_sdl_stuck(*calls));
        EXPECT_FALSE(wv_sdl_stuck(other));  // another program's record
    }
    // The owner is gone; the running call still keeps the record.
    const wv_sdlguard calls = kept.lock();
    ASSERT_NE(calls, nullptr);
    // When the call returns after all, the device layer is free again.
    release.store(true);
    while (wv_sdl_stuck(*calls)) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_TRUE(finished.load());
}

TEST(SdlBounded, ASignalEndsTheWaitAndOnlyATimeOutMeansNoAnswer) {
    const wv_sdlguard calls = std::make_shared<wv_sdlcalls>();
    std::atomic<bool> release{false};
    auto hang = [&] {
        while (!release.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    };
    volatile sig_atomic_t stop = 1;
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_FALSE(wv_sdl_bounded(calls, 600000, hang, &stop));
    EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::seconds(60));
    EXPECT_FALSE(wv_sdl_no_answer(*calls));
    stop = 0;
    EXPECT_FALSE(wv_sdl_bounded(calls, 50, hang, &stop));
    EXPECT_TRUE(wv_sdl_no_answer(*calls));
    EXPECT_EQ(wv_sdl_hint(*calls).brief, "restart it, or set SDL_AUDIODRIVER");
    release.store(true);
    while (wv_sdl_stuck(*calls)) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

// The server asks for what it plays: a clock that runs ahead of the frames
// asked for is silence played, counted as lost once the stream has sound;
// a stream fed ahead of its clock loses nothing. Early done notifications
// come a latency ahead of a buffer's end.
TEST(SdlFill, ServerGapsCountAsLostFramesAndDoneRunsALatencyAhead) {
    wv_sdldev d;
    wv_format f;  // 16-bit stereo, 11025 Hz
    wv_sdl_play_format(d, f);
    d.lead = 2000;
    const std::vector<uint8_t> buf = bytes_of(ramp16(11025 * 2));
    hand_over(d, buf, 1);
    std::vector<uint8_t> out(buf.size());
    wv_sdl_fill(d, out.data(), chunk * 4);  // the clock starts
    wv_sdl_fill(d, out.data(), 11025 / 2 * 4);  // half a second ahead
    EXPECT_EQ(d.lost_frames(), 0u);
    EXPECT_EQ(d.done_gen.load(), 0u);

    const auto t0 = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    wv_sdl_fill(d, out.data(), 11025 / 2 * 4);
    const double slept = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    // At least the 100 ms beyond what was given, at most all the time slept.
    const uint64_t lost = d.lost_frames();
    EXPECT_GE(lost, 11025u / 10 - chunk) << lost;
    EXPECT_LE(lost, static_cast<uint64_t>(slept * 11025) + chunk) << lost;
    EXPECT_EQ(d.underruns.load(), 1u);
    // Counted once: the clock's offset moved on.
    wv_sdl_fill(d, out.data(), chunk * 4);
    EXPECT_EQ(d.lost_frames(), lost);

    // A buffer of 2 s: its done comes once no more than the lead is left.
    const uint64_t taken = 2 * (11025 / 2 + chunk);
    wv_sdl_fill(d, out.data(), static_cast<int>(11025 * 2 - taken - 2000 - 1) * 4);
    EXPECT_EQ(d.done_gen.load(), 0u);
    EXPECT_FALSE(d.early);
    wv_sdl_fill(d, out.data(), 4);
    EXPECT_TRUE(d.early);
}

TEST(SdlLatency, AtMostHalfABufferAndNoneBelowTwoCallbacks) {
    EXPECT_EQ(wv_sdl_latency_ms(200, 7936, 11025), 200);   // 32 KiB at 11025 Hz: 720 ms
    EXPECT_EQ(wv_sdl_latency_ms(2000, 7936, 11025), 359);  // half of it
    EXPECT_EQ(wv_sdl_latency_ms(200, 7936, 44100), 89);    // the same buffer at 44100 Hz
    EXPECT_EQ(wv_sdl_latency_ms(200, 512, 44100), 0);      // 3 KiB: too short, no queue of its own
    EXPECT_EQ(wv_sdl_latency_ms(20, 7936, 11025), 0);      // below two callbacks (46 ms)
    EXPECT_EQ(wv_sdl_latency_ms(200, 7936, 0), 0);
}

// A real stream on SDL's silent driver: a mono buffer after a stereo one is
// played to its last frame (its frames are counted in its own format).
TEST(SdlStream, AMonoBufferAfterAStereoStreamPlaysToItsEnd) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    wv_sdldev d;
    std::string err;
    ASSERT_TRUE(wv_sdl_init(d, err)) << err;
    const std::vector<uint8_t> buf = bytes_of(ramp16(2000));
    for (const wv_format f : {wv_format{}, wv_mono16(11025)}) {
        uint32_t g = 0;
        ASSERT_TRUE(d.open(wv_mapper, f, nullptr, g));
        ASSERT_TRUE(d.write(buf.data(), static_cast<uint32_t>(buf.size())));
        const int64_t frames = static_cast<int64_t>(buf.size()) / f.nBlockAlign;
        for (int i = 0; i < 200 && d.position() < frames; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EXPECT_EQ(d.position(), frames) << f.nChannels << " channels";
        d.reset();
        d.close();
    }
    d.release();
    unsetenv("SDL_AUDIODRIVER");
}
