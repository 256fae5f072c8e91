// A WAV file as the sample of the sampling algorithms, and the sample saved
// as a WAV file.
//
// The sample area of capacity K bytes holds the file's 16-byte format
// record at 0, the "data" tag and size at 16 and the sample words from 24.
// A file in the plain 44-byte layout (16-byte PCM format chunk directly
// followed by the data chunk, 8 or 16 bits) is read at fixed offsets into
// that area; any other file libsndfile reads is first rewritten in memory
// into that layout with 16-bit words and then read the same way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/smpmem.h"

// A message box to show: caption and text.
struct fi_filemsg {
    std::string caption, text;
};

struct fi_sample {
    std::vector<uint8_t> area;  // K bytes: format record at 0, "data" tag and size at 16, words from 24
    int32_t length = 0;         // length of the sample in bytes (dwBufferLength)
    int32_t rate = 0;           // the sample's rate (1 channel, 16 bits)
    int64_t given = 0;          // bytes of sample the file held: more than `length` when cut to the area
    const int16_t* words() const;  // the words from data offset 24
    int32_t nwords() const;        // (length - 24) / 2, never below 0
    rov_smparea around() const;    // the whole area as words: what the routines may read around them
};

// loaded: `out` holds the new sample. Otherwise `out` is left as it was (a
// sample already in memory is not lost to a bad file):
//   none       K below 3072, or no memory for the area;
//   refused    "unsupported WAV or illegal file format" (caption "open WAV file");
//   not_opened "File not opened" (caption "Read File").
enum class fi_wav { loaded, none, refused, not_opened };

constexpr int32_t fi_sample_min_capacity = 3072;

// Loads with capacity K bytes. Messages (caption + text) are appended to
// msgs for the caller to show in order; a load may give a message and
// still succeed (a sample cut to the capacity).
fi_wav fi_sample_load(const std::string& path, int32_t K, fi_sample& out, std::vector<fi_filemsg>& msgs);
fi_wav fi_sample_load_bytes(const uint8_t* data, std::size_t n, int32_t K, fi_sample& out,
                            std::vector<fi_filemsg>& msgs);

// Writes the 44-byte header (1 channel, 16 bits, the sample's rate) and
// `length` bytes from the first sample word, through a temporary file: the
// target gets the whole file or stays as it was. False with err = errno.
bool fi_sample_save(const std::string& path, const fi_sample& s, int& err);
