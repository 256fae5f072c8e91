// The harddisc mix file: a 16-bit WAV file read block by block as stereo
// frames at the output rate, to be added into the output.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "files/resample.h"

struct fi_sfsource;

struct fi_mixfile {
    // The largest read the scratch buffers are made for (a 1 MiB buffer);
    // larger reads work but allocate.
    static constexpr int32_t max_frames = 262144;

    fi_mixfile();
    ~fi_mixfile();
    fi_mixfile(const fi_mixfile&) = delete;
    fi_mixfile& operator=(const fi_mixfile&) = delete;

    // Opens a 16-bit file of 1 or 2 channels in any layout libsndfile reads
    // (an open file is closed first). False otherwise: open_error() is then
    // the errno of a file that could not be opened (the caller shows "File
    // not opened", caption "Read File"), or 0 for a file of another kind
    // ("not a 16 bit *.WAV file", caption "open file for playback").
    bool open(const std::string& path);
    int open_error() const { return open_err_; }
    // Reads up to `frames` stereo frames at `rate` Hz into out (interleaved
    // L R): a mono file goes to both channels, a file at another rate is
    // converted. Returns the words delivered: 2 * frames unless the file
    // ended (the caller then adds what came and closes).
    int32_t read(int16_t* out, int32_t frames, int32_t rate);
    void close();
    bool is_open() const { return sf_ != nullptr; }
    int32_t file_rate() const { return frate_; }
    int channels() const { return ch_; }

private:
    void* sf_ = nullptr;  // SNDFILE*
    std::unique_ptr<fi_sfsource> src_;  // what it reads
    int ch_ = 0;
    int open_err_ = 0;
    int32_t frate_ = 0;
    int32_t orate_ = 0;  // the output rate the pending frames are at
    bool eof_ = false;
    std::unique_ptr<fi_resampler> rs_;
    std::vector<int16_t> in_;    // frames read from the file
    std::vector<int16_t> pend_;  // frames at the output rate not yet delivered
    std::size_t pos_ = 0;        // first word of pend_ not yet delivered
};
