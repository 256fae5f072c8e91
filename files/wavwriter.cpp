#include "files/wavwriter.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <new>

#include "files/wav.h"

namespace {

void le32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

// The largest data size the header's 32-bit fields can tell (the RIFF size
// adds 36), in whole frames.
uint64_t size_limit(int align) {
    const uint64_t most = 0xffffffffu - 36u;
    return most - most % static_cast<uint64_t>(align);
}

bool write_all(int fd, const uint8_t* p, std::size_t n, std::size_t& done) {
    done = 0;
    while (done < n) {
        const ssize_t k = ::write(fd, p + done, n - done);
        if (k < 0 && errno == EINTR) continue;
        if (k <= 0) {
            if (k == 0) errno = ENOSPC;
            return false;
        }
        done += static_cast<std::size_t>(k);
    }
    return true;
}

bool pwrite_all(int fd, const uint8_t* p, std::size_t n, off_t at) {
    std::size_t done = 0;
    while (done < n) {
        const ssize_t k = ::pwrite(fd, p + done, n - done, at + static_cast<off_t>(done));
        if (k < 0 && errno == EINTR) continue;
        if (k <= 0) {
            if (k == 0) errno = ENOSPC;
            return false;
        }
        done += static_cast<std::size_t>(k);
    }
    return true;
}

}  // namespace

fi_wavwriter::fi_wavwriter() = default;
fi_wavwriter::~fi_wavwriter() = default;

bool fi_wavwriter::open(std::FILE* fp, bool seekable, int channels, int bits, int32_t file_rate,
                        uint32_t planned_databytes, bool header) {
    fd_ = -1;
    failed_ = false;
    err_ = 0;
    data_ = 0;
    rs_.reset();
    if (!fp || (channels != 1 && channels != 2) || (bits != 8 && bits != 16) || file_rate <= 0) {
        errno = EINVAL;
        return false;
    }
    // Whatever stdio holds goes first; from here on the descriptor is written.
    if (std::fflush(fp) != 0) return false;
    const int fd = fileno(fp);
    seekable_ = seekable;
    base_ = seekable ? static_cast<long>(lseek(fd, 0, SEEK_CUR)) : 0;
    if (base_ < 0) return false;
    channels_ = channels;
    bits_ = bits;
    rate_ = file_rate;
    planned_ = planned_databytes;
    hdr_ = header ? wav_header_bytes : 0;
    if (!header) {
        fd_ = fd;
        return true;
    }
    // A file that can be patched tells from the start only what it holds
    // (nothing yet); a stream cannot be patched and tells the planned size.
    uint8_t h[wav_header_bytes];
    wav_header44(h, channels, file_rate, bits, seekable ? 0 : planned_databytes);
    std::size_t done = 0;
    if (!write_all(fd, h, sizeof h, done)) return false;
    fd_ = fd;
    return true;
}

// Fails the writer for good with errno e; false.
bool fi_wavwriter::fail(int e) {
    failed_ = true;
    if (!err_) err_ = e ? e : EIO;
    errno = err_;
    return false;
}

// The sizes as far as the data is written: data at 40, data + 36 at 4.
bool fi_wavwriter::patch() {
    if (hdr_ == 0) return true;  // bare samples: no header to keep up
    uint8_t v[4];
    le32(v, static_cast<uint32_t>(data_ + 36));
    if (!pwrite_all(fd_, v, 4, base_ + 4)) return false;
    le32(v, static_cast<uint32_t>(data_));
    return pwrite_all(fd_, v, 4, base_ + 40);
}

// Appends bytes at the end, within the size limit, then brings the header
// up to date: the data first, so that the header never tells more than the
// file holds. A short write on a seekable file cuts it back to whole frames
// and fails the writer with the write's errno.
bool fi_wavwriter::put(const uint8_t* p, std::size_t n) {
    if (n == 0) return true;
    const int align = channels_ * bits_ / 8;
    const uint64_t limit = seekable_ ? size_limit(align) : planned_;
    const uint64_t room = limit > data_ ? limit - data_ : 0;
    const std::size_t take = static_cast<std::size_t>(std::min<uint64_t>(n, room));
    std::size_t done = 0;
    const bool whole = write_all(fd_, p, take, done);
    const int e = whole ? EFBIG : errno;
    data_ += done;
    if (!whole && seekable_) {
        data_ -= data_ % static_cast<uint64_t>(align);
        if (ftruncate(fd_, static_cast<off_t>(base_ + hdr_ + static_cast<long>(data_))) != 0) {
            // The header still tells whole frames only; the stray bytes behind are not read.
        }
    }
    const bool patched = !seekable_ || patch();
    if (!whole || take < n) return fail(e);
    return patched || fail(errno);
}

bool fi_wavwriter::put_words(const std::vector<int16_t>& w) {
    bytes_.clear();
    if (bits_ == 16) {
        bytes_.resize(w.size() * 2);
        for (std::size_t i = 0; i < w.size(); ++i) {
            bytes_[2 * i] = static_cast<uint8_t>(w[i]);
            bytes_[2 * i + 1] = static_cast<uint8_t>(static_cast<uint16_t>(w[i]) >> 8);
        }
    } else {
        bytes_.resize(w.size());
        for (std::size_t i = 0; i < w.size(); ++i) bytes_[i] = static_cast<uint8_t>((w[i] >> 8) + 128);
    }
    return put(bytes_.data(), bytes_.size());
}

// Writes the converter's tail and drops it.
bool fi_wavwriter::drain_converter() {
    if (!rs_) return true;
    out16_.clear();
    rs_->flush(out16_);
    rs_.reset();
    return put_words(out16_);
}

bool fi_wavwriter::append(const void* data, uint32_t bytes, int32_t rate) {
    if (fd_ < 0 || failed_) {
        errno = failed_ ? err_ : EBADF;
        return false;
    }
    const auto* p = static_cast<const uint8_t*>(data);
    if (rate == rate_ || rate <= 0) {
        if (!drain_converter()) return false;
        return put(p, bytes);
    }
    if (rs_ && rs_->in_rate() != rate && !drain_converter()) return false;
    if (!rs_) {
        try {
            rs_ = std::make_unique<fi_resampler>(channels_, rate, rate_);
        } catch (const std::bad_alloc&) {
            return fail(ENOMEM);
        }
    }
    // 8-bit goes through 16 bits.
    in16_.clear();
    if (bits_ == 16) {
        in16_.resize(bytes / 2);
        for (std::size_t i = 0; i < in16_.size(); ++i) in16_[i] = static_cast<int16_t>(p[2 * i] | p[2 * i + 1] << 8);
    } else {
        in16_.resize(bytes);
        for (std::size_t i = 0; i < bytes; ++i) in16_[i] = static_cast<int16_t>((p[i] - 128) * 256);
    }
    out16_.clear();
    rs_->process(in16_.data(), in16_.size() / static_cast<std::size_t>(channels_), out16_);
    return put_words(out16_);
}

bool fi_wavwriter::finish() {
    if (fd_ < 0) return false;
    bool ok = !failed_ && drain_converter();
    if (seekable_) {
        // The sizes from the real length, whatever was planned or written.
        struct stat st;
        if (fstat(fd_, &st) == 0) {
            const int64_t s = static_cast<int64_t>(st.st_size) - base_;
            const int64_t d = std::clamp<int64_t>(s - hdr_, 0, 0xffffffffLL - 36);
            data_ = static_cast<uint64_t>(d);
            ok = patch() && ok;
        } else {
            ok = false;
        }
    } else if (!failed_) {
        // A stream cannot be patched: silence up to the planned size.
        bytes_.assign(8192, bits_ == 8 ? 0x80 : 0);
        while (ok && data_ < planned_) {
            const auto n = static_cast<std::size_t>(std::min<uint64_t>(bytes_.size(), planned_ - data_));
            ok = put(bytes_.data(), n);
        }
    }
    fd_ = -1;
    return ok;
}

fi_hdrec::~fi_hdrec() { finish(); }

bool fi_hdrec::create(const std::string& path, int channels, int bits, int32_t rate, uint32_t planned_databytes,
                      int& err) {
    finish();
    fp_ = std::fopen(path.c_str(), "wb");
    if (!fp_) {
        err = errno;
        return false;
    }
    // A device or pipe is written as a stream.
    struct stat st;
    const bool seekable = fstat(fileno(fp_), &st) == 0 && S_ISREG(st.st_mode);
    if (!w_.open(fp_, seekable, channels, bits, rate, planned_databytes)) {
        err = errno;
        // A file without its header is no recording: it goes (a device or
        // pipe, or the file behind a link, stays).
        struct stat lst;
        if (seekable && lstat(path.c_str(), &lst) == 0 && S_ISREG(lst.st_mode) && lst.st_ino == st.st_ino &&
            lst.st_dev == st.st_dev)
            unlink(path.c_str());
        std::fclose(fp_);
        fp_ = nullptr;
        return false;
    }
    err = 0;
    return true;
}

bool fi_hdrec::append(const void* data, uint32_t bytes, int32_t rate) {
    return fp_ && w_.append(data, bytes, rate);
}

bool fi_hdrec::finish() {
    if (!fp_) return false;
    bool ok = w_.finish();
    // On the disc before it counts as finished (a device or pipe has no disc).
    struct stat st;
    if (fstat(fileno(fp_), &st) == 0 && S_ISREG(st.st_mode)) ok = fsync(fileno(fp_)) == 0 && ok;
    ok = std::fclose(fp_) == 0 && ok;
    fp_ = nullptr;
    return ok;
}
