// The output device as a client of a JACK server (jackd2, or PipeWire's JACK
// layer): two audio ports, out_left and out_right, and a MIDI port,
// midi_out, that a patchbay can route. Unless told not to, the audio ports
// are connected to the first two physical playback ports when the client
// starts. A server is never started for it: without one running, the
// device is not there.
//
// The cycle's buffers (11025, 22050 or 44100 Hz, 16-bit stereo or 8-bit
// mono) are converted to the server's rate and to floats on the cycle's own
// thread, in write(), by the same converter a render at that rate uses, and
// handed to the process callback through a lock-free ring prepared before
// the callback sees it. Consecutive buffers are converted as one stream, so
// that they join without clicks; a Stop, a format change or a ring that ran
// dry after a Stop start the stream afresh (the converter's few held-back
// frames of the old one are dropped).
//
// The process callback copies frames from the ring (with the volume as a
// gain; full volume copies exactly), writes the MIDI messages that fall
// into the period at their frames, and posts the done notification of a
// buffer a lead (the latency, plus a period) before its last frames are
// taken, so that the next buffer is in the ring in time. It allocates,
// locks and waits for nothing; where the ring is empty it plays silence.
//
// MIDI messages given with a buffer (midi()) are placed at the frame of the
// server's stream that their frame of the buffer converts to, so that they
// sound with the audio beside them, whatever the period. A Stop sends All
// Notes Off on every channel once MIDI has been sent.
//
// A server that goes away (ended, killed) makes the device lost. One that
// does not answer (stopped, stuck) is waited for at most wv_jack_wait_ms
// when the client starts and when it closes; a call given up is left on a
// helper thread (see wv_sdl_bounded).
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "audio/device.h"
#include "audio/options.h"
#include "audio/sdlcalls.h"

struct _jack_client;
struct _jack_port;
struct fi_resampler;

// A MIDI message at a frame of the server's stream (frames taken from the ring).
struct wv_jackmidi {
    uint64_t at = 0;
    wv_midimsg m;
};

// The end of a written buffer in the ring, and its generation.
struct wv_jackmark {
    uint64_t end = 0;
    uint32_t gen = 0;
};

// Counters for the command line's report.
struct wv_jackstats {
    uint64_t underruns = 0;     // times the ring ran dry while sound was due
    uint64_t starved = 0;       // frames of silence played for want of sound
    uint64_t midi_dropped = 0;  // MIDI messages that found no room
    int rate = 0;               // the server's rate
    int period = 0;             // frames per process call
    int lead = 0;               // frames by which done runs ahead of a buffer's end (server's rate)
    int port_latency = 0;       // the playback ports' own latency beyond the period (frames, max)
    uint64_t calls = 0;         // process calls
    int64_t cb_max_ns = 0;      // longest process call
    int64_t cb_sum_ns = 0;      // all process calls together
    uint64_t writes = 0;        // buffers converted and handed over
    int64_t conv_max_ns = 0;    // longest conversion of a buffer (the cycle's thread)
    int64_t conv_sum_ns = 0;
};

struct wv_jackdev final : wv_rtdev {
    wv_jackdev();
    ~wv_jackdev();
    wv_jackdev(const wv_jackdev&) = delete;
    wv_jackdev& operator=(const wv_jackdev&) = delete;

    int count() override { return client ? 1 : 0; }
    bool caps(unsigned devno, wv_caps& out) override;
    bool open(unsigned devno, const wv_format& fmt, wv_notify* sink, uint32_t& gen) override;
    bool write(const void* data, uint32_t bytes) override;
    int64_t position() override;
    void reset() override;
    int lead_frames() override;
    bool lost() override { return !client || gone.load(std::memory_order_acquire); }
    void latency(int ms) override { want_latency_ms = ms; }
    uint64_t lost_frames() override { return starved.load(std::memory_order_relaxed); }
    void midi(const wv_midimsg* msgs, uint32_t count) override;

    // The server's side.
    _jack_client* client = nullptr;
    std::array<_jack_port*, 2> out{};
    _jack_port* midi_port = nullptr;
    std::string name;                   // the client's name on the server
    std::atomic<bool> gone{false};      // the server went away
    wv_sdlguard bounded = std::make_shared<wv_sdlcalls>();  // the server's calls with a time limit

    // Shared with the process callback. The cycle's thread changes the
    // ring's layout only while `live` is off and the callback is not inside
    // (`busy`): see pause().
    std::atomic<bool> live{false};
    std::atomic<bool> busy{false};
    std::vector<float> ring;            // interleaved left/right frames
    uint64_t mask = 0;                  // frames in the ring - 1 (a power of two)
    std::atomic<uint64_t> wr{0}, rd{0}; // frames written, frames taken
    std::array<wv_jackmark, 16> marks{};
    std::atomic<uint32_t> mhead{0};     // marks written (cycle's thread)
    std::atomic<uint32_t> mtail{0};     // marks whose buffer was taken completely (callback)
    std::vector<wv_jackmidi> mring;     // MIDI messages in order of `at`
    std::atomic<uint64_t> mwr{0}, mrd{0};
    std::atomic<uint32_t> done_gen{0};  // last buffer taken completely
    std::atomic<bool> panic{false};     // send All Notes Off with the next period
    std::atomic<bool> ran_out{false};   // the ring ran dry since the last write
    std::atomic<uint64_t> underruns{0};
    std::atomic<uint64_t> starved{0};
    std::atomic<uint64_t> calls{0};
    std::atomic<int64_t> cb_max_ns{0};
    std::atomic<int64_t> cb_sum_ns{0};
    int lead = 0;                       // set while paused

    // Callback only.
    uint32_t mpost = 0;                 // marks whose done has been posted
    bool fed = false;                   // sound has been taken since the stream started

    // Cycle's thread only.
    bool restart = true;                // the next write starts the stream afresh
    bool sent_midi = false;             // MIDI has gone out since the last All Notes Off
    uint32_t written_gen = 0;
    uint32_t written_frames = 0;
    uint64_t write_start = 0;           // `wr` before the last buffer
    uint64_t in_total = 0;              // input frames since the stream started
    wv_format fmt;                      // format of the open device
    wv_format stream_fmt;               // format the stream runs in
    int want_latency_ms = wv_latency_default_ms;
    int jrate = 48000;                  // the server's rate
    int period = 1024;
    std::unique_ptr<fi_resampler> conv;
    std::vector<int16_t> in16, out16;   // conversion scratch
    std::vector<wv_midimsg> pending;    // MIDI of the next write
    uint64_t midi_dropped = 0;
    uint64_t writes = 0;
    int64_t conv_max_ns = 0, conv_sum_ns = 0;
};

// Opens a client on the JACK server (JACK_DEFAULT_SERVER, or the default
// one), registers its ports and activates it; with `connect`, connects
// the audio ports to the physical playback ports. False with a message
// when no server runs or the client cannot be made.
bool wv_jack_init(wv_jackdev& d, bool connect, std::string& err);
// Deactivates and closes the client.
void wv_jack_shutdown(wv_jackdev& d);
// How long the start or the close of the client waits for the server.
constexpr int wv_jack_wait_ms = 2000;
wv_jackstats wv_jack_stats(const wv_jackdev& d);

// Sets up the ring for a stream at the server's rate `jrate` with `period`
// frames per call, for buffers of up to `frames` frames at `in_rate`; the
// callback must not be running (see wv_jack_pause). Used by write() and by
// the tests.
void wv_jack_prepare(wv_jackdev& d, int in_rate, uint32_t frames, int jrate, int period);
// Keeps the process callback out of the ring until wv_jack_resume; waits
// for a call in progress to end (at most about a second).
void wv_jack_pause(wv_jackdev& d);
void wv_jack_resume(wv_jackdev& d);

// What the process callback does, without the server: fills n frames of
// each channel from the ring and gives each MIDI message due within them
// to `emit` with its frame in the period, in order. Allocates, locks and
// waits for nothing.
using wv_jack_emit = void (*)(void* ctx, uint32_t offset, const uint8_t* bytes, uint32_t len);
void wv_jack_run(wv_jackdev& d, float* left, float* right, uint32_t n, wv_jack_emit emit, void* ctx);
