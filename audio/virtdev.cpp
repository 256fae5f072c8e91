#include "audio/virtdev.h"

#include <algorithm>

namespace {
void post(wv_virtdev& d, wv_evkind k) {
    if (d.sink) d.sink->post({k, d.gen});
}
}  // namespace

bool wv_virtdev::caps(unsigned n, wv_caps& out) {
    if (n != wv_mapper && n >= static_cast<unsigned>(ndev)) return false;
    out.name = n == wv_mapper ? "virtual mapper" : "virtual device " + std::to_string(n);
    out.dwFormats = wv_fmt_all;
    out.wChannels = 2;
    out.dwSupport = wv_sup_volume | (synchronous ? wv_sup_sync : 0u);
    return true;
}

bool wv_virtdev::open(unsigned n, const wv_format& f, wv_notify* s, uint32_t& g) {
    if (fail_open || isopen || (n != wv_mapper && n >= static_cast<unsigned>(ndev))) return false;
    isopen = true;
    devno = n;
    fmt = f;
    sink = s;
    g = ++gen;
    busy = false;
    frames = pos = 0;
    ++opens;
    return true;
}

bool wv_virtdev::write(const void* data, uint32_t bytes) {
    if (!isopen || fail_write || busy) return false;
    const auto* b = static_cast<const uint8_t*>(data);
    log.push_back({fmt, devno, clock, std::vector<uint8_t>(b, b + bytes)});
    busy = true;
    frames = fmt.nBlockAlign > 0 ? bytes / static_cast<uint32_t>(fmt.nBlockAlign) : 0;
    pos = 0;
    t0 = std::chrono::steady_clock::now();
    if (synchronous) {
        pos = frames;
        busy = false;
        post(*this, wv_evkind::done);
    }
    return true;
}

int64_t wv_virtdev::position() {
    if (realrate && busy) wv_virt_poll(*this);
    if (!isopen) return 0;
    return report_pos >= 0 ? std::min(report_pos, frames) : pos;
}

void wv_virtdev::reset() {
    ++resets;
    if (busy) {
        busy = false;
        post(*this, wv_evkind::done);
    }
}

void wv_virtdev::close() {
    if (!isopen) return;
    isopen = false;
    busy = false;
    ++closes;
    post(*this, wv_evkind::close);
}

void wv_virtdev::volume(uint16_t left, uint16_t right) {
    vol_left = left;
    vol_right = right;
}

void wv_virt_advance(wv_virtdev& d, int64_t n) {
    d.clock += n;
    if (!d.busy) return;
    d.pos = std::min(d.frames, d.pos + n);
    if (d.pos >= d.frames) {
        d.busy = false;
        post(d, wv_evkind::done);
    }
}

void wv_virt_poll(wv_virtdev& d) {
    if (!d.busy) return;
    const double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - d.t0).count();
    const auto played = static_cast<int64_t>(secs * d.fmt.nSamplesPerSec);
    if (played > d.pos) wv_virt_advance(d, played - d.pos);
}
