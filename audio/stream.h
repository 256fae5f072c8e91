// The streaming cycle: keeps the output device fed with buffers computed by
// the playing algorithm, one buffer on the device while the other is being
// computed. Driven by the device's done and close notifications and by the
// gap timer, all dispatched on one thread (the editor window's, or the command
// line's loop). Free of any user interface: the owner shows `playing` as the
// Start/Stop button and `status` in its status line.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "audio/chain.h"
#include "audio/device.h"
#include "audio/midiout.h"
#include "audio/options.h"
#include "audio/refill.h"
#include "audio/samplerec.h"
#include "audio/status.h"
#include "engine/banks.h"

// What the emergency did to the sound when the time to play ran out
// without user activity.
enum class wv_idlestop { none, paused, replaying };

// The status line while it lasts: why the sound stopped and where the time is set.
const char* wv_idle_text(wv_idlestop why);

// Measures of one turn, for the status line.
struct wv_turn {
    int charge = -1;   // CPU charge of the turn in percent, -1 when not measured
};

// A player that computes its buffers itself (the start-up introduction)
// and plays them through the stream's device protocol: it sends them with
// wv_send_buffer and gets the turns that follow.
struct wv_turns {
    // The device has closed after a buffer: the next turn, now or after a
    // gap (the timer, with `timerset`).
    virtual void closed() = 0;
    // The timer set by the player has run out.
    virtual void timeout() = 0;

  protected:
    ~wv_turns() = default;
};


// The parameter set (0..9) and the scale buffer (0..9) being played, and
// the editor's "Tonalit&y" (automatic changes step the scale). The stream
// owns them (it is one); the editor works on the stream's.
struct wv_playsel {
    int setnr = 0;
    int tonr = 0;
    bool tonal = false;
};

struct wv_stream : wv_playsel {
    // Wiring: the device layer, where it posts, and the gap timer.
    wv_device* dev = nullptr;
    wv_notify* sink = nullptr;
    wv_timer* timer = nullptr;

    // What plays: the foreground engine state, the row, set and scale.
    rov_handle* roh = nullptr;
    int algomod = 1;
    int openrow = 1;              // the row the editor opened with
    // The set and scale: wv_playsel.
    wv_sample sample;
    // The setting banks (Multiple play's tracks 1..3; nullptr: none), the
    // handle the cycle drives them through, and Multiple play's scratch
    // buffer (empty: none, when the row is another or it could not be had).
    rov_banks* banks = nullptr;
    rov_handle rohmult{};
    std::vector<int16_t> scratch;

    // The program's options (the owner's record, never a copy). The cycle
    // writes two of them: the loop step after Buff.Beat and the synchronous
    // bit of the device's capabilities.
    wv_options* opt = nullptr;

    // Device and format.
    wv_format wvFormat;           // output format (rate set before every send)
    bool hwaveout = false;        // the device is open
    uint32_t gen = 0;             // generation of the current opening
    bool closepending = false;    // a close notification is still to come

    // Buffers and the output chain of this opening.
    wvplay pb;
    wv_chain chain;
    bool allocated = false;       // the play buffers exist (editor open)

    // Files the owner keeps open across openings of the editor: the
    // harddisc recording and the mix file (nullptr: none). The cycle records
    // while `rec` is open (wv_recording) and finishes it when the planned
    // count has run out or the disc is full.
    wv_recsink* rec = nullptr;
    wv_mixsource* mix = nullptr;
    // A recording of every buffer sent, outside the harddisc recording's
    // count and gap mode (the command line's play --record).
    wv_recsink* tap = nullptr;
    // Background sample recording into the sample (nullptr: none).
    wv_samplerec* srec = nullptr;
    // Where the visual effects draw (nullptr: no window to draw in).
    wv_vissink* vis = nullptr;
    // MIDI out: the tones of every buffer as MIDI, to the device with the
    // buffer and to the record's port (nullptr: no MIDI, and the engine
    // reports nothing).
    wv_midiout* midi = nullptr;
    // A message box for the user (caption, text); the owner shows it.
    std::function<void(const std::string& caption, const std::string& text)> alert;

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
    uint64_t lost_at_start = 0;   // the device's lost frames when this play started
    wv_turn last;                 // measures of the last turn
    std::string status;           // status line text left by Stop ("" when none)
    std::string device_hint;      // added to the status when the device cannot be opened ("" when none)
    wv_statusline line;           // the status line after each computed buffer
    // The emergency has paused the sound (or replays the last buffers) for
    // want of user activity: the status line says so while that lasts.
    wv_idlestop idlestop = wv_idlestop::none;
    // While set, the turns are this player's, not the engine's (nullptr: none).
    wv_turns* turns = nullptr;
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

// What became of a buffer handed to the device.
enum class wv_sent { playing, no_device, refused };
// Opens device `devno` with `wvFormat` and writes `bytes` bytes of `data`;
// its done notification follows. A device that refuses the buffer is
// closed at once, without waiting for the close notification.
wv_sent wv_send_buffer(wv_stream& s, unsigned devno, const void* data, uint32_t bytes);

// A notification taken out of the event queue.
void wv_dispatch(wv_stream& s, const wv_event& ev);

// Looks after the device while the cycle runs: a device that was lost ends
// the cycle and says so in `status`. True when that happened now.
bool wv_check_device(wv_stream& s);

// The Z button in Multiple play: rotates the active setting and the banks,
// only while Multiple play has its scratch buffer. False when nothing turned.
bool wv_rotate(wv_stream& s);

// User activity in the editor: refills the emergency counter.
void wv_activity(wv_stream& s);

// A harddisc recording file is open: the cycle records every buffer sent.
inline bool wv_recording(const wv_stream& s) { return s.rec && s.rec->is_open(); }

// The cycle is at rest: no device open, no notification due, no timer pending.
inline bool wv_idle(const wv_stream& s) { return !s.hwaveout && !s.closepending && !s.timerset; }

// Gap length in ms: (bufsize / 256) * playpaus.
inline int wv_gap_ms(const wv_stream& s) { return s.pb.bufsize / 256 * s.opt->playpaus; }
