// Sample recording on the virtual input device: the recording rate, the
// blocking recording of a whole sample and its failures, the sample test,
// and background recording in the streaming cycle (Permanent, every n
// buffers, the material arriving in the sample, Stop).
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <numeric>
#include <vector>

#include "audio/evqueue.h"
#include "audio/samplerec.h"
#include "audio/stream.h"
#include "audio/virtcap.h"
#include "audio/virtdev.h"
#include "support/stream_rig.h"

namespace {

// Words the "microphone" hears: 1, 2, 3, ... (wrapping).
std::vector<int16_t> ramp(std::size_t n, int first = 1) {
    std::vector<int16_t> w(n);
    for (std::size_t i = 0; i < n; ++i) w[i] = static_cast<int16_t>(static_cast<uint16_t>(first + i));
    return w;
}

}  // namespace

TEST(RecordRate, OutputRateWhenStandardElseThePrevious) {
    EXPECT_EQ(wv_rec_rate(11025, 22050), 11025);
    EXPECT_EQ(wv_rec_rate(44100, 11025), 44100);
    EXPECT_EQ(wv_rec_rate(22050, 44100), 22050);
    // 27781 Hz (rate index 40) is none of the three: the previous rate stays.
    EXPECT_EQ(wv_rec_rate(27781, 22050), 22050);
    EXPECT_EQ(wv_rec_rate(27781, 44100), 44100);
    EXPECT_EQ(wv_rec_rate(48000, 11025), 11025);
    const wv_format f = wv_mono16(22050);
    EXPECT_EQ(f.nChannels, 1);
    EXPECT_EQ(f.nAvgBytesPerSec, 44100);
    EXPECT_EQ(f.nBlockAlign, 2);
    EXPECT_EQ(f.nBitsSamp, 16);
}

TEST(RecordSample, DefaultBufferTakes32696BytesAtTheRateAsked) {
    wv_virtcap cap;
    const std::vector<int16_t> heard = ramp(20000);
    std::size_t fed = 0;
    int waited = 0;
    // Each wait of 20 ms the device hears 441 words (22050 Hz).
    auto wait = [&](int ms) {
        waited += ms;
        if (fed < heard.size()) fed += wv_virtcap_feed(cap, heard.data() + fed, static_cast<uint32_t>(std::min<std::size_t>(441, heard.size() - fed)));
        return true;
    };
    fi_sample s;
    ASSERT_EQ(wv_record_sample(cap, wv_mapper, 22050, 32768, s, wait), wv_recres::done);
    EXPECT_EQ(s.length, 32696);
    EXPECT_EQ(s.area.size(), 32768u);
    EXPECT_EQ(s.rate, 22050);
    EXPECT_EQ(fed, 16348u);  // 32696 bytes, 16348 words: about 0.74 s at 22050 Hz
    EXPECT_NEAR(16348.0 / 22050, 0.74, 0.005);
    EXPECT_NEAR(waited, 16348 * 1000 / 22050, 40);
    // The algorithms get (32696 - 24) / 2 words: the recording from the first on.
    EXPECT_EQ(s.nwords(), 16336);
    EXPECT_EQ(0, std::memcmp(s.words(), heard.data(), 16348 * 2));
    // The format remnant in front of the words was never written.
    for (int i = 0; i < 24; ++i) EXPECT_EQ(s.area[i], 0) << i;
    EXPECT_EQ(cap.fmt.nSamplesPerSec, 22050);
    EXPECT_EQ(cap.fmt.nChannels, 1);
    EXPECT_EQ(cap.devno, wv_mapper);
    EXPECT_FALSE(cap.isopen);
    EXPECT_EQ(cap.closes, 1);
}

TEST(RecordSample, FailuresLeaveTheSampleUntouchedAndTheDeviceClosed) {
    const std::vector<int16_t> heard = ramp(100);
    fi_sample keep;
    keep.area.assign(100, 7);
    keep.length = 76;
    keep.rate = 44100;
    auto same = [&](const fi_sample& s) { return s.area == keep.area && s.length == 76 && s.rate == 44100; };
    auto never = [](int) { return true; };
    {
        wv_virtcap cap;
        cap.fail_open = true;
        fi_sample s = keep;
        EXPECT_EQ(wv_record_sample(cap, wv_mapper, 22050, 32768, s, never), wv_recres::not_available);
        EXPECT_TRUE(same(s));
    }
    {
        wv_virtcap cap;
        cap.fail_prepare = true;
        fi_sample s = keep;
        EXPECT_EQ(wv_record_sample(cap, wv_mapper, 22050, 32768, s, never), wv_recres::prep_error);
        EXPECT_TRUE(same(s));
        EXPECT_FALSE(cap.isopen);
    }
    {
        wv_virtcap cap;
        cap.fail_start = true;
        fi_sample s = keep;
        EXPECT_EQ(wv_record_sample(cap, wv_mapper, 22050, 32768, s, never), wv_recres::start_error);
        EXPECT_TRUE(same(s));
        EXPECT_FALSE(cap.isopen);
    }
    {
        // A device that delivers a little and then nothing more: the wait
        // ends after the stall time, not never.
        wv_virtcap cap;
        fi_sample s = keep;
        int waited = 0;
        bool once = false;
        auto wait = [&](int ms) {
            waited += ms;
            if (!once) once = wv_virtcap_feed(cap, heard.data(), 100) > 0;
            return waited < 60000;
        };
        EXPECT_EQ(wv_record_sample(cap, wv_mapper, 22050, 32768, s, wait), wv_recres::stalled);
        EXPECT_TRUE(same(s));
        EXPECT_GE(waited, wv_rec_stall_ms);
        EXPECT_LE(waited, wv_rec_stall_ms + 100);
        EXPECT_EQ(cap.resets, 1);
        EXPECT_FALSE(cap.isopen);
    }
    {
        // Nothing at all comes: the first bytes are waited for longer.
        wv_virtcap cap;
        fi_sample s = keep;
        int waited = 0;
        auto wait = [&](int ms) { return (waited += ms) < 60000; };
        EXPECT_EQ(wv_record_sample(cap, wv_mapper, 22050, 32768, s, wait), wv_recres::stalled);
        EXPECT_GE(waited, wv_rec_first_ms);
        EXPECT_LE(waited, wv_rec_first_ms + 100);
    }
    {
        // The program is asked to end during the wait.
        wv_virtcap cap;
        fi_sample s = keep;
        int calls = 0;
        auto wait = [&](int) { return ++calls < 3; };
        EXPECT_EQ(wv_record_sample(cap, wv_mapper, 22050, 32768, s, wait), wv_recres::interrupted);
        EXPECT_TRUE(same(s));
        EXPECT_FALSE(cap.isopen);
    }
    {
        // The device is lost.
        wv_virtcap cap;
        fi_sample s = keep;
        auto wait = [&](int) {
            cap.gone = true;
            return true;
        };
        EXPECT_EQ(wv_record_sample(cap, wv_mapper, 22050, 32768, s, wait), wv_recres::stalled);
        EXPECT_TRUE(same(s));
    }
}

TEST(TestSample, PlaysTheSampleOnceAtItsRateAndClosesTheDevice) {
    wv_virtdev dev;
    const std::vector<int16_t> w = ramp(1000);
    int waits = 0;
    auto wait = [&](int ms) {
        ++waits;
        wv_virt_advance(dev, ms * 441 / 10);  // 44100 Hz
        return true;
    };
    ASSERT_TRUE(wv_play_blocking(dev, 2, wv_mono16(44100), reinterpret_cast<const uint8_t*>(w.data()), 2000, wait));
    ASSERT_EQ(dev.log.size(), 1u);
    EXPECT_EQ(dev.log[0].devno, 2u);
    EXPECT_EQ(dev.log[0].fmt.nSamplesPerSec, 44100);
    EXPECT_EQ(dev.log[0].fmt.nChannels, 1);
    EXPECT_EQ(dev.log[0].bytes.size(), 2000u);
    EXPECT_EQ(0, std::memcmp(dev.log[0].bytes.data(), w.data(), 2000));
    EXPECT_FALSE(dev.isopen);
    EXPECT_EQ(waits, 2);  // 1000 frames: 23 ms of sound
    // A device that cannot be opened plays nothing.
    wv_virtdev bad;
    bad.fail_open = true;
    EXPECT_FALSE(wv_play_blocking(bad, wv_mapper, wv_mono16(22050), reinterpret_cast<const uint8_t*>(w.data()), 2000, wait));
    EXPECT_TRUE(bad.log.empty());
    // A device that never finishes is given up (reset), not waited for forever.
    wv_virtdev stuck;
    int waited = 0;
    auto idle = [&](int ms) { return (waited += ms) < 60000; };
    EXPECT_TRUE(wv_play_blocking(stuck, wv_mapper, wv_mono16(22050), reinterpret_cast<const uint8_t*>(w.data()), 2000, idle));
    EXPECT_EQ(stuck.resets, 1);
    EXPECT_FALSE(stuck.isopen);
    EXPECT_LE(waited, wv_rec_stall_ms + 100);
}

namespace {

// The streaming cycle with background recording: the editor window's queue
// and timer, the virtual output and input devices, a sample of 2000 words.
struct recrig : stream_rig {
    wv_virtcap cap;
    wv_samplerec rec;
    std::vector<uint8_t> area = std::vector<uint8_t>(24 + 4000 + 24, 0);

    explicit recrig(int recsmpopt, int row = 6) : stream_rig(4, row) {
        opt.bufszorig = 8192;
        opt.recsmpopt = recsmpopt;
        s.sample = {reinterpret_cast<const int16_t*>(area.data() + 24), 1988};
        rec.cap = &cap;
        rec.lpData = area.data() + 24;
        rec.dwBufferLength = 4000;
        s.srec = &rec;
        EXPECT_TRUE(wv_probe(s));
        wv_stream_open(s);
    }
    // One buffer turn: the buffer on the device plays out, the next is sent.
    void turn() { play_out(); }
    // The input device hears enough to fill its buffer.
    void fill_input(int first = 1) {
        const std::vector<int16_t> w = ramp(2000, first);
        wv_virtcap_feed(cap, w.data(), 2000);
        pump();
    }
    const int16_t* words() const { return reinterpret_cast<const int16_t*>(area.data() + 24); }
};

}  // namespace

TEST(BackgroundRecording, EveryFiveBuffersStartsOnTheSixthTurnAndSixTurnsLater) {
    recrig r(5);
    ASSERT_TRUE(wv_start(r.s));
    EXPECT_EQ(r.cap.opens, 0);  // the buffer sent by Start is not counted
    std::vector<int> at;
    for (int t = 1; t <= 18; ++t) {
        const int before = r.cap.opens;
        r.turn();
        if (r.cap.opens > before) {
            at.push_back(t);
            r.fill_input();  // it completes before the next turn
        }
    }
    EXPECT_EQ(at, (std::vector<int>{6, 12, 18}));
    EXPECT_EQ(r.rec.started, 3);
    EXPECT_FALSE(r.rec.hwavein);
    // The recording format is the recorder's, on the default input.
    EXPECT_EQ(r.cap.fmt.nSamplesPerSec, 22050);
    EXPECT_EQ(r.cap.fmt.nChannels, 1);
    EXPECT_EQ(r.cap.devno, wv_mapper);
}

TEST(BackgroundRecording, PeriodicCountGoesOnWhileARecordingStillRuns) {
    recrig r(5);
    ASSERT_TRUE(wv_start(r.s));
    for (int t = 1; t <= 6; ++t) r.turn();
    EXPECT_EQ(r.cap.opens, 1);
    EXPECT_TRUE(r.rec.hwavein);
    // Not finished by turn 12: that trigger finds the device open and does
    // nothing, but the count starts again.
    for (int t = 7; t <= 12; ++t) r.turn();
    EXPECT_EQ(r.cap.opens, 1);
    EXPECT_EQ(r.s.InCount, 0);
    r.fill_input();
    for (int t = 13; t <= 18; ++t) r.turn();
    EXPECT_EQ(r.cap.opens, 2);
}

TEST(BackgroundRecording, OnlyOnSamplingRowsAndWithASample) {
    {
        recrig r(5, 0);  // random tones: no sample is played
        ASSERT_TRUE(wv_start(r.s));
        for (int t = 0; t < 13; ++t) r.turn();
        EXPECT_EQ(r.cap.opens, 0);
    }
    {
        recrig r(0, 1);
        ASSERT_TRUE(wv_start(r.s));
        EXPECT_EQ(r.cap.opens, 0);
    }
    {
        recrig r(0);
        r.rec.lpData = nullptr;  // no sample buffer
        ASSERT_TRUE(wv_start(r.s));
        EXPECT_EQ(r.cap.opens, 0);
    }
    {
        recrig r(-2);  // "&No"
        ASSERT_TRUE(wv_start(r.s));
        for (int t = 0; t < 13; ++t) r.turn();
        EXPECT_EQ(r.cap.opens, 0);
    }
}

TEST(BackgroundRecording, PermanentRenewsItselfUntilTheEmergency) {
    recrig r(0);
    r.opt.sampmaxidle = 5 * 8192;  // bufmaxidle 5
    ASSERT_TRUE(wv_start(r.s));
    EXPECT_EQ(r.cap.opens, 1);  // at Start
    EXPECT_EQ(r.s.bufidle, 5);
    // Each finished recording starts the next one at once.
    for (int k = 0; k < 3; ++k) r.fill_input(1000 * k);
    EXPECT_EQ(r.cap.opens, 4);
    EXPECT_TRUE(r.rec.hwavein);
    // The material arrives in the sample the algorithm reads.
    EXPECT_EQ(r.words()[0], 2000);
    EXPECT_EQ(r.words()[1999], 3999);
    EXPECT_TRUE(r.rec.completed);
    // The emergency counter runs down; then the next close does not renew.
    // (Measure off: the counter only counts the turns.)
    r.opt.wvomeasure = false;
    for (int t = 0; t < 5; ++t) r.turn();
    EXPECT_EQ(r.s.bufidle, 0);
    r.fill_input();
    EXPECT_EQ(r.cap.opens, 4);
    EXPECT_FALSE(r.rec.hwavein);
}

TEST(BackgroundRecording, NewMaterialIsHeardFromTheNextBufferAndStopClosesTheDevice) {
    recrig r(0);
    ASSERT_TRUE(wv_start(r.s));
    ASSERT_TRUE(r.rec.hwavein);
    const std::vector<int16_t> w = ramp(300, 5000);
    wv_virtcap_feed(r.cap, w.data(), 300);
    EXPECT_EQ(r.words()[0], 0);  // not yet taken
    r.turn();                    // the refill takes what has arrived
    EXPECT_EQ(r.words()[0], 5000);
    EXPECT_EQ(r.words()[299], 5299);
    EXPECT_EQ(r.words()[300], 0);
    EXPECT_TRUE(r.rec.wrote);
    EXPECT_FALSE(r.rec.completed);
    // Stop: the stop turn resets and closes the input device; what was
    // recorded stays, and nothing is renewed.
    wv_stop(r.s);
    r.pump();
    EXPECT_FALSE(r.rec.hwavein);
    EXPECT_EQ(r.cap.resets, 1);
    EXPECT_EQ(r.cap.closes, 1);
    r.pump();
    EXPECT_EQ(r.cap.opens, 1);
    EXPECT_EQ(r.words()[0], 5000);
}

TEST(BackgroundRecording, ClosingTheEditorClosesARunningRecording) {
    recrig r(0);
    ASSERT_TRUE(wv_start(r.s));
    ASSERT_TRUE(r.rec.hwavein);
    wv_stream_close(r.s);
    EXPECT_FALSE(r.rec.hwavein);
    EXPECT_EQ(r.cap.closes, 1);
    // A late close notification of that opening changes nothing.
    r.pump();
    EXPECT_EQ(r.cap.opens, 1);
}

TEST(BackgroundRecording, AStartThatFailsLeavesNoDeviceOpen) {
    for (int which = 0; which < 3; ++which) {
        recrig r(0);
        r.cap.fail_open = which == 0;
        r.cap.fail_prepare = which == 1;
        r.cap.fail_start = which == 2;
        ASSERT_TRUE(wv_start(r.s));
        EXPECT_FALSE(r.rec.hwavein) << which;
        EXPECT_FALSE(r.cap.isopen) << which;
        EXPECT_EQ(r.rec.started, 0) << which;
        r.pump();  // its close notification finds nothing running
        EXPECT_EQ(r.cap.opens, which == 0 ? 0 : 1) << which;
    }
}

TEST(BackgroundRecording, ByHandRecordsOnceEvenWithoutPlay) {
    recrig r(-1);
    EXPECT_TRUE(wv_rec_bg_start(r.rec));
    EXPECT_FALSE(wv_rec_bg_start(r.rec));  // one at a time
    r.fill_input(100);
    EXPECT_FALSE(r.rec.hwavein);
    EXPECT_EQ(r.words()[0], 100);
    EXPECT_EQ(r.cap.opens, 1);  // "&Manually" does not renew
}
