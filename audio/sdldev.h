// The output device on SDL2's audio subsystem (PulseAudio, PipeWire, ALSA,
// JACK; SDL converts any rate the device cannot run).
//
// The cycle opens and closes its device once per buffer; the SDL stream
// underneath stays open while the device and format stay the same, so that
// consecutive buffers play without a gap, and is reopened when they change.
// The audio callback only copies prepared bytes: buffers are handed over
// through a lock-free ring, and the done notification of a buffer is posted
// two callback periods before its last bytes are taken, so that the next
// buffer is in the ring when they are. The stream runs from its opening on,
// playing silence while no buffer is there: a sound server that takes its
// time to settle (PulseAudio's null sink starts with a 2 s block) does so
// before the first buffer, not after it. Volume is a gain that the callback
// applies while it copies, so a change is heard from the next callback on;
// full volume copies bit for bit.
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

// Counters of the stream, read by the command line for its report.
struct wv_sdlstats {
    uint64_t underruns = 0;       // times the callback found no buffer while playing
    uint64_t starved = 0;         // frames of silence filled in then
    int chunk = 0;                // frames per callback
    std::vector<int64_t> cbtimes; // ns after the stream opened, of its first callbacks
    int64_t write_ns = 0;         // steady-clock ns of the first write since the stream opened
    int64_t fed_ns = 0;           // steady-clock ns when the callback took that buffer (0: not yet)
};

struct wv_sdldev final : wv_device {
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
    void close() override;
    void volume(uint16_t left, uint16_t right) override;
    void standby(unsigned devno, const wv_format& fmt) override;
    int lead_frames() override;
    void release() override;
    bool lost() override;

    // Shared with the audio callback.
    struct slot {
        const uint8_t* data;
        uint32_t bytes;
        uint32_t gen;
    };
    std::array<slot, 4> ring{};
    std::atomic<uint32_t> rhead{0};           // written by the cycle's thread
    std::atomic<uint32_t> rtail{0};           // written by the callback
    std::atomic<wv_notify*> sink{nullptr};
    std::atomic<uint32_t> gain{0xffffffffu};  // volume: left << 16 | right
    std::atomic<uint32_t> done_gen{0};        // last buffer taken completely
    std::atomic<uint64_t> consumed{0};        // bytes handed to SDL in all, silence included
    std::atomic<uint64_t> underruns{0};
    std::atomic<uint64_t> starved{0};
    std::atomic<int> ncb{0};
    std::array<int64_t, 64> cbt{};            // steady-clock ns of the first callbacks
    std::atomic<int64_t> fed_ns{0};           // steady-clock ns when a buffer was first taken

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

    // Cycle's thread only.
    uint32_t sdl = 0;         // SDL_AudioDeviceID, 0 when no stream
    unsigned sdl_devno = 0;
    wv_format sdl_fmt;
    bool isopen = false;
    uint32_t gen = 0;
    uint32_t written_gen = 0; // generation of the last write
    uint32_t written_frames = 0;
    uint64_t write_mark = 0;  // `consumed` when the last buffer was written
    std::array<std::vector<uint8_t>, 2> stage;
    int next_stage = 0;
    int64_t open_ns = 0;
    int64_t write_ns = 0;     // first write since the stream opened
    bool inited = false;
    std::string error;        // why the subsystem could not start
};

// Starts SDL's audio subsystem (audio only) once for a device whose flag is
// `inited`. False with a message "no audio <what>: ..." when no audio
// driver can be used. A sound server that is stopped or stuck would keep
// SDL's start-up waiting for ever: it is given up after wv_sdl_start_ms, or
// as soon as *stop (a signal handler's flag) becomes nonzero, and left
// running on a helper thread (see wv_sdl_bounded).
bool wv_sdl_audio_up(bool& inited, const char* what, std::string& err, const volatile sig_atomic_t* stop = nullptr);
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
// The hint for this process: SDL's systems and the one it runs, if any.
wv_audio_hint wv_sdl_hint();
// The hint on one line, short enough for a status text.
std::string wv_sdl_hint_line();

// Closes the stream and the subsystem, waiting at most about
// wv_sdl_close_ms for SDL. When SDL does not return in time (its audio
// thread hangs in the sound server), it is left running on a helper thread
// and false is returned; the process then leaves at exit() at once, with
// exit()'s status and stdio flushed, without the destructors and library
// cleanup that would wait for, or pull the memory from under, that thread.
bool wv_sdl_shutdown(wv_sdldev& d);
// How long a close of the stream or of the subsystem may take.
constexpr int wv_sdl_close_ms = 1000;
// True while an SDL close that did not return in time is still running.
bool wv_sdl_stuck();
// Runs fn on a helper thread and waits for it at most ms milliseconds, and
// no longer once *stop becomes nonzero; true when it returned in time.
// Otherwise it is left running and counts as stuck (wv_sdl_stuck) until it
// returns; while it does, exit() ends the process at once (stdio flushed)
// instead of cleaning up. A call given up at its time limit marks the sound
// server as not answering (wv_sdl_no_answer) for the rest of the process.
bool wv_sdl_bounded(int ms, std::function<void()> fn, const volatile sig_atomic_t* stop = nullptr);
// True once an SDL call has been given up because the sound server did not
// answer; the hint (wv_sdl_hint) then says so.
bool wv_sdl_no_answer();
wv_sdlstats wv_sdl_stats(const wv_sdldev& d);
// Waits (at most timeout_ms) until the open stream's callbacks come at their
// steady pace; false if they do not, or when *stop (a signal handler's flag)
// becomes nonzero first.
bool wv_sdl_wait_steady(const wv_sdldev& d, int timeout_ms, const volatile sig_atomic_t* stop = nullptr);
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
