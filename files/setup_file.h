// Setup files: the options in two records, 24 + 18 bytes, little-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "files/setting_file.h"

constexpr std::size_t fi_setup_rec1 = 24;  // buffer, device, voices and switches
constexpr std::size_t fi_setup_rec2 = 18;  // play pauses, display and effects
constexpr std::size_t fi_setup_bytes = fi_setup_rec1 + fi_setup_rec2;
// An extension after the two records, which programs that know only those
// never read: the tag "WTlt", the output latency in ms (int16), 2 bytes 0.
constexpr std::size_t fi_setup_ext = 8;

struct fi_setup {
    // first record
    int32_t bufsiz0 = 0, sampmaxid = 0, recsmp = 0, wvodv = 0;
    uint8_t maxvoc = 0, almod = 0, empha = 0, tonalia = 0, emerge = 0, emrot = 0, wvomea = 0;
    // second record
    int16_t playpaus = 0, dispmode = 0, blowopt = 0, playbmix = 0, fuzzlev = 0, fuzztyp = 0, vistyp = 0;
    uint8_t autotempo = 0, shwmorph = 0, stereoset = 0;
    // extension (0: none stored)
    int16_t latency = 0;

    friend bool operator==(const fi_setup&, const fi_setup&) = default;
};

// Decodes the complete records among n bytes: 0 (fewer than 24 bytes; out
// untouched), 1 (the second record incomplete; its fields untouched) or 2.
int fi_setup_decode(const uint8_t* p, std::size_t n, fi_setup& out);
// The 42 bytes of a setup file; the padding and reserved bytes are 0.
void fi_setup_encode(const fi_setup& f, uint8_t out[fi_setup_bytes]);

// Reads a setup file: ok with records 1 or 2, too_short with records 0, or
// not_opened (errno set); the extension when it follows the two records.
// Bytes past it are never read.
fi_read fi_setup_read(const std::string& path, fi_setup& out, int& records);
// Saves a setup, with the extension when f.latency is not 0: the whole file
// or none (err = errno).
bool fi_setup_write(const std::string& path, const fi_setup& f, int& err);
