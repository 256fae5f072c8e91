// Device notifications reach the FLTK loop: the device posts into a
// lock-free queue and wakes the loop with Fl::awake() (a pipe write, safe on
// the audio thread); the window that owns the device drains the queue from
// a check callback, which every FLTK event loop runs (also those of message
// boxes). The window's timer is an FLTK timeout that posts a timer event.
#pragma once

#include <FL/Fl.H>

#include "audio/device.h"
#include "audio/evqueue.h"

struct fl_cycle final : wv_notify, wv_timer {
    wv_evqueue q;
    void post(const wv_event& ev) override {
        wv_evq_push(q, ev);
        Fl::awake();
    }
    void set(int ms) override {
        Fl::remove_timeout(timer_cb, this);
        Fl::add_timeout(ms / 1000.0, timer_cb, this);
    }
    void kill() override { Fl::remove_timeout(timer_cb, this); }
    static void timer_cb(void* self) {
        auto* c = static_cast<fl_cycle*>(self);
        c->post({wv_evkind::timer, 0});
    }
};

// Fl::awake() from another thread needs FLTK's thread support, set up once.
// FLTK's lock is process-wide; each further Fl::lock() would take it again.
inline void fl_cycle_threads() {
    static const bool locked = (Fl::lock(), true);
    (void)locked;
}
