// The streaming cycle on a virtual device, for the fuzz targets that play:
// the events the cycle posts are queued and dispatched as the device plays
// each buffer out; the timer is never needed.
#pragma once

#include <cstdlib>

#include "audio/evqueue.h"
#include "audio/multiple.h"
#include "audio/stream.h"
#include "audio/virtdev.h"
#include "engine/rows.h"

inline void check(bool ok) {
    if (!ok) std::abort();
}

struct cycle_rig final : wv_notify, wv_timer {
    wv_evqueue q;
    rov_state st;
    rov_banks bk;
    wv_virtdev dev;
    wv_options opt;
    wv_stream s;
    // The cycle on the virtual device, with 4096-byte buffers, row `row`.
    explicit cycle_rig(int row) {
        rov_state_init(st);
        rov_default_setting(st.s);
        opt.bufszorig = 4096;
        opt.bufincr = wv_bufincr(opt.bufszorig);
        s.dev = &dev;
        s.opt = &opt;
        s.sink = this;
        s.timer = this;
        s.roh = &st.h;
        s.algomod = row;
    }
    void post(const wv_event& ev) override { wv_evq_push(q, ev); }
    void set(int) override {}
    void kill() override {}
    void play_out() {
        wv_virt_advance(dev, dev.frames - dev.pos);
        wv_event ev;
        while (wv_evq_pop(q, ev)) wv_dispatch(s, ev);
    }
};
