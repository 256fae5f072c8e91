// The output chain: the stages every computed buffer passes, in a fixed
// order, before it is sent, and the stages at sending time. Each stage owns
// its state and sees only the buffer, its frame count and the options it
// reads. A stage not built yet is simply not in the list.
//
// Also here: the buffer sizing around the refill (Buff.Beat, the blow-up
// rate rule) and the replay of rows without a routine, as pure functions on
// plain buffers so that each can be tested alone.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "audio/options.h"
#include "audio/refill.h"
#include "audio/status.h"
#include "player/vis.h"

// One computed buffer on its way through the chain.
struct wv_chainbuf {
    int16_t* w = nullptr;   // interleaved stereo words
    int32_t frames = 0;     // frames the routine computed into it
    int32_t rate = 0;       // the routine's rate, Hz (before any blow-up)
    int32_t bufsize = 0;    // buffer size in effect, bytes (the played part is bufsize/2 - 512 words)
    bool refill = false;    // a turn's refill; false for the two buffers of a start
    bool gaps = false;      // the cycle is in gap mode and the buffer is shaped for it
    int blowup = 0;         // blow-up method for this buffer (0: none), see wv_blowup_for
};

// One buffer on its way to the device.
struct wv_sendbuf {
    const int16_t* w = nullptr;  // the buffer's words (left intact by every send stage)
    int32_t frames = 0;          // frames to send
    int volume = 0;              // the playing set's Volume
    int32_t rate = 0;            // the rate the device plays it at, Hz
    const void* data = nullptr;  // what goes to the device; a stage may replace it
    uint32_t bytes = 0;
};

struct wv_stage {
    virtual ~wv_stage() = default;
    virtual void run(wv_chainbuf& b) = 0;
    // The start of a play: memory carried from buffer to buffer starts afresh.
    virtual void reset() {}
};

struct wv_sendstage {
    virtual ~wv_sendstage() = default;
    virtual void run(wv_sendbuf& b) = 0;
};

// The open mix file, as the mix stage reads it.
struct wv_mixsource {
    // Up to `frames` interleaved stereo frames at `rate` Hz; returns the
    // words delivered, fewer than 2 * frames when the file has ended.
    virtual int32_t read(int16_t* out, int32_t frames, int32_t rate) = 0;
    virtual void close() = 0;
    virtual bool is_open() const = 0;
    virtual ~wv_mixsource() = default;  // the program state owns one through this interface
};

// The open harddisc recording, as the harddisc write appends to it.
struct wv_recsink {
    // Appends the bytes of one played buffer (as the device gets them) that
    // plays at `rate` Hz; false on a short write, with errno the reason.
    virtual bool append(const void* data, uint32_t bytes, int32_t rate) = 0;
    // Writes the real sizes into the header and closes the file.
    virtual bool finish() = 0;
    virtual bool is_open() const = 0;
    virtual ~wv_recsink() = default;  // the program state owns one through this interface
};

// Adds `words` mix words scaled by level/100 (truncating) into the buffer,
// each sum held at the 16-bit limits. The level the user sets is a percent
// in 0..wv_mix_level_max, on a slider that pages by wv_mix_level_page.
void wv_mix_add(int16_t* w, const int16_t* mix, int32_t words, int level);
constexpr int wv_mix_level_max = 300, wv_mix_level_page = 10;

// The mix file: each computed buffer gets the file's next frames at the
// routine's rate, scaled by the mix level; the file closes once it has run
// out (what it still gave is added).
// The peak of what it read goes to `levels` for the level display.
struct wv_mixstage final : wv_stage {
    wv_mixsource* src;
    const wv_options* opt;
    std::vector<int16_t> rd;
    wv_levelset* levels = nullptr;
    wv_mixstage(wv_mixsource* m, const wv_options* o, std::size_t words) : src(m), opt(o), rd(words, 0) {}
    void run(wv_chainbuf& b) override;
};

// Where the visual effects draw: the owner of the window behind them. It
// gets each computed buffer (interleaved stereo words, before blow-up) and
// must only draw into memory of its own, never wait on the window system.
struct wv_vissink {
    // `mem` is the effects' memory between buffers, kept by the stage.
    virtual void frame(const int16_t* w, int32_t frames, int16_t* mem) = 0;

  protected:
    ~wv_vissink() = default;
};

// The visual effects: every computed buffer, while an effect is chosen.
struct wv_visstage final : wv_stage {
    wv_vissink* sink;
    const wv_options* opt;
    int16_t mem[vis_nmem] = {};  // the effects' memory, from one buffer into the next of a play
    wv_visstage(wv_vissink* v, const wv_options* o) : sink(v), opt(o) {}
    void run(wv_chainbuf& b) override;
    void reset() override;
};

// The level meter: on refills in the level display modes, the peak of the
// buffer (and, for "All Levels", of the mix file scaled by its level) goes
// to `levels`; otherwise every level there is negative (nothing to show).
struct wv_levelstage final : wv_stage {
    wv_levelset* levels;
    const wv_options* opt;
    wv_levelstage(wv_levelset* l, const wv_options* o) : levels(l), opt(o) {}
    void run(wv_chainbuf& b) override;
};

// The echo copy: a clean copy of the last computed buffer for the echo
// routine, taken before later stages alter the buffer.
struct wv_echocopy final : wv_stage {
    std::vector<int16_t> copy;
    explicit wv_echocopy(std::size_t words) : copy(words, 0) {}
    void run(wv_chainbuf& b) override;
};

// An output effect, as the option that chooses it names it (audio/options.h):
// where its stage goes in the chain, whether the chain has it for the
// options of an opening, whether it alters the played buffer (the echo
// routine then reads a copy taken before it), and the stage itself.
enum wv_effect_place : int {
    wv_fx_before_visuals,  // after the echo copy, before the visual effects
    wv_fx_after_levels,    // after the level meter, before the gap shaping
};
struct wv_effect {
    wv_effect_place place;
    bool (*built)(const wv_options& o);
    bool (*alters)(const wv_options& o);
    std::unique_ptr<wv_stage> (*make)(const wv_options& o);
};

// Gap shaping: in gap mode the sound turns across the stereo field
// ("Rotate") or fades at both ends (not while recording to disc).
struct wv_gapshape final : wv_stage {
    const wv_options* opt;
    const wv_recsink* recording;  // the harddisc recording (nullptr: none), asked whether it is open
    wv_gapshape(const wv_options* o, const wv_recsink* rec) : opt(o), recording(rec) {}
    void run(wv_chainbuf& b) override;
};

// 8-bit mono: the words become one byte per frame in a buffer of its own.
struct wv_mono8 final : wv_sendstage {
    std::vector<uint8_t> out;
    explicit wv_mono8(std::size_t frames) : out(frames, 0) {}
    void run(wv_sendbuf& b) override;
};

// The harddisc write: every buffer sent is appended to the recording as the
// device gets it. A short write is kept in `failed`, with its errno in `err`
// (0 when the recording gave none), for the cycle to act on.
struct wv_hdwrite final : wv_sendstage {
    wv_recsink* rec;
    bool failed = false;
    int err = 0;
    explicit wv_hdwrite(wv_recsink* r) : rec(r) {}
    void run(wv_sendbuf& b) override;
};

// The stages of one editor opening, in their fixed order. `echo` is the echo
// copy when it is in the list, for the refill to read; `levels` what the
// level meter measured in the last refill.
struct wv_chain {
    wv_levelset levels;
    std::vector<std::unique_ptr<wv_stage>> compute;
    std::vector<std::unique_ptr<wv_sendstage>> send;
    const wv_echocopy* echo = nullptr;
    wv_hdwrite* hd = nullptr;
};

// Builds the chain for the options and the row being opened: the echo copy
// when the echo routine must not read the played buffer, the gap shaping,
// the 8-bit conversion when the device plays 8-bit mono. `words` is the
// size of one play buffer in words, `recording` the cycle's harddisc
// recording (nullptr: none; it records while it is open). With an
// open mix file `mix` the mix stage comes first; with an open recording
// `rec` the harddisc write comes last before the device. With a `vis` sink
// the visual effects follow the echo copy, then the level meter.
void wv_chain_build(wv_chain& c, const wv_options& opt, bool echo, std::size_t words, const wv_recsink* recording,
                    wv_mixsource* mix = nullptr, wv_recsink* rec = nullptr, wv_vissink* vis = nullptr);

// Runs every compute stage on a buffer, in order.
void wv_chain_run(const wv_chain& c, wv_chainbuf& b);
// The start of a play: every stage forgets what earlier plays left in it.
void wv_chain_reset(const wv_chain& c);
// Runs every send stage; b.data and b.bytes are then what the device gets.
void wv_chain_send(const wv_chain& c, wv_sendbuf& b);

// The stretch factor of a blow-up method (audio/blowup.h), 1 for none (and
// for values outside the methods).
int wv_blowfactor(int blowopt);

// Rate and frame count of one buffer under a blow-up method: when the raised
// rate index would pass 48 (44100 Hz) the method is dropped for this buffer,
// else the frames are divided by the factor and the index raised by 6 per
// factor step (12 for 2x, 24 for 4x).
struct wv_blowup {
    int method;        // 0: no blow-up for this buffer
    int rateidx;       // index into pbrates for the device
    int32_t frames;    // frames the algorithm computes
};
wv_blowup wv_blowup_for(int rateidx, int blowopt, int32_t frames);

// Buff.Beat: the buffer size in bytes that holds one beat of the playing set.
// beat = parameter 11 of the set; sampling = the row's algorithm type is 1;
// blowopt the chosen blow-up method (its factor multiplies the beat).
int32_t wv_beat_size(int beat, bool sampling, int blowopt);

// A row without a routine: the buffer keeps its content from two turns before, scaled by p = parameter 15 of the set: 0 clears the 2*frames
// words, 1..127 scales by p/128 (truncating), 128 and above leaves it.
void wv_replay_scale(int16_t* buf, int32_t frames, int p);

// The refill of a turn for a row without a routine (Multiple play without its
// scratch buffer, the empty algorithm): the other buffer becomes the next one
// to send and its old content is replayed, scaled as above. Flips
// rov_pl1load2 exactly as wv_tick_fill does.
void wv_tick_replay(wvplay& pb, rov_globphase& g, int32_t frames, int p);

// Start of play for a row without a routine: both buffers zero-filled over
// bufsize/2 - 512 words; buffer 1 is sent next and the loop position reset,
// as wv_start_fill leaves them.
void wv_start_silence(wvplay& pb, rov_globphase& g);

// Gap shapings of a refilled buffer in gap mode; bufsize in bytes. N =
// bufsize/2 - 512 is the first spare word behind the played part; both
// shapings write it.
// Rotate: the sound turns once across the stereo field, fading in on the left
// and out on the right.
void wv_shape_rotate(int16_t* buf, int32_t bufsize);
// A 256-word fade at both ends of the played part.
void wv_shape_fade(int16_t* buf, int32_t bufsize);

// 8-bit mono of `frames` interleaved stereo frames with Volume v (parameter
// 14): k = 32767 / (260 - v), byte = (128 + L/k + R/k) mod 256, the divisions
// truncating towards zero.
void wv_to8bit(const int16_t* in, int32_t frames, int volume, uint8_t* out);
