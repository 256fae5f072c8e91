// The output device on SDL2's audio subsystem (PulseAudio, PipeWire, ALSA,
// JACK; SDL converts any rate the device cannot run).
//
// The cycle opens and closes its device once per buffer; the SDL stream
// underneath stays open while the device and format stay the same and sound
// keeps coming, so that consecutive buffers play without a gap. The stream
// is opened by the first write after a pause, with that buffer already in
// the hand-over ring: the sound server's first request takes sound, not
// silence, and Start is heard after the server's own delay alone. A stream
// that has run out of sound (a Stop, a gap) has silence queued ahead of
// whatever comes next, so the next opening starts a new one.
//
// The audio callback only copies prepared bytes: buffers are handed over
// through a lock-free ring, and the done notification of a buffer is posted
// a latency (plus a callback period) before its last bytes are taken, so that
// the next buffer is in the ring when the server asks for it. Volume is a
// gain that the callback applies while it copies, so a change is heard
// after the latency; full volume copies bit for bit.
//
// Latency: the server is asked to keep `latency` ms queued (PulseAudio, and
// PipeWire through its PulseAudio service: PULSE_LATENCY_MSEC for the
// opening, unless the user set it), at most half a buffer, while the
// callback keeps its small period. SDL's PulseAudio back-end on its own sets
// the server's target to one callback period and writes when that has run
// out, so the stream would run dry whenever the audio thread waits a few ms
// for the processor. The audio thread asks for real-time scheduling (see
// wv_sdl_boost); where that is refused it keeps the nice level SDL gave it.
//
// Lost frames are counted twice over: the silence the callback had to fill
// in because no buffer was there, and the gaps in which the server ran dry
// (the callback's own clock against the frames the server asked for: it
// asks for what it plays, so a clock ahead of them is silence played). The
// count is a lower bound: the server reads ahead by its own block, so a gap
// shorter than that block, or than 25 ms, goes uncounted.
//
// A sound server that hangs (stopped, or stuck) keeps SDL's start-up and the
// opening of a stream waiting: both are given up after wv_sdl_start_ms.
// It also blocks SDL's audio thread, and closing the stream waits for that
// thread. Closing is therefore bounded:
// when SDL does not return within wv_sdl_close_ms, its close is left to a
// helper thread; while it hangs the device offers and opens nothing, and a
// process that exits meanwhile leaves without its exit-time cleanup (see
// wv_sdl_shutdown).
#pragma once

#include <array>
#include <atomic>
#include <csignal>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "audio/device.h"
#include "audio/options.h"
#include "audio/sdlcalls.h"

// Counters of the stream, read by the command line for its report.
struct wv_sdlstats {
    uint64_t underruns = 0;       // times the listener lost sound (callback or server ran short)
    uint64_t starved = 0;         // frames of silence the callback filled in for want of a buffer
    uint64_t server_lost = 0;     // frames the server played without sound from the stream
    uint64_t lost = 0;            // both: the frames the listener lost
    int chunk = 0;                // frames per callback
    int latency_ms = 0;           // latency asked of the server at the last opening
    std::string priority;         // scheduling of the audio thread (wv_sdl_boost)
    std::vector<int64_t> cbtimes; // ns after the stream opened, of its first callbacks
    int64_t write_ns = 0;         // steady-clock ns of the first write since the stream opened
    int64_t fed_ns = 0;           // steady-clock ns when the callback took that buffer (0: not yet)
};

struct wv_sdldev final : wv_rtdev {
    wv_sdldev();
    ~wv_sdldev();
    wv_sdldev(const wv_sdldev&) = delete;
    wv_sdldev& operator=(const wv_sdldev&) = delete;

    int count() override;
    bool caps(unsigned devno, wv_caps& out) override;
    bool open(unsigned devno, const wv_format& fmt, wv_notify* sink, uint32_t& gen) override;
    bool write(const void* data, uint32_t bytes) override;
    int64_t position() override;
    void reset() override;
    int lead_frames() override;
    void release() override;
    bool lost() override;
    void latency(int ms) override { want_latency_ms = ms; }
    uint64_t lost_frames() override;

    // Shared with the audio callback.
    struct slot {
        const uint8_t* data;
        uint32_t bytes;
        uint32_t gen;
    };
    std::array<slot, 4> ring{};
    std::atomic<uint32_t> rhead{0};           // written by the cycle's thread
    std::atomic<uint32_t> rtail{0};           // written by the callback
    std::atomic<uint32_t> done_gen{0};        // last buffer taken completely
    std::atomic<uint64_t> consumed{0};        // bytes handed to SDL in all, silence included
    std::atomic<uint64_t> underruns{0};
    std::atomic<uint64_t> starved{0};
    std::atomic<int> ncb{0};
    std::array<int64_t, 64> cbt{};            // steady-clock ns of the first callbacks
    std::atomic<int64_t> fed_ns{0};           // steady-clock ns when a buffer was first taken
    std::atomic<uint64_t> server_lost{0};     // frames of server gaps (clock against frames asked for)
    std::atomic<bool> ran_out{false};         // silence was filled in since the last write
    std::atomic<int> tid{0};                  // the audio thread's id (0: no callback yet)

    // Callback thread only.
    slot cur{};
    bool has_cur = false;
    uint32_t off = 0;
    bool early = false;       // done already posted for cur
    bool fed = false;         // a buffer has been taken since the stream (re)started
    bool starving = false;
    wv_format play_fmt;       // format of the open stream
    int align = 4;
    uint8_t silence = 0;
    int lead_in = 0;          // frames of silence still to come before the first buffer
    int rate = 11025;         // frames per second of the open stream
    int64_t clk_t0 = 0;       // steady-clock ns of the stream's first callback
    uint64_t clk_frames = 0;  // frames asked for since then
    int64_t clk_off = 0;      // frames of silence (and drift) the server's clock has gone ahead by
    int64_t win_end = 0;      // the clock lag's minimum is taken over windows ending here
    int64_t win_min = 0, ref_min = 0;
    bool have_ref = false;

    // Cycle's thread only.
    uint32_t sdl = 0;         // SDL_AudioDeviceID, 0 when no stream
    unsigned sdl_devno = 0;
    wv_format sdl_fmt;
    uint32_t written_gen = 0; // generation of the last write
    uint32_t written_frames = 0;
    uint64_t write_mark = 0;  // `consumed` when the last buffer was written
    std::array<std::vector<uint8_t>, 2> stage;
    int next_stage = 0;
    int64_t open_ns = 0;
    int64_t write_ns = 0;     // first write since the stream opened
    int want_latency_ms = wv_latency_default_ms;
    int latency_ms = 0;       // asked of the server at the stream's opening
    int lead = 0;             // frames by which done runs ahead of a buffer's end (set before the stream runs)
    bool pending = false;     // open, the SDL stream opens at the write
    bool boosted = false;     // wv_sdl_boost has run for this stream
    std::string priority;     // what it achieved
    bool inited = false;
    std::string error;        // why the subsystem could not start
    wv_sdlguard calls = std::make_shared<wv_sdlcalls>();  // its calls with a time limit
};

// Starts SDL's audio subsystem (audio only) once for a device whose flag is
// `inited`. False with a message "no audio <what>: ..." when no audio
// driver can be used. A sound server that is stopped or stuck would keep
// SDL's start-up waiting for ever: it is given up after wv_sdl_start_ms, or
// as soon as *stop (a signal handler's flag) becomes nonzero, and left
// running on a helper thread (see wv_sdl_bounded, the calls of `calls`).
bool wv_sdl_audio_up(const wv_sdlguard& calls, bool& inited, const char* what, std::string& err,
                     const volatile sig_atomic_t* stop = nullptr);
// The same for the output device.
bool wv_sdl_init(wv_sdldev& d, std::string& err, const volatile sig_atomic_t* stop = nullptr);
// How long SDL's start-up, or the opening of a stream, may wait for the
// sound server.
constexpr int wv_sdl_start_ms = 2000;
// What to do when no output device opens, for the messages that say so.
struct wv_audio_hint {
    std::string tried;   // the audio systems SDL tried and how that went
    std::string advice;  // what the user can do about it
    std::string brief;   // the same in a few words
};
// Built from SDL_AUDIODRIVER and SDL's audio systems: without the variable
// SDL tries each of its systems in turn (not "dummy" and "disk", which it
// uses only when named) up to the first that starts; with it, only those
// named. `started` is the system in use when SDL's audio did start (then it
// offers no output device), nullptr when it did not.
wv_audio_hint wv_audio_hint_for(const char* env, const std::vector<std::string>& systems, const char* started);
// The hint for this process: SDL's systems and the one it runs, if any;
// that the server does not answer once one of `calls` was given up.
wv_audio_hint wv_sdl_hint(const wv_sdlcalls& calls);
// The hint on one line, short enough for a status text.
std::string wv_sdl_hint_line(const wv_sdlcalls& calls);

// Closes the stream and the subsystem, waiting at most about
// wv_sdl_close_ms for SDL. When SDL does not return in time (its audio
// thread hangs in the sound server), it is left running on a helper thread
// and false is returned; the process then leaves at exit() at once, with
// exit()'s status and stdio flushed, without the destructors and library
// cleanup that would wait for, or pull the memory from under, that thread.
bool wv_sdl_shutdown(wv_sdldev& d);
// How long a close of the stream or of the subsystem may take.
constexpr int wv_sdl_close_ms = 1000;
// Runs fn on a helper thread and waits for it at most ms milliseconds, and
// no longer once *stop becomes nonzero; true when it returned in time.
// Otherwise it is left running and counts in `calls` as stuck
// (wv_sdl_stuck) until it returns; while it does, exit() ends the process at
// once (stdio flushed) instead of cleaning up. A call given up at its time
// limit marks the sound server as not answering (wv_sdl_no_answer) for the
// rest of the life of `calls`.
bool wv_sdl_bounded(const wv_sdlguard& calls, int ms, std::function<void()> fn,
                    const volatile sig_atomic_t* stop = nullptr);
wv_sdlstats wv_sdl_stats(const wv_sdldev& d);
// Raises the scheduling of the stream's audio thread, once per stream, once
// its first callback has run: real-time round-robin (priority 4, below the
// sound servers' own threads; reset on fork) where the process may
// (CAP_SYS_NICE or an RLIMIT_RTPRIO, as audio groups get), else through
// RealtimeKit on the system bus (SDL's request). Refused, the thread keeps
// what SDL gave it when it started: nice -20 where allowed, or RealtimeKit's
// nice level, or none. Returns what the thread runs with, for the report.
std::string wv_sdl_boost(wv_sdldev& d);
// The server latency for `want_ms` with buffers of `buffer_frames` frames at
// `rate`: at most half a buffer (the cycle hands over one buffer ahead), at
// least two callback periods.
int wv_sdl_latency_ms(int want_ms, int buffer_frames, int rate);
// Copies `bytes` bytes of samples in format f with the device volume applied
// as a gain (16-bit signed or 8-bit unsigned samples; channel gains in
// 1/65536, a channel at 65535 is copied bit for bit). The copy starts at a
// frame boundary (a stereo copy starts with a left sample).
void wv_gain_copy(uint8_t* dst, const uint8_t* src, uint32_t bytes, const wv_format& f, uint16_t gl, uint16_t gr);
// Sets the callback's format (the stream must not be running).
void wv_sdl_play_format(wv_sdldev& d, const wv_format& f);
// The audio callback's work: fills `len` bytes (whole frames) of SDL's
// buffer from the hand-over ring, with the volume read once per call,
// silence where no buffer is there; posts the done notifications.
void wv_sdl_fill(wv_sdldev& d, uint8_t* out, int len);
// Frames per callback for a rate: a power of two near 23 ms, at most 256.
int wv_sdl_chunk(int rate);
