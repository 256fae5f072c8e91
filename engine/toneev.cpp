#include "engine/toneev.h"

namespace {

void put(rov_toneevs& e, const rov_tonephase& v, int k, int32_t frame, rov_evkind kind, bool sample) {
    if (e.n >= rov_toneev_cap) {
        ++e.dropped;
        return;
    }
    rov_toneev& x = e.ev[e.n++];
    x.frame = e.base + static_cast<uint32_t>(frame);
    x.incr = sample ? v.rov_sincr : v.rov_wincr;
    x.left = v.rov_left;
    x.right = v.rov_right;
    x.slot = static_cast<uint8_t>(k);
    x.track = e.track;
    x.kind = kind;
    x.sample = sample;
}

}  // namespace

void rov_ev_start(rov_toneevs& e, const rov_tonephase* t, int k, int32_t frame, bool sample) {
    if (k < 0 || k >= rov_nslots) return;
    const int tr = e.track % rov_ntracks;
    bool& on = e.sounding[tr][k];
    if (on) put(e, t[k], k, frame, rov_evkind::end, sample);
    on = t[k].rov_ephas != 0;
    if (on) put(e, t[k], k, frame, rov_evkind::start, sample);
}

void rov_ev_scan(rov_toneevs& e, const rov_tonephase* t, int32_t from, int32_t to, bool sample) {
    const int tr = e.track % rov_ntracks;
    for (int k = 0; k < rov_nslots; ++k) {
        bool& on = e.sounding[tr][k];
        const bool now = t[k].rov_ephas != 0;
        if (on == now) continue;
        on = now;
        put(e, t[k], k, now ? from : to, now ? rov_evkind::start : rov_evkind::end, sample);
    }
}
