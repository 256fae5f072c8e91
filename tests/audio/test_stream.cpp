// The streaming cycle on the virtual device: start, turns, gaps, the
// emergency, the CPU measure, Stop, and what reaches the device.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "audio/chain.h"
#include "audio/evqueue.h"
#include "audio/stream.h"
#include "audio/virtdev.h"
#include "support/fake_files.h"
#include "support/stream_rig.h"

namespace {

struct rig final : stream_rig {
    explicit rig(int setnr = 4, int32_t bufszorig = 32768) : stream_rig(setnr) { s.opt->bufszorig = bufszorig; }
    int16_t& param(int slot) { return st.s.rov_p[s.setnr * rov_nparams + slot]; }
    void open() {
        EXPECT_TRUE(wv_probe(s));
        wv_stream_open(s);
    }
    void fire_timer() {
        ASSERT_GE(timer_ms, 0);
        timer_ms = -1;
        wv_dispatch(s, {wv_evkind::timer, 0});
        pump();
    }
    std::size_t sent() const { return dev.log.size(); }
};

std::unique_ptr<rig> make(int setnr = 4, int32_t bufszorig = 32768) {
    return std::make_unique<rig>(setnr, bufszorig);
}

// The buffers of a gap-free play of set `setnr` with its own scale.
std::vector<std::vector<int16_t>> reference(int setnr, int32_t bufszorig, int buffers, int row = 0) {
    rov_setting d;
    rov_default_setting(d);
    return stream_reference(setnr, d.rov_tonindx[setnr], bufszorig, buffers, row);
}

std::vector<int16_t> words(const std::vector<uint8_t>& b) {
    std::vector<int16_t> w(b.size() / 2);
    std::memcpy(w.data(), b.data(), w.size() * 2);
    return w;
}

}  // namespace

TEST(Stream, OpenSetsUpBuffersAndFormat) {
    auto r = make();
    r->s.algomod = 40;  // out of range: the empty algorithm
    r->open();
    EXPECT_EQ(r->s.algomod, 22);
    EXPECT_TRUE(r->s.allocated);
    EXPECT_EQ(r->s.pb.bufsize, 32768);
    EXPECT_EQ(r->s.bufidle2, 1000000 / 32768);  // Normal time to play
    EXPECT_EQ(r->s.wvFormat.nChannels, 2);
    EXPECT_EQ(r->s.wvFormat.nBlockAlign, 4);
    EXPECT_EQ(r->s.wvFormat.nSamplesPerSec, 11025);
    EXPECT_EQ(r->st.g.rov_maxvoc, 8);
}

TEST(Stream, GapFreePlaySendsWhatRenderComputes) {
    auto r = make();
    r->open();
    ASSERT_TRUE(wv_start(r->s));
    EXPECT_TRUE(r->s.playing);
    EXPECT_FALSE(r->s.opt->woc.dwSupport & wv_sup_sync);
    for (int i = 0; i < 7; ++i) r->play_out();
    ASSERT_EQ(r->sent(), 8u);
    EXPECT_EQ(r->timer_ms, -1);  // no gaps
    const auto ref = reference(4, 32768, 8);
    for (std::size_t n = 0; n < 8; ++n) {
        EXPECT_EQ(r->dev.log[n].fmt.nSamplesPerSec, 11025);
        EXPECT_EQ(words(r->dev.log[n].bytes), ref[n]) << "buffer " << n;
    }
    EXPECT_EQ(r->dev.opens, 8);
    EXPECT_EQ(r->dev.closes, 7);
}

TEST(Stream, RateChangeReachesTheNextBuffer) {
    auto r = make();
    r->open();
    ASSERT_TRUE(wv_start(r->s));
    r->param(13) = 36;
    r->play_out();
    EXPECT_EQ(r->dev.log.back().fmt.nSamplesPerSec, 22050);
    EXPECT_EQ(r->dev.log.back().fmt.nAvgBytesPerSec, 4 * 22050);
}

TEST(Stream, BuffBeatLowersTheSize) {
    auto r = make();
    r->s.opt->autotempo = true;
    r->param(11) = 0;  // Beat 0, not a sampling row: 5120 bytes
    r->s.opt->bufincr = 1536;
    r->open();
    EXPECT_EQ(r->s.pb.bufincr, 1536);  // the step set with the buffer size
    ASSERT_TRUE(wv_start(r->s));
    EXPECT_EQ(r->s.pb.bufsize, 5120);
    EXPECT_EQ(r->s.pb.bufincr, 512);
    EXPECT_EQ(r->s.opt->bufincr, 512);  // and it stays 512 for later openings
    EXPECT_EQ(r->dev.log[0].bytes.size(), 1024u * 4);  // F = 1024 frames
    EXPECT_EQ(r->s.bufmaxidle, wv_ttp_normal / 5120);

    // Not applied when the beat buffer would not be smaller.
    auto small = make(4, 4096);
    small->s.opt->autotempo = true;
    small->param(11) = 0;
    small->open();
    ASSERT_TRUE(wv_start(small->s));
    EXPECT_EQ(small->s.pb.bufsize, 4096);
}

TEST(Stream, TestTimeToPlayGapsFromTheFirstBuffer) {
    auto r = make();
    r->s.opt->sampmaxidle = wv_ttp_test;
    r->s.opt->playpaus = 3;
    r->open();
    EXPECT_EQ(r->s.bufidle2, 0);
    ASSERT_TRUE(wv_start(r->s));
    EXPECT_EQ(r->s.bufmaxidle, 3);
    r->play_out();
    // The device has closed; the next turn waits for the gap timer.
    EXPECT_EQ(r->sent(), 1u);
    EXPECT_TRUE(r->s.timerset);
    EXPECT_EQ(r->timer_ms, 32768 / 256 * 3);
    r->fire_timer();
    EXPECT_EQ(r->sent(), 2u);
    // Buffer 0 was refilled and faded at both ends; it is the third one sent.
    r->play_out();
    r->fire_timer();
    ASSERT_EQ(r->sent(), 3u);
    auto ref = reference(4, 32768, 3)[2];
    ref.resize(32768 / 2 - 512 + 1);
    wv_shape_fade(ref.data(), 32768);
    ref.pop_back();
    EXPECT_EQ(words(r->dev.log[2].bytes), ref);
}

TEST(Stream, TestTimeToPlayWithRotateHasNoGaps) {
    auto r = make();
    r->s.opt->sampmaxidle = wv_ttp_test;
    r->s.opt->emrotate = true;
    r->open();
    EXPECT_EQ(r->s.bufidle2, 6000000 / 32768);
    EXPECT_EQ(r->s.bufidle2, 183);
    ASSERT_TRUE(wv_start(r->s));
    r->play_out();
    EXPECT_EQ(r->sent(), 2u);
    EXPECT_FALSE(r->s.timerset);

    // With Emergency Play on, Rotate does not keep the gaps away.
    auto e = make();
    e->s.opt->sampmaxidle = wv_ttp_test;
    e->s.opt->emrotate = true;
    e->s.opt->emergency = true;
    e->open();
    EXPECT_EQ(e->s.bufidle2, 0);
}

TEST(Stream, SynchronousDeviceLeadsToGapMode) {
    auto r = make();
    r->dev.synchronous = true;
    r->open();
    EXPECT_GT(r->s.bufidle2, 0);
    ASSERT_TRUE(wv_start(r->s));
    EXPECT_EQ(r->s.bufidle2, 0);
    EXPECT_TRUE(r->s.opt->woc.dwSupport & wv_sup_sync);
    r->pump();  // done and close have come already
    EXPECT_TRUE(r->s.timerset);
    EXPECT_EQ(r->sent(), 1u);
    r->fire_timer();
    EXPECT_EQ(r->sent(), 2u);
}

namespace {
// Plays with the measure off until the emergency counter has run out and
// one more turn has taken the emergency step.
std::unique_ptr<rig> run_to_emergency(bool emergency, bool rotate) {
    auto r = make();
    r->param(15) = 128;  // replays keep their level
    r->s.opt->sampmaxidle = wv_ttp_short;
    r->s.opt->wvomeasure = false;
    r->s.opt->emergency = emergency;
    r->s.opt->emrotate = rotate;
    r->open();
    EXPECT_TRUE(wv_start(r->s));
    const int idle = r->s.bufmaxidle;  // 1200000 / 32768 = 36
    EXPECT_EQ(idle, 36);
    for (int i = 0; i < idle; ++i) r->play_out();
    EXPECT_EQ(r->s.bufidle, 0);
    EXPECT_EQ(r->s.algomod, 0);
    EXPECT_EQ(r->st.g.rov_stopped, 0);
    r->play_out();  // the turn that finds bufidle = 0
    return r;
}
}  // namespace

TEST(Emergency, SilenceByDefault) {
    auto r = run_to_emergency(false, false);
    EXPECT_EQ(r->st.g.rov_stopped, 1);
    EXPECT_EQ(r->s.algomod, 0);
    // User activity ends the emergency counter's run-down.
    wv_activity(r->s);
    EXPECT_EQ(r->s.bufidle, r->s.bufmaxidle);
}

TEST(Emergency, RotateReplaysTheLastTwoBuffers) {
    auto r = run_to_emergency(false, true);
    EXPECT_EQ(r->s.algomod, 22);
    EXPECT_EQ(r->st.g.rov_stopped, 0);
    const std::size_t n = r->sent();
    r->play_out();
    r->play_out();
    r->play_out();
    // From now on each buffer is the one of two turns before (Chg.Dly 128).
    EXPECT_EQ(r->dev.log[n + 1].bytes, r->dev.log[n - 1].bytes);
    EXPECT_EQ(r->dev.log[n + 2].bytes, r->dev.log[n].bytes);
    // Once bufidle2 has run down, gaps come and the replays turn across the field.
    r->s.bufidle2 = 1;
    r->play_out();  // bufidle2 -> 0, the refill is rotated
    EXPECT_FALSE(r->s.timerset);
    r->play_out();
    EXPECT_TRUE(r->s.timerset);
    r->fire_timer();
    const auto& last = r->dev.log.back().bytes;
    const auto w = words(last);
    EXPECT_EQ(w[0], 0);
    EXPECT_EQ(w[1], 0);
}

TEST(Emergency, ANewStartAfterRotatePlaysTheRowAgain) {
    auto r = run_to_emergency(false, true);
    ASSERT_EQ(r->s.algomod, 22);
    wv_stop(r->s);
    r->pump();
    if (r->s.timerset) r->fire_timer();
    ASSERT_TRUE(wv_idle(r->s));
    const std::size_t n = r->sent();
    ASSERT_TRUE(wv_start(r->s));
    EXPECT_EQ(r->s.algomod, 0);
    EXPECT_EQ(words(r->dev.log[n].bytes), reference(4, 32768, 1)[0]);  // computed, not silence
}

TEST(Emergency, EmergencyPlayKeepsComputing) {
    auto r = run_to_emergency(true, false);
    EXPECT_EQ(r->s.algomod, 0);
    EXPECT_EQ(r->st.g.rov_stopped, 0);
    const std::size_t n = r->sent();
    const auto ref = reference(4, 32768, static_cast<int>(n));
    for (std::size_t i = 0; i < n; ++i) EXPECT_EQ(words(r->dev.log[i].bytes), ref[i]) << "buffer " << i;
    // bufidle2 runs down from here: gap mode after 1000000 / 32768 turns.
    EXPECT_EQ(r->s.bufidle2, 30 - 1);
}

TEST(Emergency, InTheLevelModesTheStatusLineSaysWhyTheSoundStopped) {
    auto r = make();
    r->s.opt->sampmaxidle = wv_ttp_short;
    r->s.opt->dispmode = wv_disp_alllevels;
    r->dev.report_pos = 0;  // a light charge, which refills the count in the other modes
    r->open();
    ASSERT_TRUE(wv_start(r->s));
    for (int i = 0; i <= r->s.bufmaxidle; ++i) r->play_out();
    ASSERT_EQ(r->st.g.rov_stopped, 1);
    EXPECT_EQ(r->s.line.text, wv_idle_text(wv_idlestop::paused));
    EXPECT_NE(r->s.line.text.find("Options>Setup>Time to play"), std::string::npos);
    EXPECT_EQ(r->s.line.ndisc, 1);  // the level discs stay
    // "Pa&use" is activity and clears the flag: the sound comes back for good.
    wv_activity(r->s);
    r->st.g.rov_stopped = 0;
    for (int i = 0; i < 3; ++i) r->play_out();
    EXPECT_EQ(r->st.g.rov_stopped, 0);
    EXPECT_EQ(r->s.line.text.rfind("setting 4, scale ", 0), 0u) << r->s.line.text;

    // A mode that does not rewrite the line gets the editor's text back.
    r->s.opt->dispmode = wv_disp_off;
    r->s.bufidle = 0;
    r->play_out();
    ASSERT_EQ(r->st.g.rov_stopped, 1);
    EXPECT_EQ(r->s.line.text, wv_idle_text(wv_idlestop::paused));
    r->st.g.rov_stopped = 0;
    r->s.bufidle = 10;
    r->play_out();
    EXPECT_EQ(r->s.line.text, "setting 4, scale " + std::to_string(r->s.tonr));

    // A replay lasts until the next Start, and so does its line.
    r->s.opt->emrotate = true;
    r->s.bufidle = 0;
    r->play_out();
    wv_activity(r->s);
    r->play_out();
    EXPECT_EQ(r->s.line.text, wv_idle_text(wv_idlestop::replaying));
}

TEST(CpuMeasure, ChargeMovesTheEmergencyCounter) {
    auto r = make();
    r->open();
    ASSERT_TRUE(wv_start(r->s));
    const int64_t f = wv_frames(32768);
    const int start = r->s.bufidle;

    r->dev.report_pos = f / 2;  // 50 %: the machine keeps up
    r->play_out();
    EXPECT_EQ(r->s.last.charge, 50);
    EXPECT_EQ(r->s.bufidle, start - 1 + 1);

    r->dev.report_pos = f * 95 / 100;  // 94: neither
    r->play_out();
    EXPECT_EQ(r->s.last.charge, 94);
    EXPECT_EQ(r->s.bufidle, start - 1);

    r->dev.report_pos = f * 99 / 100;  // 98 or more: one less
    r->play_out();
    EXPECT_GE(r->s.last.charge, 98);
    EXPECT_EQ(r->s.bufidle, start - 3);

    r->dev.report_pos = f;  // 100: the buffer ran out before the next was ready
    r->play_out();
    EXPECT_EQ(r->s.last.charge, 100);
    EXPECT_EQ(r->s.bufidle, start - 9);
    EXPECT_EQ(r->s.maxcharge, 100);

    r->s.bufidle = 3;
    r->play_out();
    EXPECT_EQ(r->s.bufidle, 0);  // never below 0

    // In the level display modes the charge is only measured.
    r->s.opt->dispmode = wv_disp_level;
    r->s.bufidle = 10;
    r->dev.report_pos = 0;
    r->play_out();
    EXPECT_EQ(r->s.last.charge, 0);
    EXPECT_EQ(r->s.bufidle, 9);
}

TEST(Mono8, SendsBytesAndKeepsTheWords) {
    auto r = make();
    r->param(14) = 4;
    r->open();
    wv_toggle_mono8(r->s);
    EXPECT_FALSE(r->s.opt->stereoset);
    wv_stream_open(r->s);
    EXPECT_EQ(r->s.wvFormat.nChannels, 1);
    EXPECT_EQ(r->s.wvFormat.nBitsSamp, 8);
    ASSERT_TRUE(wv_start(r->s));
    const int32_t f = wv_frames(32768);
    ASSERT_EQ(r->dev.log[0].bytes.size(), static_cast<std::size_t>(f));
    EXPECT_EQ(r->dev.log[0].fmt.nBlockAlign, 1);
    const auto ref = reference(4, 32768, 1)[0];
    std::vector<uint8_t> want(static_cast<std::size_t>(f));
    wv_to8bit(ref.data(), f, 4, want.data());
    EXPECT_EQ(r->dev.log[0].bytes, want);
    // The 16-bit words of the buffer are untouched by the conversion.
    EXPECT_TRUE(std::equal(ref.begin(), ref.end(), r->s.pb.data[0].begin()));
    EXPECT_EQ(r->dev.frames, f);

    // Mono 8 bit toggles back on only when the device has 16-bit stereo.
    wv_toggle_mono8(r->s);
    EXPECT_TRUE(r->s.opt->stereoset);
    r->s.opt->stereo16 = false;
    wv_toggle_mono8(r->s);
    wv_toggle_mono8(r->s);
    EXPECT_FALSE(r->s.opt->stereoset);
}

TEST(Mono8, EchoRowReadsACleanCopy) {
    const int row = 4;
    ASSERT_EQ(rov_rows[row].tab.algtyp, 2);
    if (!rov_row_computed(row)) GTEST_SKIP() << "the echo routine is not built";
    // 16-bit: nothing alters the played buffer, the echo reads it directly.
    auto r = make();
    r->s.algomod = row;
    r->open();
    EXPECT_EQ(r->s.chain.echo, nullptr);
    // 8-bit: the played form is bytes, so a clean copy of the words is kept.
    auto m = make();
    m->s.algomod = row;
    m->open();
    wv_toggle_mono8(m->s);
    wv_stream_open(m->s);
    EXPECT_NE(m->s.chain.echo, nullptr);
    ASSERT_TRUE(wv_start(m->s));
    for (int i = 0; i < 5; ++i) m->play_out();
    const auto ref = reference(4, 32768, 6, row);
    const int32_t f = wv_frames(32768);
    for (std::size_t n = 0; n < 6; ++n) {
        std::vector<uint8_t> want(static_cast<std::size_t>(f));
        wv_to8bit(ref[n].data(), f, m->param(14), want.data());
        EXPECT_EQ(m->dev.log[n].bytes, want) << "buffer " << n;
    }
}

TEST(Stop, TakesTheStopPathThroughOneMoreTurn) {
    auto r = make();
    r->open();
    ASSERT_TRUE(wv_start(r->s));
    r->play_out();
    r->dev.report_pos = 0;
    r->play_out();
    ASSERT_EQ(r->sent(), 3u);
    wv_button(r->s);  // Stop while the device plays
    EXPECT_FALSE(r->s.playing);
    EXPECT_EQ(r->s.bufidle, -1);
    EXPECT_EQ(r->dev.resets, 1);
    EXPECT_FALSE(r->dev.isopen);
    char want[64];
    std::snprintf(want, sizeof want, "setting 4, scale %d, maxCPU %d", r->s.tonr, r->s.maxcharge);
    EXPECT_EQ(r->s.status, want);
    EXPECT_FALSE(wv_idle(r->s));
    r->pump();  // the done from the reset, the close, one turn on the stop path
    EXPECT_EQ(r->sent(), 3u);
    EXPECT_TRUE(wv_idle(r->s));
    EXPECT_EQ(r->dev.opens, 3);
    // The next press starts again.
    wv_button(r->s);
    EXPECT_TRUE(r->s.playing);
    EXPECT_EQ(r->sent(), 4u);
    // What a play left in the status line is not shown at the next opening.
    wv_stop(r->s);
    r->pump();
    wv_stream_close(r->s);
    ASSERT_FALSE(r->s.status.empty());
    wv_stream_open(r->s);
    EXPECT_EQ(r->s.status, "");
    EXPECT_EQ(r->s.line.seq, 0u);
}

TEST(Stop, InGapModeTheStopPathWaitsForTheTimer) {
    auto r = make();
    r->s.opt->sampmaxidle = wv_ttp_test;
    r->open();
    ASSERT_TRUE(wv_start(r->s));
    wv_stop(r->s);
    r->pump();
    EXPECT_TRUE(r->s.timerset);
    r->fire_timer();
    EXPECT_TRUE(wv_idle(r->s));
    EXPECT_EQ(r->sent(), 1u);
}

TEST(Stop, ActivityBeforeTheStopTurnDoesNotUndoTheStop) {
    auto r = make();
    r->s.opt->sampmaxidle = wv_ttp_test;  // gap mode: the stop turn waits for the timer
    r->open();
    ASSERT_TRUE(wv_start(r->s));
    wv_stop(r->s);
    r->pump();
    ASSERT_TRUE(r->s.timerset);
    wv_activity(r->s);  // the user moves a scroll bar meanwhile
    EXPECT_EQ(r->s.bufidle, -1);
    r->fire_timer();
    EXPECT_TRUE(wv_idle(r->s));
    EXPECT_EQ(r->sent(), 1u);
}

TEST(Stop, DoesNotUseUpTheGapFreeBuffers) {
    auto r = make(4, 524288);  // 1000000 / 524288: one gap-free buffer after an emergency
    r->open();
    ASSERT_EQ(r->s.bufidle2, 1);
    ASSERT_TRUE(wv_start(r->s));
    wv_stop(r->s);
    r->pump();
    ASSERT_TRUE(wv_idle(r->s));
    EXPECT_EQ(r->s.bufidle2, 1);
    ASSERT_TRUE(wv_start(r->s));
    r->play_out();
    EXPECT_FALSE(r->s.timerset);  // still gap-free
}

TEST(Stop, GapCountsFromTheEndOfTheSound) {
    auto r = make();
    r->s.opt->sampmaxidle = wv_ttp_test;
    r->dev.lead = 512;  // the device reports done 512 frames early
    r->open();
    ASSERT_TRUE(wv_start(r->s));
    r->play_out();
    ASSERT_TRUE(r->s.timerset);
    EXPECT_EQ(r->timer_ms, 32768 / 256 + 512 * 1000 / 11025);
}

TEST(Stop, DuringAGapOnlyKillsTheTimer) {
    auto r = make();
    r->s.opt->sampmaxidle = wv_ttp_test;
    r->open();
    ASSERT_TRUE(wv_start(r->s));
    r->play_out();
    ASSERT_TRUE(r->s.timerset);
    const int idle = r->s.bufidle;
    wv_button(r->s);
    EXPECT_FALSE(r->s.timerset);
    EXPECT_EQ(r->timer_ms, -1);
    EXPECT_EQ(r->s.bufidle, idle);
    EXPECT_FALSE(r->s.playing);
    EXPECT_EQ(r->dev.resets, 0);
    EXPECT_TRUE(wv_idle(r->s));
    r->pump();
    EXPECT_EQ(r->sent(), 1u);
}

TEST(Stop, BetweenDoneAndCloseStillStops) {
    auto r = make();
    r->open();
    ASSERT_TRUE(wv_start(r->s));
    wv_virt_advance(r->dev, r->dev.frames);
    wv_event ev;
    ASSERT_TRUE(wv_evq_pop(r->q, ev));
    wv_dispatch(r->s, ev);  // done: the device closes, its close notification is queued
    EXPECT_FALSE(r->s.hwaveout);
    wv_button(r->s);        // must not start a second cycle
    EXPECT_EQ(r->s.bufidle, -1);
    r->pump();
    EXPECT_TRUE(wv_idle(r->s));
    EXPECT_EQ(r->sent(), 1u);
}

TEST(DeviceFailure, OpenOrWriteFailingEndsTheCycle) {
    auto r = make();
    r->dev.fail_open = true;
    r->open();
    EXPECT_FALSE(wv_start(r->s));
    EXPECT_FALSE(r->s.playing);
    EXPECT_TRUE(wv_idle(r->s));
    EXPECT_EQ(r->s.status, "the output device could not be opened");
    // Without any output device the status says why, after the same words.
    r->s.device_hint = "SDL tried the audio system pulseaudio; it could not start";
    EXPECT_FALSE(wv_start(r->s));
    EXPECT_EQ(r->s.status,
              "the output device could not be opened: SDL tried the audio system pulseaudio; it could not start");

    auto w = make();
    w->open();
    ASSERT_TRUE(wv_start(w->s));
    w->dev.fail_write = true;
    w->play_out();
    EXPECT_FALSE(w->s.playing);
    EXPECT_FALSE(w->dev.isopen);
    w->pump();  // the close of the failed opening does not start a turn
    EXPECT_TRUE(wv_idle(w->s));
    EXPECT_EQ(w->sent(), 1u);

    // A device number the system does not have.
    auto d = make();
    d->s.opt->wvodevno = 3;
    d->dev.ndev = 2;
    EXPECT_FALSE(wv_probe(d->s));
    EXPECT_FALSE(d->s.opt->stereo16);
}

TEST(Stream, CloseResetsTheDeviceAndFreesTheBuffers) {
    auto r = make();
    r->open();
    ASSERT_TRUE(wv_start(r->s));
    r->play_out();
    wv_stream_close(r->s);
    EXPECT_FALSE(r->dev.isopen);
    EXPECT_FALSE(r->s.allocated);
    EXPECT_TRUE(r->s.pb.data[0].empty());
    r->pump();  // late notifications reach no buffers
    EXPECT_TRUE(wv_idle(r->s));
    EXPECT_FALSE(wv_start(r->s));  // no buffers: nothing happens
}

TEST(Stream, RowWithoutRoutineStartsSilentAndReplays) {
    auto r = make();
    r->s.algomod = 22;
    r->param(15) = 128;
    r->open();
    ASSERT_TRUE(wv_start(r->s));
    r->play_out();
    r->play_out();
    for (const auto& b : r->dev.log)
        for (uint8_t x : b.bytes) ASSERT_EQ(x, 0);
}

TEST(VirtualDevice, RealRateFollowsTheWallClock) {
    wv_virtdev d;
    d.realrate = true;
    wv_format f;
    f.nSamplesPerSec = 44100;
    uint32_t gen = 0;
    ASSERT_TRUE(d.open(wv_mapper, f, nullptr, gen));
    std::vector<uint8_t> b(4 * 441, 0);  // 10 ms
    ASSERT_TRUE(d.write(b.data(), static_cast<uint32_t>(b.size())));
    EXPECT_TRUE(d.busy);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(d.position(), 441);
    EXPECT_FALSE(d.busy);
}

namespace {

// A stage that writes a mark into the first word of every buffer.
struct marking_stage final : wv_stage {
    int16_t mark;
    explicit marking_stage(int16_t m) : mark(m) {}
    void run(wv_chainbuf& b) override { b.w[0] = mark; }
};

// A stage that records what it saw.
struct recording_stage final : wv_stage {
    struct seen {
        int16_t first;
        int32_t frames;
        bool refill;
        bool gaps;
    };
    std::vector<seen> log;
    void run(wv_chainbuf& b) override { log.push_back({b.w[0], b.frames, b.refill, b.gaps}); }
};

}  // namespace

TEST(OutputChain, StagesRunInOrderOnEveryComputedBuffer) {
    auto r = make();
    r->open();
    auto* rec = new recording_stage;
    // Before the recorder, a stage that marks; after it, one that marks again.
    r->s.chain.compute.insert(r->s.chain.compute.begin(), std::make_unique<marking_stage>(int16_t{111}));
    r->s.chain.compute.emplace_back(rec);
    r->s.chain.compute.push_back(std::make_unique<marking_stage>(int16_t{222}));
    ASSERT_TRUE(wv_start(r->s));
    for (int i = 0; i < 4; ++i) r->play_out();
    const int32_t f = wv_frames(32768);
    // The two buffers of the start, then one refill per turn.
    ASSERT_EQ(rec->log.size(), 6u);
    for (std::size_t n = 0; n < rec->log.size(); ++n) {
        EXPECT_EQ(rec->log[n].first, 111) << n;  // the earlier stage has run, the later not yet
        EXPECT_EQ(rec->log[n].frames, f);
        EXPECT_EQ(rec->log[n].refill, n >= 2) << n;
        EXPECT_FALSE(rec->log[n].gaps);
    }
    // The device receives what the last stage left.
    for (const auto& b : r->dev.log) EXPECT_EQ(words(b.bytes)[0], 222);
}

TEST(OutputChain, BuiltForTheOptions) {
    wv_options o;
    wv_chain c;
    // The output effects of the options table that have a stage for `o`.
    auto effects = [&o] {
        std::size_t n = 0;
        for (int i = 0; i < wv_optlist_n; ++i) n += wv_optlist[i]->effect && wv_optlist[i]->effect->built(o);
        return n;
    };
    // 16-bit stereo: the effects (fuzz too, idle while none is chosen), the
    // level meter and the gap shaping; the echo reads the played buffer.
    o.stereoset = true;
    EXPECT_TRUE(wv_opt_fuzztype.effect->built(o));
    wv_chain_build(c, o, true, 1000, nullptr);
    EXPECT_EQ(c.compute.size(), 2u + effects());
    EXPECT_EQ(c.echo, nullptr);
    EXPECT_TRUE(c.send.empty());
    // 8-bit mono: the echo copy comes first, the conversion at sending time.
    o.stereoset = false;
    wv_chain_build(c, o, true, 1000, nullptr);
    ASSERT_EQ(c.compute.size(), 3u + effects());
    EXPECT_EQ(c.compute[0].get(), c.echo);
    EXPECT_EQ(c.echo->copy.size(), 1000u);
    EXPECT_EQ(c.send.size(), 1u);
    // A row without echo keeps no copy.
    wv_chain_build(c, o, false, 1000, nullptr);
    EXPECT_EQ(c.echo, nullptr);
    EXPECT_EQ(c.compute.size(), 2u + effects());
    // Fuzz alters the played buffer: the echo routine gets a clean copy.
    o.stereoset = true;
    o.fuzztyp = 4;
    wv_chain_build(c, o, true, 1000, nullptr);
    ASSERT_NE(c.echo, nullptr);
    EXPECT_EQ(c.compute[0].get(), c.echo);
}

TEST(OutputChain, GapShapingOnlyInGapModeAndNotWhileRecording) {
    wv_options o;
    fake_recsink rec;
    rec.open = false;
    wv_gapshape g(&o, &rec);
    const int32_t size = 4096;
    std::vector<int16_t> w(wv_words(size), 1000), keep = w;
    wv_chainbuf b;
    b.w = w.data();
    b.bufsize = size;
    b.frames = wv_frames(size);
    g.run(b);
    EXPECT_EQ(w, keep);  // not in gap mode
    b.gaps = true;
    rec.open = true;
    g.run(b);
    EXPECT_EQ(w, keep);  // fades are left out while recording
    rec.open = false;
    g.run(b);
    EXPECT_EQ(w[0], 0);  // faded in
    EXPECT_EQ(w[300], 1000);
    o.emrotate = true;  // rotating is done also while recording
    rec.open = true;
    std::vector<int16_t> v(wv_words(size), 1000);
    b.w = v.data();
    g.run(b);
    EXPECT_EQ(v[1], 0);
}

namespace {

// A recording that keeps what it is given; it can be told to fail.
struct fake_rec final : wv_recsink {
    bool open = true;
    bool fail_at_next = false;
    int finishes = 0;
    std::vector<std::vector<uint8_t>> bufs;
    std::vector<int32_t> rates;
    bool append(const void* data, uint32_t bytes, int32_t rate) override {
        const auto* p = static_cast<const uint8_t*>(data);
        bufs.emplace_back(p, p + (fail_at_next ? bytes / 2 : bytes));
        rates.push_back(rate);
        if (fail_at_next) errno = ENOSPC;
        return !fail_at_next;
    }
    bool finish() override {
        ++finishes;
        open = false;
        return true;
    }
    bool is_open() const override { return open; }
};

// A mix file of `words` words counting 1, 2, 3, ...
struct fake_mix final : wv_mixsource {
    int32_t left;
    int16_t next = 1;
    bool open = true;
    std::vector<int32_t> rates;
    explicit fake_mix(int32_t words) : left(words) {}
    int32_t read(int16_t* out, int32_t frames, int32_t rate) override {
        rates.push_back(rate);
        const int32_t n = std::min(2 * frames, left);
        for (int32_t i = 0; i < n; ++i) out[i] = next++;
        left -= n;
        return n;
    }
    void close() override { open = false; }
    bool is_open() const override { return open; }
};

// Plays with gaps (recording is always gap mode) until the cycle rests.
void play_recording(rig& r, int max_turns = 1000) {
    for (int i = 0; i < max_turns && !wv_idle(r.s); ++i) {
        r.play_out();
        if (r.s.timerset) r.fire_timer();
    }
}

}  // namespace

TEST(HarddiscRecording, PlannedCountWritesTwoMoreBuffersThenFinishes) {
    // A plan of n buffers: the one Start sends, one per turn while the count
    // is above 0, and the turn at 0.
    for (int n : {0, 1, 5}) {
        auto r = make();
        fake_rec rec;
        r->s.rec = &rec;
        r->s.bufrest = n;
        r->open();
        EXPECT_TRUE(wv_recording(r->s));
        EXPECT_EQ(r->s.bufidle2, 0);  // gap mode while recording
        EXPECT_EQ(r->s.bufidle, n);
        ASSERT_TRUE(wv_start(r->s));
        play_recording(*r);
        EXPECT_EQ(rec.bufs.size(), static_cast<std::size_t>(n + 2)) << n;
        EXPECT_EQ(r->sent(), static_cast<std::size_t>(n + 2)) << n;
        EXPECT_EQ(rec.finishes, 1);
        EXPECT_FALSE(wv_recording(r->s));
        EXPECT_FALSE(r->s.playing);
        // What was recorded is what the device got, unfaded, at the played rate.
        for (std::size_t k = 0; k < rec.bufs.size(); ++k) {
            EXPECT_EQ(rec.bufs[k], r->dev.log[k].bytes) << k;
            EXPECT_EQ(rec.rates[k], 11025);
        }
    }
}

TEST(HarddiscRecording, StopKeepsTheCountForTheNextStart) {
    auto r = make();
    fake_rec rec;
    r->s.rec = &rec;
    r->s.bufrest = 10;
    r->open();
    ASSERT_TRUE(wv_start(r->s));
    r->play_out();
    r->fire_timer();  // second buffer sent: 9 left
    r->play_out();
    wv_stop(r->s);
    play_recording(*r);
    EXPECT_EQ(rec.finishes, 0);
    EXPECT_TRUE(wv_recording(r->s));
    EXPECT_EQ(r->s.bufidle, 9);
    // Closing the editor and opening it again continues the same count.
    wv_stream_close(r->s);
    EXPECT_EQ(r->s.bufrest, 9);
    r->open();
    ASSERT_TRUE(wv_start(r->s));
    play_recording(*r);
    EXPECT_EQ(rec.bufs.size(), 2u + 11u);
    EXPECT_EQ(rec.finishes, 1);
}

TEST(HarddiscRecording, ClosingBeforeTheStopTurnKeepsTheCount) {
    auto r = make();
    fake_rec rec;
    r->s.rec = &rec;
    r->s.bufrest = 10;
    r->open();
    ASSERT_TRUE(wv_start(r->s));
    wv_stop(r->s);  // the stop turn never comes: the editor closes first
    wv_stream_close(r->s);
    EXPECT_EQ(r->s.bufrest, 10);
    EXPECT_EQ(rec.finishes, 0);
}

TEST(HarddiscRecording, DiskShortageWarnsAndStopsAfterThatBuffer) {
    auto r = make();
    fake_rec rec;
    std::vector<std::string> alerts;
    r->s.alert = [&](const std::string& c, const std::string& t) { alerts.push_back(c + "|" + t); };
    r->s.rec = &rec;
    r->s.bufrest = 50;
    r->open();
    ASSERT_TRUE(wv_start(r->s));
    r->play_out();
    rec.fail_at_next = true;
    r->fire_timer();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0], "harddisc recording|disk shortage!");
    // The recording ends at once, and the status says why.
    EXPECT_EQ(rec.finishes, 1);
    EXPECT_FALSE(wv_recording(r->s));
    EXPECT_EQ(r->s.status, "recording stopped: No space left on device");
    rec.fail_at_next = false;
    play_recording(*r);
    EXPECT_FALSE(r->s.playing);
    EXPECT_EQ(rec.bufs.size(), 2u);  // nothing after the failed write
    EXPECT_EQ(r->sent(), 2u);
    EXPECT_EQ(r->s.status, "recording stopped: No space left on device");
}

// The command line's recording of every buffer: a failed write stops the
// cycle after that buffer, though the CPU measure would refill the idle count.
TEST(HarddiscRecording, AFailedTapStopsTheCycle) {
    auto r = make();
    fake_rec rec;
    r->s.tap = &rec;
    r->s.opt->wvomeasure = true;
    r->open();
    ASSERT_TRUE(wv_start(r->s));
    r->play_out();
    rec.fail_at_next = true;
    for (int i = 0; i < 10 && !wv_idle(r->s); ++i) r->play_out();
    EXPECT_TRUE(wv_idle(r->s));
    EXPECT_FALSE(r->s.playing);
    EXPECT_EQ(rec.bufs.size(), 3u);  // the failed one is the last
    EXPECT_EQ(r->sent(), 3u);
    EXPECT_EQ(rec.finishes, 1);
    EXPECT_EQ(r->s.status, "recording stopped: No space left on device");
}

TEST(MixFile, AddedAtTheRoutinesRateScaledAndClosedWhenItRunsOut) {
    auto r = make(4, 4096);  // 1536 frames a buffer
    const int32_t f = wv_frames(4096);
    fake_mix mix(2 * f + 100);  // one buffer and a bit
    r->s.mix = &mix;
    r->s.opt->playbmix = 200;
    r->open();
    ASSERT_TRUE(wv_start(r->s));
    for (int i = 0; i < 3; ++i) r->play_out();
    const auto ref = reference(4, 4096, 4);
    // Buffer 0 got words 1.. at twice their value; buffer 1 the last 100 words.
    std::vector<int16_t> want = ref[0];
    for (int32_t i = 0; i < 2 * f; ++i) want[i] = static_cast<int16_t>(want[i] + 2 * (i + 1));
    EXPECT_EQ(words(r->dev.log[0].bytes), want);
    want = ref[1];
    for (int32_t i = 0; i < 100; ++i) want[i] = static_cast<int16_t>(want[i] + 2 * (2 * f + i + 1));
    EXPECT_EQ(words(r->dev.log[1].bytes), want);
    EXPECT_FALSE(mix.open);
    EXPECT_EQ(words(r->dev.log[2].bytes), ref[2]);
    EXPECT_EQ(mix.rates.size(), 2u);
    EXPECT_EQ(mix.rates[0], 11025);
}

TEST(MixFile, SaturatesAndTruncates) {
    int16_t w[4] = {32767, -32768, 10, -10};
    const int16_t m[4] = {1, -1, 3, -3};
    wv_mix_add(w, m, 4, 50);  // 1*50/100 = 0, 3*50/100 = 1, -3*50/100 = -1
    EXPECT_EQ(w[0], 32767);
    EXPECT_EQ(w[1], -32768);
    EXPECT_EQ(w[2], 11);
    EXPECT_EQ(w[3], -11);
    // Sums beyond the 16-bit range stay at its limits, at the highest level too.
    int16_t x[6] = {32767, -32768, 20000, -20000, 32000, -32000};
    const int16_t big[6] = {300, -300, 32767, -32768, -300, 300};
    wv_mix_add(x, big, 6, 300);
    const int16_t want[6] = {32767, -32768, 32767, -32768, 32000 - 900, -32000 + 900};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(x[i], want[i]) << i;
}

TEST(DeviceFailure, ALostDeviceEndsTheCycleAndSaysSo) {
    auto r = make();
    r->open();
    ASSERT_TRUE(wv_start(r->s));
    r->play_out();
    EXPECT_FALSE(wv_check_device(r->s));  // all well: nothing happens
    EXPECT_TRUE(r->s.playing);
    r->dev.gone = true;
    EXPECT_TRUE(wv_check_device(r->s));
    EXPECT_FALSE(r->s.playing);
    EXPECT_TRUE(wv_idle(r->s));
    EXPECT_EQ(r->s.status, "the sound device was lost; playing stopped");
    const std::size_t sent = r->sent();
    r->pump();
    EXPECT_EQ(r->sent(), sent);  // no turn after it
    EXPECT_FALSE(wv_check_device(r->s));  // once only
}

namespace {

// Counts the buffers handed to the visual effects.
struct counting_vis final : wv_vissink {
    int frames_seen = 0, calls = 0;
    void frame(const int16_t*, int32_t frames, int16_t*) override {
        ++calls;
        frames_seen = frames;
    }
};

}  // namespace

TEST(StatusLine, RewrittenAfterEveryBufferWhilePlaying) {
    auto r = make();
    r->opt.dispmode = wv_disp_credit;
    r->opt.wvomeasure = false;
    r->open();
    ASSERT_TRUE(wv_start(r->s));
    EXPECT_EQ(r->s.line.seq, 0u);  // the two start buffers do not write it
    for (int i = 1; i <= 3; ++i) {
        r->play_out();
        EXPECT_EQ(r->s.line.seq, static_cast<unsigned>(i));
    }
    EXPECT_EQ(r->s.line.text, "setting 4, scale " + std::to_string(r->s.tonr) + ", buffers " +
                                  std::to_string(r->s.bufidle));
    // With Measure: the charge and the three counters.
    r->opt.wvomeasure = true;
    r->play_out();
    EXPECT_EQ(r->s.line.text.rfind("set 4, scal ", 0), 0u) << r->s.line.text;
    EXPECT_NE(r->s.line.text.find(" CPU "), std::string::npos);
}

TEST(StatusLine, TimeModeCountsFromStart) {
    auto r = make();
    r->opt.dispmode = wv_disp_time;
    r->open();
    ASSERT_TRUE(wv_start(r->s));
    r->play_out();
    r->play_out();
    // Two buffers of 31744 bytes at 11025 Hz (44100 bytes a second): buffer
    // counts 1 and 2 give 0.71 s and 1.43 s.
    EXPECT_EQ(r->s.line.text, "01.43");
    EXPECT_EQ(r->s.bufcuup, 3);
}

TEST(StatusLine, BufferModeChangesTheSetEveryPlchdistBuffers) {
    auto r = make(8);
    r->opt.dispmode = wv_disp_buffer;
    r->opt.plchdist = 10;
    r->open();
    ASSERT_TRUE(wv_start(r->s));
    for (int i = 1; i <= 9; ++i) r->play_out();
    EXPECT_EQ(r->s.setnr, 8);
    r->play_out();  // the tenth buffer after the start
    EXPECT_EQ(r->s.setnr, 9);
    EXPECT_EQ(r->s.tonr, r->st.s.rov_tonindx[9]);
    EXPECT_EQ(r->s.line.text, "setting 9, scale " + std::to_string(r->s.tonr) + ", buffers 10");
    for (int i = 1; i <= 10; ++i) r->play_out();
    EXPECT_EQ(r->s.setnr, 0);  // set 9 wraps to set 0
    // With "Tonality" only the scale moves on.
    r->s.tonal = true;
    const int t = r->s.tonr;
    for (int i = 1; i <= 10; ++i) r->play_out();
    EXPECT_EQ(r->s.setnr, 0);
    EXPECT_EQ(r->s.tonr, (t + 1) % 10);
}

TEST(StatusLine, LevelModesMeasureTheOutputAndTheMixFile) {
    auto r = make(4, 4096);
    fake_mix mix(1 << 20);
    r->s.mix = &mix;
    r->opt.playbmix = 50;
    r->opt.dispmode = wv_disp_alllevels;
    r->open();
    ASSERT_TRUE(wv_start(r->s));
    r->play_out();
    const int f = wv_frames(4096);
    const auto& sent = r->s.pb.data[wv_sendindex(*r->s.roh->g)];
    EXPECT_EQ(r->s.chain.levels.lev[0], wv_peak(sent.data(), 2 * f));
    // The mix words of the third buffer count 2*2f+1 .. 3*2f; their peak at 50 %.
    EXPECT_EQ(r->s.chain.levels.lev[7], 3 * 2 * f * 50 / 100);
    EXPECT_EQ(r->s.line.ndisc, 2);  // the output and the mix file; no tracks
    EXPECT_EQ(r->s.line.disc[1].x0, 5 + 25 * 7);
    // "&Level": one disc only.
    r->opt.dispmode = wv_disp_level;
    r->play_out();
    EXPECT_EQ(r->s.line.ndisc, 1);
    EXPECT_EQ(r->s.chain.levels.lev[7], -1);
}

TEST(OutputChain, VisualsSeeEveryComputedBufferWhileAnEffectIsChosen) {
    auto r = make();
    counting_vis vis;
    r->s.vis = &vis;
    r->opt.vistyp = 0;
    r->open();
    ASSERT_TRUE(wv_start(r->s));
    r->play_out();
    EXPECT_EQ(vis.calls, 0);
    r->opt.vistyp = 3;  // the menu changes the effect between buffers
    r->play_out();
    r->play_out();
    EXPECT_EQ(vis.calls, 2);
    EXPECT_EQ(vis.frames_seen, wv_frames(32768));
}

// With a blow-up the routine computes half the frames, the device plays the
// whole buffer at the rate raised by an octave: each computed frame is heard
// twice (stepped), and a rate that would pass 44100 Hz drops the blow-up.
TEST(Blowup, CycleComputesHalfAndPlaysAnOctaveHigher) {
    auto r = make();
    r->opt.blowopt = 1;
    r->open();
    EXPECT_EQ(r->s.wvFormat.nSamplesPerSec, 22050);
    ASSERT_TRUE(wv_start(r->s));
    for (int i = 0; i < 3; ++i) r->play_out();
    ASSERT_EQ(r->sent(), 4u);
    const int32_t f = wv_frames(32768);
    // The same routine at half the frames, each frame repeated.
    auto st = std::make_unique<rov_state>();
    rov_state_init(*st);
    rov_default_setting(st->s);
    rov_open(&st->h, false, false, 8);
    rov_start(&st->h, 0, 4, st->s.rov_tonindx[4]);
    std::vector<int16_t> half(2 * static_cast<std::size_t>(f));
    rov_rows[0].tab.alg(&st->h, half.data(), f / 2, 4, st->s.rov_tonindx[4], sintab, 256);
    const std::vector<int16_t> w = words(r->dev.log[0].bytes);
    ASSERT_EQ(w.size(), 2u * f);
    for (int32_t k = 0; k < f / 2; ++k)
        for (int c = 0; c < 2; ++c) {
            ASSERT_EQ(w[4 * k + c], half[2 * k + c]) << k;
            ASSERT_EQ(w[4 * k + 2 + c], half[2 * k + c]) << k;
        }
    for (const auto& b : r->dev.log) EXPECT_EQ(b.fmt.nSamplesPerSec, 22050);
    // Index 40 + 12 > 48: no blow-up for that buffer.
    r->param(13) = 40;
    r->play_out();
    EXPECT_EQ(r->dev.log.back().fmt.nSamplesPerSec, 27781);
}
