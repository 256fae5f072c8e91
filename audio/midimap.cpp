#include "audio/midimap.h"

#include <algorithm>
#include <cmath>

namespace {

struct writer {
    wv_midimsg* out;
    uint32_t cap;
    uint32_t n = 0;
    bool put(uint32_t frame, int a, int b = -1, int c = -1) {
        if (n >= cap) return false;
        wv_midimsg& m = out[n++];
        m.frame = frame;
        m.len = static_cast<uint8_t>(b < 0 ? 1 : c < 0 ? 2 : 3);
        m.b[0] = static_cast<uint8_t>(a);
        m.b[1] = static_cast<uint8_t>(b < 0 ? 0 : b);
        m.b[2] = static_cast<uint8_t>(c < 0 ? 0 : c);
        return true;
    }
    // A registered parameter on channel ch (0-based): number, value MSB, then
    // the null parameter so that later data entry changes nothing.
    void rpn(uint32_t frame, int ch, int num, int msb) {
        put(frame, 0xb0 | ch, 101, 0);
        put(frame, 0xb0 | ch, 100, num);
        put(frame, 0xb0 | ch, 6, msb);
        put(frame, 0xb0 | ch, 38, 0);
        put(frame, 0xb0 | ch, 101, 127);
        put(frame, 0xb0 | ch, 100, 127);
    }
};

void note_off(wv_midimap& m, wv_midimap::voice& v, uint32_t frame, writer& w) {
    if (!v.on) return;
    v.on = false;
    if (w.put(frame, 0x80 | v.ch, v.note, 0) && m.ch[v.ch].users > 0) --m.ch[v.ch].users;
}

// The member channel for a new note with bend `bend`.
int pick_channel(wv_midimap& m, int bend, uint32_t frame, writer& w) {
    for (int i = 0; i < 15; ++i) {
        const int c = 1 + (m.next - 1 + i) % 15;
        if (m.ch[c].users == 0) {
            m.next = c % 15 + 1;
            return c;
        }
    }
    for (int c = 1; c < 16; ++c)
        if (m.ch[c].bend == bend) return c;
    int old = 1;
    for (int c = 2; c < 16; ++c)
        if (m.ch[c].since < m.ch[old].since) old = c;
    for (auto& tr : m.v)
        for (auto& v : tr)
            if (v.on && v.ch == old) note_off(m, v, frame, w);
    return old;
}

}  // namespace

double wv_midi_hz(const rov_toneev& e, int32_t rate) {
    if (e.sample) return wv_midi_c4 * e.incr / 256.0;
    return static_cast<double>(e.incr) * rate / 65536.0;
}

wv_midipitch wv_midi_pitch(double hz) {
    wv_midipitch p;
    if (!(hz > 0)) return p;
    const double n = 69.0 + 12.0 * std::log2(hz / 440.0);
    const double note = std::round(n);
    if (note < 0 || note > 127) return p;
    p.note = static_cast<int>(note);
    p.bend = std::clamp(static_cast<int>(std::lround(8192.0 + (n - note) * 8192.0 / wv_midi_bendrange)), 0, 16383);
    return p;
}

double wv_midi_pitch_hz(const wv_midipitch& p) {
    const double n = p.note + (p.bend - 8192) * static_cast<double>(wv_midi_bendrange) / 8192.0;
    return 440.0 * std::exp2((n - 69.0) / 12.0);
}

uint8_t wv_midi_velocity(const rov_toneev& e) {
    const double level = static_cast<double>(e.left) + e.right;  // 256 an accent, 128 normal, 64 soft
    const long v = std::lround(127.0 * std::sqrt(std::min(level, 256.0) / 256.0));
    return static_cast<uint8_t>(std::clamp(v, 1L, 127L));
}

uint8_t wv_midi_pan(const rov_toneev& e) {
    const double sum = static_cast<double>(e.left) + e.right;
    if (sum <= 0) return 64;
    return static_cast<uint8_t>(std::clamp(std::lround(127.0 * e.right / sum), 0L, 127L));
}

uint32_t wv_midi_announce(uint32_t frame, wv_midimsg* out, uint32_t cap) {
    writer w{out, cap};
    w.rpn(frame, 0, 6, 15);  // MPE configuration: lower zone of 15 member channels
    for (int c = 1; c < 16; ++c) {
        w.rpn(frame, c, 0, wv_midi_bendrange);
        w.put(frame, 0xe0 | c, 0, 64);  // bend centred
    }
    return w.n;
}

uint32_t wv_midi_program(int program, uint32_t frame, wv_midimsg* out, uint32_t cap) {
    writer w{out, cap};
    w.put(frame, 0xc0, std::clamp(program, 0, 127));
    return w.n;
}

uint32_t wv_midi_events(wv_midimap& m, const rov_toneev* ev, uint32_t n, int32_t rate, uint32_t scale,
                        wv_midimsg* out, uint32_t cap) {
    writer w{out, cap};
    for (uint32_t i = 0; i < n; ++i) {
        const rov_toneev& e = ev[i];
        wv_midimap::voice& v = m.v[e.track % rov_ntracks][e.slot % rov_nslots];
        const uint32_t frame = e.frame * scale;
        note_off(m, v, frame, w);
        if (e.kind != rov_evkind::start) continue;
        const wv_midipitch p = wv_midi_pitch(wv_midi_hz(e, rate));
        if (p.note < 0) continue;
        const int c = pick_channel(m, p.bend, frame, w);
        if (cap - w.n < 3) break;
        w.put(frame, 0xe0 | c, p.bend & 127, p.bend >> 7);
        w.put(frame, 0xb0 | c, 10, wv_midi_pan(e));
        w.put(frame, 0x90 | c, p.note, wv_midi_velocity(e));
        wv_midimap::channel& ch = m.ch[c];
        if (ch.users++ == 0) ch.since = ++m.clock;
        ch.bend = p.bend;
        v = {true, static_cast<uint8_t>(c), static_cast<uint8_t>(p.note)};
    }
    return w.n;
}

uint32_t wv_midi_alloff(wv_midimap& m, uint32_t frame, wv_midimsg* out, uint32_t cap) {
    writer w{out, cap};
    for (auto& tr : m.v)
        for (auto& v : tr) note_off(m, v, frame, w);
    for (auto& c : m.ch) c.users = 0;
    return w.n;
}
