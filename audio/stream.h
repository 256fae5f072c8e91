// The streaming cycle: keeps the output device fed with buffers computed by
// the playing algorithm, one buffer on the device while the other is being
// computed. Driven by the device's done and close notifications and by the
// gap timer, all dispatched on one thread (the editor window's, or the command
// line's loop). Free of any user interface: the owner shows `playing` as the
// Start/Stop button and `status` in its status line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audio/device.h"
#include "audio/refill.h"

// Values of sampmaxidle ("Time to play"), bytes of sound without user activity.
constexpr int32_t wv_ttp_test = 120000;
constexpr int32_t wv_ttp_short = 1200000;
constexpr int32_t wv_ttp_normal = 6000000;
constexpr int32_t wv_ttp_long = 24000000;

// The shell's options the cycle reads.
struct wv_options {
    int32_t bufszorig = 32768;       // buffer size, bytes ("Buffer Size")
    int32_t sampmaxidle = wv_ttp_normal;
    int playpaus = 1;                // gap length factor, 1..64 ("Time Gap Size")
    bool autotempo = false;          // "Buff.Beat"
    bool emergency = false;          // "Emergency Play"
    bool emrotate = false;           // "Rotate"
    bool wvomeasure = true;          // "Measure"
    bool levels = false;             // display mode "Level" or "All Levels"
    int blowopt = 0;                 // blow-up method 0..6
    bool emphas = false;             // "Emphasis"
    bool tonalias = false;           // "Timbre Variation"
    int maxv = 8;                    // voice maximum 1..64
    unsigned wvodevno = wv_mapper;   // output device
    int32_t bufincr = 512;           // loop algorithm's step, shorts: set with the buffer size, 512 after Buff.Beat
};

// Measures of one turn, for the status line.
struct wv_turn {
    int charge = -1;   // CPU charge of the turn in percent, -1 when not measured
};

struct wv_stream {
    // Wiring: the device layer, where it posts, and the gap timer.
    wv_device* dev = nullptr;
    wv_notify* sink = nullptr;
    wv_timer* timer = nullptr;

    // What plays: the foreground engine state, the row, set and scale.
    rov_handle* roh = nullptr;
    int algomod = 1;
    int openrow = 1;              // the row the editor opened with
    int setnr = 0;
    int tonr = 0;
    wv_sample sample;

    wv_options opt;

    // Device and format.
    wv_caps woc;                  // capabilities of the selected device
    bool stereo16 = false;        // the device offers 16-bit stereo
    bool stereoset = false;       // play 16-bit stereo; off: "Mono 8 bit"
    wv_format wvFormat;           // output format (rate set before every send)
    bool hwaveout = false;        // the device is open
    uint32_t gen = 0;             // generation of the current opening
    bool closepending = false;    // a close notification is still to come

    // Buffers.
    wvplay pb;
    std::vector<uint8_t> out8;    // the 8-bit mono form of the buffer being sent
    bool allocated = false;       // the play buffers exist (editor open)

    // Counters.
    bool playing = false;         // the Start/Stop button reads "S&top"
    bool timerset = false;        // a gap timer is pending
    int bufmaxidle = 0;
    int bufidle = 0;              // buffers before the emergency; -1: stop request
    int bufidle2 = 0;             // buffers without gaps once the emergency began; <= 0 gap mode
    int bufrest = 0;
    int InCount = 0;
    int maxcharge = 0;
    int bufcuup = 0;
    wv_turn last;                 // measures of the last turn
    std::string status;           // status line text left by Stop ("" when none)
};

// The capability test of the selected device (program start, device choice,
// setup load): false when the device is not available; the message is then
// "wave output device not available", caption "wave player checking ..".
bool wv_probe(wv_stream& s);
// "Mono 8 bit": stereo off; on again only if the device offers 16-bit stereo.
void wv_toggle_mono8(wv_stream& s);

// Play set-up when the editor opens: buffers, counters, the option copies.
void wv_stream_open(wv_stream& s);
// Closing the editor: timer killed, device reset and closed, buffers freed.
void wv_stream_close(wv_stream& s);

// The Start/Stop button: Start while the cycle is idle, else Stop.
void wv_button(wv_stream& s);
// Start: computes the two start buffers and sends the first. False when
// nothing could be started (no buffers, or the device cannot be opened).
bool wv_start(wv_stream& s);
// Stop: the device is reset and closed; the close notification leads to one
// more turn, which takes the stop path. During a gap only the timer is killed.
void wv_stop(wv_stream& s);

// A notification taken out of the event queue.
void wv_dispatch(wv_stream& s, const wv_event& ev);

// User activity in the editor: refills the emergency counter.
void wv_activity(wv_stream& s);

// The cycle is at rest: no device open, no notification due, no timer pending.
inline bool wv_idle(const wv_stream& s) { return !s.hwaveout && !s.closepending && !s.timerset; }

// Gap length in ms: (bufsize / 256) * playpaus.
inline int wv_gap_ms(const wv_stream& s) { return s.pb.bufsize / 256 * s.opt.playpaus; }
