// A virtual output device for tests: deterministic, every buffer written is
// kept, and time passes only when the test says so (or, in real-rate mode,
// with the wall clock). A synchronous device plays each buffer completely
// inside the write, as some drivers do.
#pragma once

#include <chrono>
#include <cstdint>
#include <vector>

#include "audio/device.h"

struct wv_virtdev final : wv_device {
    // Behaviour, set by the test.
    int ndev = 4;               // numbered devices 0..ndev-1; the mapper always exists
    bool synchronous = false;   // the write returns with the buffer played
    bool realrate = false;      // time runs with the wall clock instead of wv_virt_advance
    bool fail_open = false;     // every open fails
    bool fail_write = false;    // every write (prepare) fails
    int64_t report_pos = -1;    // when >= 0, the position reported (a machine too slow to keep up)
    int lead = 0;               // frames by which done comes early (reported, not simulated)
    bool gone = false;          // the device has been lost: nothing more plays

    // What was played: one entry per written buffer.
    struct sent {
        wv_format fmt;
        unsigned devno;
        int64_t at;                  // device clock (frames) when written
        std::vector<uint8_t> bytes;
    };
    std::vector<sent> log;
    int opens = 0, closes = 0, resets = 0;
    uint16_t vol_left = 0xffff, vol_right = 0xffff;

    bool lost() override { return gone; }

    // MIDI handed over: each message with the number of buffers written before it.
    struct midi_sent {
        std::size_t before;
        wv_midimsg m;
    };
    std::vector<midi_sent> midilog;
    void midi(const wv_midimsg* msgs, uint32_t count) override {
        for (uint32_t i = 0; i < count; ++i) midilog.push_back({log.size(), msgs[i]});
    }

    // State.
    bool isopen = false;
    unsigned devno = 0;
    wv_format fmt;
    wv_notify* sink = nullptr;
    uint32_t gen = 0;
    bool busy = false;          // a written buffer not yet reported done
    int64_t frames = 0;         // frames of the written buffer
    int64_t pos = 0;            // frames of it played
    int64_t clock = 0;          // frames of device time advanced in all
    std::chrono::steady_clock::time_point t0;  // real-rate: when the buffer was written

    int count() override { return ndev; }
    bool caps(unsigned devno, wv_caps& out) override;
    bool open(unsigned devno, const wv_format& fmt, wv_notify* sink, uint32_t& gen) override;
    bool write(const void* data, uint32_t bytes) override;
    int64_t position() override;
    void reset() override;
    void close() override;
    void volume(uint16_t left, uint16_t right) override;
    int lead_frames() override { return lead; }
};

// Lets `n` frames of device time pass; the buffer on the device plays on and
// its done notification is posted when it ends.
void wv_virt_advance(wv_virtdev& d, int64_t n);
// Real-rate mode: lets the wall-clock time since the write pass.
void wv_virt_poll(wv_virtdev& d);
