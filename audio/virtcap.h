// A virtual input device for tests: the test feeds the words it "hears";
// nothing runs on another thread.
#pragma once

#include <cstdint>
#include <vector>

#include "audio/capture.h"

struct wv_virtcap final : wv_capture {
    // Behaviour, set by the test.
    int ndev = 1;               // numbered devices 0..ndev-1; the mapper always exists
    bool fail_open = false;     // every open fails
    bool fail_prepare = false;  // every prepare fails
    bool fail_start = false;    // every start fails
    bool gone = false;          // the device has been lost
    uint32_t autofeed = 0;      // words heard at every take() (1, 2, 3, ...)

    // What happened.
    int opens = 0, closes = 0, resets = 0, starts = 0;
    unsigned devno = 0;
    wv_format fmt;

    // State.
    bool isopen = false;
    bool running = false;
    bool posted = false;        // the data notification of this opening was posted
    wv_notify* sink = nullptr;
    uint32_t gen = 0;
    std::vector<uint8_t> buf;   // the prepared buffer
    uint32_t filled = 0;        // bytes recorded into it
    int16_t next = 1;           // the next word autofeed hears

    int count() override { return ndev; }
    std::string name(int n) override;
    bool open(unsigned devno, const wv_format& fmt, wv_notify* sink, uint32_t& gen) override;
    bool prepare(uint32_t bytes) override;
    bool start() override;
    uint32_t take(uint8_t* dst, uint32_t from) override;
    void reset() override;
    void close() override;
    bool lost() override { return gone; }
};

// The device hears n words: they go into the running recording as far as
// it takes them; a full buffer posts the data notification. Returns the
// words taken.
uint32_t wv_virtcap_feed(wv_virtcap& d, const int16_t* w, uint32_t n);
