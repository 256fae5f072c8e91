#include "audio/samplerec.h"

#include <algorithm>
#include <new>
#include <vector>

namespace {

// How often a blocking function looks at the device, ms.
constexpr int poll_ms = 20;

}  // namespace

int32_t wv_rec_rate(int32_t outrate, int32_t prev) {
    return outrate == 11025 || outrate == 22050 || outrate == 44100 ? outrate : prev;
}

bool wv_rec_bg_start(wv_samplerec& r) {
    if (r.hwavein || !r.cap || !r.lpData || r.dwBufferLength == 0) return false;
    r.dwBytesRecorded = 0;
    if (!r.cap->open(r.devno, r.wvtFormat, r.sink, r.gen)) return false;
    r.hwavein = true;
    if (!r.cap->prepare(r.dwBufferLength) || !r.cap->start()) {
        // The close notification that follows finds no recording running.
        r.cap->close();
        r.hwavein = false;
        return false;
    }
    ++r.started;
    return true;
}

void wv_rec_bg_take(wv_samplerec& r) {
    if (!r.hwavein || !r.lpData) return;
    const uint32_t got = std::min(r.cap->take(r.lpData, r.dwBytesRecorded), r.dwBufferLength);
    if (got > r.dwBytesRecorded) r.wrote = true;
    r.dwBytesRecorded = got;
}

bool wv_rec_event(wv_samplerec& r, const wv_event& ev) {
    if (!r.hwavein || ev.gen != r.gen) return false;
    if (ev.kind == wv_evkind::indata) {
        wv_rec_bg_take(r);
        if (r.dwBytesRecorded == r.dwBufferLength) r.completed = true;
        r.cap->close();  // its close notification ends the recording
        return false;
    }
    if (ev.kind == wv_evkind::inclose) {
        r.hwavein = false;
        return true;
    }
    return false;
}

void wv_rec_abort(wv_samplerec& r) {
    if (!r.hwavein) return;
    r.cap->reset();
    wv_rec_bg_take(r);
    r.cap->close();
    r.hwavein = false;
}

wv_recres wv_record_blocking(wv_capture& cap, unsigned devno, const wv_format& fmt, uint8_t* dst, uint32_t bytes,
                             const wv_waitfn& wait) {
    uint32_t gen = 0;
    if (!cap.open(devno, fmt, nullptr, gen)) return wv_recres::not_available;
    if (!cap.prepare(bytes)) {
        cap.close();
        return wv_recres::prep_error;
    }
    if (!cap.start()) {
        cap.close();
        return wv_recres::start_error;
    }
    uint32_t got = 0;
    int still = 0;  // ms waited since the device last delivered
    wv_recres res = wv_recres::done;
    for (;;) {
        const uint32_t now = std::min(cap.take(dst, got), bytes);
        if (now != got) still = 0;
        got = now;
        if (got >= bytes) break;
        // A sound server may take a while before the first bytes come.
        if (still >= (got ? wv_rec_stall_ms : wv_rec_first_ms) || cap.lost()) {
            res = wv_recres::stalled;
            break;
        }
        if (wait && !wait(poll_ms)) {
            res = wv_recres::interrupted;
            break;
        }
        still += poll_ms;
    }
    if (res != wv_recres::done) cap.reset();
    cap.close();
    return res;
}

bool wv_play_blocking(wv_device& dev, unsigned devno, const wv_format& fmt, const uint8_t* data, uint32_t bytes,
                      const wv_waitfn& wait) {
    uint32_t gen = 0;
    if (bytes == 0 || !dev.open(devno, fmt, nullptr, gen)) return false;
    if (!dev.write(data, bytes)) {
        dev.close();
        return false;
    }
    const int64_t frames = bytes / static_cast<uint32_t>(std::max<int16_t>(fmt.nBlockAlign, 1));
    int64_t pos = 0;
    int still = 0;
    bool given_up = false;
    while (pos < frames) {
        const int64_t p = dev.position();
        if (p != pos) still = 0;
        pos = p;
        if (pos >= frames) break;
        if (still >= wv_rec_stall_ms || dev.lost() || (wait && !wait(poll_ms))) {
            given_up = true;
            break;
        }
        still += poll_ms;
    }
    if (given_up) {
        dev.reset();
    } else if (const int lead = dev.lead_frames(); lead > 0 && wait && fmt.nSamplesPerSec > 0) {
        // The device may say "played" ahead of the last frames: they sound first.
        wait(static_cast<int>(int64_t{lead} * 1000 / fmt.nSamplesPerSec) + poll_ms);
    }
    dev.close();
    dev.release();
    return true;
}

wv_recres wv_record_sample(wv_capture& cap, unsigned devno, int32_t rate, int32_t K, fi_sample& out,
                           const wv_waitfn& wait) {
    if (K < fi_sample_min_capacity || rate <= 0) return wv_recres::no_memory;
    std::vector<uint8_t> area;
    try {
        area.assign(static_cast<std::size_t>(K), 0);
    } catch (const std::bad_alloc&) {
        return wv_recres::no_memory;
    }
    const auto length = static_cast<uint32_t>(K - 72);
    const wv_recres r = wv_record_blocking(cap, devno, wv_mono16(rate), area.data() + 24, length, wait);
    if (r != wv_recres::done) return r;
    out.area = std::move(area);
    out.length = static_cast<int32_t>(length);
    out.rate = rate;
    return r;
}
