// The status line of the setting editor and its level discs, as text and
// shapes: the streaming cycle fills a wv_statusline after every computed
// buffer, the window shows the text and paints the discs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "audio/options.h"

// Peak levels of one buffer, before blow-up. Slot 0 the output, slots 2..5
// the four tracks of Multiple play, slot 7 the mix file; a negative level
// shows nothing (slots 1 and 6 never show).
constexpr int wv_nlevels = 8;
struct wv_levelset {
    int lev[wv_nlevels] = {-1, -1, -1, -1, -1, -1, -1, -1};
    bool tracks = false;   // Multiple play computed its tracks in this turn
    int mixpeak = -1;      // peak of the mix words read for this buffer, -1 when none were
};

// Peak magnitude of `words` 16-bit words (32768 for -32768).
int wv_peak(const int16_t* w, int32_t words);

// Elapsed play time of `n` buffers of `bufsize` bytes (the played part is
// bufsize - 1024 bytes of 16-bit stereo) at `bytes_per_sec` bytes of 16-bit
// stereo per second: "ss.hh", "mm:ss.hh" or "hhh:mm:ss.hh".
void buftotime(char* text, std::size_t size, int32_t n, int32_t bytes_per_sec, int32_t bufsize);

// Fill colour of a level disc, 0xRRGGBB.
uint32_t wv_level_colour(int level);

// One level disc: a filled circle in the box (x0, y0)-(x1, y1), client pixels.
struct wv_disc {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    uint32_t rgb = 0;
};

// What the status line shows after a buffer.
struct wv_statusline {
    std::string text;      // the line (kept when the mode does not rewrite it)
    unsigned seq = 0;      // counts the updates that rewrote the line
    int ndisc = 0;         // level discs of the last update (0 outside the level modes)
    wv_disc disc[6];
};

// Everything one status update reads, and the counters it advances.
struct wv_statusin {
    const wv_options* opt = nullptr;
    int setnr = 0, tonr = 0;   // in/out: the automatic program change moves them on
    bool tonal = false;        // the editor's "Tonalit&y": the program change steps the scale
    const int8_t* tonindx = nullptr;  // scale remembered with each of the ten sets
    int charge = -1;           // CPU charge of this buffer
    int bufidle = 0, bufidle2 = 0, InCount = 0;
    const wv_levelset* levels = nullptr;
    int32_t bytes_per_sec = 44100;   // 16-bit stereo bytes per second of the output
    int32_t bufsize = 32768;
    uint64_t lost = 0;         // frames the listener lost since Start (shown once there are any)
};

// The status update after one computed buffer. `bufcuup` is the buffer
// counter (advanced in the buffer and time modes). In the buffer mode every
// plchdist-th buffer moves in.setnr on (and in.tonr to that set's scale), or
// with `tonal` only in.tonr.
void wv_status_update(wv_statusline& out, wv_statusin& in, int& bufcuup);
