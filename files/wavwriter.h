// A WAV file written buffer by buffer: the harddisc recording and the
// command line's output. On a seekable file the header tells from the start
// what the file holds (no data at first), and both sizes are brought up to
// date after every buffer, so that a program killed at any moment leaves a
// valid file holding every buffer it wrote; the planned size is kept for a
// stream, whose header tells it.
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "files/resample.h"

struct fi_wavwriter {
    fi_wavwriter();
    ~fi_wavwriter();
    fi_wavwriter(const fi_wavwriter&) = delete;
    fi_wavwriter& operator=(const fi_wavwriter&) = delete;

    // Writes the 44-byte header to fp (not owned, positioned where the file
    // starts): no data yet when seekable, else the planned data size. channels 1 or 2, bits 8 or 16;
    // file_rate: the rate in the header. False (errno set) if the header
    // cannot be written. Without `header` the file holds the bare samples.
    bool open(std::FILE* fp, bool seekable, int channels, int bits, int32_t file_rate, uint32_t planned_databytes,
              bool header = true);
    // Appends one played buffer (16-bit little-endian interleaved, or 8-bit
    // unsigned) that plays at `rate`; a buffer at another rate than the
    // file's is converted to the file's rate first. Seekable: afterwards the
    // header tells the length written so far. False on a short write (a
    // seekable file is then cut back to its last whole frame and the header
    // agrees), or when the 32-bit sizes (not seekable: the planned size) are
    // reached, with errno the reason (EFBIG for a size reached); after a
    // failure nothing more is appended.
    bool append(const void* data, uint32_t bytes, int32_t rate);
    // Writes what the converter still holds; seekable: the sizes from the
    // real file length; not seekable: silence up to the planned size. The
    // file is not closed (it is not owned).
    bool finish();
    uint64_t databytes() const { return data_; }
    bool is_open() const { return fd_ >= 0; }
    bool failed() const { return failed_; }
    int error() const { return err_; }  // errno of the failure (0: none)

private:
    bool put(const uint8_t* p, std::size_t n);
    bool put_words(const std::vector<int16_t>& w);
    bool patch();
    bool fail(int e);
    bool drain_converter();

    int fd_ = -1;
    bool seekable_ = false;
    bool failed_ = false;
    int err_ = 0;
    int channels_ = 2, bits_ = 16;
    int32_t rate_ = 0;
    uint32_t planned_ = 0;
    uint64_t data_ = 0;
    long base_ = 0;  // file offset of the header
    long hdr_ = 44;  // header bytes: 44, or 0 for bare samples
    std::unique_ptr<fi_resampler> rs_;
    std::vector<int16_t> in16_, out16_;
    std::vector<uint8_t> bytes_;
};

// The harddisc recording file: created in place (not through a temporary
// file: it must survive a kill).
struct fi_hdrec {
    ~fi_hdrec();  // finishes an open recording
    // Creates (or replaces) the file; false with err = errno. A file that
    // could not get its header is removed.
    bool create(const std::string& path, int channels, int bits, int32_t rate, uint32_t planned_databytes, int& err);
    bool append(const void* data, uint32_t bytes, int32_t rate);
    // Finishes the header, flushes to the disc and closes; false if any of
    // that failed. Harmless when nothing is open.
    bool finish();
    bool is_open() const { return fp_ != nullptr; }
    uint64_t databytes() const { return w_.databytes(); }
    // A write failed (the recording stopped there), and its errno.
    bool failed() const { return w_.failed(); }
    int error() const { return w_.error(); }

private:
    std::FILE* fp_ = nullptr;
    fi_wavwriter w_;
};
