// A Standard MIDI File of messages placed at frames of a sound file: one
// track whose tempo and division make one tick one frame at the file's rate
// (exact for every rate whose ticks per quarter fit the file format; the
// nearest tempo otherwise). Written through libsmf, beside the sound or
// instead of it; a failure leaves no file behind.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

// Ticks per quarter note and microseconds per quarter note that make one
// tick one frame at `rate` Hz; `exact` is false where no such pair exists.
struct fi_smftiming {
    int ppqn = 0;
    int tempo = 0;
    bool exact = false;
};
fi_smftiming fi_smf_timing(int32_t rate);

// Frames a file can place events at (libsmf counts ticks in an int).
constexpr uint64_t fi_smf_maxframes = 0x7fffffffull;

struct fi_smfdata;

struct fi_smfwriter {
    fi_smfwriter();
    ~fi_smfwriter();
    // A new file at `rate`; false when libsmf could not set it up.
    bool start(int32_t rate);
    // One message (1..3 bytes) at frame `frame`; messages come in frame order.
    void add(uint64_t frame, const uint8_t* bytes, int len);
    // Writes the file, ending at `end` frames; false with `err` on failure.
    bool save(const std::string& path, uint64_t end, std::string& err);
    uint64_t count() const { return events; }

  private:
    std::unique_ptr<fi_smfdata> d;
    uint64_t events = 0;
    uint64_t last = 0;
};
