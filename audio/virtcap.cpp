#include "audio/virtcap.h"

#include <algorithm>
#include <cstring>

std::string wv_virtcap::name(int n) { return n >= 0 && n < ndev ? "virtual input " + std::to_string(n) : ""; }

bool wv_virtcap::open(unsigned dn, const wv_format& f, wv_notify* s, uint32_t& g) {
    if (isopen || fail_open || gone) return false;
    if (dn != wv_mapper && dn >= static_cast<unsigned>(ndev)) return false;
    ++opens;
    devno = dn;
    fmt = f;
    sink = s;
    g = ++gen;
    isopen = true;
    running = false;
    posted = false;
    buf.clear();
    filled = 0;
    return true;
}

bool wv_virtcap::prepare(uint32_t bytes) {
    if (!isopen || fail_prepare || bytes == 0) return false;
    buf.assign(bytes, 0);
    filled = 0;
    return true;
}

bool wv_virtcap::start() {
    if (!isopen || buf.empty() || fail_start) return false;
    ++starts;
    running = true;
    return true;
}

uint32_t wv_virtcap::take(uint8_t* dst, uint32_t from) {
    if (autofeed > 0 && running) {
        std::vector<int16_t> w(autofeed);
        for (int16_t& v : w) v = next++;
        wv_virtcap_feed(*this, w.data(), autofeed);
    }
    if (filled > from) std::memcpy(dst + from, buf.data() + from, filled - from);
    return filled;
}

void wv_virtcap::reset() {
    if (!isopen) return;
    ++resets;
    running = false;
}

void wv_virtcap::close() {
    if (!isopen) return;
    running = false;
    isopen = false;
    ++closes;
    if (sink) sink->post({wv_evkind::inclose, gen});
}

uint32_t wv_virtcap_feed(wv_virtcap& d, const int16_t* w, uint32_t n) {
    if (!d.running || d.gone) return 0;
    const uint32_t room = static_cast<uint32_t>(d.buf.size()) - d.filled;
    const uint32_t bytes = std::min(room, n * 2) & ~1u;
    std::memcpy(d.buf.data() + d.filled, w, bytes);
    d.filled += bytes;
    if (d.filled == d.buf.size() && !d.posted) {
        d.posted = true;
        d.running = false;
        if (d.sink) d.sink->post({wv_evkind::indata, d.gen});
    }
    return bytes / 2;
}
