// The wave input device as sample recording sees it: open with a format and
// a notification target, one buffer prepared, added and started per opening,
// a data notification when that buffer is full and a close notification
// after the device has closed, and a reset.
//
// The device records into memory of its own. The thread that runs the
// recording takes the recorded bytes out with take(): the audio thread only
// copies into the device's buffer and publishes how far it got, so the
// sample that the algorithms read is written on the recording's own thread
// and never under their feet.
#pragma once

#include <cstdint>
#include <string>

#include "audio/device.h"

struct wv_capture {
    // Number of numbered input devices (0, 1, ...). The mapper is extra.
    virtual int count() = 0;
    // Name of input device n ("" when there is none).
    virtual std::string name(int n) = 0;
    // Opens device devno (wv_mapper: the default input) with the format;
    // notifications go to `sink` (nullptr: none) and carry the generation
    // returned in `gen`. False when it cannot be opened.
    virtual bool open(unsigned devno, const wv_format& fmt, wv_notify* sink, uint32_t& gen) = 0;
    // Prepares the one buffer of this opening: `bytes` bytes to record.
    // False when it cannot be had.
    virtual bool prepare(uint32_t bytes) = 0;
    // Adds the prepared buffer and starts recording. False when it cannot.
    virtual bool start() = 0;
    // Copies the bytes recorded beyond the first `from` into dst + from;
    // returns how many bytes are recorded now (at most the buffer's size).
    virtual uint32_t take(uint8_t* dst, uint32_t from) = 0;
    // Stops recording at once; the buffer keeps what was recorded.
    virtual void reset() = 0;
    // Closes the open device (a running recording is reset first); the
    // close notification follows.
    virtual void close() = 0;
    // The device or the sound server behind it has gone away.
    virtual bool lost() { return false; }

  protected:
    ~wv_capture() = default;
};
