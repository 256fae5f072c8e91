#include "audio/midiout.h"

void wv_midi_begin(wv_midiout& m) {
    for (int j = 0; j < 2; ++j) {
        m.ev[j].reset();
        m.computed[j] = 0;
        m.set[j] = m.scale[j] = -1;
    }
    m.count = 0;
    m.map = wv_midimap{};
    m.sent_set = m.sent_scale = -1;
    m.announced = false;
}

void wv_midi_compute(wv_midiout& m, int j, int32_t frames, int setnr, int tonr, bool append, uint32_t base) {
    rov_toneevs& e = m.ev[j & 1];
    if (!append) e.clear();
    m.computed[j & 1] = frames > 0 ? static_cast<uint32_t>(frames) : 0;
    e.base = base;
    e.track = 0;
    m.set[j & 1] = setnr;
    m.scale[j & 1] = tonr;
}

void wv_midi_send(wv_midiout& m, int j, int32_t frames, int32_t rate) {
    rov_toneevs& e = m.ev[j & 1];
    m.count = 0;
    if (!m.announced) {
        m.count += wv_midi_announce(0, m.msg + m.count, wv_midi_cap - m.count);
        m.announced = true;
    }
    if (m.set[j & 1] >= 0 && m.set[j & 1] != m.sent_set) {
        m.sent_set = m.set[j & 1];
        m.count += wv_midi_program(m.sent_set, 0, m.msg + m.count, wv_midi_cap - m.count);
    }
    if (m.scale[j & 1] >= 0 && m.scale[j & 1] != m.sent_scale) {
        m.sent_scale = m.scale[j & 1];
        m.count += wv_midi_program(10 + m.sent_scale, 0, m.msg + m.count, wv_midi_cap - m.count);
    }
    // A blown-up buffer plays its computed frames stretched by 2 or 4; the
    // events go at the stretched frames, at the rate the buffer plays at.
    const uint32_t c = m.computed[j & 1];
    const uint32_t scale = c > 0 && frames > 0 && static_cast<uint32_t>(frames) > c ? static_cast<uint32_t>(frames) / c : 1;
    // The rate the engine computed at: the played rate divided by the stretch.
    const int32_t computed_rate = rate / static_cast<int32_t>(scale);
    const uint32_t before = m.count;
    m.count += wv_midi_events(m.map, e.ev, e.n, computed_rate, scale, m.msg + m.count, wv_midi_cap - m.count);
    m.dropped += e.dropped;
    // Messages must not reach past the buffer (a slot freed at its very end).
    const uint32_t last = frames > 0 ? static_cast<uint32_t>(frames) - 1 : 0;
    for (uint32_t i = before; i < m.count; ++i)
        if (m.msg[i].frame > last) m.msg[i].frame = last;
    e.clear();
}

void wv_midi_end(wv_midiout& m) { m.count = wv_midi_alloff(m.map, 0, m.msg, wv_midi_cap); }
