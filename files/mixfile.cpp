#include "files/mixfile.h"

#include "files/sfsource.h"

#include <sndfile.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <new>

namespace {
// Frames read from the file at a time.
constexpr std::size_t chunk_frames = 8192;
SNDFILE* sfp(void* p) { return static_cast<SNDFILE*>(p); }
}  // namespace

fi_mixfile::fi_mixfile() = default;
fi_mixfile::~fi_mixfile() { close(); }

bool fi_mixfile::open(const std::string& path) {
    close();
    open_err_ = 0;
    auto src = std::make_unique<fi_sfsource>();
    if (!src->open_path(path)) {
        open_err_ = errno ? errno : EIO;
        return false;
    }
    SF_INFO info{};
    SNDFILE* sf = src->open_sndfile(info);
    if (!sf) return false;
    if ((info.format & SF_FORMAT_SUBMASK) != SF_FORMAT_PCM_16 || info.channels < 1 || info.channels > 2 ||
        info.samplerate < 1) {
        sf_close(sf);
        return false;
    }
    try {
        in_.reserve(chunk_frames * 2);
        pend_.reserve((static_cast<std::size_t>(max_frames) + 2 * chunk_frames) * 2);
    } catch (const std::bad_alloc&) {
        sf_close(sf);
        return false;
    }
    sf_ = sf;
    src_ = std::move(src);
    ch_ = info.channels;
    frate_ = info.samplerate;
    orate_ = 0;
    eof_ = false;
    pend_.clear();
    pos_ = 0;
    return true;
}

void fi_mixfile::close() {
    if (sf_) sf_close(sfp(sf_));
    sf_ = nullptr;
    src_.reset();
    rs_.reset();
    pend_.clear();
    pos_ = 0;
    eof_ = false;
}

int32_t fi_mixfile::read(int16_t* out, int32_t frames, int32_t rate) {
    if (!sf_ || frames <= 0) return 0;
    if (rate <= 0) rate = frate_;
    const auto ch = static_cast<std::size_t>(ch_);
    if (rate != orate_) {
        // The tail of the old conversion is still delivered, then the new
        // rate takes over.
        if (rs_) rs_->flush(pend_);
        rs_.reset();
        orate_ = rate;
        if (rate != frate_) {
            try {
                rs_ = std::make_unique<fi_resampler>(ch_, frate_, rate);
            } catch (const std::bad_alloc&) {
                eof_ = true;  // nothing more can be delivered
            }
        }
    }
    // What was delivered leaves the pending frames.
    if (pos_) {
        pend_.erase(pend_.begin(), pend_.begin() + static_cast<long>(pos_));
        pos_ = 0;
    }
    const auto need = static_cast<std::size_t>(frames);
    while (pend_.size() / ch < need && !eof_) {
        const std::size_t missing = need - pend_.size() / ch;
        // Input for the frames missing, a little more for the converter.
        const std::size_t want =
            rs_ ? std::min(chunk_frames, static_cast<std::size_t>(std::ceil(static_cast<double>(missing) * frate_ / rate)) + 8)
                : std::min(chunk_frames, missing);
        in_.resize(want * ch);
        const sf_count_t r = sf_readf_short(sfp(sf_), in_.data(), static_cast<sf_count_t>(want));
        const std::size_t got = r > 0 ? static_cast<std::size_t>(r) : 0;
        if (got < want) eof_ = true;
        if (rs_) {
            rs_->process(in_.data(), got, pend_);
            if (eof_) rs_->flush(pend_);
        } else {
            pend_.insert(pend_.end(), in_.begin(), in_.begin() + static_cast<long>(got * ch));
        }
    }
    const std::size_t give = std::min(need, pend_.size() / ch);
    const int16_t* src = pend_.data();
    if (ch == 2) {
        std::memcpy(out, src, give * 2 * sizeof(int16_t));
    } else {
        for (std::size_t i = 0; i < give; ++i) out[2 * i] = out[2 * i + 1] = src[i];
    }
    pos_ = give * ch;
    return static_cast<int32_t>(2 * give);
}
