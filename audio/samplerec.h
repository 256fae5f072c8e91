// Sample recording from the input device and the sample test, free of any
// window: the recording format, the blocking recording of a whole sample,
// background recording into the live sample while a sampling row plays, and
// playing the sample once.
//
// The blocking functions wait through a function of their owner, which lets
// time pass (keeping its windows drawn) and may ask them to give up.
#pragma once

#include <cstdint>
#include <functional>

#include "audio/capture.h"
#include "audio/device.h"
#include "files/wavload.h"

// The recording format at program start: PCM, mono, 22050 Hz, 16 bits.
constexpr wv_format wv_rec_format0{1, 1, 22050, 44100, 2, 16};

// Mono 16-bit PCM at `rate`.
inline wv_format wv_mono16(int32_t rate) { return {1, 1, rate, 2 * rate, 2, 16}; }

// The rate a new recording takes: the output rate when it is 11025, 22050
// or 44100 Hz, otherwise the rate of the recording before (`prev`).
int32_t wv_rec_rate(int32_t outrate, int32_t prev);

// Background recording: one recording at a time into the sample the
// algorithms read. The owner points lpData/dwBufferLength at the sample's
// words (nullptr: no sample); the device posts into `sink`.
struct wv_samplerec {
    wv_capture* cap = nullptr;
    wv_notify* sink = nullptr;
    unsigned devno = wv_mapper;
    wv_format wvtFormat = wv_rec_format0;

    uint8_t* lpData = nullptr;     // the sample's first word
    uint32_t dwBufferLength = 0;   // bytes a recording writes from there

    bool hwavein = false;          // the input device is open
    uint32_t gen = 0;              // generation of its opening
    uint32_t dwBytesRecorded = 0;  // bytes of this recording already in the sample

    // What recording did, for the owner to look at when play ends.
    int started = 0;               // recordings started
    bool wrote = false;            // new material went into the sample
    bool completed = false;        // a recording filled the whole sample
};

// Starts a recording into the sample: nothing when the device is open
// already or there is no sample; a device that cannot be opened, prepared
// or started ends it silently. True when it runs.
bool wv_rec_bg_start(wv_samplerec& r);
// Copies what the device has recorded so far into the sample (the
// algorithms hear the new material from the next buffer on).
void wv_rec_bg_take(wv_samplerec& r);
// An input notification: data (the buffer is full) takes the rest and
// closes the device; close ends the recording. True for the close of the
// running recording.
bool wv_rec_event(wv_samplerec& r, const wv_event& ev);
// Play stops or the editor closes: a running recording is reset and closed
// (what it recorded stays in the sample).
void wv_rec_abort(wv_samplerec& r);

// Lets at most `ms` milliseconds pass; false when the wait is to be given up
// (the program is asked to end).
using wv_waitfn = std::function<bool(int ms)>;

// How long a blocking function waits without any progress of the device
// before it gives up.
constexpr int wv_rec_stall_ms = 3000;
// ... and how long it waits for the first bytes (a sound server may take
// seconds to start a capture stream).
constexpr int wv_rec_first_ms = 10000;

enum class wv_recres {
    done,           // `bytes` bytes recorded
    not_available,  // the device cannot be opened
    prep_error,     // the buffer cannot be prepared
    start_error,    // the recording cannot be started
    stalled,        // the device stopped delivering (or went away)
    interrupted,    // the wait was given up
    no_memory,      // no memory for the new sample
};

// Records `bytes` bytes from input device `devno` in format `fmt` into dst,
// waiting until they are there.
wv_recres wv_record_blocking(wv_capture& cap, unsigned devno, const wv_format& fmt, uint8_t* dst, uint32_t bytes,
                             const wv_waitfn& wait);

// Plays `bytes` bytes in format `fmt` once on output device `devno`, waiting
// until they have sounded. False when the device cannot be opened or
// written (nothing is played).
bool wv_play_blocking(wv_device& dev, unsigned devno, const wv_format& fmt, const uint8_t* data, uint32_t bytes,
                      const wv_waitfn& wait);

// A new sample of capacity K bytes recorded as "&Record Sample" does: K - 72
// bytes from data offset 24 at `rate` (mono, 16 bits). `out` is changed
// only when the recording is done.
wv_recres wv_record_sample(wv_capture& cap, unsigned devno, int32_t rate, int32_t K, fi_sample& out,
                           const wv_waitfn& wait);
