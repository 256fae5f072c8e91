#include "audio/devswitch.h"

wv_device* wv_devswitch::layer(unsigned devno) {
    if (devno != wv_jack_devno) return main;
    if (!jack) return nullptr;
    // A client whose server went away is closed; a new one is tried.
    if (jack->client && jack->lost() && !jack->isopen) wv_jack_shutdown(*jack);
    if (!jack->client) {
        jack->gone.store(false);
        if (!jack_up || !jack_up()) return nullptr;
        jack->volume(vol_l, vol_r);
        jack->latency(latency_ms);
    }
    return jack;
}

bool wv_devswitch::caps(unsigned devno, wv_caps& out) {
    wv_device* d = layer(devno);
    return d && d->caps(devno, out);
}

bool wv_devswitch::open(unsigned devno, const wv_format& fmt, wv_notify* sink, uint32_t& gen) {
    wv_device* d = layer(devno);
    if (!d || !d->open(devno, fmt, sink, gen)) return false;
    // The other layer's stream stops: only one plays.
    if (cur && cur != d) cur->reset();
    cur = d;
    return true;
}

void wv_devswitch::volume(uint16_t left, uint16_t right) {
    vol_l = left;
    vol_r = right;
    main->volume(left, right);
    if (jack && jack->client) jack->volume(left, right);
}

void wv_devswitch::latency(int ms) {
    latency_ms = ms;
    main->latency(ms);
    if (jack && jack->client) jack->latency(ms);
}
