// The editor window's part of the streaming cycle, for tests: the event
// queue, the gap timer and the dispatch, with the default setting on the
// virtual output device.
#pragma once

#include <memory>
#include <vector>

#include "audio/chain.h"
#include "audio/evqueue.h"
#include "audio/stream.h"
#include "audio/virtdev.h"
#include "engine/rov.h"

struct stream_rig : wv_notify, wv_timer {
    wv_evqueue q;
    int timer_ms = -1;  // the running gap timer, -1 none
    rov_state st;
    wv_virtdev dev;
    wv_options opt;
    wv_stream s;

    void post(const wv_event& ev) override { wv_evq_push(q, ev); }
    void set(int ms) override { timer_ms = ms; }
    void kill() override { timer_ms = -1; }

    // Set `setnr` of the default setting (set 4: 11025 Hz, Volume 0,
    // Chg.Dly 0) on row `row`.
    explicit stream_rig(int setnr = 4, int row = 0) {
        rov_state_init(st);
        rov_default_setting(st.s);
        s.dev = &dev;
        s.opt = &opt;
        s.sink = this;
        s.timer = this;
        s.roh = &st.h;
        s.algomod = row;
        s.setnr = setnr;
        s.tonr = st.s.rov_tonindx[setnr];
    }
    void pump() {
        wv_event ev;
        while (wv_evq_pop(q, ev)) wv_dispatch(s, ev);
    }
    // The buffer on the device plays to its end; the notifications run.
    void play_out() {
        wv_virt_advance(dev, dev.frames - dev.pos);
        pump();
    }
};

// The buffers of a gap-free play of set `setnr` with scale `tonr` of the
// default setting on row `row`, computed the way the offline render does,
// in the order the cycle sends them.
inline std::vector<std::vector<int16_t>> stream_reference(int setnr, int tonr, int32_t bufszorig, int buffers,
                                                          int row = 0) {
    auto st = std::make_unique<rov_state>();
    rov_state_init(*st);
    rov_default_setting(st->s);
    rov_open(&st->h, false, false, 8);
    rov_start(&st->h, row, setnr, tonr);
    wvplay pb;
    wv_alloc(pb, bufszorig);
    const int32_t f = wv_frames(pb.bufsize);
    const wv_source src{&st->h, row, setnr, tonr, {}};
    std::vector<std::vector<int16_t>> out;
    wv_start_fill(pb, src, f);
    for (int n = 0; n < buffers; ++n) {
        const int j = n == 0 ? 0 : wv_sendindex(st->g);
        out.emplace_back(pb.data[j].begin(), pb.data[j].begin() + 2 * f);
        if (n > 0) wv_tick_fill(pb, src, f);
    }
    return out;
}
