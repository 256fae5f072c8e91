// Tone events as MIDI: tuning within a cent over the whole keyboard, one
// bend per channel however many voices sound, the MPE layout announced,
// every held note ended; no sequencer means a clear "none".
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <vector>

#include "audio/alsamidi.h"
#include "audio/midimap.h"
#include "support/stream_rig.h"

namespace {

TEST(Midi, NoteAndBendTuneEveryToneWithinACent) {
    for (double hz = 8.2; hz < 12500; hz *= 1.0137) {
        const wv_midipitch p = wv_midi_pitch(hz);
        ASSERT_GE(p.note, 0) << hz;
        EXPECT_LE(std::abs(1200 * std::log2(wv_midi_pitch_hz(p) / hz)), 1.0) << hz;
    }
    EXPECT_LT(wv_midi_pitch(5.0).note, 0);
    EXPECT_LT(wv_midi_pitch(20000.0).note, 0);
    EXPECT_LT(wv_midi_pitch(0.0).note, 0);
    rov_toneev e;
    e.incr = 2096;  // 8 * 262 at 8192 Hz
    EXPECT_DOUBLE_EQ(wv_midi_hz(e, 8192), 262.0);
    e.sample = true;
    e.incr = 512;  // twice the sample's speed: an octave above middle C
    EXPECT_NEAR(wv_midi_hz(e, 8192), 2 * wv_midi_c4, 1e-9);
}

// 40 tones start on distinct slots (more than the 15 member channels), some
// end, others start: a channel never holds two notes with different bends,
// notes sound only on channels 2..16, and all-off leaves nothing held.
TEST(Midi, EachSoundingBendHasItsOwnChannel) {
    wv_midimap m;
    std::vector<rov_toneev> ev;
    for (int k = 0; k < 40; ++k) {
        rov_toneev e;
        e.slot = static_cast<uint8_t>(k);
        e.track = static_cast<uint8_t>(k % 4);
        e.frame = static_cast<uint32_t>(10 * k);
        e.incr = static_cast<uint32_t>(1000 + 37 * k);
        e.left = e.right = 64;
        ev.push_back(e);
        if (k % 3 == 2) {
            rov_toneev x = ev[static_cast<std::size_t>(k - 1)];
            x.kind = rov_evkind::end;
            x.frame = e.frame;
            ev.push_back(x);
        }
    }
    std::vector<wv_midimsg> out(4096);
    uint32_t n = wv_midi_events(m, ev.data(), static_cast<uint32_t>(ev.size()), 22050, 1, out.data(), 4096);
    std::map<int, std::map<int, int>> held;      // channel -> note -> count
    std::map<int, std::map<int, int>> held_bend;  // channel -> note -> its bend
    int bend[16] = {};
    int ons = 0;
    for (uint32_t i = 0; i < n; ++i) {
        const wv_midimsg& x = out[i];
        const int ch = x.b[0] & 15, st = x.b[0] & 0xf0;
        if (st == 0xe0) bend[ch] = x.b[1] | (x.b[2] << 7);
        if (st == 0x90) {
            ++ons;
            EXPECT_GE(ch, 1);
            for (auto& [note, c] : held[ch]) {
                EXPECT_TRUE(c == 0 || held_bend[ch][note] == bend[ch]) << "channel " << ch << " bent under a held note";
            }
            ++held[ch][x.b[1]];
            held_bend[ch][x.b[1]] = bend[ch];
        }
        if (st == 0x80) --held[ch][x.b[1]];
        if (i > 0) {
            EXPECT_GE(x.frame, out[i - 1].frame);
        }
    }
    EXPECT_EQ(ons, 40);
    n = wv_midi_alloff(m, 500, out.data(), 4096);
    for (uint32_t i = 0; i < n; ++i) {
        --held[out[i].b[0] & 15][out[i].b[1]];
    }
    for (auto& [ch, notes] : held) {
        for (auto& [note, c] : notes) {
            EXPECT_EQ(c, 0) << "channel " << ch << " note " << note;
        }
    }
}

TEST(Midi, AnnouncesTheLowerZoneAndTheBendRange) {
    std::vector<wv_midimsg> out(512);
    const uint32_t n = wv_midi_announce(0, out.data(), 512);
    auto has = [&](int s, int a, int b) {
        for (uint32_t i = 0; i < n; ++i)
            if (out[i].b[0] == s && out[i].b[1] == a && out[i].b[2] == b) return true;
        return false;
    };
    EXPECT_TRUE(has(0xb0, 100, 6) && has(0xb0, 6, 15));  // MPE configuration: 15 members
    for (int c = 1; c < 16; ++c) EXPECT_TRUE(has(0xb0 | c, 6, wv_midi_bendrange)) << c;
    EXPECT_EQ(wv_midi_announce(0, out.data(), 5), 5u);  // stops short, no overrun
}

TEST(Midi, NoSequencerSaysSo) {
    std::string err;
    EXPECT_EQ(wv_alsa_midi_open(err, "/nonexistent/snd/seq"), nullptr);
    EXPECT_NE(err.find("no MIDI output available"), std::string::npos);
}

}  // namespace

namespace {

// The cycle hands each buffer's MIDI to the device just before the buffer,
// inside its frames, ends every note at Stop, and plays the same sound as
// without MIDI.
TEST(Midi, TheCycleHandsEachBufferItsMessages) {
    auto with = std::make_unique<stream_rig>(4, 1);
    auto without = std::make_unique<stream_rig>(4, 1);
    auto out = std::make_unique<wv_midiout>();
    with->s.midi = out.get();
    for (stream_rig* r : {with.get(), without.get()}) {
        r->opt.maxv = 16;
        wv_stream_open(r->s);
        ASSERT_TRUE(wv_start(r->s));
        for (int i = 0; i < 6; ++i) r->play_out();
        wv_stop(r->s);
        r->pump();
    }
    ASSERT_EQ(with->dev.log.size(), without->dev.log.size());
    for (std::size_t i = 0; i < with->dev.log.size(); ++i) EXPECT_EQ(with->dev.log[i].bytes, without->dev.log[i].bytes);
    EXPECT_TRUE(without->dev.midilog.empty());
    int notes = 0, sounding = 0;
    for (const auto& x : with->dev.midilog) {
        const int st = x.m.b[0] & 0xf0;
        if (st == 0x90 && x.m.b[2] > 0) ++notes, ++sounding;
        if (st == 0x80) --sounding;
        if (x.before < with->dev.log.size()) {
            const auto& buf = with->dev.log[x.before];
            EXPECT_LT(x.m.frame, buf.bytes.size() / static_cast<std::size_t>(buf.fmt.nBlockAlign));
        } else {
            EXPECT_NE(st, 0x90) << "a note after the last buffer";
        }
    }
    EXPECT_GT(notes, 10);
    EXPECT_EQ(sounding, 0);
}

}  // namespace
