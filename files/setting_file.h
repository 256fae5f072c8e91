// Setting files: one rov_setting of 672 bytes, little-endian, no header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/rov.h"

enum class fi_read {
    ok,
    not_opened,  // the file cannot be opened or read (errno tells why)
    too_short,   // fewer bytes than one complete record
};

// Reads at most `cap` bytes from the start of a file into buf; n is the
// number read. not_opened (errno set) when the file cannot be opened or a
// read fails; never too_short: the caller judges n.
fi_read fi_read_head(const std::string& path, uint8_t* buf, std::size_t cap, std::size_t& n);

// The record's bytes; the decode takes the first 672 of n bytes and leaves s
// untouched (false) when there are fewer.
void fi_setting_encode(const rov_setting& s, uint8_t out[rov_setting_bytes]);
bool fi_setting_decode(const uint8_t* p, std::size_t n, rov_setting& s);

// Loads a setting file. A file shorter than 672 bytes is refused (too_short)
// and s keeps every value; of a longer file the first 672 bytes are taken.
// rov_stdalg is taken as stored: a row outside the table is the caller's to map.
fi_read fi_setting_read(const std::string& path, rov_setting& s);

// Saves a setting: the whole file or, on failure (err = errno), no file and
// an existing target unchanged.
bool fi_setting_write(const std::string& path, const rov_setting& s, int& err);

// Writes a whole small file through a temporary file; false with err = errno
// of the failing step, and nothing left behind.
bool fi_write_whole(const std::string& path, const uint8_t* data, std::size_t n, int& err);
