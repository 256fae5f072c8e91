// An output device that writes every buffer to a byte sink as fast as the
// streaming cycle hands them over: the offline render runs the very cycle
// that plays, with this device in place of the sound card. 16-bit samples
// leave as little-endian bytes, 8-bit ones as they are.
//
// Nothing of a buffer has played when the cycle measures its charge, so the
// cycle sees an ideal device: no emergency and no gaps arise from time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "audio/device.h"

// Where the file device puts the bytes of a buffer that plays at `rate` Hz;
// false when they could not be written.
struct wv_bytesink {
    virtual bool put(const void* data, std::size_t bytes, int32_t rate) = 0;

  protected:
    ~wv_bytesink() = default;
};

// Where the file device puts the MIDI messages that go with the buffers:
// each at its frame of the file, counted at the sink's `rate` (buffers at
// another rate are converted like their samples).
struct wv_midifilesink {
    int32_t rate = 0;
    virtual void put(uint64_t frame, const wv_midimsg& m) = 0;

  protected:
    ~wv_midifilesink() = default;
};

// An output device of an offline cycle: one device that opens at once in
// any format and of whose buffer nothing has played when the cycle asks.
struct wv_offlinedev : wv_device {
    wv_format fmt;
    wv_notify* sink = nullptr;
    uint32_t gen = 0;
    bool isopen = false;
    const char* devname;  // the name its capabilities give

    explicit wv_offlinedev(const char* name) : devname(name) {}
    int count() override { return 1; }
    bool caps(unsigned devno, wv_caps& out) override;
    bool open(unsigned devno, const wv_format& f, wv_notify* s, uint32_t& g) override;
    int64_t position() override { return 0; }
    void reset() override {}
    void close() override;
    void volume(uint16_t, uint16_t) override {}

  protected:
    ~wv_offlinedev() = default;
};

struct wv_filedev final : wv_offlinedev {
    wv_midifilesink* midiout = nullptr;  // nullptr: the messages are dropped
    uint64_t midipos = 0;        // file frames of the buffers written so far
    uint64_t midirem = 0;        // the remainder of their conversion
    wv_bytesink* out = nullptr;
    uint64_t buffers = 0;        // buffers written
    bool failed = false;         // a write to the sink failed

    std::vector<uint8_t> le;     // little-endian form of the buffer being written

    wv_filedev() : wv_offlinedev("file") {}
    bool write(const void* data, uint32_t bytes) override;
    void midi(const wv_midimsg* msgs, uint32_t count) override;
};
